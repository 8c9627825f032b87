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

inline std::int32_t readI32(const std::uint8_t* p)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t(p[i]) << (8 * i);
    return static_cast<std::int32_t>(v);
}

// A problem of field `field` (element `element` of a list of `count`) of
// record `record` of table `t`; the record's name is left to nameRecords.
Problem makeProblem(Grade grade, TableId t, std::int64_t record, std::string_view field, int element,
                    int count, std::string message);
Problem makeProblem(Grade grade, TableId t, std::int64_t record, const FieldInfo* field, int element,
                    std::string message);

// Fills in the name of every problem's record.
void nameRecords(const Database& db, std::vector<Problem>& problems);

}  // namespace db
