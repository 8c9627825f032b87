// The Windows side of the platform layer in the editor's terms; the registry
// and shell calls themselves are in win/WinShell.

#ifdef _WIN32

#include <QString>

#include "Platform.h"
#include "win/WinShell.h"

QString Platform::gameDirectory() const
{
    // The game's installer is a 32-bit program: its key lives in the 32-bit
    // view. The key is only read, never created.
    std::wstring location;
    const winshell::ValueStatus status =
        winshell::readString(HKEY_LOCAL_MACHINE, QString::fromLatin1(wine::GameKey).toStdWString(),
                             L"Location", KEY_WOW64_32KEY, location);
    if (status == winshell::ValueStatus::WrongType) throw PlatformError("Invalid data type for 'Location'");
    return QString::fromStdWString(location);
}

bool Platform::openUrl(const QString& url) const
{
    const std::wstring program = winshell::programOf(winshell::browserCommand(HKEY_CLASSES_ROOT));
    return winshell::openUrl(program, url.toStdWString());
}

#endif
