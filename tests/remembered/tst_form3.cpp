#include "TestInstallation.h"
#include "remembered/Form3.h"
#include "remembered/RememberedList.h"
#include "workspace/FileDialog.h"
#include "workspace/MessageBox.h"
#include "workspace/Windows.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <memory>

namespace {

// Sorted by description: alpha(3), beta(1000), delta(1), Gamma(999), ""(12) first.
const QByteArray fixture("\"1000:beta house:bus\"\r\n"
                         "\"1:delta:tea\"\r\n"
                         "\"999:Gamma:pop\"\r\n"
                         "\"12::tin\"\r\n"
                         "\"3:alpha house:me\"\r\n");

} // namespace

class TestForm3 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void loadSortsByDescription();
    void headerClickChoosesColumn();
    void typeAhead();
    void enterStepsThroughMatches();
    void otherKeysKeepTheirMeaning();
    void typingIntoTheBox();
    void forget_data();
    void forget();
    void forgetWithoutSelection();
    void exportAndImport();
    void wrongHeaderAndCutShortFiles();
    void cancelDoesNothing();
    void closeSavesAndReopenReloads();

private:
    QStringList descriptions() const;
    QString selectedDescription() const;
    void keys(const QString &text);
    QTreeView *view() const
    {
        return m_window->findChild<QTreeView *>(QStringLiteral("ListView1"));
    }
    QLineEdit *box() const { return m_window->findChild<QLineEdit *>(QStringLiteral("Text1")); }
    QPushButton *button(const char *name) const
    {
        return m_window->findChild<QPushButton *>(QLatin1String(name));
    }

    std::unique_ptr<TestInstallation> m_install;
    Form3 *m_window = nullptr;
};

void TestForm3::init()
{
    MessageBox::answerInstead(true);
    FileDialog::answerInstead(true);
    m_install = std::make_unique<TestInstallation>(fixture);
    m_window = Windows::instance<Form3>();
    m_window->load();
    m_window->show();
}

void TestForm3::cleanup()
{
    Windows::releaseAll();
    m_install.reset();
}

QStringList TestForm3::descriptions() const
{
    QStringList texts;
    for (int position = 1; position <= m_window->list()->entryCount(); ++position)
        texts.append(m_window->list()->entry(position).Description);
    return texts;
}

QString TestForm3::selectedDescription() const
{
    const QModelIndexList rows = view()->selectionModel()->selectedRows();
    return rows.isEmpty() ? QStringLiteral("(none)")
                          : m_window->list()->entry(rows.first().row() + 1).Description;
}

void TestForm3::keys(const QString &text)
{
    for (const QChar c : text) {
        const bool upper = c.isUpper();
        const int key = c.isDigit() ? Qt::Key_0 + (c.unicode() - u'0')
                                    : Qt::Key_A + (c.toUpper().unicode() - u'A');
        QTest::keyClick(view(), Qt::Key(key), upper ? Qt::ShiftModifier : Qt::NoModifier);
    }
}

void TestForm3::loadSortsByDescription()
{
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Remembered Numbers"));
    QCOMPARE(descriptions(), (QStringList{"", "alpha house", "beta house", "delta", "Gamma"}));
    QCOMPARE(m_window->lastFound(), 1);
    QCOMPARE(m_window->searchText(), QString());
}

void TestForm3::headerClickChoosesColumn()
{
    QHeaderView *header = view()->header();
    const auto click = [header](int section) {
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
    };
    click(0);
    QStringList values;
    for (int position = 1; position <= 5; ++position)
        values.append(m_window->list()->entry(position).Value);
    QCOMPARE(values, (QStringList{"1", "1000", "12", "3", "999"}));
    click(0);
    QCOMPARE(m_window->list()->entry(1).Value, QStringLiteral("1"));
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
}

void TestForm3::typeAhead()
{
    view()->setFocus();
    keys(QStringLiteral("h"));
    QCOMPARE(m_window->searchText(), QStringLiteral("h"));
    QCOMPARE(box()->text(), QStringLiteral("h"));
    // The first search starts with the second row: "alpha house" is row 2.
    QCOMPARE(selectedDescription(), QStringLiteral("alpha house"));
    QCOMPARE(m_window->lastFound(), 2);

    QTest::keyClick(view(), Qt::Key_Backspace);
    QCOMPARE(box()->text(), QString());
    const int found = m_window->lastFound();
    // Backspace on an empty text changes nothing and searches nothing.
    QTest::keyClick(view(), Qt::Key_Backspace);
    QCOMPARE(m_window->lastFound(), found);
    QTest::keyClick(view(), Qt::Key_Shift);
    QCOMPARE(m_window->lastFound(), found);

    keys(QStringLiteral("G"));
    QCOMPARE(m_window->searchText(), QStringLiteral("G"));
    QCOMPARE(selectedDescription(), QStringLiteral("Gamma"));
    QTest::keyClick(view(), Qt::Key_Space);
    QCOMPARE(m_window->searchText(), QStringLiteral("G "));
    QCOMPARE(selectedDescription(), QStringLiteral("(none)"));
}

void TestForm3::enterStepsThroughMatches()
{
    view()->setFocus();
    keys(QStringLiteral("house"));
    QCOMPARE(selectedDescription(), QStringLiteral("alpha house"));
    QTest::keyClick(view(), Qt::Key_Return);
    QCOMPARE(selectedDescription(), QStringLiteral("beta house"));
    QTest::keyClick(view(), Qt::Key_Return);
    QCOMPARE(selectedDescription(), QStringLiteral("alpha house"));
    QTest::keyClick(view(), Qt::Key_Enter);
    QCOMPARE(selectedDescription(), QStringLiteral("beta house"));
}

void TestForm3::otherKeysKeepTheirMeaning()
{
    view()->setFocus();
    view()->setCurrentIndex(m_window->list()->index(0, 0));
    QTest::keyClick(view(), Qt::Key_Down);
    QCOMPARE(view()->currentIndex().row(), 1);
    QTest::keyClick(view(), Qt::Key_End);
    QCOMPARE(view()->currentIndex().row(), 4);
    QTest::keyClick(view(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(view(), Qt::Key_F2);
    QCOMPARE(m_window->searchText(), QString());
    QCOMPARE(box()->text(), QString());
    QTest::keyClick(view(), Qt::Key_3, Qt::KeypadModifier);
    QCOMPARE(m_window->searchText(), QStringLiteral("3"));
}

void TestForm3::typingIntoTheBox()
{
    QTest::keyClicks(box(), QStringLiteral("t"));
    QCOMPARE(selectedDescription(), QStringLiteral("beta house"));
    // Both passes look for what was typed: "ta" after row 3 is "delta".
    QTest::keyClicks(box(), QStringLiteral("a"));
    QCOMPARE(m_window->searchText(), QStringLiteral("ta"));
    QCOMPARE(selectedDescription(), QStringLiteral("delta"));
    QTest::keyClick(box(), Qt::Key_Backspace);
    QCOMPARE(selectedDescription(), QStringLiteral("beta house"));
}

void TestForm3::forget_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("question");
    QTest::addColumn<int>("left");

    QTest::newRow("yes") << 3 << int(QMessageBox::Yes)
                         << "Do you want to delete entry for beta house" << 4;
    QTest::newRow("no") << 3 << int(QMessageBox::No) << "Do you want to delete entry for beta house"
                        << 5;
    QTest::newRow("empty description")
        << 1 << int(QMessageBox::Yes) << "Do you want to delete entry for " << 4;
}

void TestForm3::forget()
{
    QFETCH(int, row);
    QFETCH(int, answer);
    QFETCH(QString, question);
    QFETCH(int, left);

    view()->setCurrentIndex(m_window->list()->index(row - 1, 0));
    MessageBox::queueAnswer(MessageBox::Button(answer));
    QTest::mouseClick(button("Command1"), Qt::LeftButton);

    QCOMPARE(MessageBox::shown().size(), 1);
    const MessageBox::Shown shown = MessageBox::shown().first();
    QCOMPARE(shown.title, QStringLiteral("Confirm Delete"));
    QCOMPARE(shown.text, question);
    QCOMPARE(shown.icon, QMessageBox::NoIcon);
    QCOMPARE(shown.defaultButton, QMessageBox::Yes);
    QCOMPARE(shown.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(m_window->list()->entryCount(), left);
    QCOMPARE(m_window->list()->changed(), left == 4);

    m_window->close();
    const QByteArray saved = m_install->read(QStringLiteral("rv.db"));
    QCOMPARE(saved.count("\r\n"), left);
    if (left == 4)
        QCOMPARE(saved, m_install->read(QStringLiteral("rv2.db")));
}

void TestForm3::forgetWithoutSelection()
{
    view()->clearSelection();
    QTest::mouseClick(button("Command1"), Qt::LeftButton);
    QVERIFY(MessageBox::shown().isEmpty());
    QCOMPARE(m_window->list()->entryCount(), 5);
}

void TestForm3::exportAndImport()
{
    const QString exported = m_install->dataFile(QStringLiteral("moved.txt"));
    FileDialog::queueAnswer(exported);
    QTest::mouseClick(button("ExportButton"), Qt::LeftButton);
    QCOMPARE(FileDialog::initialNames(), QStringList{QStringLiteral("out.txt")});
    const QByteArray bytes = m_install->read(QStringLiteral("moved.txt"));
    QVERIFY(bytes.startsWith("\"Numbrill\"\r\n\"12\"\r\n\"empty\"\r\n\"tin\"\r\n\"3\"\r\n"));
    QVERIFY(!m_window->list()->changed());

    // Back into the same list: only the entry without a description comes back, as
    // "empty". The dialog starts with the name chosen last.
    FileDialog::queueAnswer(exported);
    QTest::mouseClick(button("ImportButton"), Qt::LeftButton);
    QCOMPARE(FileDialog::initialNames().last(), exported);
    QCOMPARE(m_window->list()->entryCount(), 6);
    QVERIFY(descriptions().contains(QStringLiteral("empty")));
    QVERIFY(m_window->list()->changed());
    QVERIFY(MessageBox::shown().isEmpty());
}

void TestForm3::wrongHeaderAndCutShortFiles()
{
    m_install->write(QStringLiteral("wrong.txt"), "\"NUMBRILL\"\r\n\"5\"\r\n\"x\"\r\n\"law\"\r\n");
    m_window->ImportDb(m_install->dataFile(QStringLiteral("wrong.txt")));
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().first().text,
             QStringLiteral("Invalid Format. You can only import files exported from Numbrill."));
    QCOMPARE(MessageBox::shown().first().title, QStringLiteral("Numbrill"));
    QCOMPARE(MessageBox::shown().first().icon, QMessageBox::NoIcon);
    QCOMPARE(m_window->list()->entryCount(), 5);
    QVERIFY(!m_window->list()->changed());

    MessageBox::clearShown();
    m_install->write(QStringLiteral("short.txt"),
                     "\"Numbrill\"\r\n\"5\"\r\n\"lily\"\r\n\"law\"\r\n\"6\"\r\n");
    m_window->ImportDb(m_install->dataFile(QStringLiteral("short.txt")));
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(MessageBox::shown().first().text.contains(QStringLiteral(": 1.")));
    QCOMPARE(m_window->list()->entryCount(), 6);
    m_window->close();
    QVERIFY(m_install->read(QStringLiteral("rv.db")).contains("\"5:lily:law\"\r\n"));
}

void TestForm3::cancelDoesNothing()
{
    m_install->write(QStringLiteral("out.txt"), "untouched");
    QTest::mouseClick(button("ExportButton"), Qt::LeftButton);
    QTest::mouseClick(button("ImportButton"), Qt::LeftButton);
    QCOMPARE(FileDialog::initialNames(), (QStringList{"out.txt", "out.txt"}));
    QCOMPARE(m_install->read(QStringLiteral("out.txt")), QByteArray("untouched"));
    QVERIFY(!QFile::exists(QStringLiteral("out.txt")));
    QCOMPARE(m_window->list()->entryCount(), 5);
    QVERIFY(!m_window->list()->changed());
}

void TestForm3::closeSavesAndReopenReloads()
{
    m_window->addEntry(QStringLiteral("epsilon"), QStringLiteral(" me"));
    QTest::mouseClick(button("Close"), Qt::LeftButton);
    QVERIFY(!m_window->isVisible());
    QVERIFY(!m_window->isLoaded());
    QVERIFY(m_install->read(QStringLiteral("rv.db")).contains("\":epsilon: me\"\r\n"));

    m_window->load();
    QCOMPARE(m_window->list()->entryCount(), 6);
    QCOMPARE(m_window->getcount(QStringLiteral("me")), 2);
}

QTEST_MAIN(TestForm3)
#include "tst_form3.moc"
