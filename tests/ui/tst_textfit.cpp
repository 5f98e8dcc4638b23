#include "TestInstallation.h"
#include "help/FirstTime.h"
#include "help/NumberMapping.h"
#include "help/AboutDialog.h"
#include "practice/QuizDialog.h"
#include "practice/WordTablesWindow.h"
#include "remembered/ReviewWindow.h"
#include "remembered/RememberedNumbers.h"
#include "ui/MessageBox.h"
#include "ui/TextFit.h"
#include "ui/Windows.h"
#include "workspace/MainWindow.h"
#include "workspace/StoreDialog.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

// Every caption of every window must be readable whole with the fonts the desktop
// really resolves: the faces the windows ask for are mostly missing on Linux, and the
// ones found instead are wider.
class TestTextFit : public QObject
{
    Q_OBJECT

    template <class T> static QWidget *open() { return Windows::instance<T>(); }

private Q_SLOTS:
    void cleanup()
    {
        Windows::releaseAll();
        RememberedNumbers::release();
    }

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

    // With a larger desktop font than the windows were laid out for, as desktops
    // commonly set.
    void everyCaptionFits()
    {
        MessageBox::answerInstead(true);
        const TestInstallation install(QByteArray("\"1:Lucky number: tea\"\r\n"));
        const QFont before = QApplication::font();
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
        QStringList clipped;
        for (QWidget *window :
             {open<MainWindow>(), open<StoreDialog>(), open<ReviewWindow>(), open<QuizDialog>(), open<WordTablesWindow>(),
              open<FirstTime>(), open<NumberMapping>(), open<AboutDialog>()}) {
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            for (const QString &caption : TextFit::clipped(window))
                clipped.append(window->objectName() + u'/' + caption);
        }
        QApplication::setFont(before);
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(u'\n')));
    }
};

QTEST_MAIN(TestTextFit)
#include "tst_textfit.moc"
