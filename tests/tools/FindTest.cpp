// quarndb-cli find on the small database laid out as a game folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "SmallDatabase.h"
#include "tools/cli/Cli.h"

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

class Find : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = clitest::scratchFolder("find");
        clitest::writeGameFolder(clitest::smallDatabase(), dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    Result find(std::vector<std::string> args) const
    {
        args.insert(args.begin(), {"find", dir});
        std::ostringstream out, err;
        const int status = cli::run(args, out, err);
        return {status, out.str(), err.str()};
    }

    std::string dir;
};

TEST_F(Find, WritesTheMatchesInEachFormat)
{
    Result r =
        find({"staff", "Club is none or Name contains \"zoe\"", "--columns", "Name,Club", "--format", "csv"});
    EXPECT_EQ(r.status, cli::kExitOk) << r.err;
    EXPECT_EQ(r.out,
              "Id,Name,ClubContractedId\r\n"
              "1,\"Zo\xC3\xAB O'Neil, \"\"Jr\"\"\",Quarn Town\r\n"
              "3,\"John O'Neil, \"\"Jr\"\"\",<none> (-2)\r\n");

    r = find({"clubs", "Name", "contains", "\"MUNCHEN\"", "--columns", "ShortName,Cash", "--format", "json"});
    EXPECT_EQ(r.out, "[\n  {\"Id\": 1, \"ShortName\": \"M\xC3\xBCnchen\", \"Cash\": 0}\n]\n");

    r = find({"staff", "--sort", "-Name,Id", "--columns", "Name"});
    EXPECT_EQ(r.out,
              "Id  Name\n1   Zo\xC3\xAB O'Neil, \"Jr\"\n0   John Smith\n3   John O'Neil, \"Jr\"\n"
              "2   Fran\xC3\xA7ois Smith\n");
    EXPECT_EQ(find({"staff", "Wage > 1000000"}).status, cli::kExitProblems);
}

TEST_F(Find, BadQueriesAndArgumentsExitWithTwo)
{
    Result r = find({"staff", "Wage > "});
    EXPECT_EQ(r.status, cli::kExitError);
    EXPECT_EQ(r.err,
              "quarndb-cli: bad query at position 8: expected a value (a number or text in double quotes)\n");
    EXPECT_TRUE(r.out.empty());

    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"managers"}, "unknown table 'managers'"},
        {{"staff", "--format", "xml"}, "unknown format 'xml'"},
        {{"staff", "--date", "1998-13-01"}, "--date needs a date"},
        {{"staff", "--columns", "Name,,Age"}, "bad --columns at position 6: expected a column name"},
        {{"staff", "--sort", "Height"}, "bad --sort at position 1: expected a field of staff"},
        {{"staff", "--sort"}, "--sort needs a list of columns"},
    };
    for (const auto& [args, message] : cases) {
        r = find(args);
        EXPECT_EQ(r.status, cli::kExitError) << message;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
    std::filesystem::remove(std::filesystem::path(dir) / "data" / "staff.dat");
    EXPECT_EQ(find({"staff", "Wage > 1"}).status, cli::kExitError);
}

}  // namespace
