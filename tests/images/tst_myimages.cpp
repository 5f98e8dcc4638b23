#include "TestInstallation.h"
#include "images/ImageTableModel.h"
#include "images/MyImagesWindow.h"
#include "ui/MessageBox.h"
#include "ui/Windows.h"
#include "workspace/MainWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QThread>
#include <QTreeView>

namespace {

QByteArray imagesFile(const QByteArrayList &lines, bool threeDigits = false)
{
    QByteArray bytes =
        "\"numbrill images 1\"\r\n\"threedigits:" + QByteArray(threeDigits ? "yes" : "no") +
        "\"\r\n";
    for (const QByteArray &line : lines)
        bytes += '"' + line + "\"\r\n";
    return bytes + "\"end:" + QByteArray::number(lines.size()) + "\"\r\n";
}

} // namespace

// Drives My Images and Suggest Words in each chain style as a user would, against the
// fixture dictionary:
//   0: sea sow   00: seas   1: tea toe   12: tan tin ton tuna   124: tenor   2: new
//   21: knot net   3: me   4: raw   6: jay   9: bee pie   91: bat   914: butter
//   999: bebop baobab
class TestMyImages : public QObject
{
    Q_OBJECT

    MainWindow *m_main = nullptr;
    MyImagesWindow *m_window = nullptr;
    QStringList m_choices;

    QTableView *table() const { return m_window->findChild<QTableView *>("imageTable"); }
    const ImageTableModel *model() const
    {
        return static_cast<const ImageTableModel *>(table()->model());
    }

    void open()
    {
        m_main->findChild<QAction *>("MyImagesMenu")->trigger();
        m_window = Windows::existing<MyImagesWindow>();
        QVERIFY(m_window && m_window->isVisible());
    }

    // Clicks the key's image, presses F2 and gives the editor a word: typed over the
    // old one, or picked from the drop-down when it begins with '>'.
    void edit(const QString &key, const QString &word)
    {
        const QModelIndex index = model()->index(model()->rowOf(key), ImageTableModel::ImageColumn);
        QVERIFY(index.isValid());
        table()->scrollTo(index);
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, {},
                          table()->visualRect(index).center());
        QTest::keyClick(table()->viewport(), Qt::Key_F2);
        auto *box = table()->findChild<QComboBox *>("imageEditor");
        QVERIFY(box);
        m_choices.clear();
        for (int i = 0; i < box->count(); ++i)
            m_choices.append(box->itemText(i));
        if (word.startsWith(u'>')) {
            box->setCurrentIndex(box->findText(word.mid(1)));
        } else {
            box->lineEdit()->selectAll();
            QTest::keyClick(box->lineEdit(), Qt::Key_Backspace);
            QTest::keyClicks(box->lineEdit(), word);
        }
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        QTRY_VERIFY(!table()->findChild<QComboBox *>("imageEditor"));
    }

    // Every image in the table, "KEY=WORD", a marked one with what its tooltip says its
    // letters read as ("12=Nemo!3"); then the drop-down last opened, and the messages.
    QString shown() const
    {
        QStringList line;
        for (int row = 0; row < model()->rowCount(); ++row) {
            const QModelIndex index = model()->index(row, ImageTableModel::ImageColumn);
            if (index.data().toString().isEmpty())
                continue;
            QString cell = model()->keyAt(row) + u'=' + index.data().toString();
            if (index.data(ImageTableModel::MarkedRole).toBool()) {
                const QString tip = index.data(Qt::ToolTipRole).toString();
                cell +=
                    u'!' + (tip.contains(QLatin1String("no digits"))
                                ? QStringLiteral("-")
                                : tip.section(QLatin1String(" read as "), 1).section(u',', 0, 0));
            }
            line.append(cell);
        }
        line << QStringLiteral("rows") << QString::number(model()->rowCount());
        if (!m_choices.isEmpty())
            line << u'(' + m_choices.join(u' ') + u')';
        for (const MessageBox::Shown &message : MessageBox::shown())
            line << QStringLiteral("|") << message.text.section(u':', 0, 0);
        return line.join(u' ');
    }

    // The main window's number box and chain.
    QString chain() const
    {
        const QAbstractItemModel *words = m_main->findChild<QTreeView *>("ListView2")->model();
        QStringList line{m_main->findChild<QLineEdit *>("Text1")->text()};
        for (int row = 0; row < words->rowCount(); ++row)
            line.append(words->index(row, 1).data().toString());
        return line.join(u' ');
    }

private Q_SLOTS:
    void init() { MessageBox::answerInstead(true); }
    void cleanup()
    {
        Windows::releaseAll();
        MessageBox::clearShown();
        m_choices.clear();
    }

    void steps_data()
    {
        QTest::addColumn<QByteArray>("images");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("result");
        // The image lines of images.db afterwards; null where it must not have changed.
        QTest::addColumn<QByteArray>("saved");

        const QString prefilled =
            "0=sow 1=toe 2=new 3=me 4=raw 6=jay 9=bee 00=seas 12=tin 21=net 91=bat";
        const QByteArray prefilledFile =
            imagesFile({"0:sow", "1:toe", "2:new", "3:me", "4:raw", "6:jay", "9:bee", "00:seas",
                        "12:tin", "21:net", "91:bat", "124:tenor", "914:butter", "999:baobab"});
        const QByteArray mine = imagesFile({"3:me", "12:Nemo", "124:tenor"});

        // Steps: "KEY:word" types a word over the key's image ("KEY:>word" picks it from
        // the drop-down); "three" clicks the three-digit check box; "reopen" closes and
        // opens the window; a menu action is triggered; digits are typed into the main
        // window's number box. In `result` the main window's "box words" follow a '#'.
        QTest::newRow("first open: best picture, used word first")
            << QByteArray() << "" << prefilled + " rows 110" << prefilledFile;
        QTest::newRow("drop-down: used, then as the list shows")
            << QByteArray() << "12:>tuna"
            << QString(prefilled).replace("12=tin", "12=tuna") + " rows 110 (tin tuna ton tan)"
            << QByteArray(prefilledFile).replace("12:tin", "12:tuna");
        QTest::newRow("typed word of other digits is marked")
            << mine << "3:raw|12: tin "
            << "3=raw!4 12=tin rows 110 (tin tuna ton tan)"
            << imagesFile({"3:raw", "12:tin", "124:tenor"});
        QTest::newRow("word that reads as nothing")
            << mine << "3:eye|reopen"
            << "3=eye!- 12=Nemo!3 rows 110 (me)" << imagesFile({"3:eye", "12:Nemo", "124:tenor"});
        QTest::newRow("image taken away")
            << mine << "3:"
            << "12=Nemo!3 rows 110 (me)" << imagesFile({"12:Nemo", "124:tenor"});
        QTest::newRow("a quote is refused")
            << mine << "3:say \"me\""
            << "3=me 12=Nemo!3 rows 110 (me) | The text \"say \"me\"\" cannot be stored in a file."
            << QByteArray();
        QTest::newRow("three-digit keys shown, and kept")
            << mine << "three|reopen"
            << "3=me 12=Nemo!3 124=tenor rows 1110"
            << imagesFile({"3:me", "12:Nemo", "124:tenor"}, true);
        QTest::newRow("damaged file: the rest is read, saved at the next change")
            << QByteArray(mine).replace("\"end:3\"\r\n", "") << "|4:rye"
            << "3=me 4=rye 12=Nemo!3 rows 110 (raw) | Not all of your images could be read"
            << imagesFile({"3:me", "4:rye", "12:Nemo", "124:tenor"});
        QTest::newRow("another file is left alone")
            << QByteArray("\"314:meter\"\r\n") << "4:rye"
            << "4=rye rows 110 (raw) | Your images could not be read" << QByteArray();

        QTest::newRow("chains: pictures, the default") << mine << "12123"
                                                       << "# tin tin me" << QByteArray();
        QTest::newRow("chains: two-digit images, marked word kept")
            << mine << "ChainImages2|12123"
            << "# Nemo Nemo me" << QByteArray();
        QTest::newRow("chains: two-digit, no image falls back") << mine << "ChainImages2|91214"
                                                                << "# bat net raw" << QByteArray();
        // 914 and 121 have no image, nor has the leftover 2.
        QTest::newRow("chains: three-digit images, leftover digits")
            << mine << "ChainImages3|1249141212"
            << "# tenor butter tin toe new" << QByteArray();
        QTest::newRow("chains: a chunk no word covers ends the chain")
            << mine << "ChainImages2|12881"
            << "#881 Nemo" << QByteArray();
        QTest::newRow("chains: without a file every chunk falls back")
            << QByteArray() << "ChainImages3|12412"
            << "# tenor tin" << QByteArray();
    }

    void steps()
    {
        QFETCH(QByteArray, images);
        QFETCH(QString, script);
        QFETCH(QString, result);
        QFETCH(QByteArray, saved);

        // Used: tin once, bee twice, pie once.
        TestInstallation install(
            "\"12:x: tin\"\r\n\"9:y: bee\"\r\n\"9:z: bee\"\r\n\"9:w: pie\"\r\n");
        if (!images.isNull())
            QVERIFY(install.write(QStringLiteral("images.db"), images));
        m_main = Windows::instance<MainWindow>();
        m_main->show();
        const bool chains = result.startsWith(u'#');
        if (!chains)
            open();
        for (const QString &step : script.split(u'|', Qt::SkipEmptyParts)) {
            if (step == QLatin1String("three")) {
                QTest::mouseClick(m_window->findChild<QCheckBox *>("threeDigitKeys"),
                                  Qt::LeftButton);
            } else if (step == QLatin1String("reopen")) {
                m_window->close();
                open();
            } else if (auto *action = m_main->findChild<QAction *>(step)) {
                action->trigger();
            } else if (step.contains(u':')) {
                edit(step.section(u':', 0, 0), step.section(u':', 1));
            } else {
                QTest::keyClicks(m_main->findChild<QLineEdit *>("Text1"), step);
                m_main->findChild<QAction *>("SuggestWords")->trigger();
                QTRY_VERIFY(!m_main->findChild<QThread *>());
            }
        }
        QCOMPARE(chains ? u'#' + chain() : shown(), result);
        QCOMPARE(install.read(QStringLiteral("images.db")), saved.isNull() ? images : saved);
    }

    // The chain style is a setting, one of three choices.
    void styleIsKept()
    {
        TestInstallation install;
        Registry::SetRegValue(AppInfo::settingsPath, AppInfo::chainStyleSetting, "images3");
        m_main = Windows::instance<MainWindow>();
        QVERIFY(m_main->findChild<QAction *>("ChainImages3")->isChecked());
        m_main->findChild<QAction *>("ChainPictures")->trigger();
        QVERIFY(!m_main->findChild<QAction *>("ChainImages3")->isChecked());
        QCOMPARE(Registry::GetRegValue(AppInfo::settingsPath, AppInfo::chainStyleSetting),
                 QStringLiteral("pictures"));
    }
};

QTEST_MAIN(TestMyImages)
#include "tst_myimages.moc"
