#include "Load.h"

#include <filesystem>

#include "db/storage/Storage.h"

namespace cli {

namespace {

// The companion has no player templates: it hands the loader a path that
// cannot be opened and judges the load by the last table of staff.dat.
const std::string kNoTemplates = "";

}  // namespace

std::string gameFilePath(const std::string& gameDir, const std::string& fileName)
{
    return db::dataFilePath(gameDir, fileName);
}

bool readGameIndex(const std::string& gameDir, db::Database& db, std::string& error)
{
    try {
        db::readIndex(db, gameDir);
    } catch (const db::Error& e) {
        error = e.what();
        return false;
    }
    if (!db.hasFullIndex()) {
        error = "index.dat holds fewer than 22 entries";
        return false;
    }
    return true;
}

FileSizes readFileSizes(const std::string& gameDir)
{
    FileSizes sizes;
    auto measure = [&](const std::string& name) {
        std::error_code ec;
        const std::filesystem::path p = gameFilePath(gameDir, name);
        const auto n = std::filesystem::is_regular_file(p, ec) ? std::filesystem::file_size(p, ec) : 0;
        sizes[name] = ec || !std::filesystem::is_regular_file(p, ec) ? std::nullopt : std::optional(n);
    };
    measure("index.dat");
    for (const DataFile& f : dataFiles()) measure(f.name);
    return sizes;
}

bool loadGameTables(const std::string& gameDir, db::Database& db, std::string& error)
{
    db::NullProgress progress;
    try {
        db::loadDatabase(db, gameDir, kNoTemplates, progress);
    } catch (const std::exception& e) {
        error = e.what();
    }
    return db.stepComplete(db::LoadStep::Players);
}

}  // namespace cli
