#include "ui/Windows.h"

#include <QList>

namespace {

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

} // namespace Windows
