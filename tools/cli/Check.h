#pragma once

// The rule checker lives in the database core (db/query/Checker.h), shared
// with the editor; the command-line companion names it here as its own.

#include "db/query/Checker.h"

namespace cli {

using db::checkLayout;
using db::checkRecords;
using db::DataFile;
using db::dataFiles;
using db::expectedStaffOffset;
using db::FileSizes;
using db::Problem;
using db::recordSize;

}  // namespace cli
