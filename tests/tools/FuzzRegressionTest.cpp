// Replays every input that once made a fuzz target fail (fuzz/regressions),
// and a few hand-made hostile folders, through the same harness bodies in the
// ordinary build. A failure aborts the test program.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "db/storage/Storage.h"
#include "fuzz/Container.h"
#include "fuzz/Harnesses.h"
#include "fuzz/MemoryFileSystem.h"

#ifndef QUARNDB_FUZZ_REGRESSIONS
#error "QUARNDB_FUZZ_REGRESSIONS must name the folder of saved fuzz inputs"
#endif

namespace {

std::vector<std::filesystem::path> inputs(const std::string& kind)
{
    std::vector<std::filesystem::path> files;
    const std::filesystem::path dir = std::filesystem::path(QUARNDB_FUZZ_REGRESSIONS) / kind;
    if (std::filesystem::is_directory(dir))
        for (const auto& e : std::filesystem::directory_iterator(dir))
            if (e.is_regular_file() && e.path().filename().string()[0] != '.') files.push_back(e.path());
    return files;
}

fuzz::Bytes read(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return fuzz::Bytes(std::istreambuf_iterator<char>(in), {});
}

TEST(FuzzRegressions, SavedLoadInputs)
{
    for (const auto& p : inputs("load")) {
        SCOPED_TRACE(p.string());
        const fuzz::Bytes b = read(p);
        fuzz::loadHarness(b.data(), b.size());
    }
}

TEST(FuzzRegressions, SavedTextInputs)
{
    for (const auto& p : inputs("text")) {
        SCOPED_TRACE(p.string());
        const fuzz::Bytes b = read(p);
        fuzz::textHarness(b.data(), b.size());
    }
}

TEST(FuzzRegressions, SavedQueryInputs)
{
    for (const auto& p : inputs("query")) {
        SCOPED_TRACE(p.string());
        const fuzz::Bytes b = read(p);
        fuzz::queryHarness(b.data(), b.size());
    }
}

TEST(FuzzRegressions, SavedImportInputs)
{
    for (const auto& p : inputs("import")) {
        SCOPED_TRACE(p.string());
        const fuzz::Bytes b = read(p);
        fuzz::importHarness(b.data(), b.size());
    }
}

TEST(FuzzRegressions, SavedUpdateInputs)
{
    for (const auto& p : inputs("update")) {
        SCOPED_TRACE(p.string());
        const fuzz::Bytes b = read(p);
        fuzz::updateHarness(b.data(), b.size());
    }
}

// Update files of every shape the harness must survive: not JSON, deep
// nesting, huge numbers, updates that conflict and one that applies.
TEST(FuzzRegressions, HostileUpdates)
{
    const std::string counts =
        "\"counts\": {\"index\": 22, \"clubs\": 3, \"stadiums\": 2, \"first-names\": 2, \"second-names\": 2, "
        "\"common-names\": 2, \"staff\": 3, \"staff-extra\": 0, \"non-players\": 2, \"players\": 2, "
        "\"nations\": 2, \"competitions\": 2, \"colours\": 2, \"cities\": 1}";
    const std::string head = "{\"format\": \"quarndb-update\", \"version\": 1, " + counts;
    using O = fuzz::UpdateOutcome;
    const std::pair<std::string, O> inputs[] = {
        {"", O::Refused},
        {"\xff\xfe", O::Refused},
        {std::string(5000, '{'), O::Refused},
        {std::string(5000, '[') + std::string(5000, ']'), O::Refused},
        {head + "}", O::Applied},  // nothing to do
        {head + ", \"tables\": {\"clubs\": {\"changed\": [{\"id\": 1, \"fields\": {\"Cash\": {\"old\": 0, "
                "\"new\": 18446744073709551615}}}]}}}",
         O::Refused},
        {head + ", \"tables\": {\"clubs\": {\"changed\": [{\"id\": 1, \"fields\": {\"Cash\": {\"old\": 0, "
                "\"new\": 7}}}]}}}",
         O::Applied},
        {head + ", \"tables\": {\"clubs\": {\"changed\": [{\"id\": 1, \"fields\": {\"Cash\": {\"old\": 5, "
                "\"new\": 7}}}]}}}",
         O::NotApplied},
        {head + ", \"tables\": {\"index\": {\"changed\": [{\"id\": 8, \"fields\": {\"TableOffset\": "
                "{\"old\": 0, \"new\": 7}}}]}}}",
         O::Refused},
        {head + ", \"tables\": {\"staff-extra\": {\"appended\": [{\"id\": 0, \"fields\": {\"Bytes\": "
                "\"0102030405060708\"}}]}}}",
         O::Applied},
    };
    for (const auto& [in, outcome] : inputs) {
        SCOPED_TRACE(in.substr(0, 80));
        EXPECT_EQ(fuzz::updateHarness(reinterpret_cast<const std::uint8_t*>(in.data()), in.size()), outcome);
    }
}

// An index of 22 entries with the given counts and offsets.
fuzz::Bytes index(std::int32_t count, std::int32_t offset)
{
    fuzz::Bytes out(8 + 22 * 67, 0);
    for (int k = 0; k < 22; ++k)
        for (int i = 0; i < 4; ++i) {
            out[8 + 67 * k + 55 + i] =
                static_cast<std::uint8_t>(static_cast<std::uint32_t>(count) >> (8 * i));
            out[8 + 67 * k + 59 + i] =
                static_cast<std::uint8_t>(static_cast<std::uint32_t>(offset) >> (8 * i));
        }
    return out;
}

TEST(FuzzRegressions, HostileCountsAndOffsets)
{
    for (std::int32_t count : {0x7FFFFFFF, -1, 1, 3}) {
        for (std::int32_t offset : {0, -1, 0x7FFFFFFF, 1000000, 157}) {
            fuzz::Files files;
            files[0] = index(count, offset);
            for (std::size_t i = 1; i < files.size(); ++i) files[i] = fuzz::Bytes(600, 0xFF);
            files[11] = fuzz::Bytes{0xFF, 0x7F};  // 32767 templates, no bytes
            const fuzz::Bytes packed = fuzz::pack(files);
            fuzz::loadHarness(packed.data(), packed.size());
        }
    }
}

TEST(FuzzRegressions, ShortAndMissingFiles)
{
    fuzz::Files files;
    files[0] = index(1, 0);
    files[0]->resize(1481);  // one byte short of the 22 entries
    fuzz::Bytes packed = fuzz::pack(files);
    fuzz::loadHarness(packed.data(), packed.size());

    files[0] = index(1, 0);
    packed = fuzz::pack(files);  // no data files at all
    fuzz::loadHarness(packed.data(), packed.size());
    fuzz::loadHarness(nullptr, 0);
}

TEST(MemoryFileSystem, BehavesLikeAFolder)
{
    fuzz::MemoryFileSystem fs;
    fs.put("/g/data/INDEX.DAT", {1, 2, 3});
    EXPECT_TRUE(fs.isDirectory("/g/data"));
    // Paths the file layer builds ('\' on Windows) reach the same files.
    EXPECT_EQ(db::dataFilePath("/g", "index.dat", fs), db::joinPath(db::joinPath("/g", "data"), "INDEX.DAT"));
    std::string temp;
    const db::FileHandle h = fs.createTemporary("/g/data", ".index.dat.", temp);
    ASSERT_NE(h, db::kNoFile);
    EXPECT_TRUE(fs.write(h, "abc", 3) && fs.sync(h) && fs.close(h));
    EXPECT_EQ(fs.createNew(temp), db::kNoFile);
    EXPECT_TRUE(fs.rename(temp, "/g/data/INDEX.DAT"));
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(fs.readFile("/g/data/INDEX.DAT", bytes), db::ReadStatus::Ok);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{'a', 'b', 'c'}));
    std::vector<std::string> names;
    EXPECT_TRUE(fs.listDirectory("/g/data", names));
    EXPECT_EQ(names, std::vector<std::string>{"INDEX.DAT"});
    EXPECT_FALSE(fs.removeDirectory("/g/data"));
}

TEST(FuzzContainer, PackAndUnpackAgree)
{
    fuzz::Files files;
    files[0] = fuzz::Bytes{1, 2};
    files[5] = fuzz::Bytes{};
    files[11] = fuzz::Bytes(300, 7);
    const fuzz::Bytes packed = fuzz::pack(files);
    EXPECT_EQ(fuzz::unpack(packed.data(), packed.size()), files);
    // A length past the end takes what is left; files after it are absent.
    const fuzz::Bytes cut(packed.begin(), packed.begin() + 4 + 1);
    const fuzz::Files partial = fuzz::unpack(cut.data(), cut.size());
    EXPECT_EQ(partial[0], fuzz::Bytes{1});
    EXPECT_FALSE(partial[1]);
}

}  // namespace
