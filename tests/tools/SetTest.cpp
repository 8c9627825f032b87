// quarndb-cli set on the small database laid out as a game folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "SmallDatabase.h"
#include "tools/cli/Cli.h"

namespace {

namespace fs = std::filesystem;

struct Result {
    int status;
    std::string out;
    std::string err;
};

class Set : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = clitest::scratchFolder("set");
        clitest::writeGameFolder(clitest::smallDatabase(), dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    Result run(std::vector<std::string> args) const
    {
        std::ostringstream out, err;
        const int status = cli::run(args, out, err);
        return {status, out.str(), err.str()};
    }
    Result set(std::vector<std::string> args) const
    {
        args.insert(args.begin(), {"set", dir});
        return run(args);
    }
    // Every file of the data folder and its bytes.
    std::map<std::string, std::string> files() const
    {
        std::map<std::string, std::string> out;
        for (const auto& e : fs::directory_iterator(fs::path(dir) / "data")) {
            std::ifstream in(e.path(), std::ios::binary);
            out[e.path().filename().string()] = std::string(std::istreambuf_iterator<char>(in), {});
        }
        return out;
    }

    std::string dir;
};

TEST_F(Set, PreviewsThenChangesThroughTheSave)
{
    const auto original = files();
    const std::vector<std::string> change = {"staff", "Club is none", "--set", "Club=\"Quarn Town\"",
                                             "--set", "Wage+=300"};
    std::vector<std::string> dry = change;
    dry.push_back("--dry-run");
    Result r = set(dry);
    EXPECT_EQ(r.status, cli::kExitOk) << r.err;
    EXPECT_EQ(
        r.out,
        "1 staff matched; 1 record changes (2 values).\n"
        "  John O'Neil, \"Jr\": ClubContractedId <none> (-2) -> Quarn Town\n"
        "  John O'Neil, \"Jr\": Wage 0 -> 300\n"
        "Would change: ClubContractedId = \"Quarn Town\", Wage + 300 (1 staff). Nothing was written.\n");
    EXPECT_EQ(files(), original);

    r = set(change);
    ASSERT_EQ(r.status, cli::kExitOk) << r.err;
    EXPECT_NE(r.out.find("The original data files were copied to "), std::string::npos) << r.out;
    r = run({"find", dir, "staff", "Wage > 0 or Id = 1", "--columns", "Club,Wage", "--format", "csv"});
    EXPECT_EQ(r.out, "Id,ClubContractedId,Wage\r\n1,Quarn Town,0\r\n3,Quarn Town,300\r\n");
    r = run({"find", dir, "clubs", "PlayerIds[2] = 3", "--columns", "LongName"});
    EXPECT_EQ(r.status, cli::kExitOk) << "the club's second player place holds him";
}

TEST_F(Set, RefusesAndWritesNothing)
{
    const auto original = files();
    const struct {
        std::vector<std::string> args;
        int status;
        const char* message;
    } cases[] = {
        {{"staff", "all", "--set", "PlayerId=1"}, 2, "links the staff member to his attribute record"},
        {{"clubs", "all", "--set", "PlayerIds[1]=3"}, 2, "mirrored by each staff member's club"},
        {{"staff", "all", "--set", "InternationalCaps-=1"},
         2,
         "4 values do not fit the field (John Smith InternationalCaps -1;"},
        {{"staff", "Wage >", "--set", "Wage=1"}, 2, "bad query at position 7"},
        {{"staff", "all", "--set", "Wage=\"x\""}, 2, "Wage is a number; write it without quotes"},
        {{"staff", "all"}, 2, "at least one --set"},
        {{"staff", "all", "--set", "Wage=1", "--skip", "--clamp"}, 2, "cannot be given together"},
        {{"staff", "--set", "Wage=1"}, 2, "GAMEDIR, TABLE and WHERE"},
        {{"nations", "all", "--set", "NationName=\"X\""}, 2, "File > Save never writes"},
        {{"managers", "all", "--set", "Wage=1"}, 2, "unknown table 'managers'"},
        {{"staff", "Wage > 1000", "--set", "Wage=1"}, 1, "no record of staff matches"},
    };
    for (const auto& c : cases) {
        const Result r = set(c.args);
        EXPECT_EQ(r.status, c.status) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(files(), original) << c.message;
    }
    const Result clamped = set({"staff", "all", "--set", "InternationalCaps-=1", "--clamp"});
    EXPECT_EQ(clamped.status, cli::kExitOk);
    EXPECT_NE(clamped.out.find("Nothing needed changing"), std::string::npos) << clamped.out;
    EXPECT_EQ(files(), original);
}

}  // namespace
