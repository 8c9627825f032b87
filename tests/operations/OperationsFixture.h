#pragma once

// A small in-memory world for the dialog tests: a full index, three clubs
// with every staff slot free and five named staff members without a club.

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "kit/AppContext.h"
#include "kit/Messages.h"

class QListView;
class QWidget;

struct OpsWorld {
    RecordingMessages messages;
    AppContext ctx;

    // Clubs: 0 "Arsenal" (short "Gunners"), 1 "Barnet", 2 "Chelsea".
    // Staff: 0 "Alan Smith", 1 "Bob Jones", 2 "Carl Smithers", 3 "Dan Brown", 4 "Eric Black".
    OpsWorld();

    db::ClubRecord& club(int k) { return ctx.db.clubs.at(static_cast<std::size_t>(k)); }
    db::StaffRecord& person(int k) { return ctx.db.staff.at(static_cast<std::size_t>(k)); }

    // Person `id` works at club `clubId` with `job`, slots included.
    void employ(int id, int clubId, int job);

    // Every byte of the tables and the index, to prove that nothing changed.
    std::vector<unsigned char> snapshot() const;
};

// The list view `name` on `page`; one is made when the page has none yet.
QListView* ensureList(QWidget* page, const char* name);
// The texts of a list view's rows.
QStringList rowTexts(const QListView* list);
// The records of a list view's rows.
std::vector<int> rowRecords(const QListView* list);
