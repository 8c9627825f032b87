#pragma once

// A small game database and every window the Staff tab talks to, wired
// through one AppContext as the program does at start-up.

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QString>
#include <memory>

#include "kit/AppContext.h"
#include "kit/Messages.h"

class ClubPage;
class FindClubForm;
class FindStaffForm;
class NamesForm;
class StaffPage;
class TransferForm;

// The people of the test database, by StaffId.
namespace people {
constexpr int Player = 0;           // Finn Johnson: classification 2, odd references
constexpr int NonPlayer = 1;        // Alan Smith: classification 1, formation 10
constexpr int Youth = 2;            // Carl Larsson: classification 4, links to person 3's records
constexpr int Both = 3;             // Dirk SONNY: classification 3
constexpr int BrokenPlayer = 4;     // Emil Brown: classification 2, PlayerId 999
constexpr int BrokenNonPlayer = 5;  // Gus Smith: classification 1, NonPlayerId -5
constexpr int Hostile = 6;          // name ids -7, club 2,000,000,000
constexpr int Count = 7;
}  // namespace people

struct StaffFixture {
    StaffFixture();
    ~StaffFixture();

    AppContext ctx;
    RecordingMessages messages;
    std::unique_ptr<StaffPage> page;
    std::unique_ptr<NamesForm> names;
    std::unique_ptr<FindStaffForm> findStaff;
    std::unique_ptr<FindClubForm> findClub;
    std::unique_ptr<TransferForm> transfer;
    std::unique_ptr<ClubPage> clubPage;

    QLineEdit* edit(const char* name) const;
    QComboBox* combo(const char* name) const;
    QListView* list(const char* name) const;
    QPushButton* button(const char* name) const;

    // Shows person `id` as the club page's jumps do.
    void show(int id);
    // Every byte of every table and the index, to compare before and after.
    std::string snapshot() const;
};

// The texts of a list's rows, top to bottom.
QStringList rows(const QListView* view);

// The application font of the program (8 pt).
void useProgramFont();
