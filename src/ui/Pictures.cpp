#include "ui/Pictures.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QStyleOption>
#include <QWidget>

#include <optional>
#include <utility>

namespace {

class IconOnDemand : public QIconEngine
{
public:
    explicit IconOnDemand(std::function<QIcon()> make) : m_make(std::move(make)) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        // `size` counts the screen's pixels; the icon asked counts the window's.
        return icon().pixmap(size / scale, scale, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    // Asked by every button that lays itself out; the pictures are there to be read.
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("IconOnDemand"); }
    QIconEngine *clone() const override { return new IconOnDemand(*this); }

private:
    const QIcon &icon()
    {
        if (!m_icon)
            m_icon = m_make();
        return *m_icon;
    }

    std::function<QIcon()> m_make;
    std::optional<QIcon> m_icon;
};

} // namespace

namespace Pictures {

QIcon drawn(const QString &name, std::initializer_list<int> sizes)
{
    return onDemand([name, sizes = QList<int>(sizes)] {
        QIcon icon;
        for (const int size : sizes) {
            QImageReader reader(QStringLiteral(":/icons/drawn/%1-%2.png").arg(name).arg(size),
                                "png");
            // Asking the plugins whether they read it would load every one of them.
            reader.setAutoDetectImageFormat(false);
            icon.addPixmap(QPixmap::fromImage(reader.read()));
        }
        return icon;
    });
}

QIcon onDemand(std::function<QIcon()> make)
{
    return QIcon(new IconOnDemand(std::move(make)));
}

} // namespace Pictures

QIcon PicturesOnDemandStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption *option,
                                          const QWidget *widget) const
{
    if (standardIcon != SP_ToolBarHorizontalExtensionButton &&
        standardIcon != SP_ToolBarVerticalExtensionButton)
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    const Qt::LayoutDirection direction = option ? option->direction
                                                 : widget ? widget->layoutDirection()
                                                          : QGuiApplication::layoutDirection();
    return Pictures::onDemand([base = QPointer<QStyle>(baseStyle()), standardIcon, direction] {
        if (!base)
            return QIcon();
        QStyleOption asked;
        asked.direction = direction;
        return base->standardIcon(standardIcon, &asked);
    });
}
