#pragma once

#include "core/WordCollection.h"
#include "core/WordUsage.h"
#include "remembered/RememberedEntry.h"
#include "remembered/RememberedFile.h"
#include "remembered/TransferFile.h"

#include <QWidget>

#include <functional>

class BackgroundJob;
class PackedEntries;
class QKeyEvent;
class QLineEdit;
class QTreeView;
class RememberedList;

// The remembered-numbers window. Its list is where the remembered numbers live
// while the program runs: loading the window reads the file, and every change
// (a store, a forget, an import) is saved at once, as is the list at unload.
// The main window creates it hidden at start-up and shows it from Review; the store
// flow adds to it and the candidate ranking asks it how often a word is used.
class Form3 : public QWidget
{
    Q_OBJECT

public:
    explicit Form3(QWidget *parent = nullptr);
    ~Form3() override;

    // Reads the list from the file unless it is loaded already, and waits for any
    // work on it still running.
    void load();
    // Begins reading the list. A long one is read on a thread of its own while the
    // program goes on; until listLoaded() its usage counts are all 0.
    void loadInBackground();
    bool isLoaded() const;
    // Whether work on a long list or a file written from it is still running.
    bool isBusy() const;
    // Saves a changed list and drops its rows. Should the save fail, the rows stay
    // so that nothing is lost, and the user is told. With work on a long list still
    // running, the rows go once it has ended, unless they are loaded again first.
    void unload();
    // The last save before the program ends: on failure the user may retry or quit
    // without saving. Drops the rows either way, so later calls do nothing.
    void unloadForExit();
    // Whether the user chose to quit without saving changes.
    bool quitWithoutSaving() const { return m_quitWithoutSaving; }

    // Appends a stored number, taking the digits from the main window's chain. While a
    // long list is read, the number waits and is added and saved when the list arrives.
    void addEntry(const QString &desc, const QString &words);
    // The uses of a word; 0 for every word while a long list is still being read.
    int getcount(const QString &word) const;
    // The usage table, complete: waits for a load still running.
    const WordUsage &usage() const;
    // The same as a collection, made anew for the word tables.
    WordCollection wordc() const;

    RememberedList *list() const { return m_list; }

    // A long list is exported, imported and written as flash cards on a thread;
    // the messages come when the work has ended.
    void ExportDb(const QString &filename);
    void ImportDb(const QString &filename);
    // Writes the list as flash cards; a failure is reported naming the file.
    void exportFlashCards(const QString &filename);

    // Type-ahead search of the descriptions: the text typed into the list, and the
    // 1-based position of the row found last.
    QString searchText() const { return m_searchText; }
    int lastFound() const { return m_lastFound; }
    void findNext();

signals:
    // The rows and usage counts are in place.
    void listLoaded();

protected:
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void warnAboutFile(const QString &text, const QString &filename, const QString &reason);
    // Writes a file from the rows, for a long list on a thread; `failure` holds %1
    // for the file and %2 for the reason.
    void writeFile(const QString &filename, const QString &failure,
                   const std::function<bool(const PackedEntries &, QString *)> &write);
    void prepareLoad();
    void reportLoad(RememberedFile::LoadStatus status);
    void placeControls();
    void sizeColumns();
    void saveChanges();
    void reportSave(bool saved, const QString &error);
    void unloadWhenIdle();
    void reportImport(const QString &filename, const TransferFile::ImportResult &result);
    bool searchKey(const QKeyEvent *event);
    void searchBoxEdited(const QString &text);
    void selectRow(int position, bool reveal);
    void forgetSelection();
    void exportClicked();
    void importClicked();
    void flashCardsClicked();

    RememberedList *m_list = nullptr;
    QTreeView *m_view = nullptr;
    QLineEdit *m_search = nullptr;
    QWidget *m_forget = nullptr;
    QWidget *m_close = nullptr;
    QString m_searchText;
    int m_lastFound = 1;
    // The file dialog starts with the name chosen last, for export and import alike.
    QString m_fileName = QStringLiteral("out.txt");
    // Flash cards are no export file to import again, so their name is kept apart.
    QString m_flashCardFileName = QStringLiteral("flashcards.txt");
    // A failing save is reported once, then retried quietly at each change.
    bool m_saveFailureReported = false;
    bool m_quitWithoutSaving = false;
    bool m_exiting = false;
    // Set by unload() until the rows go: work on them was still running.
    bool m_unloadPending = false;
    bool m_unloadSaved = false;
    // Stored while a long list was still being read.
    QList<RememberedEntry> m_storedMeanwhile;
    // Writes an export or flash cards of a long list.
    BackgroundJob *m_fileJob = nullptr;
};
