#pragma once

// How one window brings up another. A page asks the shell for a jump or a
// dialog through this interface, so no page needs to know another window:
// a picker hands its choice back to the page that asked for it, and that
// page puts it where it belongs.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

struct AppContext;
namespace db {
class Database;
struct FieldInfo;
enum class TableId : std::uint8_t;
}  // namespace db

class Navigation {
public:
    // A picker's choice: the record chosen (-1 for "<none>") and its text.
    using PickHandler = std::function<void(int record, const QString& text)>;

    virtual ~Navigation() = default;

    // The page of record `record` of table `t`: a club on the Clubs tab, a
    // person (or the owner of a playing or non-playing record) on the Staff
    // tab; records of other tables have no page and change nothing. With
    // `field`, the control that shows that field of `t` is brought into view
    // (its sub-page chosen) and given the focus.
    void goToRecord(const db::Database& d, db::TableId t, std::size_t record,
                    const db::FieldInfo* field = nullptr);
    // The control of field `f` of table `t` on the page showing it.
    virtual void showField(db::TableId /*t*/, const db::FieldInfo& /*f*/) {}

    // The Clubs tab with club `clubId` listed, selected and shown; an
    // identifier that names no listed club changes nothing.
    virtual void goToClub(int clubId) = 0;
    // The Staff tab with person `staffId` alone in its list, selected and
    // shown; an identifier that names nobody leaves the list empty.
    virtual void showStaff(int staffId) = 0;
    // The same for a person just added, listed under `text`.
    virtual void showNewStaff(int staffId, const QString& /*text*/) { showStaff(staffId); }

    // The club picker (target 0 rival clubs, 1 and 2 favourite and disliked
    // clubs) and the staff picker (0/1 the club page's favourite and disliked
    // staff, 2/3 the staff page's); `onPick` runs when the user chooses.
    virtual void pickClub(int /*target*/, PickHandler /*onPick*/) {}
    virtual void pickStaff(int /*target*/, PickHandler /*onPick*/) {}
    // "Where Used" for record `record` of table `t`.
    virtual void showWhereUsed(db::TableId /*t*/, std::size_t /*record*/) {}
    // File > Export to Spreadsheet on table `t`, offering `found` (the Find
    // window's results) beside all records.
    virtual void showExport(db::TableId /*t*/, std::vector<std::int32_t> /*found*/) {}
    // Edit > Find... and File > Import from Spreadsheet...
    virtual void showFind() {}
    virtual void showImport() {}
    // The transfer dialog for one person.
    virtual void openTransfer(int /*staffId*/, const QString& /*staffName*/, int /*fromClubId*/,
                              int /*jobIndex*/, bool /*jobEnabled*/)
    {
    }
};

// The shell's jumps: to the windows the start-up made (nothing while a window
// does not exist). Defined with the start-up code, which alone knows them.
class PageNavigation final : public Navigation {
public:
    explicit PageNavigation(AppContext& ctx) : ctx_(ctx) {}
    void goToClub(int clubId) override;
    void showStaff(int staffId) override;
    void showNewStaff(int staffId, const QString& text) override;
    void pickClub(int target, PickHandler onPick) override;
    void pickStaff(int target, PickHandler onPick) override;
    void openTransfer(int staffId, const QString& staffName, int fromClubId, int jobIndex,
                      bool jobEnabled) override;
    void showWhereUsed(db::TableId t, std::size_t record) override;
    void showField(db::TableId t, const db::FieldInfo& f) override;
    void showExport(db::TableId t, std::vector<std::int32_t> found) override;
    void showFind() override;
    void showImport() override;

private:
    AppContext& ctx_;
};
