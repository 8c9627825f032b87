#pragma once

// The one notice of every change of the database. Whatever changes records
// (a page's Confirm, a transfer, an addition, the wizard, Apply Update, undo,
// redo, a load) announces it here with what it touched; every window that
// shows records listens and brings its own lists and shown record up to
// date. Nobody reaches into another window to do it.

#include <QObject>
#include <cstddef>
#include <utility>

#include "db/editing/ChangeStep.h"

struct DatabaseChange {
    enum class Kind {
        Unloaded,  // the tables are about to be read anew: lists empty themselves
        Loaded,    // the tables were read (completely or not): lists fill themselves
        Done,      // a new step was made
        Undone,    // a step was taken back
        Redone     // a step was done again
    };

    Kind kind = Kind::Loaded;
    // The step (its records before and after); null for Unloaded and Loaded.
    const db::ChangeStep* step = nullptr;

    bool isLoad() const { return kind == Kind::Unloaded || kind == Kind::Loaded; }
    // The step changed or appended records of `t`.
    bool touches(db::TableId t) const;
    // The step changed record `position` of `t` in place.
    bool touchesRecord(db::TableId t, std::size_t position) const;
    // Records of `t` that exist now and did not before: [first, second).
    // Empty unless the step appended to `t` and was done or done again.
    std::pair<std::size_t, std::size_t> added(db::TableId t) const;
    // Records of `t` that are gone: the step appended to `t` and was undone.
    bool removes(db::TableId t) const;
};

class DatabaseEvents : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void announce(const DatabaseChange& change) { emit changed(change); }
    // Called before a record's text (a club's long name, a person's display
    // name) changes: lists built earlier keep the old text, as the editor
    // promises.
    void announceTextChange(db::TableId table, int record) { emit textChanging(table, record); }

signals:
    void changed(const DatabaseChange& change);
    void textChanging(db::TableId table, int record);
};

// For windows whose lists only follow loads: `window` empties them
// (clearLists) before the tables are read anew and fills them (fillLists)
// after.
template <class Window>
void followLoads(DatabaseEvents& events, Window* window)
{
    QObject::connect(&events, &DatabaseEvents::changed, window, [window](const DatabaseChange& c) {
        if (c.kind == DatabaseChange::Kind::Unloaded) window->clearLists();
        if (c.kind == DatabaseChange::Kind::Loaded) window->fillLists();
    });
}
