// The generated sample database must be a database the editor can trust:
// every link it holds is checked here the way the editor relies on it.

#include <gtest/gtest.h>

#include <set>

#include "TestSupport.h"
#include "db/format/Codes.h"
#include "tools/sample/SampleDb.h"

using namespace db;

namespace {

// Which slot groups a job holds at its club.
struct SlotRule {
    IdListField group;
    std::set<int> jobs;
};

std::vector<SlotRule> slotRules()
{
    return {{IdListField{ClubRecord::ChairmanId.offset, 1}, {1}},
            {ClubRecord::DirectorIds, {2, 3, 4}},
            {IdListField{ClubRecord::ManagerId.offset, 1}, {5, 12}},
            {IdListField{ClubRecord::AssistantManagerId.offset, 1}, {6, 7, 13, 14}},
            {ClubRecord::PlayerIds, {11, 12, 13, 14, 15}},
            {ClubRecord::CoachIds, {8, 15}},
            {ClubRecord::ScoutIds, {9}},
            {ClubRecord::PhysioIds, {10}}};
}

// Everything wrong with `d`, as readable lines; empty when consistent.
std::vector<std::string> problems(const Database& d)
{
    std::vector<std::string> out;
    const auto bad = [&out](const std::string& what) {
        if (out.size() < 20) out.push_back(what);
    };
    const auto count = [&d](int k) {
        return static_cast<std::size_t>(d.entry(k).get(IndexEntry::RecordCount));
    };
    if (count(Entry::Clubs) != d.clubs.size() || count(Entry::Staff) != d.staff.size() ||
        count(Entry::Players) != d.players.size() || count(Entry::NonPlayers) != d.nonPlayers.size() ||
        count(Entry::Cities) != d.cities.size() || count(Entry::FirstNames) != d.firstNames.size())
        bad("index counts differ from the tables");
    if (d.entry(8).get(IndexEntry::TableOffset) != static_cast<std::int32_t>(d.staff.size() * 157) ||
        d.entry(10).get(IndexEntry::TableOffset) !=
            static_cast<std::int32_t>(d.staff.size() * 157 + d.staffExtra.size() * 8 +
                                      d.nonPlayers.size() * 68))
        bad("staff table offsets are not back to back");

    // Club slots name people who work there in a job of that slot, and
    // everybody contracted to a club holds a slot there.
    std::vector<int> slotsHeld(d.staff.size(), 0);
    for (std::size_t c = 0; c < d.clubs.size(); ++c) {
        const ClubRecord& club = d.clubs[c];
        if (club.get(ClubRecord::ClubId) != static_cast<std::int32_t>(c)) bad("club id " + std::to_string(c));
        if (!isValidRef(club.get(ClubRecord::NationId), d.nations.size())) bad("club nation");
        for (I32Field f : {ClubRecord::DivisionId, ClubRecord::LastDivisionId, ClubRecord::ReserveDivisionId})
            if (!isValidRef(club.get(f), d.clubComps.size())) bad("club division");
        for (I32Field f : {ClubRecord::StadiumId, ClubRecord::ReserveStadiumId})
            if (!isValidRef(club.get(f), d.stadiums.size())) bad("club stadium");
        for (const SlotRule& rule : slotRules())
            for (int k = 0; k < rule.group.count; ++k) {
                const std::int32_t id = club.id(rule.group, k);
                if (id == -1) continue;
                if (!isValidRef(id, d.staff.size())) {
                    bad("slot holds " + std::to_string(id));
                    continue;
                }
                const StaffRecord& s = d.staff[static_cast<std::size_t>(id)];
                if (s.get(StaffRecord::ClubContractedId) != static_cast<std::int32_t>(c))
                    bad("staff " + std::to_string(id) + " in a slot of club " + std::to_string(c) +
                        " works elsewhere");
                if (!rule.jobs.count(s.get(StaffRecord::JobForClub)))
                    bad("staff " + std::to_string(id) + " holds a slot his job does not give");
                ++slotsHeld[static_cast<std::size_t>(id)];
            }
    }

    std::vector<int> uses[3] = {std::vector<int>(d.firstNames.size()), std::vector<int>(d.secondNames.size()),
                                std::vector<int>(d.commonNames.size())};
    for (std::size_t i = 0; i < d.staff.size(); ++i) {
        const StaffRecord& s = d.staff[i];
        const std::string who = "staff " + std::to_string(i);
        if (s.get(StaffRecord::StaffId) != static_cast<std::int32_t>(i)) bad(who + " id");
        const int job = s.get(StaffRecord::JobForClub);
        const bool atClub = isValidRef(s.get(StaffRecord::ClubContractedId), d.clubs.size());
        const int expectedSlots = !atClub ? 0 : (job >= 12 && job <= 15) ? 2 : 1;
        if (slotsHeld[i] != expectedSlots) bad(who + " holds " + std::to_string(slotsHeld[i]) + " slots");
        const std::uint8_t cls = s.get(StaffRecord::Classification);
        const std::int32_t pid = s.get(StaffRecord::PlayerId), nid = s.get(StaffRecord::NonPlayerId);
        if (Classification::hasPlayer(cls) != isValidRef(pid, d.players.size())) bad(who + " player link");
        if (Classification::hasNonPlayer(cls) != isValidRef(nid, d.nonPlayers.size()))
            bad(who + " non-player link");
        if (cls < 1 || cls > 3) bad(who + " classification");
        if (!isValidRef(s.get(StaffRecord::NationId), d.nations.size())) bad(who + " nation");
        if (s.displayName.empty()) bad(who + " has no display name");
        for (std::uint16_t o = StaffRecord::Adaptability.offset; o <= StaffRecord::Temperament.offset; ++o)
            if (s.get(U8Field{o}) > 20) bad(who + " rating");
        const std::int32_t ids[3] = {s.get(StaffRecord::FirstNameId), s.get(StaffRecord::SecondNameId),
                                     s.get(StaffRecord::CommonNameId)};
        for (int k = 0; k < 3; ++k)
            if (isValidRef(ids[k], uses[k].size())) ++uses[k][static_cast<std::size_t>(ids[k])];
        if (!isValidRef(ids[0], uses[0].size()) || !isValidRef(ids[1], uses[1].size())) bad(who + " name");
        if (Classification::hasPlayer(cls) && isValidRef(pid, d.players.size())) {
            const PlayerRecord& p = d.players[static_cast<std::size_t>(pid)];
            for (std::uint16_t o = 15; o <= 68; ++o)
                if (p.get(U8Field{o}) > 20) bad(who + " player rating");
            if (p.get(PlayerRecord::CurrentAbility) < 0 || p.get(PlayerRecord::CurrentAbility) > 200)
                bad(who + " ability");
        }
    }
    const Table<NameRecord>* tables[3] = {&d.firstNames, &d.secondNames, &d.commonNames};
    for (int k = 0; k < 3; ++k)
        for (std::size_t i = 0; i < tables[k]->size(); ++i) {
            const NameRecord& n = (*tables[k])[i];
            if (n.get(NameRecord::NameId) != static_cast<std::int32_t>(i)) bad("name id");
            if (n.get(NameRecord::UsageCount) != (uses[k][i] & 0xFF))
                bad("usage count of name " + std::to_string(i));
        }
    for (std::size_t i = 0; i < d.players.size(); ++i)
        if (d.players[i].get(PlayerRecord::PlayerId) != static_cast<std::int32_t>(i)) bad("player id");
    for (std::size_t i = 0; i < d.stadiums.size(); ++i) {
        const StadiumRecord& s = d.stadiums[i];
        if (!isValidRef(s.get(StadiumRecord::CityId), d.cities.size())) bad("stadium city");
        const std::int32_t near = s.get(StadiumRecord::NearbyStadiumId);
        if (!isValidRef(near, d.stadiums.size()) || near == static_cast<std::int32_t>(i))
            bad("nearby stadium");
    }
    return out;
}

bool hasByte(const Table<NameRecord>& names, char byte)
{
    for (const NameRecord& n : names)
        if (n.text(NameRecord::Name).find(byte) != std::string::npos) return true;
    return false;
}

}  // namespace

TEST(SampleDb, FullSizeDatabaseIsConsistent)
{
    const Database d = sample::makeDatabase(sample::Options{});
    EXPECT_EQ(problems(d), std::vector<std::string>{});
    EXPECT_GE(d.clubs.size(), 1400u);
    EXPECT_LE(d.clubs.size(), 1600u);
    EXPECT_GE(d.nations.size(), 120u);
    EXPECT_LE(d.nations.size(), 180u);
    EXPECT_GE(d.staff.size(), 25000u);
    EXPECT_LE(d.staff.size(), 30000u);
    EXPECT_GT(d.players.size(), d.staff.size() / 2);
    EXPECT_GE(d.firstNames.size(), 1000u);
    EXPECT_GE(d.secondNames.size(), 1000u);
    for (char letter : {'\xE9', '\xFC', '\xF8', '\x9A'})
        EXPECT_TRUE(hasByte(d.secondNames, letter) || hasByte(d.firstNames, letter)) << int(letter);
}

TEST(SampleDb, SameSeedSameBytesOtherSeedOtherBytes)
{
    sample::Options a;
    a.scale = 0.05;
    a.seed = 11;
    const Database one = sample::makeDatabase(a);
    const Database two = sample::makeDatabase(a);
    a.seed = 12;
    const Database three = sample::makeDatabase(a);
    ASSERT_EQ(one.staff.size(), two.staff.size());
    for (std::size_t i = 0; i < one.staff.size(); ++i) ASSERT_EQ(one.staff[i].bytes, two.staff[i].bytes);
    for (std::size_t i = 0; i < one.clubs.size(); ++i) ASSERT_EQ(one.clubs[i].bytes, two.clubs[i].bytes);
    bool differs = one.staff.size() != three.staff.size();
    for (std::size_t i = 0; !differs && i < one.staff.size(); ++i)
        differs = one.staff[i].bytes != three.staff[i].bytes;
    EXPECT_TRUE(differs);
}

TEST(SampleDb, LargerScalesStayConsistent)
{
    sample::Options o;
    o.scale = 3;
    const Database d = sample::makeDatabase(o);
    EXPECT_EQ(problems(d), std::vector<std::string>{});
    EXPECT_GE(d.staff.size(), 75000u);
}
