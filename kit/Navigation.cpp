#include "kit/Navigation.h"

#include "db/format/FieldCatalog.h"

void Navigation::goToRecord(const db::Database& d, db::TableId t, std::size_t record,
                            const db::FieldInfo* field)
{
    std::int64_t staffId = -1;
    switch (t) {
        case db::TableId::Clubs:
            goToClub(static_cast<int>(record));
            if (field) showField(t, *field);
            return;
        case db::TableId::Staff:
            staffId = static_cast<std::int64_t>(record);
            break;
        case db::TableId::Players:
        case db::TableId::NonPlayers:
            staffId = db::RecordNamer(d).ownerOf(t, record);
            break;
        default:
            return;
    }
    if (staffId < 0) return;
    showStaff(static_cast<int>(staffId));
    if (field) showField(t, *field);
}
