// Showing the selected person in the Staff tab's controls.

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QTabWidget>

#include "kit/AppContext.h"
#include "kit/QtText.h"
#include "kit/RecordListModel.h"
#include "db/rules/GameDate.h"
#include "staff/StaffFields.h"
#include "staff/StaffPage.h"
#include "ui_StaffNonPlaying.h"
#include "ui_StaffPage.h"
#include "ui_StaffPlaying.h"
#include "ui_StaffShared.h"

using db::isValidRef;

namespace {

template <typename R>
void showNumber(QLineEdit* edit, const R& rec, db::NumField field)
{
    if (edit) edit->setText(QString::number(rec.number(field)));
}

// A stored date as day, month and year: the day of year goes through the
// month table, the year is shown as stored.
void showDate(QLineEdit* day, QLineEdit* month, QLineEdit* year, const db::StaffRecord& s, db::DateField f)
{
    auto d = static_cast<std::int16_t>(static_cast<std::uint16_t>(s.get(f.dayOfYear()) + 1u));
    std::uint16_t m = 1;
    db::MakeDate(d, m);
    day->setText(QString::number(d));
    month->setText(QString::number(m));
    year->setText(QString::number(s.get(f.year())));
}

// Selects the code's caption, or entry 0 ("<none>") for a code past the list.
void showCode(QComboBox* combo, int code)
{
    combo->setCurrentIndex(code < combo->count() ? code : 0);
}

}  // namespace

void StaffPage::ListBoxStaffClick()
{
    const int id = selectedStaffId();
    if (id < 0) return;
    shownStaff_ = id;
    showGeneral(id);

    // The attribute sub-pages follow the classification. Any other code
    // leaves both sub-pages exactly as the previous person left them.
    const db::StaffRecord& s = ctx_.db.staff[static_cast<std::size_t>(id)];
    const std::uint8_t c = s.get(db::StaffRecord::Classification);
    if (!db::Classification::hasNonPlayer(c) && !db::Classification::hasPlayer(c)) return;
    QTabWidget* pages = ui->PageControl5;
    pages->setTabVisible(pages->indexOf(ui->TabSheet12), db::Classification::hasPlayer(c));
    pages->setTabVisible(pages->indexOf(ui->TabSheet13), db::Classification::hasNonPlayer(c));
    if (db::Classification::hasNonPlayer(c)) showNonPlayer(s.get(db::StaffRecord::NonPlayerId));
    if (db::Classification::hasPlayer(c)) showPlayer(s.get(db::StaffRecord::PlayerId));
}

void StaffPage::showGeneral(int staffId)
{
    const db::Database& d = ctx_.db;
    const db::StaffRecord& s = d.staff[static_cast<std::size_t>(staffId)];

    // Name combos: the entry at the stored identifier, or nothing selected.
    for (std::size_t k = 0; k < std::size(staff::kNames); ++k) {
        const std::int32_t nameId = s.get(staff::kNames[k].field);
        names_[k]->setCurrentIndex(isValidRef(nameId, static_cast<std::size_t>(names_[k]->count())) ? nameId
                                                                                                    : -1);
    }
    showDate(dates_[0].day, dates_[0].month, dates_[0].year, s, staff::kDates[0].field);

    // Nations: the nation, else the extra last entry (when the list has one).
    for (std::size_t k = 0; k < std::size(staff::kNations); ++k) {
        const std::int32_t nationId = s.get(staff::kNations[k].field);
        QComboBox* c = nations_[k];
        const int extra = static_cast<int>(d.nations.size());
        if (isValidRef(nationId, d.nations.size()) && nationId < c->count())
            c->setCurrentIndex(nationId);
        else
            c->setCurrentIndex(extra < c->count() ? extra : -1);
    }

    for (std::size_t k = 0; k < std::size(staff::kGeneralNumbers); ++k)
        showNumber(generalNumbers_[k], s, staff::kGeneralNumbers[k].field);

    const std::int32_t nationContracted = s.get(db::StaffRecord::NationContractedId);
    nationContract_->setText(isValidRef(nationContracted, d.nations.size())
                                 ? fromRaw(d.nations[static_cast<std::size_t>(nationContracted)].text(
                                       db::NationRecord::NationName))
                                 : QString::fromLatin1(db::kNone.data(), db::kNone.size()));
    showCode(jobForNation_, s.get(db::StaffRecord::JobForNation));

    const std::int32_t clubId = s.get(db::StaffRecord::ClubContractedId);
    club_->setText(isValidRef(clubId, d.clubs.size())
                       ? fromRaw(d.clubs[static_cast<std::size_t>(clubId)].text(db::ClubRecord::LongName))
                       : QString::fromLatin1(db::kNone.data(), db::kNone.size()));
    showCode(jobForClub_, s.get(db::StaffRecord::JobForClub));
    for (std::size_t k = 1; k < std::size(staff::kDates); ++k)
        showDate(dates_[k].day, dates_[k].month, dates_[k].year, s, staff::kDates[k].field);

    showCode(playingSquad_, s.get(db::StaffRecord::PlayingSquad));
    showCode(classification_, s.get(db::StaffRecord::Classification));
    showNumber(clubValuation_, s, staff::kClubValuation.field);

    // Preference lists: always three entries, "<none>" for every identifier
    // that names no record of its table.
    for (std::size_t k = 0; k < std::size(staff::kPreferences); ++k) {
        const staff::PreferenceBinding& b = staff::kPreferences[k];
        std::vector<RecordListModel::Row> rows;
        for (int slot = 0; slot < b.field.count; ++slot) {
            const std::int32_t ref = s.id(b.field, slot);
            if (b.clubs && isValidRef(ref, d.clubs.size()))
                rows.push_back(
                    {fromRaw(d.clubs[static_cast<std::size_t>(ref)].text(db::ClubRecord::LongName)), ref});
            else if (!b.clubs && isValidRef(ref, d.staff.size()))
                rows.push_back({fromRaw(d.staff[static_cast<std::size_t>(ref)].displayName), ref});
            else
                rows.push_back({QString::fromLatin1(db::kNone.data(), db::kNone.size()), -1});
        }
        recordModel(preferences_[k])->setRows(std::move(rows));
    }
}

void StaffPage::setSubPageEnabled(bool playing, bool enabled)
{
    if (playing) {
        playing_->TabSheet18->setEnabled(enabled);
        playing_->TabSheet23->setEnabled(enabled);
        playing_->TabSheet24->setEnabled(enabled);
    } else {
        nonPlaying_->TabSheet20->setEnabled(enabled);
        nonPlaying_->TabSheet21->setEnabled(enabled);
    }
}

// A classification that names an attribute record whose link is not a
// position of its table shows the sub-page empty and disabled: there is no
// record to show, and Confirm Changes will not write one.
void StaffPage::showNonPlayer(int nonPlayerId)
{
    const bool valid = isValidRef(nonPlayerId, ctx_.db.nonPlayers.size());
    setSubPageEnabled(false, valid);
    if (!valid) {
        for (QLineEdit* e : nonPlayerNumbers_) e->clear();
        formation_->setCurrentIndex(-1);
        return;
    }
    const db::NonPlayerRecord& r = ctx_.db.nonPlayers[static_cast<std::size_t>(nonPlayerId)];
    for (std::size_t k = 0; k < 5; ++k)
        showNumber(nonPlayerNumbers_[k], r, staff::kNonPlayerNumbers[k].field);
    showCode(formation_, r.get(db::NonPlayerRecord::Formation));
    for (std::size_t k = 5; k < std::size(staff::kNonPlayerNumbers); ++k)
        showNumber(nonPlayerNumbers_[k], r, staff::kNonPlayerNumbers[k].field);
}

void StaffPage::showPlayer(int playerId)
{
    const bool valid = isValidRef(playerId, ctx_.db.players.size());
    setSubPageEnabled(true, valid);
    if (!valid) {
        for (QLineEdit* e : playerNumbers_) e->clear();
        return;
    }
    const db::PlayerRecord& r = ctx_.db.players[static_cast<std::size_t>(playerId)];
    for (std::size_t k = 0; k < std::size(staff::kPlayerNumbers); ++k)
        showNumber(playerNumbers_[k], r, staff::kPlayerNumbers[k].field);
}
