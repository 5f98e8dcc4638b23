#pragma once

// A registry key handle that is closed on every way out of a function. Plain Win32,
// no Qt, shared by the settings store and the system-information launcher.

#include <windows.h>

class OpenKey
{
public:
    OpenKey() = default;
    OpenKey(const OpenKey &) = delete;
    OpenKey &operator=(const OpenKey &) = delete;
    ~OpenKey()
    {
        if (m_key)
            RegCloseKey(m_key);
    }

    HKEY *receive() { return &m_key; }
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};
