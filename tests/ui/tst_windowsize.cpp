#include "core/AppInfo.h"
#include "settings/Registry.h"
#include "ui/WindowSize.h"

#include <QScreen>
#include <QTest>
#include <QWidget>

// The remembered size as the settings file holds it, typed by the program or edited by
// hand: anything but "WIDTHxHEIGHT" in plain digits leaves the window as it is.
class TestWindowSize : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void stored_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QSize>("size");
        QTest::newRow("as written") << "400x300" << QSize(400, 300);
        // Larger than any screen: as large as the screen.
        QTest::newRow("five digits, kept to the screen") << "99999x300" << QSize(0, 300);
        QTest::newRow("six digits") << "100000x300" << QSize();
        QTest::newRow("no width") << "0x300" << QSize();
        QTest::newRow("no height") << "400x" << QSize();
        QTest::newRow("capital X") << "400X300" << QSize();
        QTest::newRow("a sign") << "+400x300" << QSize();
        QTest::newRow("a blank") << "400x300 " << QSize();
        QTest::newRow("three parts") << "400x300x2" << QSize();
        QTest::newRow("other digits") << QString::fromUtf8("\u0664\u0660\u0660x300") << QSize();
    }

    void stored()
    {
        QFETCH(QString, text);
        QFETCH(QSize, size);
        QWidget window;
        Registry::SetRegValue(QLatin1String(AppInfo::settingsPath), QStringLiteral("testsize"),
                              text);
        const QSize read = WindowSize::stored(&window, "testsize");
        if (size.width() == 0)
            QCOMPARE(read, QSize(window.screen()->availableSize().width(), size.height()));
        else
            QCOMPARE(read, size);
    }
};

QTEST_MAIN(TestWindowSize)
#include "tst_windowsize.moc"
