#pragma once

#include <cstddef>
#include <optional>
#include <string>

// The few registry calls the settings need, on text values below HKEY_CURRENT_USER.
// Kept free of Qt so that it is plain Win32 code; registry_windows.cpp adapts it.
namespace Win32Registry {

// The longest text a read delivers, in UTF-16 units.
inline constexpr std::size_t maxTextLength = 254;

// When this environment variable names a key (such as "software\kerravane-test-1234"),
// every key path is taken below that key instead of directly below HKEY_CURRENT_USER.
// Tests set it so that they never read or write the user's real settings.
inline constexpr wchar_t rootVariable[] = L"NUMBRILL_REGISTRY_ROOT";

// The text of a REG_SZ value, or nothing when the key or value is missing, the value
// has another type or is longer than maxTextLength.
std::optional<std::wstring> readText(const std::wstring &keyPath, const std::wstring &name);

// Stores a REG_SZ value, creating the key when needed. Returns whether it was stored.
bool writeText(const std::wstring &keyPath, const std::wstring &name, const std::wstring &value);

} // namespace Win32Registry
