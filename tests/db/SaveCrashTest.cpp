// A save ended by a crash at any step: the program really stops (a separate
// process quits on the spot), then recovery runs as the next start does, and
// the game folder must hold the old set or the new set entirely, load, and
// keep nothing of the save behind.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "TestSupport.h"
#include "db/storage/Recovery.h"

using namespace testing_db;
namespace fs = std::filesystem;

namespace {

struct Step {
    std::string phase, op, path;
};

// Runs the helper on `dir`; its exit status (0 when it saved to the end).
int runHelper(const std::string& dir, int stopAt, const std::string& log = {})
{
#ifdef _WIN32
    const std::string helper = SAVE_CRASH_HELPER_NAME;
#else
    const std::string helper = SAVE_CRASH_HELPER;
#endif
    std::string command = "\"" + helper + "\" \"" + dir + "\" " + std::to_string(stopAt);
    if (!log.empty()) command += " \"" + log + "\"";
#ifdef _WIN32
    command = "\"" + command + "\"";  // cmd.exe strips one pair of quotes
#endif
    int status = std::system(command.c_str());
    // -1: the command interpreter itself did not start, which Wine's cmd.exe
    // now and then does; the helper never ran, so running it again is safe.
    if (status == -1) status = std::system(command.c_str());
    return status;
}

std::vector<Step> readSteps(const std::string& log)
{
    std::vector<Step> steps;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        Step s;
        std::getline(fields, s.phase, '\t');
        std::getline(fields, s.op, '\t');
        std::getline(fields, s.path);
        steps.push_back(s);
    }
    return steps;
}

void copyFolder(const std::string& from, const std::string& to)
{
    fs::remove_all(to);
    fs::copy(from, to, fs::copy_options::recursive);
}

// The game folder's entries: the data folder's files and any backup folder.
std::map<std::string, FileState> dataOf(const std::string& dir)
{
    return snapshot((fs::path(dir) / "data").string());
}

std::vector<std::string> backupsIn(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().filename().string() != "data" && e.is_directory())
            names.push_back(e.path().filename().string());
    return names;
}

// A sample game in <work>/original, and one save of a copy of it in
// <work>/full run to its end, logging the steps a crash can come before.
struct SavedOnce {
    std::string original, full;
    std::map<std::string, FileState> oldData;
    std::vector<Step> steps;

    explicit SavedOnce(const TempDir& work) : original(work.file("original")), full(work.file("full"))
    {
        fs::create_directories(original);
        writeSampleGame(original, 0.02);
        oldData = dataOf(original);
        copyFolder(original, full);
        EXPECT_EQ(runHelper(full, 0, work.file("steps.log")), 0);
        steps = readSteps(work.file("steps.log"));
    }
};

}  // namespace

TEST(SaveCrash, EveryStepEndsWhollyOldOrWhollyNewAfterRecovery)
{
    TempDir work;
    // One save to its end lists the steps and gives the new set.
    const SavedOnce saved(work);
    const std::string& original = saved.original;
    const auto& oldData = saved.oldData;
    const std::vector<Step>& steps = saved.steps;
    ASSERT_FALSE(steps.empty());
    const auto newData = dataOf(saved.full);
    ASSERT_NE(newData, oldData);
    ASSERT_EQ(newData.size(), oldData.size());
    const std::size_t oldClubs = loadGame(original).clubs.size();

    struct Tally {
        int points = 0, old = 0, saved = 0;
    };
    std::map<std::string, Tally> phases;
    std::vector<std::string> order;
    const std::string dir = work.file("crashed");
    for (std::size_t n = 1; n <= steps.size(); ++n) {
        const Step& step = steps[n - 1];
        SCOPED_TRACE("crash before step " + std::to_string(n) + ": " + step.phase + " " + step.op + " " +
                     step.path);
        copyFolder(original, dir);
        ASSERT_NE(runHelper(dir, static_cast<int>(n)), 0);

        const db::RecoveryReport report = db::recoverGameFolder(dir);
        ASSERT_TRUE(report.whole()) << report.text();

        const auto data = dataOf(dir);
        const bool isOld = data == oldData, isNew = data == newData;
        ASSERT_TRUE(isOld || isNew) << "a mixed or littered data folder; " << report.text();
        EXPECT_EQ(loadGame(dir).clubs.size(), isNew ? oldClubs + 1 : oldClubs);
        // A backup is whole or absent, and the save never starts before it.
        const std::vector<std::string> backups = backupsIn(dir);
        ASSERT_LE(backups.size(), 1u);
        if (!backups.empty()) {
            ASSERT_TRUE(backups[0].starts_with("data-backup-")) << backups[0];
            const auto copy = snapshot((fs::path(dir) / backups[0]).string());
            EXPECT_EQ(copy.size(), 7u);
            for (const auto& [name, state] : copy) {
                EXPECT_EQ(state.bytes, oldData.at(name).bytes) << name;
            }
        }
        if (isNew) {
            EXPECT_EQ(backups.size(), 1u);
        }
        // Nothing else in the game folder either.
        EXPECT_EQ(fs::exists(fs::path(dir) / "wizard.quarn"), true);
        EXPECT_EQ(
            static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator())),
            2 + backups.size());

        if (!phases.count(step.phase)) order.push_back(step.phase);
        Tally& t = phases[step.phase];
        ++t.points;
        if (isOld) {
            ++t.old;
        } else {
            ++t.saved;
        }
    }

    // Until the record is on the disk the save has not happened; from the
    // first rename on it has.
    EXPECT_EQ(phases["backup"].saved, 0);
    EXPECT_EQ(phases["staging"].saved, 0);
    EXPECT_EQ(phases["keep originals"].saved, 0);
    EXPECT_EQ(phases["swap"].old, 0);
    EXPECT_EQ(phases["clean-up"].old, 0);
    EXPECT_GT(phases["swap"].points, 6);
    std::cout << steps.size() << " crash points:\n";
    for (const std::string& p : order)
        std::cout << "  " << p << ": " << phases[p].points << " points, " << phases[p].old << " old, "
                  << phases[p].saved << " new\n";
}

// A new file damaged after the crash (a disk that lied) cannot finish the
// save: the originals go back. Once the save was tidying, its originals are
// gone and nothing safe remains to do: recovery changes nothing and says so.
TEST(SaveCrash, ADamagedNewFileSendsTheSaveBackOrStopsEverything)
{
    TempDir work;
    const SavedOnce saved(work);
    const std::string& original = saved.original;
    const auto& oldData = saved.oldData;
    const std::vector<Step>& steps = saved.steps;
    ASSERT_FALSE(steps.empty());
    auto stepOf = [&](const std::string& phase, int nth) {
        for (std::size_t i = 0; i < steps.size(); ++i)
            if (steps[i].phase == phase && --nth == 0) return static_cast<int>(i + 1);
        return 0;
    };
    auto stagedFile = [](const std::string& dir, const std::string& target) {
        for (const auto& e : fs::directory_iterator(fs::path(dir) / "data")) {
            const std::string name = e.path().filename().string();
            if (name.starts_with("." + target + ".") && name.ends_with(".tmp")) return e.path().string();
        }
        return std::string();
    };
    auto damage = [](const std::string& path) {
        Bytes b = readBytes(path);
        b[9] ^= 0xFF;
        writeBytes(path, b);
    };

    const std::string dir = work.file("crashed");
    copyFolder(original, dir);
    ASSERT_NE(runHelper(dir, stepOf("swap", 3)), 0);
    damage(stagedFile(dir, "index.dat"));
    const db::RecoveryReport back = db::recoverGameFolder(dir);
    EXPECT_EQ(back.outcome, db::RecoveryReport::Outcome::RolledBack) << back.text();
    EXPECT_EQ(dataOf(dir), oldData);

    copyFolder(original, dir);
    ASSERT_NE(runHelper(dir, stepOf("clean-up", 2)), 0);  // the first second name is gone
    damage((fs::path(dir) / "data" / "club.dat").string());
    const auto damaged = snapshot(dir);
    const db::RecoveryReport stuck = db::recoverGameFolder(dir);
    EXPECT_FALSE(stuck.whole());
    EXPECT_NE(stuck.text().find("cannot be made whole again: the new club.dat do not match"),
              std::string::npos)
        << stuck.text();
    EXPECT_EQ(snapshot(dir), damaged);
}
