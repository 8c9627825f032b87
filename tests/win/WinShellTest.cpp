// The registry reads and shell calls of the Windows platform layer, on keys
// the tests make under the current user (never the machine's game key).

#include <gtest/gtest.h>

#include <string>

#include "kit/win/WinShell.h"

namespace {

// A scratch key under HKEY_CURRENT_USER, deleted with everything below it.
class ScratchKey {
public:
    ScratchKey() : path_(L"Software\\Quarn db tests\\" + std::to_wstring(GetCurrentProcessId()))
    {
        RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                        nullptr);
    }
    ~ScratchKey()
    {
        RegCloseKey(key_);
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    }
    HKEY key() const { return key_; }
    const std::wstring& path() const { return path_; }

    // Sets `name` under `sub` (created) to raw data of `type`.
    void set(const std::wstring& sub, const wchar_t* name, DWORD type, const void* data, DWORD size) const
    {
        HKEY k = nullptr;
        ASSERT_EQ(RegCreateKeyExW(key_, sub.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(k, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(k);
    }
    void setString(const std::wstring& sub, const wchar_t* name, const std::wstring& text) const
    {
        set(sub, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

private:
    std::wstring path_;
    HKEY key_ = nullptr;
};

}  // namespace

TEST(WinShell, ReadsStringValuesAndTellsMissingFromWrongType)
{
    ScratchKey scratch;
    const std::wstring game = L"C:\\Games\\Championship Manager 3";
    scratch.setString(L"Game", L"Location", game);
    scratch.set(L"Game", L"Expand", REG_EXPAND_SZ, L"%TEMP%", 7 * sizeof(wchar_t));
    // Stored without its final zero, as some installers do.
    scratch.set(L"Game", L"Unended", REG_SZ, L"D:\\CM3", 6 * sizeof(wchar_t));
    const DWORD number = 42;
    scratch.set(L"Game", L"Number", REG_DWORD, &number, sizeof number);
    scratch.setString(L"Game", L"Empty", L"");

    struct Case {
        const wchar_t* sub;
        const wchar_t* name;
        winshell::ValueStatus status;
        std::wstring text;
    } cases[] = {
        {L"\\Game", L"Location", winshell::ValueStatus::Ok, game},
        {L"\\GAME", L"location", winshell::ValueStatus::Ok, game},  // names ignore letter case
        {L"\\Game", L"Expand", winshell::ValueStatus::Ok, L"%TEMP%"},
        {L"\\Game", L"Unended", winshell::ValueStatus::Ok, L"D:\\CM3"},
        {L"\\Game", L"Empty", winshell::ValueStatus::Ok, L""},
        {L"\\Game", L"Number", winshell::ValueStatus::WrongType, L""},
        {L"\\Game", L"Absent", winshell::ValueStatus::Missing, L""},
        {L"\\NoSuchKey", L"Location", winshell::ValueStatus::Missing, L""},
    };
    for (const Case& c : cases) {
        std::wstring text = L"left over";
        EXPECT_EQ(winshell::readString(HKEY_CURRENT_USER, scratch.path() + c.sub, c.name, 0, text), c.status)
            << c.name;
        EXPECT_EQ(text, c.text) << c.name;
    }
    // Reading never creates the key.
    HKEY k = nullptr;
    EXPECT_NE(RegOpenKeyExW(scratch.key(), L"NoSuchKey", 0, KEY_READ, &k), ERROR_SUCCESS);
}

TEST(WinShell, FindsTheBrowserCommandOfTheFirstRegisteredPageType)
{
    ScratchKey classes;
    EXPECT_EQ(winshell::browserCommand(classes.key()), L"");

    const std::wstring command = L"\"C:\\Program Files\\Web\\browser.exe\" -- \"%1\"";
    classes.setString(L".html", nullptr, L"");  // registered without a type: skipped
    classes.setString(L".htm", nullptr, L"Web.Page");
    classes.setString(L"Web.Page\\shell\\open\\command", nullptr, command);
    EXPECT_EQ(winshell::browserCommand(classes.key()), command);
}

TEST(WinShell, ProgramOfACommand)
{
    const struct {
        std::wstring command, program;
    } cases[] = {
        {L"\"C:\\Program Files\\Web\\browser.exe\" -- \"%1\"", L"C:\\Program Files\\Web\\browser.exe"},
        {L"C:\\Web\\browser.exe %1", L"C:\\Web\\browser.exe"},
        {L"C:\\Web\\browser.exe%1", L"C:\\Web\\browser.exe"},
        {L"  \"C:\\Web\\unclosed.exe", L"C:\\Web\\unclosed.exe"},
        {L"   ", L""},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(winshell::programOf(c.command), c.program);
}

TEST(WinShell, OpensWithTheProgramOrReportsThatNothingStarted)
{
    wchar_t system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
    // A harmless program that exists on every Windows (and in Wine).
    EXPECT_TRUE(winshell::openUrl(std::wstring(system) + L"\\hostname.exe", L"http://example.invalid/"));
    // No such program and an address no program takes: nothing starts.
    EXPECT_FALSE(winshell::openUrl(L"C:\\no\\such\\browser.exe", L"quarndb-no-such-scheme:page"));
}
