#include "TestInstallation.h"
#include "help/FirstTime.h"
#include "help/NumberMapping.h"
#include "help/frmAbout.h"
#include "practice/Form4.h"
#include "practice/MostUsed.h"
#include "remembered/Form3.h"
#include "workspace/Form1.h"
#include "workspace/MessageBox.h"
#include "workspace/Preparetostore.h"
#include "workspace/TextFit.h"
#include "workspace/Windows.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QTest>

#include <functional>
#include <memory>

// Every caption of every window must be readable whole with the fonts the desktop
// really resolves: the faces the windows ask for are mostly missing on Linux, and the
// ones found instead are wider.
class TestTextFit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void checkFindsAClippedCaption();
    void everyCaptionFits_data();
    void everyCaptionFits();

private:
    std::unique_ptr<TestInstallation> m_install;
    QFont m_desktopFont;
};

void TestTextFit::init()
{
    MessageBox::answerInstead(true);
    m_install = std::make_unique<TestInstallation>(QByteArray("\"1:Lucky number: tea\"\r\n"));
    m_desktopFont = QApplication::font();
}

void TestTextFit::cleanup()
{
    Windows::releaseAll();
    QApplication::setFont(m_desktopFont);
    m_install.reset();
}

void TestTextFit::checkFindsAClippedCaption()
{
    QWidget window;
    auto *label = new QLabel(QStringLiteral("Description"), &window);
    label->setObjectName(QStringLiteral("caption"));
    label->resize(label->sizeHint());
    window.show();
    QCOMPARE(TextFit::clipped(&window), QStringList());
    label->resize(label->width() - 4, label->height());
    QCOMPARE(TextFit::clipped(&window).size(), 1);
    QVERIFY(TextFit::clipped(&window).first().startsWith(QStringLiteral("caption: ")));
}

void TestTextFit::everyCaptionFits_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("desktopFont");

    const QStringList windows{"Form1",    "Preparetostore", "Form3",         "Form4",
                              "MostUsed", "FirstTime",      "NumberMapping", "frmAbout"};
    // The desktop's own font, then a larger one such as desktops commonly set.
    for (const QString &font : {QString(), QStringLiteral("DejaVu Sans,10")}) {
        for (const QString &window : windows)
            QTest::addRow("%s, %s", qPrintable(window),
                          font.isEmpty() ? "desktop font" : qPrintable(font))
                << window << font;
    }
}

void TestTextFit::everyCaptionFits()
{
    QFETCH(QString, window);
    QFETCH(QString, desktopFont);

    if (!desktopFont.isEmpty()) {
        QFont font;
        QVERIFY(font.fromString(desktopFont));
        QApplication::setFont(font);
    }
    const QHash<QString, std::function<QWidget *()>> open{
        {"Form1", [] { return Windows::instance<Form1>(); }},
        {"Preparetostore", [] { return Windows::instance<Preparetostore>(); }},
        {"Form3", [] { return Windows::instance<Form3>(); }},
        {"Form4", [] { return Windows::instance<Form4>(); }},
        {"MostUsed", [] { return Windows::instance<MostUsed>(); }},
        {"FirstTime", [] { return Windows::instance<FirstTime>(); }},
        {"NumberMapping", [] { return Windows::instance<NumberMapping>(); }},
        {"frmAbout", [] { return Windows::instance<frmAbout>(); }},
    };
    QWidget *shown = open.value(window)();
    shown->show();
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    const QStringList clipped = TextFit::clipped(shown);
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(u'\n')));
}

QTEST_MAIN(TestTextFit)
#include "tst_textfit.moc"
