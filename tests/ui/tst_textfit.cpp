#include "TestInstallation.h"
#include "help/FirstTime.h"
#include "help/NumberMapping.h"
#include "help/frmAbout.h"
#include "practice/Form4.h"
#include "practice/MostUsed.h"
#include "remembered/Form3.h"
#include "ui/MessageBox.h"
#include "ui/TextFit.h"
#include "ui/Windows.h"
#include "workspace/Form1.h"
#include "workspace/Preparetostore.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

namespace {

using Opener = QWidget *(*)();
template <class T> QWidget *open()
{
    return Windows::instance<T>();
}
const std::pair<const char *, Opener> windows[] = {
    {"Form1", open<Form1>},
    {"Preparetostore", open<Preparetostore>},
    {"Form3", open<Form3>},
    {"Form4", open<Form4>},
    {"MostUsed", open<MostUsed>},
    {"FirstTime", open<FirstTime>},
    {"NumberMapping", open<NumberMapping>},
    {"frmAbout", open<frmAbout>},
};

} // namespace

// Every caption of every window must be readable whole with the fonts the desktop
// really resolves: the faces the windows ask for are mostly missing on Linux, and the
// ones found instead are wider.
class TestTextFit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { Windows::releaseAll(); }

    void checkFindsAClippedCaption()
    {
        QWidget window;
        auto *label = new QLabel(QStringLiteral("Description"), &window);
        label->setObjectName(QStringLiteral("caption"));
        label->resize(label->sizeHint());
        window.show();
        QCOMPARE(TextFit::clipped(&window), QStringList());
        label->resize(label->width() - 4, label->height());
        QCOMPARE(TextFit::clipped(&window).value(0).section(u':', 0, 0), "caption");
    }

    void everyCaptionFits_data()
    {
        QTest::addColumn<int>("window");
        QTest::addColumn<QString>("desktopFont");
        // The desktop's own font, then a larger one such as desktops commonly set.
        for (const QString &font : {QString(), QStringLiteral("DejaVu Sans,10")}) {
            for (int i = 0; i < int(std::size(windows)); ++i)
                QTest::addRow("%s, %s", windows[i].first, qPrintable(font)) << i << font;
        }
    }

    void everyCaptionFits()
    {
        QFETCH(int, window);
        QFETCH(QString, desktopFont);
        MessageBox::answerInstead(true);
        const TestInstallation install(QByteArray("\"1:Lucky number: tea\"\r\n"));
        const QFont before = QApplication::font();
        QFont font;
        if (!desktopFont.isEmpty() && font.fromString(desktopFont))
            QApplication::setFont(font);

        QWidget *shown = windows[window].second();
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        const QStringList clipped = TextFit::clipped(shown);
        QApplication::setFont(before);
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(u'\n')));
    }
};

QTEST_MAIN(TestTextFit)
#include "tst_textfit.moc"
