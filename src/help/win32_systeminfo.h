#pragma once

#include <optional>
#include <string>
#include <windows.h>

// Finds and starts the system-information tool through the registry of the machine:
// the full path of the tool, or else the folder that holds it. Plain Win32 code, no
// Qt; systeminfo_windows.cpp uses it with HKEY_LOCAL_MACHINE.
namespace Win32SystemInfo {

// Reads the value SubKeyRef of the key KeyName below KeyRoot into KeyVal and returns
// whether it was read. A text value gives its text, with any %variable% of an
// expandable one filled in; a 32-bit number gives "&h" and its hexadecimal digits; a
// value of any other type counts as read but leaves KeyVal as it was. A value longer
// than 1024 characters counts as not read.
bool GetKeyValue(HKEY KeyRoot, const std::wstring &KeyName, const std::wstring &SubKeyRef,
                 std::wstring &KeyVal);

// The program to start, looked up below `root`: the path from the tool's own key as
// it stands, else the tool in the folder that the shared tools' key names when that
// file exists; nothing when neither.
std::optional<std::wstring> findTool(HKEY root);

// Starts the tool found below `root` in a normal window that takes the focus, without
// waiting for it. Returns whether it was started.
bool startTool(HKEY root);

} // namespace Win32SystemInfo
