#include "db/storage/SaveRecord.h"

#include <xxhash.h>

#include <algorithm>
#include <charconv>
#include <string_view>

#include "db/storage/FileSystem.h"

namespace db {

namespace {

constexpr std::string_view kHeader = "quarndb save record 1\n";

std::string hex(std::uint64_t v)
{
    char buf[17] = {};
    const auto r = std::to_chars(buf, buf + 16, v, 16);
    return std::string(16 - static_cast<std::size_t>(r.ptr - buf), '0') + std::string(buf, r.ptr);
}

bool number(std::string_view s, std::uint64_t& v, int base)
{
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v, base);
    return !s.empty() && r.ec == std::errc() && r.ptr == s.data() + s.size();
}

std::vector<std::string_view> split(std::string_view line, char sep)
{
    std::vector<std::string_view> parts;
    for (std::size_t at = 0;;) {
        const std::size_t cut = line.find(sep, at);
        parts.push_back(line.substr(at, cut == std::string_view::npos ? std::string_view::npos : cut - at));
        if (cut == std::string_view::npos) return parts;
        at = cut + 1;
    }
}

std::uint64_t checksumOf(std::string_view text)
{
    return XXH3_64bits(text.data(), text.size());
}

// A name of a file inside the data folder: no separators, no "." or "..".
bool plainName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\:") == std::string_view::npos;
}

}  // namespace

Checksum::Checksum() : state_(XXH3_createState())
{
    XXH3_64bits_reset(static_cast<XXH3_state_t*>(state_));
}

Checksum::~Checksum()
{
    XXH3_freeState(static_cast<XXH3_state_t*>(state_));
}

void Checksum::add(const void* data, std::size_t size)
{
    XXH3_64bits_update(static_cast<XXH3_state_t*>(state_), data, size);
}

std::uint64_t Checksum::value() const
{
    return XXH3_64bits_digest(static_cast<XXH3_state_t*>(state_));
}

bool checksumFile(FileSystem& fs, const std::string& path, std::uint64_t& size, std::uint64_t& sum)
{
    if (!fs.fileSize(path, size)) return false;
    Checksum c;
    std::vector<std::uint8_t> buffer;
    constexpr std::uint64_t kPiece = std::uint64_t{1} << 20;
    for (std::uint64_t at = 0; at < size; at += kPiece) {
        const auto n = static_cast<std::size_t>(std::min(size - at, kPiece));
        if (fs.readRange(path, at, n, buffer) != ReadStatus::Ok) return false;
        c.add(buffer.data(), n);
    }
    sum = c.value();
    return true;
}

std::string formatSaveRecord(const SaveRecord& record)
{
    std::string text(kHeader);
    for (const SaveRecordEntry& e : record)
        text += e.target + '\t' + e.staged + '\t' + e.kept + '\t' + std::to_string(e.size) + '\t' +
                hex(e.checksum) + '\n';
    text += "end\t" + std::to_string(record.size()) + '\t' + hex(checksumOf(text)) + '\n';
    return text;
}

bool parseSaveRecord(const std::vector<std::uint8_t>& bytes, SaveRecord& record)
{
    record.clear();
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!text.starts_with(kHeader) || !text.ends_with('\n')) return false;
    const std::size_t endLine = text.rfind('\n', text.size() - 2) + 1;
    const auto end = split(text.substr(endLine, text.size() - endLine - 1), '\t');
    std::uint64_t count = 0, sum = 0;
    if (end.size() != 3 || end[0] != "end" || !number(end[1], count, 10) || !number(end[2], sum, 16) ||
        sum != checksumOf(text.substr(0, endLine)))
        return false;
    for (std::string_view line : split(text.substr(kHeader.size(), endLine - kHeader.size()), '\n')) {
        if (line.empty()) continue;
        const auto f = split(line, '\t');
        SaveRecordEntry e;
        if (f.size() != 5 || !plainName(f[0]) || !plainName(f[1]) || !plainName(f[2]) ||
            !number(f[3], e.size, 10) || !number(f[4], e.checksum, 16))
            return false;
        e.target = f[0];
        e.staged = f[1];
        e.kept = f[2];
        record.push_back(std::move(e));
    }
    return record.size() == count && count > 0;
}

}  // namespace db
