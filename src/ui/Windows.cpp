#include "ui/Windows.h"

#include <QList>

namespace {

bool s_userGone = false;

QList<QPointer<QWidget>> &tracked()
{
    static QList<QPointer<QWidget>> windows;
    return windows;
}

} // namespace

namespace Windows {

void track(QWidget *window)
{
    tracked().append(window);
}

void releaseAll()
{
    while (!tracked().isEmpty()) {
        const QPointer<QWidget> window = tracked().takeLast();
        delete window.data();
    }
}

void setUserGone(bool gone)
{
    s_userGone = gone;
}

bool userGone()
{
    return s_userGone;
}

} // namespace Windows
