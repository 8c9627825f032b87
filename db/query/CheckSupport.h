#pragma once

// Helpers the checks share: reading a stored reference, building a problem
// with its catalog field, and naming the records of a list of problems.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "db/query/Checker.h"

namespace db {

// Written out so that the compiler makes it one load where it can: the
// checks read millions of references.
inline std::int32_t readI32(const std::uint8_t* p)
{
    return static_cast<std::int32_t>(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                                     std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24);
}

// A problem of field `field` (element `element` of a list of `count`) of
// record `record` of table `t`; the record's name is left to nameRecords.
Problem makeProblem(Grade grade, TableId t, std::int64_t record, std::string_view field, int element,
                    int count, std::string message);
Problem makeProblem(Grade grade, TableId t, std::int64_t record, const FieldInfo* field, int element,
                    std::string message);

// Fills in the name of every problem's record.
void nameRecords(const Database& db, std::vector<Problem>& problems);

// The unusual values, record by record, for checks that read each table
// once (CheckValues.cpp).
class ValueRules {
public:
    explicit ValueRules(std::vector<Problem>& out);
    void club(const ClubRecord& c, std::size_t i);
    void staff(const StaffRecord& s, std::size_t i);
    // Every non-playing and playing record.
    void attributes(const Database& db);

private:
    std::vector<Problem>& out_;
    std::vector<const FieldInfo*> mental_;

    void add(TableId t, std::size_t record, const FieldInfo* f, std::string message);
    void add(TableId t, std::size_t record, std::string_view field, std::string message);
    template <typename R>
    void attributesOf(TableId t, const Table<R>& table);
};

}  // namespace db
