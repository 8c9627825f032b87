// The Windows side of the platform layer: the registry and the shell.

#ifdef _WIN32

#include <shellapi.h>
#include <windows.h>

#include <QFileInfo>
#include <QString>

#include "Platform.h"

namespace {

// The default or named string value of an open key; nothing when absent.
// `wrongType` is set when the value exists but is not a string.
std::optional<QString> queryString(HKEY key, const wchar_t* name, bool* wrongType = nullptr)
{
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        if (wrongType) *wrongType = true;
        return std::nullopt;
    }
    std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    buffer.resize(wcsnlen(buffer.c_str(), buffer.size()));
    return QString::fromStdWString(buffer);
}

// The open command registered for a document extension (".html"), or empty.
QString browserCommandFor(const wchar_t* extension)
{
    HKEY extKey = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, extension, 0, KEY_READ, &extKey) != ERROR_SUCCESS) return {};
    const QString fileType = queryString(extKey, nullptr).value_or(QString());
    RegCloseKey(extKey);
    if (fileType.isEmpty()) return {};

    const std::wstring commandKey = (fileType + QStringLiteral("\\shell\\open\\command")).toStdWString();
    HKEY cmdKey = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, commandKey.c_str(), 0, KEY_READ, &cmdKey) != ERROR_SUCCESS)
        return {};
    const QString command = queryString(cmdKey, nullptr).value_or(QString());
    RegCloseKey(cmdKey);
    return command;
}

}  // namespace

QString Platform::gameDirectory() const
{
    // The game's installer is a 32-bit program: its keys live in the 32-bit
    // view. The key is only read, never created.
    HKEY key = nullptr;
    const std::wstring path = QString::fromLatin1(wine::GameKey).toStdWString();
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
        return {};
    bool wrongType = false;
    const std::optional<QString> value = queryString(key, L"Location", &wrongType);
    RegCloseKey(key);
    if (wrongType) throw PlatformError("Invalid data type for 'Location'");
    return value.value_or(QString());
}

bool Platform::openUrl(const QString& url) const
{
    QString command;
    for (const wchar_t* extension : {L".html", L".htm", L".shtml", L".shtm"}) {
        command = browserCommandFor(extension);
        if (!command.isEmpty()) break;
    }
    command.remove(QStringLiteral("%1"));

    const std::wstring address = url.toStdWString();
    HINSTANCE result;
    if (!command.isEmpty() && QFileInfo(command).isFile()) {
        const std::wstring program = command.toStdWString();
        result = ShellExecuteW(GetDesktopWindow(), nullptr, program.c_str(), address.c_str(), nullptr,
                               SW_SHOWNORMAL);
    } else {
        result = ShellExecuteW(GetDesktopWindow(), nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
    return reinterpret_cast<INT_PTR>(result) > 32;
}

#endif
