#pragma once

#include "remembered/RememberedFile.h"
#include "remembered/TransferFile.h"

#include <QStringList>
#include <QWidget>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QTreeView;
class RememberedNumbers;

// The remembered-numbers window: shows the list, searches its descriptions, and
// hands forgetting, sorting, import and export to RememberedNumbers, which holds the
// list. It says what went wrong with the files, and shows a line while long work on
// the list runs. The main window creates it hidden at start-up, so that a problem
// with the files is told at once, and shows it from Review.
class ReviewWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ReviewWindow(QWidget *parent = nullptr);
    ~ReviewWindow() override;

    // Asks for the list unless it is loaded, the window starting afresh; a long list
    // fills it once read.
    void load();
    // Hides the window; the list is saved and its rows go, as when it is closed.
    void unload();

    // Type-ahead search of the descriptions: the text typed into the list, and the
    // 1-based position of the row found last.
    QString searchText() const { return m_searchText; }
    int lastFound() const { return m_lastFound; }
    void findNext();

protected:
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void warnAboutFile(const QString &text, const QString &filename, const QString &reason);
    void reportLoad(RememberedFile::LoadStatus status);
    void placeControls();
    void sizeColumns();
    void reportSave(bool saved, const QString &error);
    void reportImport(const QString &filename, const TransferFile::ImportResult &result);
    void reportFile(const QString &filename, bool flashCards, bool written, const QString &error);
    bool searchKey(const QKeyEvent *event);
    void searchBoxEdited(const QString &text);
    void selectRow(int position, bool reveal);
    void forgetSelection();
    void exportClicked();
    void importClicked();
    void flashCardsClicked();

    RememberedNumbers *m_numbers = nullptr;
    QTreeView *m_view = nullptr;
    QLineEdit *m_search = nullptr;
    QLabel *m_busyLine = nullptr;
    QWidget *m_forget = nullptr;
    QWidget *m_close = nullptr;
    QString m_searchText;
    int m_lastFound = 1;
    // The file dialog starts with the name chosen last, for export and import alike.
    QString m_fileName = QStringLiteral("out.txt");
    // Flash cards are no export file to import again, so their name is kept apart.
    QString m_flashCardFileName = QStringLiteral("flashcards.txt");
    // Exports and flash cards asked for and not written yet.
    QStringList m_writing;
    // A failing save is reported once, then retried quietly at each change.
    bool m_saveFailureReported = false;
};
