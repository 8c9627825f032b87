#include "db/rules/DisplayName.h"

namespace db {

void DisplayName::assign(std::string_view text)
{
    const DisplayName old(std::move(*this));  // keeps `text` alive should it be our own
    if (text.empty()) return;
    changed();
    char* p = static_cast<char*>(::operator new(sizeof(std::size_t) + text.size()));
    const std::size_t n = text.size();
    std::memcpy(p, &n, sizeof n);
    std::memcpy(p + sizeof n, text.data(), n);
    set(reinterpret_cast<std::uintptr_t>(p), n);
}

}  // namespace db
