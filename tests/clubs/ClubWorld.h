#pragma once

// A small game database and the windows of the club editor around it, as the
// main window holds them: the club page inside a "Clubs" tab beside a staff
// page, the club picker, the staff picker and the transfer dialog.

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QTabWidget>
#include <memory>

#include "kit/AppContext.h"
#include "kit/Messages.h"
#include "kit/RecordListModel.h"
#include "clubs/ClubPage.h"
#include "clubs/FindClubForm.h"
#include "db/format/Database.h"

namespace clubtest {

// Clubs: 0 "Lakeside United" (short "Lakeside"), 1 "Hillford Town",
// 2 "Marrow Rovers" (short "Rovers FC"), 3 "Borovia City".
// Stadiums: 0 "Old Park", 1 "River Ground", 2 "North Bowl".
// Staff 0-5 "John Smith", "Ann Brown", "John Brown", "Ann Smith", "Mary Stone", "Paul Reed".
db::Database sampleDatabase();

struct World {
    AppContext ctx;
    RecordingMessages messages;
    QTabWidget tabs;
    ClubPage* page = nullptr;
    std::unique_ptr<FindClubForm> picker;

    explicit World(db::Database d = sampleDatabase());
    ~World();

    template <class T>
    T* get(const char* name) const
    {
        return page->findChild<T*>(QLatin1String(name));
    }
    QLineEdit* edit(const char* name) const { return get<QLineEdit>(name); }
    QComboBox* combo(const char* name) const { return get<QComboBox>(name); }
    QListView* list(const char* name) const { return get<QListView>(name); }
    RecordListModel* model(const char* name) const { return recordModel(list(name)); }

    // Selects club `row` of ListBoxClubs as the user would.
    void selectClub(int row);
    // Picks `row` of a combo box as the user would (runs its change handler).
    void pick(const char* combo, int row);
    // The texts of a list view.
    QStringList texts(const char* list) const;
    // Every byte of every table the club page may change.
    std::vector<std::uint8_t> snapshot() const;
};

QStringList texts(const QAbstractItemView* view);

}  // namespace clubtest
