#pragma once

#include <QIcon>
#include <QProxyStyle>

#include <functional>
#include <initializer_list>

class QString;

// The pictures of the windows, drawn beforehand at the sizes they are shown at (see
// tools/render-icons.sh) and read the first time they are shown. An SVG was read
// while the main window was built, and any picture read the usual way makes Qt load
// every image plugin it has to ask whether it reads it; both delayed the window's
// first showing by milliseconds.
namespace Pictures {

// The picture `name` from the drawn pictures, at each of `sizes`; a window shows
// the one that fits best.
QIcon drawn(const QString &name, std::initializer_list<int> sizes = {16, 32, 36, 72});
// An icon made by `make` the first time it is shown.
QIcon onDemand(std::function<QIcon()> make);

} // namespace Pictures

// The desktop's style, whose pictures for a toolbar's overflow button are read only
// once a toolbar overflows, not whenever one is built.
class PicturesOnDemandStyle : public QProxyStyle
{
    Q_OBJECT

public:
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};
