#pragma once

// The Staff tab: staff search, display and Confirm Changes.

#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

#include "db/format/Fields.h"

struct AppContext;
namespace db {
enum class TableId : std::uint8_t;
struct FieldInfo;
}
struct DatabaseChange;
class EditStep;
class QComboBox;
class QLineEdit;
class QListView;
class QWidget;

namespace Ui {
class StaffPage;
class StaffShared;
class StaffPlaying;
class StaffNonPlaying;
}  // namespace Ui

class StaffPage : public QWidget {
    Q_OBJECT
public:
    explicit StaffPage(AppContext& ctx, QWidget* parent = nullptr);
    ~StaffPage() override;

    void fillLists();
    void clearLists();
    // Reset (Button8Click) and the display of the selected person.
    void Button8Click();
    void ListBoxStaffClick();
    // Puts one entry for `staffId` (its display name, or `text` when given)
    // into the emptied ListBoxStaff, selects it, shows the person and brings
    // the Staff tab up.
    void showStaff(int staffId, const QString& text = QString());
    // Brings the control showing field `f` of table `t` (staff, players,
    // non-players) into view and focuses it.
    void revealField(db::TableId t, const db::FieldInfo& f);

    // Search: every person whose display name contains the StaffSearch text.
    void Button7Click();
    // Confirm Changes: writes the controls into the selected person's records.
    void Button6Click();
    // "New" beside the first, second and common name: the names dialog.
    void Button4Click();
    void Button5Click();
    void Button10Click();
    // Go To Club and Transfer Player.
    void Button11Click();
    void Button9Click();
    // Double-clicks of the preference lists: open the staff or club picker.
    void StaffFavStaffClick();
    void StaffDisStaffClick();
    void StaffFavClubsClick();
    void StaffDisClubsClick();

    // The names dialog added name `nameId` of `kind` (0 first, 1 second,
    // 2 common): append it to the matching name combo and select it.
    void appendNameEntry(int kind, int nameId);

    // The StaffId of the person selected in ListBoxStaff, checked against the
    // general table; -1 when nobody (valid) is selected.
    int selectedStaffId() const;

private:
    // Every change of the database: the lists and the person on screen follow.
    void databaseChanged(const DatabaseChange& change);
    // Confirm Changes of `staffId` as one step: his records and the name
    // records whose usage counts may move.
    EditStep confirmStep(int staffId) const;
    // The name table behind name list k (first, second, common).
    static db::TableId nameTable(std::size_t k);
    void bindControls();
    void openPicker(int preference);
    void openNames(int kind);

    // Display helpers (StaffDisplay.cpp).
    void showGeneral(int staffId);
    void showNonPlayer(int nonPlayerId);
    void showPlayer(int playerId);
    void setSubPageEnabled(bool playing, bool enabled);

    AppContext& ctx_;
    std::unique_ptr<Ui::StaffPage> ui;
    std::unique_ptr<Ui::StaffShared> shared_;
    std::unique_ptr<Ui::StaffPlaying> playing_;
    std::unique_ptr<Ui::StaffNonPlaying> nonPlaying_;

    // The controls of the binding tables, resolved once, index for index.
    std::vector<QComboBox*> names_, nations_, codes_;
    std::vector<QListView*> preferences_;
    std::vector<QLineEdit*> generalNumbers_, nonPlayerNumbers_, playerNumbers_;
    struct DateEdits {
        QLineEdit* day;
        QLineEdit* month;
        QLineEdit* year;
    };
    std::vector<DateEdits> dates_;
    QLineEdit* clubValuation_ = nullptr;
    QLineEdit* nationContract_ = nullptr;
    QLineEdit* club_ = nullptr;
    QComboBox* jobForNation_ = nullptr;
    QComboBox* jobForClub_ = nullptr;
    QComboBox* playingSquad_ = nullptr;
    QComboBox* classification_ = nullptr;
    QComboBox* formation_ = nullptr;

    // The person whose values the controls hold (-1: nobody yet). Confirm
    // Changes only writes when that is still the selected person.
    int shownStaff_ = -1;
};
