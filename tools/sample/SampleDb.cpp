#include "SampleDb.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <unordered_set>
#include <vector>

#include "db/editing/NewClub.h"
#include "db/format/Codes.h"

namespace sample {

namespace {

using namespace db;

// splitmix64: small, fast and the same on every platform, unlike the
// distributions of <random>.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int range(int lo, int hi)
    {
        return lo + static_cast<int>(next() % static_cast<std::uint64_t>(hi - lo + 1));
    }
    bool chance(int percent) { return range(0, 99) < percent; }
    template <typename T>
    const T& pick(const std::vector<T>& v)
    {
        return v[next() % v.size()];
    }

private:
    std::uint64_t state_;
};

// Syllables of the made-up names; a few carry Windows-1252 letters
// (\xE9 e-acute, \xFC u-umlaut, \xF8 o-slash, \x9A s-caron).
const std::vector<std::string> kSyllables = {
    "ba", "bo",  "ka",  "ko",  "da",  "de",  "fa",  "fi",   "ga",  "gor", "ha",  "jo",
    "ka", "lan", "le",  "li",  "ma",  "mi",  "mon", "na",   "ne",  "no",  "pa",  "pe",
    "ra", "ri",  "ro",  "sa",  "se",  "ta",  "te",  "to",   "va",  "vi",  "vor", "za",
    "zu", "bra", "dre", "gri", "kel", "mar", "nor", "sten", "tor", "wen", "yal", "quin"};
const std::vector<std::string> kRareSyllables = {"b\xE9",
                                                 "m\xFC",
                                                 "l\xF8",
                                                 "\x9A"
                                                 "o",
                                                 "r\xE9",
                                                 "k\xFC",
                                                 "n\xF8",
                                                 "\x9A"
                                                 "a"};

std::string capitalise(std::string s)
{
    if (!s.empty() && s[0] >= 'a' && s[0] <= 'z') s[0] = static_cast<char>(s[0] - 'a' + 'A');
    return s;
}

std::string makeWord(Rng& rng, int minSyl, int maxSyl)
{
    std::string w;
    const int n = rng.range(minSyl, maxSyl);
    for (int i = 0; i < n; ++i)
        w += (i > 0 && rng.chance(6)) ? rng.pick(kRareSyllables) : rng.pick(kSyllables);
    return capitalise(w);
}

// `count` different words.
std::vector<std::string> uniqueWords(Rng& rng, std::size_t count, int minSyl, int maxSyl)
{
    std::vector<std::string> out;
    std::unordered_set<std::string> seen;
    out.reserve(count);
    int extra = 0;
    while (out.size() < count) {
        std::string w = makeWord(rng, minSyl, maxSyl + extra / 1000);
        if (w.size() > 40) continue;
        if (seen.insert(w).second)
            out.push_back(std::move(w));
        else
            ++extra;  // widen the words when the short ones run out
    }
    return out;
}

template <typename R>
void setLead(R& rec, std::int32_t id)
{
    rec.set(I32Field{0}, id);
}

void setDate(StaffRecord& s, DateField f, int dayOfYear, int year)
{
    s.set(f.dayOfYear(), static_cast<std::uint16_t>(dayOfYear));
    s.set(f.year(), static_cast<std::int16_t>(year));
}

std::size_t scaled(double base, double scale)
{
    return std::max<std::size_t>(1, static_cast<std::size_t>(std::llround(base * scale)));
}

struct ClubPlan {
    int nation = 0;
    std::vector<std::int32_t> playerSlots;
};

class Generator {
public:
    Generator(const Options& o)
        : rng_(o.seed), scale_(o.scale > 0 ? o.scale : 1.0), d_(Database::withEmptyIndex())
    {
    }

    Database run()
    {
        makeNations();
        makeCities();
        makeCompetitions();
        makeColours();
        makeNames();
        makeClubsAndStadiums();
        makeStaff();
        finishClubs();
        countNameUses();
        makeIndex();
        return std::move(d_);
    }

private:
    void makeNations()
    {
        const std::size_t n = 150;
        const auto words = uniqueWords(rng_, n, 2, 3);
        for (std::size_t i = 0; i < n; ++i) {
            NationRecord r;
            setLead(r, static_cast<std::int32_t>(i));
            r.setText(NationRecord::NationName, words[i] + (i % 5 == 0 ? "ia" : ""));
            d_.nations.push_back(r);
        }
    }

    void makeCities()
    {
        const std::size_t perNation = scaled(8, scale_);
        const auto words = uniqueWords(rng_, perNation * d_.nations.size(), 2, 3);
        citiesOf_.resize(d_.nations.size());
        for (std::size_t i = 0; i < words.size(); ++i) {
            CityRecord r;
            setLead(r, static_cast<std::int32_t>(i));
            r.setText(CityRecord::CityName, words[i]);
            citiesOf_[i % d_.nations.size()].push_back(static_cast<std::int32_t>(i));
            d_.cities.push_back(r);
        }
    }

    void makeCompetitions()
    {
        static const char* kKinds[] = {" First Division", " Second Division", " Reserve League"};
        for (std::size_t n = 0; n < d_.nations.size(); ++n)
            for (const char* kind : kKinds) {
                ClubCompRecord r;
                setLead(r, static_cast<std::int32_t>(d_.clubComps.size()));
                r.setText(ClubCompRecord::ClubCompName, d_.nations[n].text(NationRecord::NationName) + kind);
                d_.clubComps.push_back(r);
            }
    }

    void makeColours()
    {
        static const char* kColours[] = {"White",  "Black",  "Red",    "Dark Red", "Blue",   "Sky Blue",
                                         "Navy",   "Green",  "Lime",   "Yellow",   "Gold",   "Orange",
                                         "Amber",  "Purple", "Violet", "Claret",   "Maroon", "Grey",
                                         "Silver", "Pink",   "Teal",   "Brown",    "Cream",  "Turquoise"};
        for (const char* c : kColours) {
            ColourRecord r;
            setLead(r, static_cast<std::int32_t>(d_.colours.size()));
            r.setText(ColourRecord::ColourName, c);
            d_.colours.push_back(r);
        }
    }

    void makeNames()
    {
        const auto fill = [this](Table<NameRecord>& table, std::size_t count, int minSyl, int maxSyl) {
            for (const std::string& w : uniqueWords(rng_, count, minSyl, maxSyl)) {
                NameRecord r;
                r.setText(NameRecord::Name, w);
                r.set(NameRecord::NameId, static_cast<std::int32_t>(table.size()));
                table.push_back(r);
            }
        };
        fill(d_.firstNames, scaled(3000, scale_), 2, 3);
        fill(d_.secondNames, scaled(8000, scale_), 2, 4);
        fill(d_.commonNames, scaled(500, scale_), 1, 2);
    }

    void makeClubsAndStadiums()
    {
        static const char* kSuffixes[] = {" United", " City", " Athletic", " Rovers",   " Wanderers",
                                          " Town",   " FC",   " Albion",   " Sporting", " Olympic"};
        static const char* kGrounds[] = {" Park", " Road", " Arena", " Stadium", " Lane", " Ground"};
        const std::size_t count = scaled(1500, scale_);
        plans_.resize(count);
        clubsOf_.resize(d_.nations.size());
        std::unordered_set<std::string> used;
        for (std::size_t i = 0; i < count; ++i) {
            const int nation = i < d_.nations.size() * 2
                                   ? static_cast<int>(i % d_.nations.size())
                                   : rng_.range(0, static_cast<int>(d_.nations.size()) - 1);
            plans_[i].nation = nation;
            clubsOf_[static_cast<std::size_t>(nation)].push_back(static_cast<std::int32_t>(i));
            const std::int32_t city = rng_.pick(citiesOf_[static_cast<std::size_t>(nation)]);
            const std::string town = d_.cities[static_cast<std::size_t>(city)].text(CityRecord::CityName);
            std::string name = town + kSuffixes[rng_.range(0, 9)];
            while (!used.insert(name).second)
                name = town + kSuffixes[rng_.range(0, 9)] + " " + makeWord(rng_, 1, 2);

            StadiumRecord st;
            setLead(st, static_cast<std::int32_t>(d_.stadiums.size()));
            st.setText(StadiumRecord::StadiumName, town + kGrounds[rng_.range(0, 5)]);
            st.set(StadiumRecord::CityId, city);
            const int capacity = rng_.range(20, 900) * 100;
            st.set(StadiumRecord::Capacity, capacity);
            st.set(StadiumRecord::Seating, capacity * rng_.range(30, 100) / 100);
            st.set(StadiumRecord::Expansion, rng_.range(0, 200) * 100);
            st.setFlag(StadiumRecord::Covered, rng_.chance(70));
            st.setFlag(StadiumRecord::UndersoilHeating, rng_.chance(40));
            d_.stadiums.push_back(st);

            ClubRecord c;
            c.set(ClubRecord::ClubId, static_cast<std::int32_t>(i));
            c.setText(ClubRecord::LongName, name);
            c.setText(ClubRecord::ShortName, name.substr(0, 26));
            c.set(ClubRecord::NationId, nation);
            const int firstDiv = nation * 3;
            const int div = firstDiv + rng_.range(0, 1);
            c.set(ClubRecord::DivisionId, div);
            c.set(ClubRecord::LastDivisionId, rng_.chance(85) ? div : firstDiv + (div == firstDiv ? 1 : 0));
            c.set(ClubRecord::LastPosition, static_cast<std::uint8_t>(rng_.range(1, 20)));
            c.set(ClubRecord::ReserveDivisionId, firstDiv + 2);
            c.set(ClubRecord::ProStatus, static_cast<std::uint8_t>(rng_.range(1, 3)));
            c.set(ClubRecord::Cash, rng_.range(-2000, 30000) * 1000);
            c.set(ClubRecord::StadiumId, static_cast<std::int32_t>(i));
            c.setFlag(ClubRecord::OwnStadium, rng_.chance(75));
            c.set(ClubRecord::ReserveStadiumId, static_cast<std::int32_t>(i));
            c.set(ClubRecord::Matchday, static_cast<std::uint8_t>(rng_.chance(80) ? 7 : rng_.range(1, 6)));
            const int average = capacity * rng_.range(20, 95) / 100;
            c.set(ClubRecord::AverageAttendance, average);
            c.set(ClubRecord::MinimumAttendance, average * rng_.range(40, 90) / 100);
            c.set(ClubRecord::MaximumAttendance, std::min(capacity, average * rng_.range(110, 160) / 100));
            c.set(ClubRecord::Training, static_cast<std::uint8_t>(rng_.range(1, 20)));
            c.set(ClubRecord::Reputation, static_cast<std::int16_t>(rng_.range(0, 10000)));
            c.setFlag(ClubRecord::Plc, rng_.chance(10));
            const int colours = static_cast<int>(d_.colours.size()) - 1;
            for (I32Field f :
                 {ClubRecord::HomeForeColourId, ClubRecord::HomeBackColourId, ClubRecord::AwayForeColourId,
                  ClubRecord::AwayBackColourId, ClubRecord::ThirdForeColourId, ClubRecord::ThirdBackColourId})
                c.set(f, rng_.range(0, colours));
            c.fillIds(ClubRecord::FavouriteStaff, -1);
            c.fillIds(ClubRecord::DislikedStaff, -1);
            c.fillIds(ClubRecord::RivalClubs, -1);
            emptyStaffSlots(c);
            d_.clubs.push_back(c);
        }
        // A few grounds that no club plays at.
        const std::size_t spare = count / 10;
        for (std::size_t k = 0; k < spare; ++k) {
            StadiumRecord st = d_.stadiums[k];
            st.set(I32Field{0}, static_cast<std::int32_t>(d_.stadiums.size()));
            st.setText(StadiumRecord::StadiumName, st.text(StadiumRecord::StadiumName) + " Reserve Ground");
            st.set(StadiumRecord::Capacity, rng_.range(5, 40) * 100);
            st.set(StadiumRecord::Seating, rng_.range(1, 5) * 100);
            d_.stadiums.push_back(st);
            d_.clubs[k].set(ClubRecord::ReserveStadiumId, st.get(I32Field{0}));
        }
        // Nearby grounds: another ground of the same nation where there is one.
        for (std::size_t s = 0; s < d_.stadiums.size(); ++s) {
            const std::size_t club = s < count ? s : s - count;
            const auto& peers = clubsOf_[static_cast<std::size_t>(plans_[club].nation)];
            std::int32_t near = peers[rng_.next() % peers.size()];
            if (static_cast<std::size_t>(near) == s) near = static_cast<std::int32_t>((s + 1) % count);
            d_.stadiums[s].set(StadiumRecord::NearbyStadiumId, near);
        }
    }

    std::int32_t newStaff(int club, std::uint8_t job, bool young)
    {
        const bool plays = job >= Job::Player && job <= 15;
        const bool works = job != Job::Player;
        StaffRecord s;
        const auto id = static_cast<std::int32_t>(d_.staff.size());
        s.set(StaffRecord::StaffId, id);
        s.set(StaffRecord::FirstNameId, rng_.range(0, static_cast<int>(d_.firstNames.size()) - 1));
        s.set(StaffRecord::SecondNameId, rng_.range(0, static_cast<int>(d_.secondNames.size()) - 1));
        s.set(StaffRecord::CommonNameId,
              rng_.chance(5) ? rng_.range(0, static_cast<int>(d_.commonNames.size()) - 1) : -1);
        setDate(s, StaffRecord::DateOfBirth, rng_.range(0, 364),
                young ? rng_.range(1962, 1983) : rng_.range(1930, 1968));
        const int nations = static_cast<int>(d_.nations.size());
        const int home = club >= 0 && rng_.chance(80) ? plans_[static_cast<std::size_t>(club)].nation
                                                      : rng_.range(0, nations - 1);
        s.set(StaffRecord::NationId, home);
        s.set(StaffRecord::SecondNationId, rng_.chance(8) ? rng_.range(0, nations - 1) : -2);
        const bool international = plays && rng_.chance(6);
        s.set(StaffRecord::InternationalCaps,
              static_cast<std::uint8_t>(international ? rng_.range(1, 90) : 0));
        s.set(StaffRecord::InternationalGoals,
              static_cast<std::uint8_t>(international ? rng_.range(0, 20) : 0));
        s.set(StaffRecord::NationContractedId, international ? home : -1);
        s.set(StaffRecord::JobForNation, international ? Job::Player : Job::None);
        setDate(s, StaffRecord::NationJoinDate, international ? rng_.range(0, 364) : 0,
                international ? 1997 : 0);
        setDate(s, StaffRecord::NationContractEnd, 0, 0);
        s.set(StaffRecord::ClubContractedId, club >= 0 ? club : -2);
        s.set(StaffRecord::JobForClub, job);
        setDate(s, StaffRecord::ClubJoinDate, rng_.range(0, 364), rng_.range(1990, 1998));
        setDate(s, StaffRecord::ClubContractEnd, rng_.range(0, 364), rng_.range(1999, 2003));
        s.set(StaffRecord::Wage, rng_.range(1, 400) * 250);
        s.set(StaffRecord::Value, plays ? rng_.range(0, 2000) * 5000 : 0);
        for (std::uint16_t off = StaffRecord::Adaptability.offset; off <= StaffRecord::Temperament.offset;
             ++off)
            s.set(U8Field{off}, static_cast<std::uint8_t>(rng_.range(1, 20)));
        s.set(StaffRecord::PlayingSquad, static_cast<std::uint8_t>(plays ? rng_.range(1, 2) : 0));
        s.set(StaffRecord::ClubValuation, static_cast<std::uint8_t>(rng_.range(0, 20)));
        for (int k = 0; k < 3; ++k) {
            const int clubs = static_cast<int>(d_.clubs.size());
            s.setId(StaffRecord::FavouriteClubs, k,
                    k == 0 && rng_.chance(30) ? rng_.range(0, clubs - 1) : -1);
            s.setId(StaffRecord::DislikedClubs, k, k == 0 && rng_.chance(20) ? rng_.range(0, clubs - 1) : -1);
            s.setId(StaffRecord::FavouriteStaff, k,
                    k == 0 && id > 0 && rng_.chance(10) ? rng_.range(0, id - 1) : -1);
            s.setId(StaffRecord::DislikedStaff, k,
                    k == 0 && id > 0 && rng_.chance(5) ? rng_.range(0, id - 1) : -1);
        }
        s.set(StaffRecord::Reserved149, -1);
        s.set(StaffRecord::PlayerId, -1);
        s.set(StaffRecord::NonPlayerId, -1);
        if (works) {
            NonPlayerRecord n;
            const auto nid = static_cast<std::int32_t>(d_.nonPlayers.size());
            n.set(NonPlayerRecord::NonPlayerId, nid);
            fillAbilities(n, NonPlayerRecord::CurrentAbility.offset);
            for (std::uint16_t off = NonPlayerRecord::Attacking.offset;
                 off <= NonPlayerRecord::WorkingWithYoungsters.offset; ++off)
                n.set(U8Field{off}, static_cast<std::uint8_t>(rng_.range(1, 20)));
            n.fillIds(NonPlayerRecord::Reserved35, -1);
            n.set(NonPlayerRecord::Formation, static_cast<std::uint8_t>(rng_.range(1, 9)));
            d_.nonPlayers.push_back(n);
            s.set(StaffRecord::NonPlayerId, nid);
        }
        if (plays) {
            PlayerRecord p;
            const auto pid = static_cast<std::int32_t>(d_.players.size());
            p.set(PlayerRecord::PlayerId, pid);
            p.set(PlayerRecord::SquadNumber, static_cast<std::uint8_t>(rng_.range(1, 40)));
            fillAbilities(p, PlayerRecord::CurrentAbility.offset);
            const int role = rng_.range(0, 11);  // the position this player is best at
            for (int k = 0; k < 12; ++k)
                p.set(U8Field{static_cast<std::uint16_t>(PlayerRecord::Goalkeeper.offset + k)},
                      static_cast<std::uint8_t>(k == role ? rng_.range(15, 20) : rng_.range(1, 8)));
            for (std::uint16_t off = PlayerRecord::Acceleration.offset; off <= PlayerRecord::WorkRate.offset;
                 ++off)
                p.set(U8Field{off}, static_cast<std::uint8_t>(rng_.range(1, 20)));
            d_.players.push_back(p);
            s.set(StaffRecord::PlayerId, pid);
        }
        s.set(StaffRecord::Classification, works && plays ? Classification::NonPlayerAndPlayer
                                           : plays        ? Classification::Player
                                                          : Classification::NonPlayer);
        d_.staff.push_back(std::move(s));
        return id;
    }

    template <typename R>
    void fillAbilities(R& r, std::uint16_t at)
    {
        const int current = rng_.range(20, 180);
        r.set(I16Field{at}, static_cast<std::int16_t>(current));
        r.set(I16Field{static_cast<std::uint16_t>(at + 2)},
              static_cast<std::int16_t>(rng_.range(current, 200)));
        for (int k = 2; k < 5; ++k)
            r.set(I16Field{static_cast<std::uint16_t>(at + 2 * k)},
                  static_cast<std::int16_t>(rng_.range(0, 200)));
    }

    void makeStaff()
    {
        for (std::size_t i = 0; i < d_.clubs.size(); ++i) {
            ClubRecord& c = d_.clubs[i];
            const int club = static_cast<int>(i);
            std::vector<std::int32_t> players;
            c.set(ClubRecord::ChairmanId, newStaff(club, Job::Chairman, false));
            if (rng_.chance(50))
                c.setId(ClubRecord::DirectorIds, 0,
                        newStaff(club, static_cast<std::uint8_t>(rng_.range(2, 4)), false));
            const bool playerManager = rng_.chance(4);
            const std::int32_t manager = newStaff(club, playerManager ? 12 : 5, playerManager);
            c.set(ClubRecord::ManagerId, manager);
            if (playerManager) players.push_back(manager);
            if (rng_.chance(70)) {
                const std::uint8_t job =
                    static_cast<std::uint8_t>(rng_.chance(5) ? rng_.range(13, 14) : rng_.range(6, 7));
                const std::int32_t a = newStaff(club, job, job >= 13);
                c.set(ClubRecord::AssistantManagerId, a);
                if (job >= 13) players.push_back(a);
            }
            const int coaches = rng_.range(0, 2);
            for (int k = 0; k < coaches; ++k) {
                const bool playerCoach = rng_.chance(5);
                const std::int32_t id = newStaff(club, playerCoach ? 15 : 8, playerCoach);
                c.setId(ClubRecord::CoachIds, k, id);
                if (playerCoach) players.push_back(id);
            }
            if (rng_.chance(50)) c.setId(ClubRecord::ScoutIds, 0, newStaff(club, 9, false));
            if (rng_.chance(50)) c.setId(ClubRecord::PhysioIds, 0, newStaff(club, 10, false));
            const int squad = rng_.range(8, 18);
            for (int k = 0; k < squad; ++k) players.push_back(newStaff(club, Job::Player, true));
            for (std::size_t k = 0; k < players.size() && k < 50; ++k)
                c.setId(ClubRecord::PlayerIds, static_cast<int>(k), players[k]);
        }
        const std::size_t freeAgents = d_.staff.size() / 40;
        for (std::size_t k = 0; k < freeAgents; ++k) newStaff(-1, Job::Player, true);
        for (StaffRecord& s : d_.staff) s.displayName = d_.buildDisplayName(s);
    }

    void finishClubs()
    {
        const int staff = static_cast<int>(d_.staff.size());
        for (std::size_t i = 0; i < d_.clubs.size(); ++i) {
            ClubRecord& c = d_.clubs[i];
            const auto& peers = clubsOf_[static_cast<std::size_t>(plans_[i].nation)];
            for (int k = 0; k < 3; ++k) {
                const std::int32_t rival = peers[rng_.next() % peers.size()];
                c.setId(ClubRecord::RivalClubs, k, rival != static_cast<std::int32_t>(i) ? rival : -1);
            }
            if (rng_.chance(40)) c.setId(ClubRecord::FavouriteStaff, 0, rng_.range(0, staff - 1));
            if (rng_.chance(20)) c.setId(ClubRecord::DislikedStaff, 0, rng_.range(0, staff - 1));
        }
        // The extra staff table is carried by the editor without meaning;
        // give it bytes of its own.
        for (std::size_t k = 0; k < d_.staff.size() / 10; ++k) {
            StaffExtraRecord x;
            x.set(I32Field{0}, static_cast<std::int32_t>(k));
            x.set(I32Field{4}, static_cast<std::int32_t>(rng_.next() & 0xFFFF));
            d_.staffExtra.push_back(x);
        }
    }

    void countNameUses()
    {
        const auto count = [](Table<NameRecord>& names, std::int32_t id) {
            if (isValidRef(id, names.size())) {
                NameRecord& n = names[static_cast<std::size_t>(id)];
                n.set(NameRecord::UsageCount, static_cast<std::uint8_t>(n.get(NameRecord::UsageCount) + 1));
            }
        };
        for (const StaffRecord& s : d_.staff) {
            count(d_.firstNames, s.get(StaffRecord::FirstNameId));
            count(d_.secondNames, s.get(StaffRecord::SecondNameId));
            count(d_.commonNames, s.get(StaffRecord::CommonNameId));
        }
    }

    void makeIndex()
    {
        // Each entry carries its file's name, spare entries "(spare)".
        for (int k = 0; k < Entry::Count; ++k) {
            IndexEntry& e = d_.entry(k);
            e.bytes.fill(0);
            const TableInfo* t = tableAtEntry(k);
            const std::string_view label = t ? t->file : "(spare)";
            std::copy(label.begin(), label.end(), e.bytes.begin());
            e.set(IndexEntry::RecordCount, static_cast<std::int32_t>(t ? tableSize(d_, t->id) : 0));
        }
        const std::size_t extraAt = d_.staff.size() * StaffRecord::Size;
        const std::size_t nonPlayersAt = extraAt + d_.staffExtra.size() * StaffExtraRecord::Size;
        const std::size_t playersAt = nonPlayersAt + d_.nonPlayers.size() * NonPlayerRecord::Size;
        d_.entry(Entry::StaffExtra).set(IndexEntry::TableOffset, static_cast<std::int32_t>(extraAt));
        d_.entry(Entry::NonPlayers).set(IndexEntry::TableOffset, static_cast<std::int32_t>(nonPlayersAt));
        d_.entry(Entry::Players).set(IndexEntry::TableOffset, static_cast<std::int32_t>(playersAt));
    }

    Rng rng_;
    double scale_;
    Database d_;
    std::vector<std::vector<std::int32_t>> citiesOf_;
    std::vector<std::vector<std::int32_t>> clubsOf_;
    std::vector<ClubPlan> plans_;
};

template <typename R>
void appendTable(std::vector<std::uint8_t>& out, const Table<R>& table)
{
    out.reserve(out.size() + table.size() * R::Size);
    for (const R& r : table) out.insert(out.end(), r.data(), r.data() + R::Size);
}

void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

db::Database makeDatabase(const Options& options)
{
    return Generator(options).run();
}

void writeDataFolder(const db::Database& d, const std::string& outDir)
{
    const std::filesystem::path dir = std::filesystem::path(outDir) / "data";
    std::filesystem::create_directories(dir);

    std::vector<std::uint8_t> index = {'Q', 'D', 'B', 0, 22, 0, 0, 0};
    for (const IndexEntry& e : d.index) index.insert(index.end(), e.data(), e.data() + IndexEntry::Size);
    writeFile(dir / "index.dat", index);

    // Each file holds its tables back to back.
    std::map<std::string_view, std::vector<std::uint8_t>> files;
    for (const TableInfo& t : kTables)
        if (t.id != TableId::Index)
            withTable(d, t.id, [&](const auto& table) { appendTable(files[t.file], table); });
    for (const auto& [name, bytes] : files) writeFile(dir / std::string(name), bytes);
}

void writeWinePrefix(const std::string& prefixDir, const std::string& gameDir)
{
    namespace fs = std::filesystem;
    const fs::path prefix(prefixDir);
    fs::create_directories(prefix / "dosdevices");

    std::string location = "Z:" + fs::absolute(gameDir).lexically_normal().string();
    if (location.size() > 3 && location.back() == '/') location.pop_back();
    std::string escaped;
    for (char c : location) escaped += (c == '/' || c == '\\') ? std::string("\\\\") : std::string(1, c);

    std::ofstream reg(prefix / "system.reg", std::ios::trunc);
    reg << "WINE REGISTRY Version 2\n"
        << ";; All keys relative to \\\\Machine\n\n"
        << "#arch=win32\n\n"
        << "[Software\\\\Sports Interactive Ltd\\\\Championship Manager 3] 1733690000\n"
        << "\"Location\"=\"" << escaped << "\"\n";
    if (!reg) throw std::runtime_error("cannot write " + (prefix / "system.reg").string());

    const fs::path link = prefix / "dosdevices" / "z:";
    std::error_code ec;
    fs::remove(link, ec);
    fs::create_directory_symlink("/", link);
}

}  // namespace sample
