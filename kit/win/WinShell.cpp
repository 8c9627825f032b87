#ifdef _WIN32

#include "WinShell.h"

#include <shellapi.h>

#include <cwchar>

namespace winshell {

ValueStatus readString(HKEY root, const std::wstring& subKey, const wchar_t* name, REGSAM view,
                       std::wstring& out)
{
    out.clear();
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, subKey.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return ValueStatus::Missing;
    DWORD type = 0;
    DWORD size = 0;
    ValueStatus status = ValueStatus::Missing;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        if (type != REG_SZ && type != REG_EXPAND_SZ) {
            status = ValueStatus::WrongType;
        } else {
            // The stored string need not end in a zero: leave room for one.
            std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
            DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
            if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes) ==
                ERROR_SUCCESS) {
                buffer.resize(wcsnlen(buffer.c_str(), buffer.size()));
                out = buffer;
                status = ValueStatus::Ok;
            }
        }
    }
    RegCloseKey(key);
    return status;
}

std::wstring browserCommand(HKEY classesRoot)
{
    for (const wchar_t* extension : {L".html", L".htm", L".shtml", L".shtm"}) {
        std::wstring fileType;
        if (readString(classesRoot, extension, nullptr, 0, fileType) != ValueStatus::Ok || fileType.empty())
            continue;
        std::wstring command;
        if (readString(classesRoot, fileType + L"\\shell\\open\\command", nullptr, 0, command) ==
                ValueStatus::Ok &&
            !command.empty())
            return command;
    }
    return {};
}

std::wstring programOf(const std::wstring& command)
{
    const std::size_t start = command.find_first_not_of(L' ');
    if (start == std::wstring::npos) return {};
    if (command[start] == L'"') {
        const std::size_t end = command.find(L'"', start + 1);
        return end == std::wstring::npos ? command.substr(start + 1)
                                         : command.substr(start + 1, end - start - 1);
    }
    const std::size_t end = command.find(L' ', start);
    std::wstring program =
        command.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
    for (std::size_t at; (at = program.find(L"%1")) != std::wstring::npos;) program.erase(at, 2);
    return program;
}

bool openUrl(const std::wstring& program, const std::wstring& url)
{
    const DWORD attributes = program.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(program.c_str());
    const bool isFile = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    HINSTANCE result =
        isFile
            ? ShellExecuteW(GetDesktopWindow(), L"open", program.c_str(), url.c_str(), nullptr, SW_SHOWNORMAL)
            : ShellExecuteW(GetDesktopWindow(), L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // ShellExecute reports success as a value above 32.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace winshell

#endif
