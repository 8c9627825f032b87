#pragma once

// Making the display names of the staff table on a thread of its own while
// the loader goes on reading the file: on a machine with a second core the
// names then cost a load next to nothing, however large the name tables
// are.

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>

#include "db/rules/DisplayNames.h"

namespace db {

class DisplayNameWorker {
public:
    // Names records of `staff` as they are handed over. The name tables of
    // `db` must not change, and the records must not move (the table's
    // storage reserved beforehand), until finish() or the destructor.
    DisplayNameWorker(const Database& db, StaffRecord* staff);
    // On the way out of a failed load: names what it was given, then stops.
    ~DisplayNameWorker();
    DisplayNameWorker(const DisplayNameWorker&) = delete;
    DisplayNameWorker& operator=(const DisplayNameWorker&) = delete;

    // Records [done so far, end) are read and may be named.
    void handOver(std::size_t end);
    // Waits until every record handed over is named; a failure of the
    // worker (out of memory) is thrown here.
    void finish();

    // Whether a worker pays on this machine for a table of `count` records;
    // below that, names are made in line.
    static bool worthwhile(std::size_t count);

private:
    void run();
    void stop();

    const Database& db_;
    StaffRecord* staff_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t given_ = 0;
    bool closing_ = false;
    std::exception_ptr failure_;
    std::thread thread_;
};

}  // namespace db
