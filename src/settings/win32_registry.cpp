#include "settings/win32_registry.h"

#include "settings/win32_openkey.h"

#include <algorithm>
#include <windows.h>

namespace {

// The Win32 calls take zero-terminated strings, so an embedded zero would quietly
// cut a key path or name short and reach a different key or value.
bool hasZero(const std::wstring &text)
{
    return text.find(L'\0') != std::wstring::npos;
}

// The value of the environment variable, empty when it is not set.
std::wstring environmentVariable(const wchar_t *name)
{
    std::wstring value;
    // 0 when the variable is not set; otherwise, as long as the buffer is too small,
    // the room needed with the terminating zero (the variable may grow meanwhile).
    DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    while (size > value.size()) {
        value.resize(size);
        size = GetEnvironmentVariableW(name, value.data(), size);
    }
    value.resize(size);
    return value;
}

// The key path below HKEY_CURRENT_USER that keyPath stands for.
std::wstring fullKeyPath(const std::wstring &keyPath)
{
    std::wstring root = environmentVariable(Win32Registry::rootVariable);
    while (!root.empty() && root.back() == L'\\')
        root.pop_back();
    return root.empty() ? keyPath : root + L'\\' + keyPath;
}

} // namespace

namespace Win32Registry {

std::optional<std::wstring> readText(const std::wstring &keyPath, const std::wstring &name)
{
    if (hasZero(keyPath) || hasZero(name))
        return std::nullopt;
    OpenKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, fullKeyPath(keyPath).c_str(), 0, KEY_READ,
                      key.receive()) != ERROR_SUCCESS)
        return std::nullopt;

    // Room for the longest text and its terminating zero; anything longer fails with
    // ERROR_MORE_DATA.
    wchar_t buffer[maxTextLength + 1] = {};
    DWORD type = REG_NONE;
    DWORD size = sizeof(buffer);
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(buffer),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;

    // Other programs may store the text with or without its terminating zero, or
    // store no bytes at all; the text ends at the first zero or the end of the data.
    const wchar_t *begin = buffer;
    const wchar_t *end = begin + size / sizeof(wchar_t);
    const std::wstring text(begin, std::find(begin, end, L'\0'));
    if (text.size() > maxTextLength)
        return std::nullopt;
    return text;
}

bool writeText(const std::wstring &keyPath, const std::wstring &name, const std::wstring &value)
{
    // Everything after a zero would be lost when the value is read back.
    if (hasZero(keyPath) || hasZero(name) || hasZero(value))
        return false;
    const std::size_t size = (value.size() + 1) * sizeof(wchar_t);
    if (size > MAXDWORD)
        return false;

    OpenKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, fullKeyPath(keyPath).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, key.receive(),
                        nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE *>(value.c_str()),
                          static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

} // namespace Win32Registry
