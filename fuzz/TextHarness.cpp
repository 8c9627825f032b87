#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "Harnesses.h"
#include "db/rules/GameDate.h"
#include "db/rules/TextRules.h"
#include "db/rules/Win1252.h"

namespace fuzz {

void textHarness(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    (void)db::textToNumber(text);

    // Every byte string survives the trip through UTF-8 and back.
    FUZZ_REQUIRE(db::utf8ToWin1252(db::win1252ToUtf8(text)) == text);
    // Arbitrary (often malformed) UTF-8 converts to something that does too.
    const std::string raw = db::utf8ToWin1252(text);
    FUZZ_REQUIRE(db::utf8ToWin1252(db::win1252ToUtf8(raw)) == raw);

    // The search folding agrees with folding both sides and searching.
    if (size >= 1) {
        const std::string_view rest = text.substr(1);
        const std::size_t cut = data[0] % (rest.size() + 1);
        const std::string_view needle = rest.substr(0, cut);
        const std::string_view candidate = rest.substr(cut);
        if (!needle.empty()) {
            const std::string upperNeedle = db::upperAscii(needle);
            FUZZ_REQUIRE(db::containsFolded(candidate, upperNeedle) ==
                         (db::upperAscii(candidate).find(upperNeedle) != std::string::npos));
        }
    }

    // The dates the staff page shows store back unchanged.
    if (size >= 2) {
        const auto dayOfYear = static_cast<std::uint16_t>(data[0] | data[1] << 8);
        auto day = static_cast<std::int16_t>(static_cast<std::uint16_t>(dayOfYear + 1u));
        std::uint16_t month = 1;
        db::MakeDate(day, month);
        if (dayOfYear <= 395 || dayOfYear >= 32767) FUZZ_REQUIRE(db::GetDate(day, month) == dayOfYear);
    }
    if (size >= 6) {
        const std::int32_t day =
            static_cast<std::int32_t>(static_cast<std::uint32_t>(data[0]) | data[1] << 8 | data[2] << 16 |
                                      static_cast<std::uint32_t>(data[3]) << 24);
        (void)db::GetDate(day, static_cast<std::uint16_t>(data[4] | data[5] << 8));
    }
}

}  // namespace fuzz
