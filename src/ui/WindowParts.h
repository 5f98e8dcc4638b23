#pragma once

#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QString>

// Small pieces the program's windows are built from.
namespace WindowParts {

// A face asked for by name; where it is missing, the desktop picks the closest one.
inline QFont font(const QString &family, qreal points, bool bold = false)
{
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// A label whose text is never read as markup, aligned to its top left.
inline QLabel *label(QWidget *parent, const char *objectName, const QString &text = {})
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(objectName));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// A push button known by its object name.
inline QPushButton *button(QWidget *parent, const char *objectName, const QString &text)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(objectName));
    return button;
}

} // namespace WindowParts
