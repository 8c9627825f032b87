// The checks of the index against the files, and the helpers that lay the
// tables out in them.

#include <algorithm>

#include "db/query/CheckSupport.h"

namespace db {

namespace {

constexpr std::int64_t kIndexHeader = 8;
constexpr std::int64_t kIndexEntrySize = 67;

std::int64_t countOf(const Database& db, int entry)
{
    if (entry < 0 || static_cast<std::size_t>(entry) >= db.index.size()) return 0;
    const std::int32_t n = db.index[static_cast<std::size_t>(entry)].get(IndexEntry::RecordCount);
    return n > 0 ? n : 0;
}

std::int64_t offsetOf(const Database& db, int entry)
{
    if (entry < 0 || static_cast<std::size_t>(entry) >= db.index.size()) return 0;
    return db.index[static_cast<std::size_t>(entry)].get(IndexEntry::TableOffset);
}

// Where the table of an entry starts in its file: only the last three staff
// tables are placed by their TableOffset.
std::int64_t startOf(const Database& db, int entry)
{
    return entry >= Entry::StaffExtra && entry <= Entry::Players ? offsetOf(db, entry) : 0;
}

Problem fileProblem(const std::string& file, std::string message)
{
    Problem p;
    p.table = file;
    p.record = -1;
    p.field = "length";
    p.message = std::move(message);
    return p;
}

}  // namespace

Problem makeProblem(Grade grade, TableId t, std::int64_t record, std::string_view field, int element,
                    int count, std::string message)
{
    Problem p;
    p.table = tableLayout(t).name;
    p.record = record;
    p.field = std::string(field);
    if (count > 1) {
        p.field += "[" + std::to_string(element) + "]";
        p.element = element;
    }
    p.message = std::move(message);
    p.grade = grade;
    p.tableId = t;
    for (const FieldInfo& f : fieldsOf(t))
        if (f.name == field) p.fieldInfo = &f;
    return p;
}

Problem makeProblem(Grade grade, TableId t, std::int64_t record, const FieldInfo* field, int element,
                    std::string message)
{
    Problem p = makeProblem(grade, t, record, field->name, element, field->count, std::move(message));
    p.fieldInfo = field;
    return p;
}

void nameRecords(const Database& db, std::vector<Problem>& problems)
{
    const RecordNamer namer(db);
    for (Problem& p : problems)
        if (p.tableId != TableId::Count && p.record >= 0)
            p.recordName = namer.name(p.tableId, static_cast<std::size_t>(p.record));
}

const std::vector<DataFile>& dataFiles()
{
    // In index order, each file with the entries of the tables it holds.
    static const std::vector<DataFile> files = [] {
        std::vector<DataFile> out;
        for (int k = 0; k < Entry::Count; ++k) {
            const TableInfo* t = tableAtEntry(k);
            if (!t) continue;
            auto same = [t](const DataFile& f) { return f.name == t->file; };
            auto it = std::find_if(out.begin(), out.end(), same);
            if (it == out.end()) it = out.insert(out.end(), {t->file.data(), {}});
            it->entries.push_back(k);
        }
        return out;
    }();
    return files;
}

std::size_t recordSize(int entry)
{
    const TableInfo* t = tableAtEntry(entry);
    return t ? t->recordSize : 0;
}

std::int64_t expectedStaffOffset(const Database& db, int entry)
{
    std::int64_t offset = 0;
    for (int k = Entry::Staff; k < entry; ++k)
        offset += countOf(db, k) * static_cast<std::int64_t>(recordSize(k));
    return offset;
}

std::vector<Problem> checkLayout(const Database& db, const FileSizes& sizes)
{
    std::vector<Problem> problems;
    for (int k = Entry::StaffExtra; k <= Entry::Players; ++k) {
        if (static_cast<std::size_t>(k) >= db.index.size()) break;
        const std::int64_t want = expectedStaffOffset(db, k);
        if (offsetOf(db, k) != want)
            problems.push_back(makeProblem(Grade::Damage, TableId::Index, k, "TableOffset", -1, 1,
                                           std::to_string(offsetOf(db, k)) +
                                               " but the tables before it end at " + std::to_string(want)));
    }

    auto sizeOf = [&](const std::string& name) -> std::optional<std::uint64_t> {
        auto it = sizes.find(name);
        return it == sizes.end() ? std::nullopt : it->second;
    };

    const auto indexSize = sizeOf("index.dat");
    const std::int64_t indexNeeds = kIndexHeader + kIndexEntrySize * Entry::Count;
    if (indexSize && static_cast<std::int64_t>(*indexSize) < indexNeeds)
        problems.push_back(fileProblem(
            "index.dat",
            std::to_string(*indexSize) + " bytes, the 22 entries need " + std::to_string(indexNeeds)));

    for (const DataFile& f : dataFiles()) {
        std::int64_t needs = 0;
        for (int k : f.entries) {
            const std::int64_t count = countOf(db, k);
            if (count == 0) continue;
            const std::int64_t end = startOf(db, k) + count * static_cast<std::int64_t>(recordSize(k));
            if (end > needs) needs = end;
        }
        const auto size = sizeOf(f.name);
        if (!size) {
            if (needs > 0)
                problems.push_back(
                    fileProblem(f.name, "missing; the counts need " + std::to_string(needs) + " bytes"));
            continue;
        }
        if (static_cast<std::int64_t>(*size) < needs)
            problems.push_back(fileProblem(f.name, std::to_string(*size) + " bytes, shorter than the " +
                                                       std::to_string(needs) + " bytes the counts need"));
    }
    nameRecords(db, problems);
    return problems;
}

}  // namespace db
