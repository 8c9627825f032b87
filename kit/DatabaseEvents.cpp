#include "DatabaseEvents.h"

bool DatabaseChange::touches(db::TableId t) const
{
    if (!step) return isLoad();
    for (const db::RecordChange& c : step->changes)
        if (c.table == t) return true;
    for (const db::TableGrowth& g : step->growth)
        if (g.table == t) return true;
    return false;
}

bool DatabaseChange::touchesRecord(db::TableId t, std::size_t position) const
{
    if (!step) return isLoad();
    for (const db::RecordChange& c : step->changes)
        if (c.table == t && c.position == position) return true;
    return false;
}

std::pair<std::size_t, std::size_t> DatabaseChange::added(db::TableId t) const
{
    if (!step || kind == Kind::Undone) return {0, 0};
    for (const db::TableGrowth& g : step->growth)
        if (g.table == t) return {g.oldSize, g.oldSize + g.added.size()};
    return {0, 0};
}

bool DatabaseChange::removes(db::TableId t) const
{
    if (!step || kind != Kind::Undone) return false;
    for (const db::TableGrowth& g : step->growth)
        if (g.table == t) return true;
    return false;
}
