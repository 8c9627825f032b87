#pragma once

// The columns of a table as a spreadsheet holds it, shared by the export that
// writes them and the import that reads them back: the record's identifier
// first, then every named field the catalog does not reserve (one column per
// list element, named as elementName names it), each reference followed by
// the name of the record it names and each code by its caption. Those
// followers, and the display name of people, are there to be read: their
// headers end in "(read-only)" and an import skips them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/format/FieldCatalog.h"

namespace db {

struct SheetColumn {
    enum class Role : std::uint8_t {
        Id,          // the record's identifier (its position): keys the rows
        Value,       // element `element` of `field`
        RecordName,  // read-only: name of the record the reference (field, element) names
        Caption,     // read-only: caption of the code `field`
        PersonName,  // read-only: a staff member's display name
        OwnerId,     // read-only: the staff member a playing or non-playing record belongs to
        OwnerName    // read-only: his display name
    };
    std::string header;
    Role role = Role::Value;
    const FieldInfo* field = nullptr;
    int element = 0;

    bool readOnly() const { return role != Role::Id && role != Role::Value; }
};

// The tables a spreadsheet can hold, named as `quarndb-cli find` and update
// files name them ("clubs", "staff", "non-players", ...).
const std::vector<std::string>& sheetTableNames();
std::optional<TableId> sheetTableByName(std::string_view name);

// The columns of table t, in the order export writes them.
const std::vector<SheetColumn>& sheetColumns(TableId t);

}  // namespace db
