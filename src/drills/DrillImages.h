#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The user's own images as the drills need them: the image word of each key ("0".."9",
// "00".."99", "000".."999") that has one. The drills ask only keys with an image, and
// the Speed Numbers window names the image of each chunk that went wrong.
struct DrillImages
{
    QHash<QString, QString> byKey;
    // Whether the user works with three-digit images: the recall grid then reads its
    // rows in chunks of three.
    bool threeDigits = false;

    QString image(const QString &key) const { return byKey.value(key); }

    // The keys of `digits` digits that have an image, in order.
    QStringList keys(int digits) const
    {
        QStringList found;
        int count = 1;
        for (int i = 0; i < digits; ++i)
            count *= 10;
        for (int n = 0; n < count; ++n) {
            const QString key = QStringLiteral("%1").arg(n, digits, 10, QLatin1Char('0'));
            if (!byKey.value(key).isEmpty())
                found.append(key);
        }
        return found;
    }

    int chunk() const { return threeDigits ? 3 : 2; }
};
