#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "SmallDatabase.h"
#include "db/query/Search.h"
#include "db/rules/Win1252.h"
#include "db/storage/SaveRecord.h"
#include "tools/cli/Cli.h"

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result runCli(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int status = cli::run(args, out, err);
    return {status, out.str(), err.str()};
}

class CliFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = clitest::scratchFolder("cli");
        clitest::writeGameFolder(clitest::smallDatabase(), dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string data(const std::string& name) const
    {
        return (std::filesystem::path(dir) / "data" / name).string();
    }

    // Overwrites `bytes` at `offset` of a data file.
    void patch(const std::string& name, std::streamoff offset, const std::string& bytes)
    {
        std::fstream f(data(name), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(offset);
        f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    static std::string i32(std::int32_t v)
    {
        std::string s(4, '\0');
        for (int i = 0; i < 4; ++i)
            s[static_cast<std::size_t>(i)] =
                static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
        return s;
    }

    // Every file of the folder with its content, to prove nothing was written.
    std::map<std::string, std::string> snapshot() const
    {
        std::map<std::string, std::string> files;
        for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
            if (!e.is_regular_file()) continue;
            std::ifstream in(e.path(), std::ios::binary);
            files[e.path().string()] = std::string(std::istreambuf_iterator<char>(in), {});
        }
        return files;
    }

    std::string dir;
};

TEST_F(CliFolder, CheckIsCleanOnAConsistentFolder)
{
    const Result r = runCli({"check", dir});
    EXPECT_EQ(r.status, cli::kExitOk) << r.out << r.err;
    EXPECT_EQ(r.out, "No problems found.\n");
}

TEST_F(CliFolder, CheckNamesTheProblemsAndExitsWithOne)
{
    patch("club.dat", 581 + 0, i32(9));          // ClubId of club 1
    patch("club.dat", 83, i32(40));              // NationId of club 0
    patch("staff.dat", 157 * 0 + 153, i32(-1));  // chairman's NonPlayerId
    const Result r = runCli({"check", dir});
    EXPECT_EQ(r.status, cli::kExitProblems);
    EXPECT_EQ(
        r.out,
        "damage clubs[1] ClubId: identifier 9 differs from its position 1\n"
        "damage staff[0] NonPlayerId: missing link to non-players (-1) though the classification needs one\n"
        "2 problems found.\n"
        "1 reference names no record and will read as none:\n"
        "unusual clubs[0] NationId: reference 40 is outside nations (2 records)\n");
}

TEST_F(CliFolder, ReferencesThatReadAsNoneAreListedButAreNoDamage)
{
    patch("club.dat", 83, i32(40));             // NationId of club 0
    patch("staff.dat", 157 * 3 + 26, i32(-9));  // NationId of staff 3
    const Result r = runCli({"check", dir});
    EXPECT_EQ(r.status, cli::kExitOk) << r.out;
    EXPECT_EQ(r.out,
              "No problems found.\n"
              "2 references name no record and will read as none:\n"
              "unusual clubs[0] NationId: reference 40 is outside nations (2 records)\n"
              "unusual staff[3] NationId: reference -9 is outside nations (2 records)\n");
}

TEST_F(CliFolder, CheckReportsAShortFileInsteadOfFailingToRead)
{
    std::filesystem::resize_file(data("stadium.dat"), 50);
    const Result r = runCli({"check", dir});
    EXPECT_EQ(r.status, cli::kExitProblems) << r.err;
    EXPECT_NE(r.out.find("stadium.dat length: 50 bytes, shorter than the 78 bytes the counts need"),
              std::string::npos)
        << r.out;
}

TEST_F(CliFolder, CheckReportsOffsetsThatDisagreeWithTheLayout)
{
    patch("index.dat", 8 + 67 * 8 + 59, i32(600));
    const Result r = runCli({"check", dir});
    EXPECT_EQ(r.status, cli::kExitProblems);
    EXPECT_NE(r.out.find("index[8] TableOffset: 600 but the tables before it end at 628"), std::string::npos)
        << r.out;
}

TEST_F(CliFolder, CheckReportsATableOffsetOutsideTheFile)
{
    patch("index.dat", 8 + 67 * 9 + 59, i32(-5));
    const Result r = runCli({"check", dir});
    EXPECT_EQ(r.status, cli::kExitProblems) << r.err;
    EXPECT_NE(r.out.find("index[9] TableOffset: -5 but the tables before it end at 660\n"), std::string::npos)
        << r.out;
}

TEST_F(CliFolder, UnreadableFoldersExitWithTwo)
{
    for (const std::string command : {"info", "check"}) {
        Result r = runCli({command, dir + "/nowhere"});
        EXPECT_EQ(r.status, cli::kExitError);
        EXPECT_NE(r.err.find("no such folder"), std::string::npos) << r.err;

        r = runCli({command, dir + "/data"});
        EXPECT_EQ(r.status, cli::kExitError);
        EXPECT_NE(r.err.find("looks like the data folder itself"), std::string::npos) << r.err;
    }
    std::filesystem::remove(data("index.dat"));
    const Result r = runCli({"check", dir});
    EXPECT_EQ(r.status, cli::kExitError);
    EXPECT_NE(r.err.find("cannot read the index"), std::string::npos) << r.err;
}

TEST_F(CliFolder, NothingIsWritten)
{
    const auto before = snapshot();
    runCli({"info", dir});
    runCli({"check", dir});
    runCli({"export", dir, "staff", "--format", "json"});
    runCli({"search", dir, "clubs", "a"});
    EXPECT_EQ(snapshot(), before);
}

TEST_F(CliFolder, InfoShowsEntriesFilesAndLayout)
{
    const Result r = runCli({"info", dir});
    EXPECT_EQ(r.status, cli::kExitOk) << r.err;
    EXPECT_NE(r.out.find("Staff tables back to back: yes"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("staff.dat"), std::string::npos);
    EXPECT_NE(r.out.find("1006 bytes"), std::string::npos) << r.out;

    patch("index.dat", 8 + 67 * 10 + 59, i32(0));
    EXPECT_NE(runCli({"info", dir}).out.find("Staff tables back to back: no"), std::string::npos);
}

TEST_F(CliFolder, SearchAgreesWithTheCore)
{
    const db::Database d = clitest::smallDatabase();
    for (const std::string text : {"o", "SMITH", "neil, \"j", "zo\xC3\xAB", "x", "m\xC3\xBCn"}) {
        const std::string raw = db::utf8ToWin1252(text);
        for (const std::string what : {"staff", "clubs"}) {
            const auto expected = what == "staff" ? db::searchStaff(d, raw) : db::searchClubs(d, raw);
            const Result r = runCli({"search", dir, what, text});
            std::vector<std::int32_t> ids;
            std::istringstream in(r.out);
            for (std::string line; std::getline(in, line);) ids.push_back(std::stoi(line));
            EXPECT_EQ(ids, expected) << what << " " << text;
            EXPECT_EQ(r.status, expected.empty() ? cli::kExitProblems : cli::kExitOk);
        }
    }
    EXPECT_EQ(runCli({"search", dir, "staff", "zo\xC3\xAB"}).out, "1\tZo\xC3\xAB O'Neil, \"Jr\"\n");
}

// check names an interrupted save instead of the damage it seems to be;
// recover is the one command that writes, and only what recovery must.
TEST_F(CliFolder, InterruptedSavesAreReportedAndRecovered)
{
    const std::string stray = data(".staff.dat.x1y2z3w4.tmp");
    std::ofstream(stray) << "half";
    Result r = runCli({"check", dir});
    EXPECT_EQ(r.status, cli::kExitProblems);
    EXPECT_EQ(r.out.rfind("Leftovers: A save into", 0), 0u) << r.out;
    EXPECT_TRUE(std::filesystem::exists(stray));
    r = runCli({"recover", dir});
    EXPECT_EQ(r.status, cli::kExitOk);
    EXPECT_NE(r.out.find("Its leftovers were removed: " + stray), std::string::npos) << r.out;
    EXPECT_FALSE(std::filesystem::exists(stray));
    EXPECT_EQ(runCli({"check", dir}).out, "No problems found.\n");
    EXPECT_EQ(runCli({"recover", dir}).out, "Nothing to recover: no interrupted save or backup.\n");

    // A record of a save whose new club.dat and original are both missing.
    std::ofstream(data(".quarndb-save"), std::ios::binary)
        << db::formatSaveRecord({{"club.dat", ".club.dat.x.tmp", ".club.dat.quarn-old", 1, 1}});
    r = runCli({"check", dir});
    EXPECT_EQ(r.status, cli::kExitProblems);
    EXPECT_EQ(r.out.rfind("Interrupted save: ", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("cannot be made whole"), std::string::npos) << r.out;
    r = runCli({"recover", dir});
    EXPECT_EQ(r.status, cli::kExitError);
    EXPECT_TRUE(std::filesystem::exists(data(".quarndb-save")));
}

TEST(CliArguments, BadArgumentsExitWithTwoAndSayWhy)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "Usage"},
        {{"frobnicate", "x"}, "unknown command 'frobnicate'"},
        {{"check"}, "check needs exactly one GAMEDIR"},
        {{"info", "a", "b"}, "info needs exactly one GAMEDIR"},
        {{"export", "dir"}, "export needs GAMEDIR and TABLE"},
        {{"export", "dir", "managers"}, "unknown table 'managers'"},
        {{"export", "dir", "clubs", "--format", "xml"}, "unknown format 'xml'"},
        {{"export", "dir", "clubs", "--format"}, "--format needs csv or json"},
        {{"export", "dir", "clubs", "--colour"}, "unknown option '--colour'"},
        {{"search", "dir", "nations", "x"}, "search looks for staff or clubs"},
        {{"search", "dir", "staff"}, "search needs GAMEDIR"},
        {{"recover"}, "recover needs exactly one GAMEDIR"},
        {{"merge", "dir"}, "merge needs BASEDIR and at least one UPDATE"},
        {{"merge", "dir", "u.json"}, "merge needs -o OUT"},
        {{"merge", "dir", "u.json", "-o", "m.json", "--prefer", "best"},
         "--prefer takes first, last or none"},
    };
    for (const auto& [args, message] : cases) {
        const Result r = runCli(args);
        EXPECT_EQ(r.status, cli::kExitError) << message;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
}

TEST(CliArguments, HelpForEachCommand)
{
    EXPECT_EQ(runCli({"--help"}).status, cli::kExitOk);
    EXPECT_NE(runCli({"--help"}).out.find("quarndb-cli COMMAND GAMEDIR"), std::string::npos);
    for (const std::string command :
         {"info", "check", "export", "search", "find", "recover", "merge", "set", "import"}) {
        const Result r = runCli({command, "--help"});
        EXPECT_EQ(r.status, cli::kExitOk);
        EXPECT_EQ(r.out.rfind("Usage: quarndb-cli " + command, 0), 0u) << r.out;
    }
    EXPECT_NE(runCli({"export", "--help"}).out.find("common-names"), std::string::npos);
}

}  // namespace

namespace {

// import: a dry run and a fault write nothing; an import saves after a backup
// and reads back; exported files come back unchanged.
TEST_F(CliFolder, ImportChecksThenSavesAfterABackup)
{
    const std::string file = (std::filesystem::path(dir) / "clubs.csv").string();
    auto writeFile = [&](const std::string& text) { std::ofstream(file, std::ios::binary) << text; };
    const auto before = snapshot();

    writeFile(runCli({"export", dir, "clubs"}).out);
    Result r = runCli({"import", dir, "clubs", file});
    EXPECT_EQ(r.status, cli::kExitOk) << r.err;
    EXPECT_NE(r.out.find("Nothing to change"), std::string::npos) << r.out;

    writeFile("ClubId;Cash\r\n0;x\r\n1;5\r\n9;1\r\n");
    r = runCli({"import", dir, "clubs", file});
    EXPECT_EQ(r.status, cli::kExitError);
    EXPECT_NE(r.err.find("Row 2, Cash: \"x\" is not a whole number\nRow 4, ClubId:"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("2 faults"), std::string::npos) << r.err;

    writeFile("ClubId;Cash\r\n1;5\r\n");
    r = runCli({"import", dir, "clubs", file, "--dry-run"});
    EXPECT_EQ(r.status, cli::kExitOk) << r.err;
    EXPECT_NE(r.out.find("Clubs 1 "), std::string::npos) << r.out;
    std::filesystem::remove(file);
    EXPECT_EQ(snapshot(), before);

    writeFile("ClubId;Cash\r\n1;5\r\n");
    r = runCli({"import", dir, "clubs", file});
    EXPECT_EQ(r.status, cli::kExitOk) << r.err;
    EXPECT_NE(r.out.find("copied to"), std::string::npos) << r.out;
    EXPECT_NE(runCli({"import", dir, "clubs", file}).out.find("Nothing to change"), std::string::npos);
    EXPECT_EQ(runCli({"import", dir, "nations", file}).status, cli::kExitError);
    EXPECT_EQ(runCli({"import", dir, "clubs"}).status, cli::kExitError);
}

}  // namespace
