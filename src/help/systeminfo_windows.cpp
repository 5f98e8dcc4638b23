#include "help/SystemInfo.h"
#include "settings/win32_openkey.h"

#include <cstring>
#include <string>
#include <windows.h>

// The system-information tool is found through the registry of the machine: the full
// path of the tool, or else the folder that holds it. Plain Win32 code, no Qt.

namespace {

// The longest value read, in characters; a longer value counts as not read.
constexpr DWORD valueBufferLength = 1024;

std::wstring hexDigits(DWORD number)
{
    static constexpr wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring text;
    do {
        text.insert(text.begin(), digits[number & 0xF]);
        number >>= 4;
    } while (number != 0);
    return text;
}

// Reads the value SubKeyRef of the key KeyName below KeyRoot into KeyVal and returns
// whether it was read. A text value gives its text, a 32-bit number "&h" and its
// hexadecimal digits; a value of any other type counts as read but leaves KeyVal as
// it was.
bool GetKeyValue(HKEY KeyRoot, const std::wstring &KeyName, const std::wstring &SubKeyRef,
                 std::wstring &KeyVal)
{
    OpenKey key;
    // Read access is all this needs, and all that an ordinary user is granted under
    // HKEY_LOCAL_MACHINE.
    if (RegOpenKeyExW(KeyRoot, KeyName.c_str(), 0, KEY_READ, key.receive()) != ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }

    wchar_t buffer[valueBufferLength] = {};
    DWORD size = sizeof(buffer);
    DWORD type = REG_NONE;
    if (RegQueryValueExW(key.get(), SubKeyRef.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE *>(buffer), &size) != ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }

    if (type == REG_SZ) {
        // Stored with or without its terminating zero; the text ends at the first one.
        const std::wstring text(buffer, size / sizeof(wchar_t));
        KeyVal = text.substr(0, text.find(L'\0'));
    } else if (type == REG_DWORD && size >= sizeof(DWORD)) {
        DWORD number = 0;
        std::memcpy(&number, buffer, sizeof(number));
        KeyVal = L"&h" + hexDigits(number);
    }
    return true;
}

bool fileExists(const std::wstring &path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Starts the program in a normal window that takes the focus, without waiting for it.
bool startProgram(const std::wstring &path)
{
    if (path.empty())
        return false;
    // The program is named by path, never searched for; the command line only repeats
    // it, quoted, as the program's own name.
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

} // namespace

namespace SystemInfo {

bool start()
{
    std::wstring found;
    // A path found here is used as it is, even if it turns out not to start: the
    // second place is only for a machine that has no first.
    if (GetKeyValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH",
                    found))
        return startProgram(found);
    if (GetKeyValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO",
                    found)) {
        const std::wstring program = found + L"\\MSINFO32.EXE";
        if (fileExists(program))
            return startProgram(program);
    }
    return false;
}

} // namespace SystemInfo
