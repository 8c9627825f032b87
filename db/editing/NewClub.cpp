#include "db/editing/NewClub.h"

#include <algorithm>

namespace db {

namespace {

std::int32_t countOf(std::size_t n)
{
    return static_cast<std::int32_t>(std::min<std::size_t>(n, INT32_MAX));
}

}  // namespace

ClubRecord composeNewClub(const Database& d)
{
    ClubRecord c;  // every byte 0
    c.set(ClubRecord::ClubId, countOf(d.clubs.size()));
    c.setText(ClubRecord::LongName, "<new club>");
    c.setText(ClubRecord::ShortName, "<new club>");

    c.set(ClubRecord::NationId, countOf(d.nations.size()));
    const std::int32_t comps = countOf(d.clubComps.size());
    c.set(ClubRecord::DivisionId, comps);
    c.set(ClubRecord::LastDivisionId, comps);
    c.set(ClubRecord::ReserveDivisionId, comps);
    const std::int32_t stadiums = countOf(d.stadiums.size());
    c.set(ClubRecord::StadiumId, stadiums);
    c.set(ClubRecord::ReserveStadiumId, stadiums);
    const std::int32_t colours = countOf(d.colours.size());
    for (I32Field f :
         {ClubRecord::HomeForeColourId, ClubRecord::HomeBackColourId, ClubRecord::AwayForeColourId,
          ClubRecord::AwayBackColourId, ClubRecord::ThirdForeColourId, ClubRecord::ThirdBackColourId})
        c.set(f, colours);

    c.fillIds(ClubRecord::FavouriteStaff, -1);
    c.fillIds(ClubRecord::DislikedStaff, -1);
    c.fillIds(ClubRecord::RivalClubs, -2);
    emptyStaffSlots(c);

    if (!d.clubs.empty()) {
        const ClubRecord& last = d.clubs.back();
        const BytesField tail = ClubRecord::ReservedTail;
        std::copy_n(last.data() + tail.offset, tail.width, c.data() + tail.offset);
    }
    return c;
}

void emptyStaffSlots(ClubRecord& c)
{
    c.set(ClubRecord::ChairmanId, -1);
    c.fillIds(ClubRecord::DirectorIds, -1);
    c.set(ClubRecord::ManagerId, -1);
    c.set(ClubRecord::AssistantManagerId, -1);
    c.fillIds(ClubRecord::PlayerIds, -1);
    c.fillIds(ClubRecord::CoachIds, -1);
    c.fillIds(ClubRecord::ScoutIds, -1);
    c.fillIds(ClubRecord::PhysioIds, -1);
}

}  // namespace db
