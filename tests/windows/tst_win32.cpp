// Checks the plain Win32 parts of the program (the settings in the registry, finding
// and starting the system-information tool) on Windows or under wine, where no Qt is
// at hand. .ci/wine-check builds and runs it. Everything it writes lies below one key
// of its own under HKEY_CURRENT_USER and one folder below the temporary folder, and
// both are removed at the end.

#include "core/ThreadPriority.h"
#include "help/win32_systeminfo.h"
#include "settings/win32_registry.h"

#include <cstdio>
#include <optional>
#include <source_location>
#include <string>
#include <windows.h>

namespace {

using Text = std::optional<std::wstring>;

int failures = 0;

std::string utf8(const std::wstring &text)
{
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                     bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                     nullptr));
    return bytes;
}

void check(bool ok, const std::string &what,
           std::source_location where = std::source_location::current())
{
    if (ok)
        return;
    ++failures;
    std::printf("FAIL line %u: %s\n", static_cast<unsigned>(where.line()), what.c_str());
}

void compare(const Text &actual, const Text &expected, const std::wstring &label,
             std::source_location where = std::source_location::current())
{
    const auto shown = [](const Text &text) {
        return text ? '"' + utf8(*text) + '"' : std::string("nothing");
    };
    check(actual == expected,
          utf8(label) + ": got " + shown(actual) + ", expected " + shown(expected), where);
}

void setValue(HKEY root, const std::wstring &key, const std::wstring &name, DWORD type,
              const void *data, DWORD size)
{
    HKEY opened = nullptr;
    check(RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &opened, nullptr) ==
                  ERROR_SUCCESS &&
              RegSetValueExW(opened, name.c_str(), 0, type, static_cast<const BYTE *>(data),
                             size) == ERROR_SUCCESS,
          "cannot prepare " + utf8(key + L"\\" + name));
    RegCloseKey(opened);
}

void setText(HKEY root, const std::wstring &key, const std::wstring &name, DWORD type,
             const std::wstring &text)
{
    setValue(root, key, name, type, text.c_str(),
             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// A value read straight from the registry, past the code under test.
Text rawText(const std::wstring &key, const std::wstring &name)
{
    wchar_t buffer[512] = {};
    DWORD size = sizeof(buffer);
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, buffer,
                     &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buffer);
}

// The key path the settings are given; a name of its own, so that the check neither
// meets nor leaves anything of a real installation should the redirection fail.
std::wstring settingsKey;
const std::wstring zero(1, L'\0');

void settings(const std::wstring &root)
{
    struct Case
    {
        std::wstring label, name, value;
        bool stored;
        Text readBack;
    };
    const std::wstring accents = L"\u00e9t\u00e9 \u20ac";
    const Case cases[] = {
        {L"plain", L"firsttime", L"no", true, L"no"},
        {L"accents and euro sign", L"caf\u00e9 \u20ac", accents, true, accents},
        {L"empty text", L"empty", L"", true, L""},
        {L"longest text", L"longest", std::wstring(254, L'x'), true, std::wstring(254, L'x')},
        {L"one character too long", L"longer", std::wstring(255, L'x'), true, std::nullopt},
        {L"zero in the value", L"zero", L"a" + zero + L"b", false, std::nullopt},
        {L"zero in the name", L"cut" + zero + L"off", L"a", false, std::nullopt},
    };
    for (const Case &c : cases) {
        check(Win32Registry::writeText(settingsKey, c.name, c.value) == c.stored,
              utf8(c.label) + ": stored " + (c.stored ? "no" : "yes"));
        compare(Win32Registry::readText(settingsKey, c.name), c.readBack, c.label);
        // A name cut at a zero would reach another value.
        compare(Win32Registry::readText(settingsKey, c.name.substr(0, c.name.find(L'\0'))),
                c.readBack, c.label + L", name up to the zero");
    }
    check(!Win32Registry::writeText(settingsKey + zero + L"x", L"cut path", L"b") &&
              !Win32Registry::readText(settingsKey, L"cut path"),
          "a key path holding a zero is refused");

    // Every key path lies below the root the environment names, never directly
    // below HKEY_CURRENT_USER.
    compare(rawText(root + L"\\" + settingsKey, L"firsttime"), L"no", L"stored below the root");
    compare(rawText(settingsKey, L"firsttime"), std::nullopt, L"nothing outside the root");

    const std::wstring full = root + L"\\" + settingsKey;
    const std::wstring unterminated = L"no zero at the end";
    setValue(HKEY_CURRENT_USER, full, L"unterminated", REG_SZ, unterminated.data(),
             static_cast<DWORD>(unterminated.size() * sizeof(wchar_t)));
    const std::wstring tooLong(255, L'y');
    setValue(HKEY_CURRENT_USER, full, L"too long unterminated", REG_SZ, tooLong.data(),
             static_cast<DWORD>(tooLong.size() * sizeof(wchar_t)));
    const DWORD number = 1;
    setValue(HKEY_CURRENT_USER, full, L"number", REG_DWORD, &number, sizeof(number));

    const struct
    {
        std::wstring label, keyPath, name;
        Text expected;
    } reads[] = {
        {L"missing key", L"software\\no such key", L"firsttime", std::nullopt},
        {L"missing value", settingsKey, L"never written", std::nullopt},
        {L"text stored without its zero", settingsKey, L"unterminated", unterminated},
        {L"too long, stored without its zero", settingsKey, L"too long unterminated", std::nullopt},
        {L"number", settingsKey, L"number", std::nullopt},
    };
    for (const auto &r : reads)
        compare(Win32Registry::readText(r.keyPath, r.name), r.expected, r.label);
}

void systemInformation(HKEY machine, const std::wstring &folder, const std::wstring &program)
{
    const std::wstring toolKey = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
    const std::wstring folderKey = L"SOFTWARE\\Microsoft\\Shared Tools Location";
    const std::wstring toolFolder = folder + L"\\sys info";
    const std::wstring tool = toolFolder + L"\\MSINFO32.EXE";
    SetEnvironmentVariableW(L"NUMBRILL_CHECK_DIR", folder.c_str());
    // This program stands in for the tool.
    CreateDirectoryW(toolFolder.c_str(), nullptr);
    check(CopyFileW(program.c_str(), tool.c_str(), FALSE), "cannot copy the stand-in tool");

    struct Place
    {
        DWORD type; // REG_NONE: the key is missing
        std::wstring value;
        std::wstring name = L"";
    };
    const Place none{REG_NONE, L""};
    const struct
    {
        std::wstring label;
        Place first, second;
        Text expected;
    } cases[] = {
        {L"neither key", none, none, std::nullopt},
        {L"tool's path", {REG_SZ, tool}, none, tool},
        {L"tool's path wins even when missing",
         {REG_SZ, folder + L"\\gone.exe"},
         {REG_SZ, toolFolder},
         folder + L"\\gone.exe"},
        {L"tool's expandable path",
         {REG_EXPAND_SZ, L"%NUMBRILL_CHECK_DIR%\\sys info\\MSINFO32.EXE"},
         none,
         tool},
        {L"tool's path too long", {REG_SZ, std::wstring(1100, L'p')}, {REG_SZ, toolFolder}, tool},
        {L"folder", none, {REG_SZ, toolFolder}, tool},
        {L"expandable folder", none, {REG_EXPAND_SZ, L"%NUMBRILL_CHECK_DIR%\\sys info"}, tool},
        {L"folder without the tool", none, {REG_SZ, folder}, std::nullopt},
        {L"folder that does not exist", none, {REG_SZ, folder + L"\\gone"}, std::nullopt},
        {L"tool's key without its value", {REG_SZ, L"x", L"other"}, {REG_SZ, toolFolder}, tool},
    };
    for (const auto &c : cases) {
        RegDeleteTreeW(machine, L"SOFTWARE");
        if (c.first.type != REG_NONE)
            setText(machine, toolKey, c.first.name.empty() ? L"PATH" : c.first.name, c.first.type,
                    c.first.value);
        if (c.second.type != REG_NONE)
            setText(machine, folderKey, L"MSINFO", c.second.type, c.second.value);
        compare(Win32SystemInfo::findTool(machine), c.expected, c.label);
    }

    // The tool really starts from a folder with blanks.
    const std::wstring started = toolFolder + L"\\started";
    DeleteFileW(started.c_str());
    check(Win32SystemInfo::startTool(machine), "the tool in a folder with blanks starts");
    for (int i = 0; i < 300 && GetFileAttributesW(started.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(100);
    check(GetFileAttributesW(started.c_str()) != INVALID_FILE_ATTRIBUTES, "the started tool ran");

    setText(machine, toolKey, L"PATH", REG_SZ, folder + L"\\gone.exe");
    check(!Win32SystemInfo::startTool(machine), "a missing tool does not start");
}

std::wstring ownPath()
{
    static wchar_t path[32768];
    return std::wstring(path, GetModuleFileNameW(nullptr, path, std::size(path)));
}

} // namespace

int main()
{
    // Started as the system-information tool: leave a sign beside itself and end.
    const std::wstring self = ownPath();
    const std::wstring folder = self.substr(0, self.rfind(L'\\'));
    if (CompareStringOrdinal(self.c_str() + folder.size(), -1, L"\\MSINFO32.EXE", -1, TRUE) ==
        CSTR_EQUAL) {
        CloseHandle(CreateFileW((folder + L"\\started").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_NEW, 0, nullptr));
        return 0;
    }

    const std::wstring pid = std::to_wstring(GetCurrentProcessId());
    settingsKey = L"software\\numbrill-check-" + pid;
    const std::wstring root = L"software\\numbrill-check-root-" + pid;
    const auto removeKeys = [&] {
        for (const std::wstring &key : {root, settingsKey}) {
            RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
            RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
        }
    };
    // A run cut short may have left its keys behind, and wine reuses process ids.
    removeKeys();
    SetEnvironmentVariableW(Win32Registry::rootVariable, (root + L"\\").c_str());
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring work = std::wstring(temp) + L"numbrill check " + pid;
    check(CreateDirectoryW(work.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS,
          "cannot create " + utf8(work));
    HKEY machine = nullptr;
    check(RegCreateKeyExW(HKEY_CURRENT_USER, (root + L"\\machine").c_str(), 0, nullptr, 0,
                          KEY_ALL_ACCESS, nullptr, &machine, nullptr) == ERROR_SUCCESS,
          "cannot create the stand-in machine key");

    settings(root);
    systemInformation(machine, work, self);

    RegCloseKey(machine);
    removeKeys();
    // The stand-in tool may still be ending.
    for (const wchar_t *file : {L"\\sys info\\MSINFO32.EXE", L"\\sys info\\started"}) {
        for (int i = 0; i < 50 && !DeleteFileW((work + file).c_str()) &&
                        GetLastError() != ERROR_FILE_NOT_FOUND;
             ++i)
            Sleep(100);
    }
    RemoveDirectoryW((work + L"\\sys info").c_str());
    check(RemoveDirectoryW(work.c_str()), "cannot remove " + utf8(work));

    // Background work gives way to the window's thread.
    ThreadPriority::lowerCurrent();
    check(GetThreadPriority(GetCurrentThread()) < THREAD_PRIORITY_NORMAL,
          "a background thread keeps the window's priority");

    std::printf(failures ? "%d check(s) failed\n" : "all checks passed\n", failures);
    return failures ? 1 : 0;
}
