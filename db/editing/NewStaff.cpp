#include "db/editing/NewStaff.h"

#include <chrono>
#include <memory>
#include <optional>
#include <random>
#include <utility>

#include "db/format/Codes.h"

namespace db {

namespace {

void setNewDate(StaffRecord& s, DateField d)
{
    s.set(d.dayOfYear(), 31);
    s.set(d.year(), 1900);
    // The date's four further bytes stay 0.
}

// The template byte standing for playing-record byte n.
std::uint8_t templateByte(const WizardTemplate& t, int n)
{
    return t.bytes[static_cast<std::size_t>(n + WizardTemplate::PlayerByteShift)];
}

// A newcomer uses the names his record names (name 0 of each list), so each
// of those names counts one more user, in its one wrapping byte, as when the
// staff page gives someone a name.
void countNames(Database& db, const StaffRecord& s)
{
    const std::pair<NameKind, I32Field> names[] = {{NameKind::First, StaffRecord::FirstNameId},
                                                   {NameKind::Second, StaffRecord::SecondNameId},
                                                   {NameKind::Common, StaffRecord::CommonNameId}};
    for (const auto& [kind, field] : names) {
        auto& table = db.names(kind);
        const std::int32_t id = s.get(field);
        if (!isValidRef(id, table.size())) continue;
        NameRecord& n = table[static_cast<std::size_t>(id)];
        n.set(NameRecord::UsageCount, static_cast<std::uint8_t>(n.get(NameRecord::UsageCount) + 1));
    }
}

// Appends the records and counts the names, only once the append succeeded.
std::int32_t appendNewcomer(Database& db, StaffRecord general, std::optional<NonPlayerRecord> nonPlayer,
                            std::optional<PlayerRecord> player)
{
    const std::int32_t id = db.appendStaff(std::move(general), std::move(nonPlayer), std::move(player));
    countNames(db, db.staff[static_cast<std::size_t>(id)]);
    return id;
}

}  // namespace

bool isAllowedStaffPair(int classification, int job)
{
    if (job < 0) return false;
    switch (classification) {
        case Classification::NonPlayer:
            return job <= 10;
        case Classification::Player:
            return job == Job::Player;
        case Classification::NonPlayerAndPlayer:
            return job <= 15;
        default:
            return false;
    }
}

StaffRecord composeNewStaff(const Database& db, std::uint8_t classification, std::uint8_t job,
                            std::string displayName)
{
    StaffRecord s;  // every byte 0 to start with
    const auto nationCount = static_cast<std::int32_t>(db.nations.size());
    s.set(StaffRecord::StaffId, static_cast<std::int32_t>(db.staff.size()));
    setNewDate(s, StaffRecord::DateOfBirth);
    s.set(StaffRecord::NationId, nationCount);
    s.set(StaffRecord::SecondNationId, nationCount);
    s.set(StaffRecord::NationContractedId, -2);
    s.set(StaffRecord::JobForNation, job);
    setNewDate(s, StaffRecord::NationJoinDate);
    setNewDate(s, StaffRecord::NationContractEnd);
    s.set(StaffRecord::ClubContractedId, -2);
    s.set(StaffRecord::JobForClub, job);
    setNewDate(s, StaffRecord::ClubJoinDate);
    setNewDate(s, StaffRecord::ClubContractEnd);
    s.set(StaffRecord::PlayingSquad, 1);
    s.set(StaffRecord::Classification, classification);
    s.fillIds(StaffRecord::FavouriteClubs, -2);
    s.fillIds(StaffRecord::DislikedClubs, -2);
    s.fillIds(StaffRecord::FavouriteStaff, -1);
    s.fillIds(StaffRecord::DislikedStaff, -1);
    s.set(StaffRecord::PlayerId,
          Classification::hasPlayer(classification) ? static_cast<std::int32_t>(db.players.size()) : -1);
    s.set(StaffRecord::Reserved149, -1);
    s.set(StaffRecord::NonPlayerId, Classification::hasNonPlayer(classification)
                                        ? static_cast<std::int32_t>(db.nonPlayers.size())
                                        : -1);
    s.displayName = std::move(displayName);
    return s;
}

NonPlayerRecord composeNewNonPlayer()
{
    NonPlayerRecord r;
    r.fillIds(NonPlayerRecord::Reserved35, -1);
    return r;
}

PlayerRecord composeNewPlayer()
{
    return PlayerRecord{};
}

RandomAddition timeSeededAddition()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    auto engine = std::make_shared<std::mt19937>(static_cast<std::mt19937::result_type>(
        std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
    return [engine]() { return std::uniform_int_distribution<int>(0, 5)(*engine); };
}

PlayerRecord composeWizardPlayer(const WizardTemplate& t, const RandomAddition& addition)
{
    PlayerRecord p;  // identifier, squad number, abilities and reputations 0
    for (int n = PlayerRecord::Goalkeeper.offset; n <= PlayerRecord::FreeRole.offset; ++n)
        p.bytes[static_cast<std::size_t>(n)] = templateByte(t, n);
    for (int n = PlayerRecord::Acceleration.offset; n <= PlayerRecord::WorkRate.offset; ++n) {
        if (n == PlayerRecord::LeftFoot.offset || n == PlayerRecord::RightFoot.offset) continue;
        p.bytes[static_cast<std::size_t>(n)] = static_cast<std::uint8_t>(templateByte(t, n) + addition());
    }
    // LeftFoot, RightFoot and the reserved byte 69 stay 0.
    return p;
}

std::int32_t addNewStaff(Database& db, std::uint8_t classification, std::uint8_t job)
{
    StaffRecord general = composeNewStaff(db, classification, job, kNewStaffName);
    std::optional<NonPlayerRecord> nonPlayer;
    std::optional<PlayerRecord> player;
    if (Classification::hasNonPlayer(classification)) nonPlayer = composeNewNonPlayer();
    if (Classification::hasPlayer(classification)) player = composeNewPlayer();
    return appendNewcomer(db, std::move(general), nonPlayer, player);
}

std::int32_t addWizardPlayer(Database& db, const WizardTemplate& t, const RandomAddition& addition)
{
    StaffRecord general = composeNewStaff(db, Classification::Player, Job::Player, kNewWizardPlayerName);
    return appendNewcomer(db, std::move(general), std::nullopt, composeWizardPlayer(t, addition));
}

}  // namespace db
