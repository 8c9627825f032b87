#pragma once

// The Windows calls behind the editor's platform layer: the registry and the
// shell. Standard C++ and the Windows API only, so the Windows programs
// without Qt build and test it too.

#ifdef _WIN32

// <windows.h> first, in a block of its own: <shellapi.h> and the registry
// headers need its types.
#ifndef NOMINMAX
#define NOMINMAX  // keeps min and max usable in code that includes this
#endif
#include <windows.h>

#include <string>

namespace winshell {

enum class ValueStatus { Ok, Missing, WrongType };

// String value `name` (nullptr: the key's default value) of `subKey` under
// the open key `root`, read in the registry view `view` (0, KEY_WOW64_32KEY
// or KEY_WOW64_64KEY). Missing when the key or value is absent; WrongType
// when the value is not REG_SZ or REG_EXPAND_SZ. The key is never created.
ValueStatus readString(HKEY root, const std::wstring& subKey, const wchar_t* name, REGSAM view,
                       std::wstring& out);

// The command a classes root (HKEY_CLASSES_ROOT, or a key laid out like it)
// registers for opening web pages: the open command of the file type of
// ".html", ".htm", ".shtml" or ".shtm", the first one found. Empty if none.
std::wstring browserCommand(HKEY classesRoot);

// The program a registered command starts: the quoted first word, or the
// text before the first space, without any "%1" placeholder.
std::wstring programOf(const std::wstring& command);

// Opens `url` with `program` when it names an existing file, else through
// the shell's own association for web addresses; the desktop window owns
// whatever starts. False when nothing could be started.
bool openUrl(const std::wstring& program, const std::wstring& url);

}  // namespace winshell

#endif
