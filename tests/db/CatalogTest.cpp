// The table registry and the field catalog: every byte of every record
// described once, and every value read back as it was shown.

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <set>

#include "db/format/FieldCatalog.h"
#include "db/storage/Backup.h"

namespace {

using db::FieldInfo;
using db::FieldKind;
using db::TableId;
using db::ValueForm;

TEST(CatalogTest, EveryByteOfEveryRecordBelongsToOneFieldOrOneUnnamedSpan)
{
    const db::Database d = db::Database::withEmptyIndex();
    std::set<std::string_view> names, files;
    for (const db::TableInfo& t : db::kTables) {
        SCOPED_TRACE(std::string(t.title));
        EXPECT_TRUE(names.insert(t.name).second) << "two tables called " << t.name;
        // The record size of the registry is the size of the records the database holds.
        EXPECT_EQ(t.recordSize, db::withTable(d, t.id, [](const auto& table) {
                      return std::remove_cvref_t<decltype(table)>::value_type::Size;
                  }));
        std::vector<int> owners(t.recordSize, 0);
        bool lastUnnamed = false;
        for (const FieldInfo& f : db::fieldsOf(t.id)) {
            ASSERT_LE(f.end(), t.recordSize) << f.name;
            for (std::size_t b = f.offset; b < f.end(); ++b) ++owners[b];
            EXPECT_FALSE(lastUnnamed && !f.named()) << "two unnamed spans side by side at " << f.offset;
            lastUnnamed = !f.named();
            if (f.kind == FieldKind::Reference) {
                EXPECT_LT(f.target, TableId::Count) << f.name;
                EXPECT_EQ(f.width, 4) << f.name;
                EXPECT_LT(f.none, 0) << f.name;
            }
            if (f.named()) {
                EXPECT_EQ(db::findField(t.id, f.name), &f);
            }
        }
        for (std::size_t b = 0; b < t.recordSize; ++b) EXPECT_EQ(owners[b], 1) << "byte " << b;
        // The pieces of update files cover the same bytes once, in order.
        std::size_t at = 0;
        for (const db::ByteField& p : db::tableLayout(t.id).fields) {
            EXPECT_EQ(p.offset, at) << p.name;
            at = p.offset + p.width;
        }
        EXPECT_EQ(at, t.recordSize);
    }
    EXPECT_EQ(db::savedFileNames().size(), 7u);
}

// A small database whose records have names, one without a name and two
// with the same name.
db::Database world()
{
    db::Database d = db::Database::withEmptyIndex();
    for (const char* name : {"Caf\xE9 Rovers", "", "Twin", "Twin"}) {
        db::ClubRecord c;
        c.setText(db::ClubRecord::LongName, name);
        d.appendClub(c);
    }
    return d;
}

struct Corner {
    TableId table;
    const char* field;
    int element;
    std::vector<std::uint8_t> value;  // the element's bytes
    const char* page;                 // as the page form shows them
};

std::vector<std::uint8_t> le(std::int64_t v, int width)
{
    std::vector<std::uint8_t> out;
    for (int i = 0; i < width; ++i)
        out.push_back(static_cast<std::uint8_t>(static_cast<std::uint64_t>(v) >> (8 * i)));
    return out;
}

std::vector<std::uint8_t> text(std::string_view s, std::size_t width)
{
    std::vector<std::uint8_t> out(s.begin(), s.end());
    out.resize(width, 0);
    return out;
}

std::vector<std::uint8_t> date(int dayOfYear, int year)
{
    std::vector<std::uint8_t> out = le(dayOfYear, 2);
    const auto y = le(year, 2);
    out.insert(out.end(), y.begin(), y.end());
    return out;
}

TEST(CatalogTest, ValuesReadBackAsTheyWereShown)
{
    const db::Database d = world();
    const std::string full51(51, '\xE9');  // accents to the last byte of the field
    const std::vector<Corner> corners = {
        {TableId::Staff, "ClubContractedId", 0, le(-1, 4), "<none> (-1)"},
        {TableId::Staff, "ClubContractedId", 0, le(-2, 4), "<none> (-2)"},
        {TableId::Staff, "ClubContractedId", 0, le(4, 4), "<none> (4)"},  // the count: none
        {TableId::Staff, "FavouriteClubs", 2, le(0, 4), "Caf\xE9 Rovers"},
        {TableId::Staff, "FavouriteClubs", 0, le(1, 4), "#1"},  // a club without a name
        {TableId::Staff, "ClubContractedId", 0, le(INT32_MIN, 4), "<none> (-2147483648)"},
        {TableId::Clubs, "LongName", 0, text(full51, 51), full51.c_str()},
        {TableId::Clubs, "ShortName", 0, text("", 26), ""},
        {TableId::Staff, "DateOfBirth", 0, date(59, 2000), "29/2/2000"},   // 29 February
        {TableId::Staff, "DateOfBirth", 0, date(365, 1996), "1/13/1996"},  // 31 December of a leap year
        {TableId::Staff, "DateOfBirth", 0, date(0, -32768), "1/1/-32768"},
        {TableId::Staff, "DateOfBirth", 0, date(65535, 32767), "0/1/32767"},
        {TableId::Staff, "DateOfBirth", 0, date(32767, 1), "-32768/1/1"},
        {TableId::Staff, "InternationalCaps", 0, le(255, 1), "255"},  // unsigned byte
        {TableId::Players, "CurrentAbility", 0, le(-32768, 2), "-32768"},
        {TableId::Players, "CurrentAbility", 0, le(32767, 2), "32767"},
        {TableId::Clubs, "Cash", 0, le(INT32_MIN, 4), "-2147483648"},
        {TableId::Clubs, "Cash", 0, le(INT32_MAX, 4), "2147483647"},
        {TableId::Clubs, "Plc", 0, le(255, 1), "Yes"},
        {TableId::Clubs, "Plc", 0, le(0, 1), "No"},
        {TableId::Clubs, "Plc", 0, le(7, 1), "Yes (7)"},
        {TableId::Staff, "JobForClub", 0, le(5, 1), "Manager"},
        {TableId::Staff, "PlayingSquad", 0, le(3, 1), "3"},  // a code without a caption
        {TableId::Staff, "JobForClub", 0, le(200, 1), "200"},
        {TableId::Clubs, "ReservedTail", 0, std::vector<std::uint8_t>(106, 0xA5), nullptr},
    };
    for (const Corner& c : corners) {
        const FieldInfo* f = db::findField(c.table, c.field);
        ASSERT_NE(f, nullptr) << c.field;
        std::vector<std::uint8_t> record(db::tableInfo(c.table).recordSize, 0x5A);
        const std::size_t at = f->offset + std::size_t(f->width) * c.element;
        std::copy(c.value.begin(), c.value.end(), record.begin() + static_cast<std::ptrdiff_t>(at));
        for (const ValueForm form : {ValueForm::Page, ValueForm::Raw}) {
            const std::string shown = db::formatValue(*f, c.element, record.data(), &d, form);
            SCOPED_TRACE(std::string(c.field) + " shown as " + shown);
            if (form == ValueForm::Page && c.page) {
                EXPECT_EQ(shown, c.page);
            }
            std::vector<std::uint8_t> back = record;
            std::fill_n(back.begin() + static_cast<std::ptrdiff_t>(at), c.value.size(), std::uint8_t{0x33});
            db::parseValue(*f, c.element, shown, back.data(), &d, form);
            EXPECT_EQ(back, record);
        }
    }
    // Raw text keeps bytes after its end.
    const FieldInfo& name = *db::findField(TableId::Clubs, "ShortName");
    std::vector<std::uint8_t> record(db::ClubRecord::Size, 0);
    record[name.offset] = 'A';
    record[name.offset + 25] = 'Z';
    const std::string raw = db::formatValue(name, 0, record.data(), nullptr, ValueForm::Raw);
    std::vector<std::uint8_t> back(record.size(), 0);
    db::parseValue(name, 0, raw, back.data(), nullptr, ValueForm::Raw);
    EXPECT_EQ(back, record) << raw;
}

TEST(CatalogTest, BadValuesAreRefusedAndChangeNothing)
{
    const db::Database d = world();
    const struct {
        TableId table;
        const char* field;
        const char* text;
    } cases[] = {
        {TableId::Staff, "FavouriteClubs", "Nobody FC"},  // no such club
        {TableId::Staff, "FavouriteClubs", "Twin"},       // two clubs of that name
        {TableId::Clubs, "ShortName", "A name of more than twenty-six bytes"},
        {TableId::Staff, "DateOfBirth", "31/12"},
        {TableId::Staff, "DateOfBirth", "1/x/1970"},
        {TableId::Clubs, "Plc", "Maybe"},
        {TableId::Staff, "JobForClub", "Janitor"},
        {TableId::Staff, "JobForClub", "256"},
        {TableId::Clubs, "ReservedTail", "A5"},
        {TableId::Staff, "ClubContractedId", "<none> (x)"},
    };
    for (const auto& c : cases) {
        const FieldInfo& f = *db::findField(c.table, c.field);
        std::vector<std::uint8_t> record(db::tableInfo(c.table).recordSize, 0x5A);
        const auto before = record;
        EXPECT_THROW(db::parseValue(f, 0, c.text, record.data(), &d), db::Error) << c.field << " " << c.text;
        EXPECT_EQ(record, before) << c.field;
    }
    // The name given twice is taken by its identifier; "<none>" stores the field's none value.
    const FieldInfo& fav = *db::findField(TableId::Staff, "FavouriteClubs");
    std::vector<std::uint8_t> record(db::StaffRecord::Size, 0);
    db::parseValue(fav, 1, "#3", record.data(), &d);
    db::parseValue(fav, 2, "<none>", record.data(), &d);
    EXPECT_EQ(db::numberValue(fav, 1, record.data()), 3);
    EXPECT_EQ(db::numberValue(fav, 2, record.data()), fav.none);
    // The typed text-to-number rule of the edit boxes.
    const FieldInfo& caps = *db::findField(TableId::Staff, "InternationalCaps");
    db::parseValue(caps, 0, "$1F", record.data(), &d);
    EXPECT_EQ(db::numberValue(caps, 0, record.data()), 31);
}

}  // namespace
