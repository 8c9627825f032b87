#pragma once

// Between the Windows-1252 bytes of the records and the QStrings of the windows.

#include <QString>
#include <string>
#include <string_view>

// Every byte maps to one character, so this never loses anything.
QString fromRaw(std::string_view raw);

// Characters without a Windows-1252 byte become '?'.
std::string toRaw(const QString& text);
