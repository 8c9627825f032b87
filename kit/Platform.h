#pragma once

// What the editor needs from the operating system: where the game is
// installed and how to open a web address.
//
// On Windows the game's installer records its folder in the registry and the
// shell opens addresses. On Linux the game runs under Wine, whose registry is
// a text file in the Wine prefix; that file is only ever read here.

#include <QString>
#include <optional>
#include <stdexcept>

// A failure of the platform layer; what() is the text for the error box.
class PlatformError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Platform {
public:
    virtual ~Platform() = default;

    // The game folder recorded by the game's installer; empty when the game
    // is not installed. Throws PlatformError "Invalid data type for
    // 'Location'" when the value is not a string.
    virtual QString gameDirectory() const;

    // Opens `url` in the user's web browser. Returns false when nothing could
    // be started.
    virtual bool openUrl(const QString& url) const;
};

namespace wine {

// The registry key the game's installer writes, relative to the machine hive
// (backslashes single, as Windows spells it), and its value.
inline constexpr char GameKey[] = "Software\\Sports Interactive Ltd\\Championship Manager 3";
inline constexpr char GameKey32[] = "Software\\Wow6432Node\\Sports Interactive Ltd\\Championship Manager 3";
inline constexpr char LocationValue[] = "Location";

// The prefix in use: $WINEPREFIX, else ~/.wine.
QString prefixPath();

// Reads string value `name` of key `key` from the text of a Wine registry
// file (system.reg). Key and value names are compared without regard to
// case. Returns nothing when the key or the value is absent; throws
// PlatformError "Invalid data type for '<name>'" when the value is not a
// string (REG_SZ or REG_EXPAND_SZ).
std::optional<QString> readStringValue(const QString& registryText, const QString& key, const QString& name);

// Turns a Windows path of the prefix ("C:\Games\CM3") into the Unix path
// it stands for, through <prefix>/dosdevices/<drive>: (or <prefix>/drive_c
// for C:). Folder names are matched without regard to case where the exact
// name is absent. Paths without a drive letter only have their separators
// turned round.
QString toUnixPath(const QString& prefix, const QString& windowsPath);

// The game folder named by the registry of `prefix`; empty when the prefix,
// its system.reg, the key or the value is missing.
QString gameDirectory(const QString& prefix);

}  // namespace wine

// Starts the program named by $BROWSER (a ':'-separated list; the first entry
// that names an existing program wins) with `url` as its only argument.
// Returns false when $BROWSER names no such program.
bool openWithBrowserVariable(const QString& url);
