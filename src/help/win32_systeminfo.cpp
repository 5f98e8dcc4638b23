#include "help/win32_systeminfo.h"

#include "settings/win32_openkey.h"

#include <cstring>

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

// The text with every %variable% replaced by its value, as the shell would do;
// nothing when that fails.
std::optional<std::wstring> expanded(const std::wstring &text)
{
    std::wstring result;
    // The size needed, terminating zero included, or 0 on failure. The environment
    // may grow between two calls, so ask again until the result fits.
    DWORD size = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    while (size > result.size()) {
        result.resize(size);
        size = ExpandEnvironmentStringsW(text.c_str(), result.data(), size);
    }
    if (size == 0)
        return std::nullopt;
    result.resize(size - 1);
    return result;
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

namespace Win32SystemInfo {

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

    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        // Stored with or without its terminating zero; the text ends at the first one.
        const std::wstring stored(buffer, size / sizeof(wchar_t));
        const std::wstring text = stored.substr(0, stored.find(L'\0'));
        // Installers commonly store the tool's place as "%ProgramFiles%\...".
        const std::optional<std::wstring> full =
            type == REG_EXPAND_SZ ? expanded(text) : std::optional(text);
        if (!full) {
            KeyVal.clear();
            return false;
        }
        KeyVal = *full;
    } else if (type == REG_DWORD && size >= sizeof(DWORD)) {
        DWORD number = 0;
        std::memcpy(&number, buffer, sizeof(number));
        KeyVal = L"&h" + hexDigits(number);
    }
    return true;
}

std::optional<std::wstring> findTool(HKEY root)
{
    std::wstring found;
    // A path found here is used as it is, even if it turns out not to start: the
    // second place is only for a machine that has no first.
    if (GetKeyValue(root, L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH", found))
        return found;
    if (GetKeyValue(root, L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO", found)) {
        const std::wstring program = found + L"\\MSINFO32.EXE";
        if (fileExists(program))
            return program;
    }
    return std::nullopt;
}

bool startTool(HKEY root)
{
    const std::optional<std::wstring> tool = findTool(root);
    return tool && startProgram(*tool);
}

} // namespace Win32SystemInfo
