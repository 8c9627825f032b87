#pragma once

// Making a game folder whole again after a save or a backup was cut short
// (the program killed, the machine switched off).
//
// A save leaves a record in the data folder while it replaces files (see
// SaveRecord.h). Recovery finds that record and what the save left beside
// the game's files, and finishes the save when the record is complete and
// every new file matches it, or else puts every original back. Only when
// the folder holds one whole set again are the leftovers removed. Backups
// are built under a temporary name; one found unfinished is removed.
//
// Runs before the index is read at start-up, before every load and save,
// and in quarndb-cli.

#include <string>
#include <vector>

#include "db/storage/SaveRecord.h"

namespace db {

class FileSystem;

struct RecoveryReport {
    enum class Outcome {
        Nothing,        // no sign of an interrupted save
        Tidied,         // leftovers of a save that had changed nothing
        RolledForward,  // an interrupted save was finished
        RolledBack,     // the originals an interrupted save had replaced were put back
        NotWhole,       // the folder could not be made whole; nothing was removed
    };
    Outcome outcome = Outcome::Nothing;
    bool applied = false;             // changes were made (false for a look only)
    std::string dataFolder;
    std::vector<std::string> files;      // the game's files the interrupted save concerned
    std::vector<std::string> leftovers;  // files and folders left behind, removed when applied
    std::vector<std::string> leftAlone;  // hidden copies that are not ours to remove
    std::string unfinishedBackup;        // a backup folder that never got its name
    std::string backupFolder;            // the newest complete backup, if any
    std::string problem;                 // why the folder cannot be made whole

    bool whole() const { return outcome != Outcome::NotWhole; }
    bool foundAnything() const
    {
        return outcome != Outcome::Nothing || !leftAlone.empty() || !unfinishedBackup.empty();
    }
    // What was found and done, for a message box or a terminal.
    std::string text() const;
};

// Looks for an interrupted save or backup in gameDir and, when `apply`,
// makes the folder whole. With `apply` false nothing is changed and the
// report says what recovery would do.
RecoveryReport recoverGameFolder(const std::string& gameDir, FileSystem& fs, bool apply = true);
RecoveryReport recoverGameFolder(const std::string& gameDir, bool apply = true);

// Whether the data folder holds a save record (a save is unfinished).
bool hasSaveRecord(const std::string& dataDir, FileSystem& fs);

// Used by a save whose swap failed part way: renames each kept original
// whose staged file was already swapped in back over its target, then
// flushes the folder. Returns the targets that could not be put back.
std::vector<std::string> putOriginalsBack(const std::string& dataDir, const SaveRecord& record,
                                          FileSystem& fs);

}  // namespace db
