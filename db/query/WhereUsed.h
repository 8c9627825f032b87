#pragma once

// Where used: every record field that refers to one record, found by
// walking the reference fields of the field catalog.

#include <cstddef>
#include <string>
#include <vector>

#include "db/format/Database.h"
#include "db/format/FieldCatalog.h"

namespace db {

// One referring field: element `element` (-1 for a single field) of field
// `field` of record `record` of table `table`.
struct Use {
    TableId table;
    std::size_t record;
    const FieldInfo* field;
    int element;

    // "clubs[3] RivalClubs[1]": the table as updates and quarndb-cli name it,
    // list elements from 0 as the checker counts them.
    std::string text() const;
};

// Whether any field of the catalog refers to records of `t`.
bool isReferenced(TableId t);

// Every field that refers to record `id` of table `target`, table by table
// in catalog order, then record by record, then field by field. Empty for a
// position outside the table.
std::vector<Use> whereUsed(const Database& db, TableId target, std::size_t id);

}  // namespace db
