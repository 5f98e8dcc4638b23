#include "ui/TextFit.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

QString describe(const QWidget *widget, const QString &text, QSize needed, QSize room)
{
    return QStringLiteral("%1: '%2' needs %3x%4, has %5x%6")
        .arg(widget->objectName(), text)
        .arg(needed.width())
        .arg(needed.height())
        .arg(room.width())
        .arg(room.height());
}

bool fits(QSize needed, QSize room)
{
    return needed.width() <= room.width() && needed.height() <= room.height();
}

// The room a label's text is drawn in: inside its frame, margin and indent.
QRect labelRoom(const QLabel *label)
{
    QRect room = label->contentsRect().marginsRemoved(
        QMargins(label->margin(), label->margin(), label->margin(), label->margin()));
    if (label->indent() > 0)
        room.setLeft(room.left() + label->indent());
    return room;
}

QString checkLabel(const QLabel *label)
{
    const QString text = label->text();
    if (text.isEmpty())
        return {};
    const QRect room = labelRoom(label);
    const int flags = label->wordWrap() ? Qt::TextWordWrap : Qt::TextSingleLine;
    const QSize needed =
        label->fontMetrics().boundingRect(QRect(QPoint(0, 0), room.size()), flags, text).size();
    return fits(needed, room.size()) ? QString() : describe(label, text, needed, room.size());
}

QString checkButton(const QAbstractButton *button, QStyle::SubElement contents)
{
    const QString text = button->text();
    if (text.isEmpty())
        return {};
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = text;
    if (const auto *push = qobject_cast<const QPushButton *>(button)) {
        if (push->autoDefault() || push->isDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
        if (push->isDefault())
            option.features |= QStyleOptionButton::DefaultButton;
    }
    const QSize room = button->style()->subElementRect(contents, &option, button).size();
    const QSize needed = button->fontMetrics().size(Qt::TextShowMnemonic, text);
    return fits(needed, room) ? QString() : describe(button, text, needed, room);
}

} // namespace

namespace TextFit {

QStringList clipped(const QWidget *window)
{
    QStringList found;
    const auto note = [&found](const QString &problem) {
        if (!problem.isEmpty())
            found.append(problem);
    };
    for (const QLabel *label : window->findChildren<QLabel *>())
        note(checkLabel(label));
    for (const QPushButton *button : window->findChildren<QPushButton *>())
        note(checkButton(button, QStyle::SE_PushButtonContents));
    for (const QCheckBox *box : window->findChildren<QCheckBox *>())
        note(checkButton(box, QStyle::SE_CheckBoxContents));
    return found;
}

} // namespace TextFit
