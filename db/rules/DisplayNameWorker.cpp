#include "db/rules/DisplayNameWorker.h"

namespace db {

DisplayNameWorker::DisplayNameWorker(const Database& db, StaffRecord* staff)
    : db_(db), staff_(staff), thread_([this] { run(); })
{
}

DisplayNameWorker::~DisplayNameWorker()
{
    stop();
}

bool DisplayNameWorker::worthwhile(std::size_t count)
{
    // A thread costs tens of microseconds to start; a few thousand people
    // are named in about that time.
    return count >= 20000 && std::thread::hardware_concurrency() > 1;
}

void DisplayNameWorker::handOver(std::size_t end)
{
    {
        const std::lock_guard lock(mutex_);
        given_ = end;
    }
    changed_.notify_one();
}

void DisplayNameWorker::stop()
{
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
    }
    changed_.notify_one();
    if (thread_.joinable()) thread_.join();
}

void DisplayNameWorker::finish()
{
    stop();
    if (failure_) std::rethrow_exception(failure_);
}

void DisplayNameWorker::run()
{
    try {
        // The names are packed here, while the loader reads the first blocks.
        DisplayNameMaker maker(db_);
        std::size_t done = 0;
        for (;;) {
            std::size_t end = 0;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return given_ > done || closing_; });
                if (given_ == done) return;  // closing, and nothing left
                end = given_;
            }
            maker.set(staff_, done, end);
            done = end;
        }
    } catch (...) {
        failure_ = std::current_exception();  // read by finish() after the join
    }
}

}  // namespace db
