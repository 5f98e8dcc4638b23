#pragma once

#include <QRect>
#include <QWidget>

// Window layouts are designed in twips, 1440 to the inch: 15 to a logical pixel at
// 96 dpi. Qt scales logical pixels for high-dpi screens.
namespace Twips {

constexpr int toPixels(int twips)
{
    return (twips + 7) / 15;
}

inline QRect rect(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

inline void place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(rect(left, top, width, height));
}

} // namespace Twips
