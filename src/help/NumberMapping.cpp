#include "help/NumberMapping.h"

#include "ui/Twips.h"
#include "ui/WindowParts.h"

#include <QLabel>
#include <QPushButton>

namespace {

constexpr int labelLeft = 240;
constexpr int labelTop = 240;
constexpr int labelWidth = 7575;
constexpr int labelHeight = 375;
constexpr int clientWidth = 8055;

} // namespace

NumberMapping::NumberMapping(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("NumberMapping"));
    setWindowTitle(tr("Number Mapping Legend"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(WindowParts::font(QStringLiteral("MS Sans Serif"), 9.75));

    // The texts are the card as users know it, trailing blanks and all; the code the
    // program applies is the one of the word model.
    const QString texts[] = {
        tr("0 - s, z - remember as 'z is first letter of zero'"),
        tr("1 - d, t- remember as letters with 1 downstroke"),
        tr("2 - n - remember as having 2 downstrokes"),
        tr("3 - m - has three downstrokes"),
        tr("4 - r - imagine a 4 and an R glued together back-to-back"),
        tr("5 - L - imagine the 5 propped up against a book end (L)"),
        tr("6 - j, g is 6 rotated 180 degrees."),
        tr("7 - k,c - imagine K as two 7s rotated and glued "),
        tr("8 - f, v - imagine the bottom loop of the 8 as an eFfluent pipe discharging "),
        tr("9 - p, b - b as 9 rotated 180 degrees."),
    };
    int top = labelTop;
    for (int digit = 0; digit < 10; ++digit) {
        auto *label = new QLabel(texts[digit], this);
        label->setObjectName(QStringLiteral("Label%1").arg(digit));
        label->setTextFormat(Qt::PlainText);
        Twips::place(label, labelLeft, top, labelWidth, labelHeight);
        top += labelHeight;
    }

    auto *close = WindowParts::button(this, "Command1", tr("Close"));
    Twips::place(close, clientWidth - 240 - 1335, top + 120, 1335, 435);
    setFixedSize(Twips::toPixels(clientWidth), Twips::toPixels(top + 120 + 435 + 240));

    connect(close, &QPushButton::clicked, this, &NumberMapping::hide);
}
