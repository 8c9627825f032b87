#include "db/exchange/SpreadsheetImport.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "db/editing/FieldChange.h"
#include "db/editing/NewClub.h"
#include "db/editing/NewStaff.h"
#include "db/exchange/SheetColumns.h"
#include "db/exchange/SheetValues.h"
#include "db/rules/Win1252.h"

namespace db {

namespace {

std::string lowerAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Why the cells of field f of table t cannot change anything (one sentence
// naming the field); empty when they can.
std::string refusalOf(TableId t, const FieldInfo& f)
{
    return win1252ToUtf8(bulkRefusal(t, f));
}

// A field element a row changes: of an existing record (`id`) or of the
// `newRecord`-th record the file adds.
struct PendingEdit {
    std::size_t row = 0;
    std::size_t column = 0;
    std::int32_t id = -1;
    int newRecord = -1;
    const FieldInfo* field = nullptr;
    int element = 0;
    std::vector<std::uint8_t> bytes;
};

struct PendingRecord {
    std::size_t row = 0;
    std::uint8_t classification = 0;
    std::uint8_t job = 0;
};

// Each column of the file: the sheet column it is (nullptr when skipped).
struct FileColumn {
    std::string header;
    const SheetColumn* sheet = nullptr;
    std::string refusal;
    bool refusalReported = false;
};

class Check {
public:
    Check(const Database& d, TableId t, ImportPlan& plan) : d_(d), t_(t), plan_(plan), size_(tableSize(d, t))
    {
        firstRow_.assign(size_, 0);
    }

    void fault(std::size_t row, std::string column, std::string message)
    {
        ++plan_.faultCount;
        if (plan_.faults.size() < kMaxReportedFaults)
            plan_.faults.push_back({row, std::move(column), std::move(message)});
    }

    void row(std::size_t number, const std::vector<std::string_view>& cells)
    {
        if (!headerRead_) {
            header(number, cells);
            headerRead_ = true;
            return;
        }
        ++plan_.rows;
        if (idColumn_ < 0) return;
        const std::string_view idText = static_cast<std::size_t>(idColumn_) < cells.size()
                                            ? trimmed(cells[idColumn_])
                                            : std::string_view();
        const FileColumn& idCol = columns_[static_cast<std::size_t>(idColumn_)];
        for (std::size_t c = columns_.size(); c < cells.size(); ++c)
            if (!cells[c].empty())
                fault(number, "", "has a value past the last column (cell " + std::to_string(c + 1) + ")");

        const std::uint8_t* rec = nullptr;
        std::int32_t id = -1;
        int newRecord = -1;
        if (idText.empty()) {
            // A row that cannot add its record still has its cells checked.
            newRecord =
                startNewRecord(number, cells, idCol.header) ? static_cast<int>(added_.size()) - 1 : -2;
        } else {
            const auto v = readWholeNumber(idText);
            if (!v || !isValidRef(*v, size_)) {
                fault(number, idCol.header,
                      quoted(idText) + " names no record of " + std::string(tableInfo(t_).title) +
                          (size_ ? " (0 to " + std::to_string(size_ - 1) + ")" : ""));
                return;
            }
            id = static_cast<std::int32_t>(*v);
            std::size_t& first = firstRow_[static_cast<std::size_t>(id)];
            if (first) {
                fault(number, idCol.header,
                      "record " + std::to_string(id) + " is also on row " + std::to_string(first));
                return;
            }
            first = number;
            rec = recordData(d_, t_, static_cast<std::size_t>(id));
        }

        for (std::size_t c = 0; c < columns_.size() && c < cells.size(); ++c) {
            FileColumn& col = columns_[c];
            if (!col.sheet) {
                if (col.header.empty() && !cells[c].empty())
                    fault(
                        number, "",
                        "has a value under a column without a header (column " + std::to_string(c + 1) + ")");
                continue;
            }
            if (col.sheet->role != SheetColumn::Role::Value) continue;
            const FieldInfo& f = *col.sheet->field;
            const std::string_view text = cells[c];
            if (text.empty() && f.kind != FieldKind::Text) {
                if (rec) fault(number, col.header, "is empty; every cell of a record's row needs its value");
                continue;
            }
            if (text.empty() && !rec) continue;
            std::string why;
            switch (readCell(d_, f, col.sheet->element, text, rec, bytes_, why)) {
                case CellVerdict::Fault:
                    fault(number, col.header, why);
                    break;
                case CellVerdict::Same:
                    break;
                case CellVerdict::Changed:
                    if (rec && !col.refusal.empty()) {
                        if (!col.refusalReported) fault(number, col.header, col.refusal);
                        col.refusalReported = true;
                        break;
                    }
                    if (newRecord != -2)
                        edits_.push_back({number, c, id, newRecord, &f, col.sheet->element, bytes_});
                    break;
            }
        }
    }

    void finish()
    {
        if (!headerRead_) fault(0, "", "The file has no header row");
        if (plan_.faultCount || (edits_.empty() && added_.empty())) return;
        dryRun();
    }

private:
    void header(std::size_t number, const std::vector<std::string_view>& cells)
    {
        std::map<std::string, const SheetColumn*> known;
        for (const SheetColumn& c : sheetColumns(t_)) known.emplace(lowerAscii(c.header), &c);
        std::map<const SheetColumn*, std::size_t> seen;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            FileColumn& col = columns_.emplace_back();
            col.header = std::string(trimmed(cells[i]));
            if (col.header.empty()) continue;
            const auto k = known.find(lowerAscii(col.header));
            if (k == known.end()) {
                fault(number, col.header, "is no column of " + std::string(tableInfo(t_).title));
                continue;
            }
            const auto [at, fresh] = seen.emplace(k->second, i);
            if (!fresh) {
                fault(number, col.header,
                      "appears twice (columns " + std::to_string(at->second + 1) + " and " +
                          std::to_string(i + 1) + ")");
                continue;
            }
            if (k->second->readOnly()) continue;
            col.sheet = k->second;
            if (col.sheet->role == SheetColumn::Role::Id) idColumn_ = static_cast<int>(i);
            if (col.sheet->role == SheetColumn::Role::Value) col.refusal = refusalOf(t_, *col.sheet->field);
        }
        if (idColumn_ < 0)
            fault(number, "",
                  "the header has no " + sheetColumns(t_).front().header +
                      " column, which says which record each row changes");
    }

    // The cell of the column of field `name` in `cells`, or nullopt.
    std::optional<std::string_view> cellOf(const std::vector<std::string_view>& cells,
                                           std::string_view name) const
    {
        for (std::size_t c = 0; c < columns_.size() && c < cells.size(); ++c)
            if (columns_[c].sheet && columns_[c].sheet->role == SheetColumn::Role::Value &&
                columns_[c].sheet->field->name == name && !cells[c].empty())
                return cells[c];
        return std::nullopt;
    }

    bool startNewRecord(std::size_t number, const std::vector<std::string_view>& cells,
                        const std::string& idHeader)
    {
        if (t_ == TableId::Clubs) {
            added_.push_back({number});
            return true;
        }
        if (t_ != TableId::Staff) {
            fault(
                number, idHeader,
                "is empty, but only clubs and staff can be added from a spreadsheet: give the identifier of "
                "the record the row changes");
            return false;
        }
        const auto cls = cellOf(cells, "Classification");
        const auto job = cellOf(cells, "JobForClub");
        if (!cls || !job) {
            fault(number, idHeader,
                  "is empty, so the row adds a staff member, which needs his Classification and JobForClub");
            return false;
        }
        std::vector<std::uint8_t> c, j;
        std::string why;
        if (readCell(d_, *findField(TableId::Staff, "Classification"), 0, *cls, nullptr, c, why) !=
                CellVerdict::Changed ||
            readCell(d_, *findField(TableId::Staff, "JobForClub"), 0, *job, nullptr, j, why) !=
                CellVerdict::Changed)
            return false;  // the cells' own faults are reported with the row's other cells
        if (!isAllowedStaffPair(c[0], j[0])) {
            fault(number, idHeader,
                  "is empty, so the row adds a staff member, but Add New gives no one of Classification " +
                      quoted(*cls) + " the job " + quoted(*job) +
                      " (Non Player: jobs 0-10; Player: 11; Non Player and Player: 0-15)");
            return false;
        }
        added_.push_back({number, c[0], j[0]});
        return true;
    }

    void dryRun()
    {
        Database copy = d_;
        ChangeRecorder recorder(copy);
        recorder.touchAll();
        std::vector<std::int32_t> newIds;
        for (const PendingRecord& r : added_) {
            try {
                newIds.push_back(t_ == TableId::Clubs ? copy.appendClub(composeNewClub(copy))
                                                      : addNewStaff(copy, r.classification, r.job));
            } catch (const Error& e) {
                fault(r.row, "", win1252ToUtf8(e.what()));
                return;
            }
        }
        for (PendingEdit& e : edits_) {
            FileColumn& col = columns_[e.column];
            if (e.newRecord >= 0) {
                e.id = newIds[static_cast<std::size_t>(e.newRecord)];
                const std::uint8_t* now = recordData(copy, t_, static_cast<std::size_t>(e.id)) +
                                          e.field->offset + e.field->width * e.element;
                if (std::equal(e.bytes.begin(), e.bytes.end(), now)) continue;
                if (!col.refusal.empty()) {
                    if (!col.refusalReported) fault(e.row, col.header, col.refusal);
                    col.refusalReported = true;
                    continue;
                }
            }
            const std::string why = applyFieldEdit(copy, t_, FieldEdit{e.id, e.field, e.element, e.bytes});
            if (!why.empty()) fault(e.row, col.header, win1252ToUtf8(why));
        }
        if (plan_.faultCount) return;
        plan_.step = recorder.finish(copy);
        plan_.newRecords = added_.size();
        describe(copy);
    }

    // The lines of Edit > Changes... for the step.
    void describe(const Database& now)
    {
        const RecordNamer namer(now);
        std::set<std::size_t> changed;
        for (const RecordChange& c : plan_.step.changes) {
            if (c.table == t_) changed.insert(c.position);
            const std::string title(tableName(c.table));
            const std::string record = std::to_string(c.position);
            const std::string name = namer.name(c.table, c.position);
            const std::uint8_t* before = c.before.bytes.data();
            const std::uint8_t* after = c.after.bytes.data();
            for (const FieldInfo& f : fieldsOf(c.table)) {
                for (int e = 0; e < f.count; ++e) {
                    const std::size_t off = f.offset + static_cast<std::size_t>(f.width) * e;
                    if (off + f.width > c.before.bytes.size() || off + f.width > c.after.bytes.size() ||
                        std::memcmp(before + off, after + off, f.width) == 0)
                        continue;
                    if (f.named()) {
                        plan_.changes.push_back({title, record, name, elementName(f, e),
                                                 formatValue(now, f, e, before),
                                                 formatValue(now, f, e, after)});
                        continue;
                    }
                    for (std::size_t b = off; b < off + f.width; ++b) {
                        if (before[b] == after[b]) continue;
                        const FieldInfo one = bytesField("", BytesField{static_cast<std::uint16_t>(b), 1});
                        plan_.changes.push_back({title, record, name, "Byte " + std::to_string(b),
                                                 formatValue(now, one, 0, before),
                                                 formatValue(now, one, 0, after)});
                    }
                }
            }
        }
        for (const TableGrowth& g : plan_.step.growth)
            for (std::size_t i = 0; i < g.added.size(); ++i)
                plan_.changes.push_back({std::string(tableName(g.table)), std::to_string(g.oldSize + i),
                                         namer.name(g.table, g.oldSize + i), "(new record)", "", ""});
        plan_.changedRecords = changed.size();
    }

    const Database& d_;
    TableId t_;
    ImportPlan& plan_;
    std::size_t size_;
    bool headerRead_ = false;
    int idColumn_ = -1;
    std::vector<FileColumn> columns_;
    std::vector<std::size_t> firstRow_;  // per record: the row that names it, 0 for none yet
    std::vector<PendingEdit> edits_;
    std::vector<PendingRecord> added_;
    std::vector<std::uint8_t> bytes_;
};

}  // namespace

std::string faultLine(const ImportFault& f)
{
    std::string s;
    if (f.row) s = "Row " + std::to_string(f.row);
    if (!f.column.empty()) s += (s.empty() ? "" : ", ") + f.column;
    return s.empty() ? f.message : s + ": " + f.message;
}

ImportPlan planImport(const Database& d, TableId t, std::string_view file)
{
    ImportPlan plan;
    plan.table = t;
    Check check(d, t, plan);
    try {
        plan.format = readSheet(
            file, [&](std::size_t n, const std::vector<std::string_view>& cells) { check.row(n, cells); });
    } catch (const Error& e) {
        check.fault(0, "", e.what());
        return plan;
    }
    check.finish();
    return plan;
}

void touchImport(ChangeRecorder& r, const ImportPlan& plan)
{
    touchImport(plan, [&](TableId t, std::int64_t i) { r.touch(t, i); });
}

void touchImport(const ImportPlan& plan, const std::function<void(TableId, std::int64_t)>& touch)
{
    for (const RecordChange& c : plan.step.changes) touch(c.table, static_cast<std::int64_t>(c.position));
}

void applyImport(Database& d, const ImportPlan& plan)
{
    if (!plan.ok()) throw Error("The spreadsheet has faults, so nothing was changed");
    plan.step.redo(d);
}

}  // namespace db
