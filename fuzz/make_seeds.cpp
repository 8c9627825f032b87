// fuzz_seeds OUTDIR: writes the seed corpus of the fuzz targets into
// OUTDIR/load and OUTDIR/text. The load seeds are small sample databases
// (a few kilobytes each) packed as the load target reads them, plus a few
// hostile variants; nothing here is committed, it is made at build time.

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "Container.h"
#include "Harnesses.h"
#include "db/editing/NewClub.h"
#include "db/editing/NewStaff.h"
#include "db/exchange/Merge.h"
#include "db/exchange/SheetColumns.h"
#include "db/exchange/SpreadsheetExport.h"
#include "db/exchange/Update.h"
#include "db/exchange/json/UpdateJson.h"
#include "tools/sample/SampleDb.h"

namespace {

using fuzz::Bytes;

template <typename R>
void append(Bytes& out, const db::Table<R>& table)
{
    for (const R& r : table) out.insert(out.end(), r.data(), r.data() + R::Size);
}

template <typename R>
Bytes bytesOf(const db::Table<R>& table)
{
    Bytes out;
    append(out, table);
    return out;
}

Bytes wizard(int templates)
{
    Bytes out = {static_cast<std::uint8_t>(templates), 0};
    for (int t = 0; t < templates; ++t) {
        db::WizardTemplate w;
        w.setText(db::WizardTemplate::TemplateName, "Template " + std::to_string(t));
        for (std::size_t i = 62; i < db::WizardTemplate::Size; ++i)
            w.bytes[i] = static_cast<std::uint8_t>(i % 20);
        out.insert(out.end(), w.data(), w.data() + db::WizardTemplate::Size);
    }
    return out;
}

fuzz::Files filesOf(const db::Database& d, int templates)
{
    Bytes index(8, 'Q');
    for (const db::IndexEntry& e : d.index)
        index.insert(index.end(), e.data(), e.data() + db::IndexEntry::Size);
    Bytes staff;
    append(staff, d.staff);
    append(staff, d.staffExtra);
    append(staff, d.nonPlayers);
    append(staff, d.players);
    return {index,
            bytesOf(d.clubs),
            bytesOf(d.colours),
            bytesOf(d.nations),
            bytesOf(d.stadiums),
            staff,
            bytesOf(d.cities),
            bytesOf(d.clubComps),
            bytesOf(d.firstNames),
            bytesOf(d.secondNames),
            bytesOf(d.commonNames),
            wizard(templates)};
}

// Keeps the first `n` records of every table, so that a seed stays small;
// the counts and the staff offsets follow.
db::Database shrink(db::Database d, std::size_t n)
{
    auto cut = [n](auto& table, int entry, db::Database& db) {
        if (table.size() > n) table.resize(n);
        db.entry(entry).set(db::IndexEntry::RecordCount, static_cast<std::int32_t>(table.size()));
    };
    cut(d.clubs, db::Entry::Clubs, d);
    cut(d.colours, db::Entry::Colours, d);
    cut(d.nations, db::Entry::Nations, d);
    cut(d.stadiums, db::Entry::Stadiums, d);
    cut(d.staff, db::Entry::Staff, d);
    cut(d.staffExtra, db::Entry::StaffExtra, d);
    cut(d.nonPlayers, db::Entry::NonPlayers, d);
    cut(d.players, db::Entry::Players, d);
    cut(d.cities, db::Entry::Cities, d);
    cut(d.clubComps, db::Entry::ClubComps, d);
    cut(d.firstNames, db::Entry::FirstNames, d);
    cut(d.secondNames, db::Entry::SecondNames, d);
    cut(d.commonNames, db::Entry::CommonNames, d);
    std::int32_t at = 0;
    const std::int32_t sizes[] = {157, 8, 68};
    for (int k = db::Entry::StaffExtra; k <= db::Entry::Players; ++k) {
        at += sizes[k - db::Entry::StaffExtra] * d.entry(k - 1).get(db::IndexEntry::RecordCount);
        d.entry(k).set(db::IndexEntry::TableOffset, at);
    }
    return d;
}

void write(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: fuzz_seeds OUTDIR\n";
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out / "load");
    std::filesystem::create_directories(out / "text");
    std::filesystem::create_directories(out / "update");
    std::filesystem::create_directories(out / "query");
    std::filesystem::create_directories(out / "import");

    sample::Options options;
    options.scale = 0.01;
    int n = 0;
    auto seed = [&](const fuzz::Files& files) {
        write(out / "load" / ("seed-" + std::to_string(n++)), fuzz::pack(files));
    };

    for (std::uint64_t s : {1u, 2u}) {
        options.seed = s;
        const db::Database full = sample::makeDatabase(options);
        for (std::size_t keep : {3u, 8u}) seed(filesOf(shrink(full, keep), 2));
    }
    options.seed = 3;
    const db::Database small = shrink(sample::makeDatabase(options), 5);

    fuzz::Files noWizard = filesOf(small, 0);
    noWizard[11].reset();
    seed(noWizard);

    db::Database empty = db::Database::withEmptyIndex();
    seed(filesOf(empty, 0));

    // Staff tables with a gap between them, as another tool might leave them.
    fuzz::Files gaps = filesOf(small, 1);
    {
        db::Database moved = small;
        const std::int32_t at = moved.entry(db::Entry::NonPlayers).get(db::IndexEntry::TableOffset);
        moved.entry(db::Entry::NonPlayers).set(db::IndexEntry::TableOffset, at + 16);
        moved.entry(db::Entry::Players)
            .set(db::IndexEntry::TableOffset,
                 moved.entry(db::Entry::Players).get(db::IndexEntry::TableOffset) + 16);
        gaps = filesOf(moved, 1);
        gaps[5]->insert(gaps[5]->begin() + at, 16, 0xEE);
    }
    seed(gaps);

    // Counts of 2^31-1 with almost no bytes behind them.
    db::Database huge = small;
    for (int k : {db::Entry::Clubs, db::Entry::Staff, db::Entry::FirstNames})
        huge.entry(k).set(db::IndexEntry::RecordCount, 0x7FFFFFFF);
    seed(filesOf(huge, 1));

    const char* texts[] = {"-12x",
                           "$1F",
                           "  0x7fffffff",
                           "-",
                           "Zo\xEB M\xFCller",
                           "M\xC3\xBCller \xE2\x82\xAC",
                           "\x01\x00",
                           "\xff\xff",
                           "\x3b\x00",
                           "\xc3",
                           "12abc",
                           "x"};
    int t = 0;
    for (const char* s : texts) {
        const std::size_t len = std::strlen(s) > 0 ? std::strlen(s) : 2;
        write(out / "text" / ("seed-" + std::to_string(t++)), Bytes(s, s + len));
    }

    // Updates of the update target: a changed field, a new club with a new
    // person in it, new names.
    const db::Database base = fuzz::updateTarget();
    int u = 0;
    auto update = [&](const db::Database& after) {
        const std::string json = db::encodeUpdate(db::diffDatabases(base, after));
        write(out / "update" / ("seed-" + std::to_string(u++)), Bytes(json.begin(), json.end()));
    };
    db::Database edited = base;
    edited.clubs[1].set(db::ClubRecord::Cash, 5000);
    edited.clubs[2].setText(db::ClubRecord::ShortName, "Short \xE9");
    update(edited);
    const std::int32_t club = edited.appendClub(db::composeNewClub(edited));
    edited.staff[0].set(db::StaffRecord::ClubContractedId, club);
    db::addNewStaff(edited, 3, 8);
    update(edited);
    edited.appendName(db::NameKind::Second, "Nouveau");
    edited.staff.back().set(db::StaffRecord::SecondNameId, 2);
    update(edited);
    // The first version of the format, which names no base.
    db::Update old = db::diffDatabases(base, edited);
    old.base = {};
    const std::string v1 = db::encodeUpdate(old);
    write(out / "update" / ("seed-" + std::to_string(u++)), Bytes(v1.begin(), v1.end()));
    // A merge of two updates that both append a club.
    db::Database other = base;
    other.clubs[0].set(db::ClubRecord::Cash, 77);
    other.appendClub(db::composeNewClub(other));
    const std::string merged = db::encodeUpdate(
        db::mergeUpdates(base,
                         {{"a", db::diffDatabases(base, edited)}, {"b", db::diffDatabases(base, other)}},
                         db::MergePolicy::First)
            .merged);
    write(out / "update" / ("seed-" + std::to_string(u++)), Bytes(merged.begin(), merged.end()));

    // Queries: a byte for the table (its place among queryTableNames), then
    // the text; one of each shape the language has.
    const std::pair<int, const char*> queries[] = {
        {1, "Wage > 5000 and Nation = \"Brazil\" and Age < 21"},
        {1, "NationId is none or ClubContractedId = -2"},
        {1, "Name contains \"jos\xC3\xA9\" OR name starts with \"A\""},
        {1, "not (Wage between 900 and 100) and JobForClub in (\"Player\", 5)"},
        {1, "DateOfBirth < \"29/2/1980\" and ClubJoinDate >= \"1998-07-01\""},
        {0, "Cash <= 0 and Division is not none and PlayerIds[3] = 1"},
        {0, "LongName, -Cash, Nation"},
        {2, "PotentialAbility > 150 and Club = \"Man Utd\" and Wage > 100"},
        {3, "Name,Age,Club,CurrentAbility"},
        {4, "NationName <> \"\" and Id in (0, 1)"},
        {5, "City = \"\"\"Quoted\"\"\" and Covered = \"Yes\""},
        {9, "UsageCount > 2 or Name not contains \"e\""},
    };
    int q = 0;
    for (const auto& [table, text] : queries) {
        Bytes b = {static_cast<std::uint8_t>(table)};
        b.insert(b.end(), text, text + std::strlen(text));
        write(out / "query" / ("seed-" + std::to_string(q++)), b);
    }
    // Spreadsheets: a byte for the table (its place among sheetTableNames),
    // then the file: each table as export writes it for the import harness's
    // database, and a few edited the way spreadsheet programs write them.
    const db::Database sheetBase = fuzz::updateTarget();
    int s = 0;
    auto sheet = [&](std::size_t table, const std::string& file) {
        Bytes b = {static_cast<std::uint8_t>(table)};
        b.insert(b.end(), file.begin(), file.end());
        write(out / "import" / ("seed-" + std::to_string(s++)), b);
    };
    const std::vector<std::string>& sheets = db::sheetTableNames();
    for (std::size_t k = 0; k < sheets.size(); ++k)
        sheet(k, db::exportCsv(sheetBase, *db::sheetTableByName(sheets[k])));
    sheet(0,
          "sep=;\r\nClubId;LongName;Cash;NationId\r\n0;\"M\xC3\xBCnster; "
          "\"\"A\"\"\";-5;1\r\n;New;3;-2\r\n\r\n");
    sheet(1,
          "StaffId\tClassification\tJobForClub\tWage\tDateOfBirth\n\tPlayer\tPlayer\t100\t1980-02-"
          "29\n0\t1\t8\tx\t\n");
    sheet(1, "StaffId,ClubContractedId,FirstNameId\r\n1,0,1\r\n2,-1,0\r\n");
    sheet(9,
          "NameId,Name\r\n0,Z\xF6"
          "e\r\n1,\"a\r\nb\"\r\n");
    std::cout << "wrote " << n << " load seeds, " << t << " text seeds, " << u << " update seeds, " << q
              << " query seeds and " << s << " import seeds to " << out.string() << "\n";
    return 0;
}
