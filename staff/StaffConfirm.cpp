// Confirm Changes: the Staff tab's controls back into the person's records.

#include <QComboBox>
#include <QLineEdit>
#include <QListView>

#include "kit/AppContext.h"
#include "kit/EditStep.h"
#include "kit/QtText.h"
#include "kit/RecordListModel.h"
#include "db/rules/GameDate.h"
#include "db/rules/TextRules.h"
#include "staff/StaffFields.h"
#include "staff/StaffPage.h"

using db::isValidRef;

namespace {

std::int32_t typed(const QLineEdit* edit)
{
    return db::textToNumber(toRaw(edit->text()));
}

template <typename R>
void storeNumber(R& rec, db::NumField field, const QLineEdit* edit)
{
    if (edit) rec.setNumber(field, typed(edit));
}

void storeDate(db::StaffRecord& s, db::DateField f, const QLineEdit* day, const QLineEdit* month,
               const QLineEdit* year)
{
    s.set(f.dayOfYear(), db::GetDate(typed(day), static_cast<std::uint16_t>(typed(month))));
    s.set(f.year(), static_cast<std::int16_t>(typed(year)));
}

// The identifier a preference entry stands for: the identifier field of the
// record it carries, or -2 for "<none>" (an entry that carries no record).
template <typename R>
std::int32_t preferenceId(const std::vector<R>& table, db::I32Field idField, int position)
{
    if (!isValidRef(position, table.size())) return -2;
    return table[static_cast<std::size_t>(position)].get(idField);
}

}  // namespace

EditStep StaffPage::confirmStep(int staffId) const
{
    const db::Database& d = ctx_.db;
    const bool known = isValidRef(staffId, d.staff.size());
    EditStep step(ctx_, confirmStepText(known ? d.staff[static_cast<std::size_t>(staffId)].displayName
                                              : std::string()));
    if (!known) return step;
    const db::StaffRecord& s = d.staff[static_cast<std::size_t>(staffId)];
    step.touch(db::TableId::Staff, staffId);
    step.touch(db::TableId::Players, s.get(db::StaffRecord::PlayerId));
    step.touch(db::TableId::NonPlayers, s.get(db::StaffRecord::NonPlayerId));
    // The names he has and the names chosen in the lists: both usage counts move.
    for (std::size_t k = 0; k < std::size(staff::kNames); ++k) {
        step.touch(nameTable(k), s.get(staff::kNames[k].field));
        step.touch(nameTable(k), recordModel(names_[k])->recordAt(names_[k]->currentIndex()));
    }
    return step;
}

void StaffPage::Button6Click()
{
    const int id = selectedStaffId();
    // The controls hold the person shown last; never write them into anybody else.
    if (id < 0 || id != shownStaff_) return;
    const EditStep step = confirmStep(id);
    db::Database& d = ctx_.db;
    db::StaffRecord& s = d.staff[static_cast<std::size_t>(id)];

    // 1. Names, moving the usage counts of both name records (a byte that wraps).
    // A combo with nothing selected (the stored identifier named no entry)
    // leaves its name as it is.
    for (std::size_t k = 0; k < std::size(staff::kNames); ++k) {
        const staff::NameBinding& b = staff::kNames[k];
        auto& table = d.names(b.kind);
        const int position = recordModel(names_[k])->recordAt(names_[k]->currentIndex());
        if (!isValidRef(position, table.size())) continue;
        const std::int32_t newId = table[static_cast<std::size_t>(position)].get(db::NameRecord::NameId);
        const std::int32_t oldId = s.get(b.field);
        if (newId == oldId) continue;
        db::NameRecord& chosen = table[static_cast<std::size_t>(position)];
        chosen.set(db::NameRecord::UsageCount,
                   static_cast<std::uint8_t>(chosen.get(db::NameRecord::UsageCount) + 1));
        if (isValidRef(oldId, table.size())) {
            db::NameRecord& n = table[static_cast<std::size_t>(oldId)];
            n.set(db::NameRecord::UsageCount,
                  static_cast<std::uint8_t>(n.get(db::NameRecord::UsageCount) - 1));
        }
        s.set(b.field, newId);
    }

    // 2. The display name follows the names; the list entries keep their text.
    ctx_.events.announceTextChange(db::TableId::Staff, id);
    s.displayName = d.buildDisplayName(s);

    // 3. Date of birth.
    storeDate(s, staff::kDates[0].field, dates_[0].day, dates_[0].month, dates_[0].year);

    // 4. Nations: the extra last entry (or no selection) is stored as -2.
    for (std::size_t k = 0; k < std::size(staff::kNations); ++k) {
        const int position = recordModel(nations_[k])->recordAt(nations_[k]->currentIndex());
        s.set(staff::kNations[k].field, isValidRef(position, d.nations.size()) ? position : -2);
    }

    // 5-7. Caps, goals, wage, value, the contract dates, the mental attributes.
    for (std::size_t k = 0; k < std::size(staff::kGeneralNumbers); ++k)
        storeNumber(s, staff::kGeneralNumbers[k].field, generalNumbers_[k]);
    for (std::size_t k = 1; k < std::size(staff::kDates); ++k)
        storeDate(s, staff::kDates[k].field, dates_[k].day, dates_[k].month, dates_[k].year);

    // 8. Preference lists in list order; a missing entry counts as "<none>".
    for (std::size_t k = 0; k < std::size(staff::kPreferences); ++k) {
        const staff::PreferenceBinding& b = staff::kPreferences[k];
        const RecordListModel* model = recordModel(preferences_[k]);
        for (int slot = 0; slot < b.field.count; ++slot) {
            const int position = model->recordAt(slot);
            s.setId(b.field, slot,
                    b.clubs ? preferenceId(d.clubs, db::ClubRecord::ClubId, position)
                            : preferenceId(d.staff, db::StaffRecord::StaffId, position));
        }
    }

    // 9. Attribute records by the stored classification. A link that names no
    // record of its table is never followed: the general record above is
    // written, the missing attribute record is not (its sub-page was shown
    // empty and disabled, so no typed value is lost).
    const std::uint8_t c = s.get(db::StaffRecord::Classification);
    if (db::Classification::hasNonPlayer(c)) {
        const std::int32_t link = s.get(db::StaffRecord::NonPlayerId);
        if (isValidRef(link, d.nonPlayers.size())) {
            db::NonPlayerRecord& r = d.nonPlayers[static_cast<std::size_t>(link)];
            for (std::size_t k = 0; k < 5; ++k)
                storeNumber(r, staff::kNonPlayerNumbers[k].field, nonPlayerNumbers_[k]);
            const int formation = formation_->currentIndex();
            r.set(db::NonPlayerRecord::Formation, static_cast<std::uint8_t>(formation < 0 ? 0 : formation));
            for (std::size_t k = 5; k < std::size(staff::kNonPlayerNumbers); ++k)
                storeNumber(r, staff::kNonPlayerNumbers[k].field, nonPlayerNumbers_[k]);
        }
    }
    if (db::Classification::hasPlayer(c)) {
        const std::int32_t link = s.get(db::StaffRecord::PlayerId);
        if (isValidRef(link, d.players.size())) {
            db::PlayerRecord& r = d.players[static_cast<std::size_t>(link)];
            for (std::size_t k = 0; k < std::size(staff::kPlayerNumbers); ++k)
                storeNumber(r, staff::kPlayerNumbers[k].field, playerNumbers_[k]);
        }
    }
}
