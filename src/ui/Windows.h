#pragma once

#include <QPointer>
#include <QWidget>

// The one instance of each window. A window is created on first use and reused
// while it exists, so windows can call each other's public operations through it.
namespace Windows {

template <class T> QPointer<T> &slot()
{
    static QPointer<T> window;
    return window;
}

// Remembers a window so that releaseAll() can delete it.
void track(QWidget *window);

template <class T> T *instance()
{
    QPointer<T> &window = slot<T>();
    if (!window) {
        window = new T;
        track(window);
    }
    return window;
}

// The instance if it exists, without creating it.
template <class T> T *existing()
{
    return slot<T>();
}

// Deletes every window still there, most recently created first.
void releaseAll();

// Once the user has gone (the session ends), no window waits for them: a note or a
// notice that would open is left closed, since nobody would close it and the program
// would never end.
void setUserGone(bool gone);
bool userGone();

} // namespace Windows
