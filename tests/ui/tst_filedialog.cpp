#include "ui/FileDialog.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The Open dialog as a user meets it: a name typed and Open pressed.
class TestFileDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typedName_data();
    void typedName();
};

void TestFileDialog::typedName_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("onTheirWay");
    QTest::addColumn<bool>("taken");

    QTest::newRow("a file that is there") << "there.txt" << QStringList{"coming.txt"} << true;
    QTest::newRow("a file still being written")
        << "coming.txt" << QStringList{"coming.txt"} << true;
    QTest::newRow("neither there nor on its way")
        << "missing.txt" << QStringList{"coming.txt"} << false;
}

void TestFileDialog::typedName()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, onTheirWay);
    QFETCH(bool, taken);

    QTemporaryDir dir;
    QFile there(dir.filePath("there.txt"));
    QVERIFY(there.open(QIODevice::WriteOnly));
    there.close();
    for (QString &file : onTheirWay)
        file = dir.filePath(file);
    MessageBox::answerInstead(true);
    MessageBox::clearShown();

    bool pressed = false;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->findChild<QLineEdit *>("fileNameEdit")->setText(typed);
        dialog->findChild<QDialogButtonBox *>("buttonBox")->button(QDialogButtonBox::Open)->click();
        pressed = true;
        // A name refused leaves the dialog open for another try.
        if (dialog->isVisible())
            dialog->reject();
    });
    const QString chosen =
        FileDialog::getOpenFileName(nullptr, "Import", dir.path() + '/', "txt (*.txt)", onTheirWay);
    QVERIFY(pressed);
    QCOMPARE(chosen, taken ? dir.filePath(typed) : QString());
    QCOMPARE(MessageBox::shown().size(), taken ? 0 : 1);
    if (!taken)
        QVERIFY(MessageBox::shown().first().text.contains("File not found"));
}

QTEST_MAIN(TestFileDialog)
#include "tst_filedialog.moc"
