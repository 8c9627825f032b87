#include "StaffFields.h"

namespace staff {

namespace {

struct NamedControl {
    std::string_view field;  // catalog name
    const char* control;
};

// Controls that show a field without a binding of their own: the coded
// lists and the read-only contract details.
constexpr NamedControl kStaffByName[] = {
    {"JobForNation", kJobForNation},         {"JobForClub", kJobForClub}, {"Classification", kClassification},
    {"NationContractedId", kNationContract}, {"ClubContractedId", kClub}, {"PlayingSquad", kPlayingSquad},
};

}  // namespace

std::string_view controlOfField(db::TableId t, const db::FieldInfo& f)
{
    auto numbers = [&f](const auto& bindings) -> const char* {
        for (const NumBinding& b : bindings)
            if (b.field.offset == f.offset) return b.control;
        return nullptr;
    };
    switch (t) {
        case db::TableId::Staff:
            for (const NameBinding& b : kNames)
                if (b.field.offset == f.offset) return b.control;
            for (const NationBinding& b : kNations)
                if (b.field.offset == f.offset) return b.control;
            for (const DateBinding& b : kDates)
                if (b.field.offset == f.offset) return b.day;
            for (const PreferenceBinding& b : kPreferences)
                if (b.field.offset == f.offset) return b.control;
            if (kClubValuation.field.offset == f.offset) return kClubValuation.control;
            if (const char* c = numbers(kGeneralNumbers)) return c;
            for (const NamedControl& n : kStaffByName)
                if (n.field == f.name) return n.control;
            return {};
        case db::TableId::NonPlayers:
            if (const char* c = numbers(kNonPlayerNumbers)) return c;
            return f.name == "Formation" ? kFormation : std::string_view();
        case db::TableId::Players:
            if (const char* c = numbers(kPlayerNumbers)) return c;
            return {};
        default:
            return {};
    }
}

}  // namespace staff
