#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "Harnesses.h"
#include "db/editing/ChangeStep.h"
#include "db/query/Query.h"

namespace fuzz {

namespace {

// Every byte and display name of the database, one table after another.
std::vector<std::string> imagesOf(const db::Database& d)
{
    std::vector<std::string> out;
    for (std::size_t t = 0; t < db::kTableCount; ++t) {
        const db::TableImage image = db::tableImage(d, static_cast<db::TableId>(t), true);
        out.emplace_back(image.bytes.begin(), image.bytes.end());
        out.insert(out.end(), image.displayNames.begin(), image.displayNames.end());
    }
    return out;
}

// Parses; a text that cannot be read must say so with QueryError alone.
template <typename F>
bool reads(F&& parse)
{
    try {
        parse();
        return true;
    } catch (const db::QueryError& e) {
        FUZZ_REQUIRE(!e.message().empty());
        return false;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "a query threw %s\n", e.what());
        FUZZ_REQUIRE(!"a bad query is refused with QueryError only");
    }
    return false;
}

}  // namespace

void queryHarness(const std::uint8_t* data, std::size_t size)
{
    static const db::Database target = [] {
        db::Database d = updateTarget();
        // References that read as none, of both kinds.
        d.staff[0].set(db::StaffRecord::NationId, -2);
        d.staff[1].set(db::StaffRecord::ClubContractedId, static_cast<std::int32_t>(d.clubs.size()));
        return d;
    }();
    static const std::vector<std::string> original = imagesOf(target);
    if (size == 0) return;
    const auto& tables = db::queryTableNames();
    const db::TableId table = *db::queryTableByName(tables[data[0] % tables.size()]);
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    db::Query query;
    if (reads([&] { query = db::Query::parse(table, text); })) {
        const std::vector<std::int32_t> found = query.run(target);
        const std::size_t count = db::tableSize(target, table);
        FUZZ_REQUIRE(std::is_sorted(found.begin(), found.end()));
        FUZZ_REQUIRE(std::adjacent_find(found.begin(), found.end()) == found.end());
        FUZZ_REQUIRE(found.empty() || (found.front() >= 0 && static_cast<std::size_t>(found.back()) < count));
        // Its negation finds exactly the other records.
        db::Query negated;
        if (reads([&] { negated = db::Query::parse(table, "not (" + std::string(text) + ")"); })) {
            const std::vector<std::int32_t> rest = negated.run(target);
            FUZZ_REQUIRE(found.size() + rest.size() == count);
            std::vector<std::int32_t> both;
            std::set_intersection(found.begin(), found.end(), rest.begin(), rest.end(),
                                  std::back_inserter(both));
            FUZZ_REQUIRE(both.empty());
        }
    }
    // The same text as columns and as sort keys.
    std::vector<db::Column> columns;
    if (reads([&] { columns = db::parseColumns(table, text); })) {
        const db::ColumnReader reader(target, table);
        for (const db::Column& c : columns)
            for (std::int32_t id = -1; id <= static_cast<std::int32_t>(db::tableSize(target, table)); ++id)
                (void)reader.text(c, id);
    }
    std::vector<db::SortKey> keys;
    if (reads([&] { keys = db::parseSort(table, text); })) {
        std::vector<std::int32_t> ids;
        for (std::int32_t id = static_cast<std::int32_t>(db::tableSize(target, table)); id >= 0; --id)
            ids.push_back(id);
        db::sortRecords(target, table, ids, keys);
        FUZZ_REQUIRE(ids.size() == db::tableSize(target, table) + 1);
    }
    FUZZ_REQUIRE(imagesOf(target) == original);
}

}  // namespace fuzz
