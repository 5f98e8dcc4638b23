#pragma once

#include "dictionary/Dictionary.h"
#include "images/ImageChains.h"
#include "workspace/ChainSearch.h"

#include <QMainWindow>

class MemoryChain;
class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class BackgroundJob;
class QToolBar;
class QToolButton;
class QTreeView;
class QTreeWidget;

// The main window: the number box with its ranked candidate words, the chain of
// memory words chosen so far, the Store flow, and the menus and toolbar through
// which every other window is reached. The store dialog takes the chain and the number
// through getwords and GetCurrentNumber; the remembered numbers come from
// RememberedNumbers, not from another window.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int collapsedHeight = 2265; // twips
    static constexpr int expandedHeight = 7500;  // twips

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Where the settings live; every settings access of the program passes it.
    QString path;

    QString getwords() const;
    QString GetCurrentNumber() const;
    void Launch(const QString &url);

    int heightTwips() const { return m_heightTwips; }
    QString lastNumber() const { return m_lastNumber; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void load();
    void setHeightTwips(int twips);
    void placeControls();

    void numberChanged();
    void keepDigits();
    void refreshCandidates(const QString &number);
    void pruneCandidates(const QString &number);
    void lookupWords(const QString &digits);
    void fitWordColumn(QTreeView *list, int wordColumn);
    void returnToNumber();

    void addWord();
    void chooseWords(const QList<ChainSearch::Link> &links);
    void suggestWords();
    struct Suggestion
    {
        QString number;
        std::shared_ptr<const WordRanks> ranks;
        QList<QList<ChainSearch::Link>> chains;
    };
    void suggestionFound(const Suggestion &suggestion);
    bool suggestionOnShow() const;
    void showAnotherSuggestion();
    void updateSuggestAction();
    void removeWords();
    void updateStoreButton();
    void store();

    void showReview();
    void addImageCommands(QMenu *tools);
    ImageChains::Style chainStyle() const;
    void addRecallCommands();
    void launchManual();

    Dictionary m_dictionary;
    QString m_lastNumber;
    int m_heightTwips = collapsedHeight;
    // The size the user gave the expanded window; invalid until they give one.
    QSize m_expandedSize;
    MemoryChain *m_chain = nullptr;

    // The chain search runs on a thread of its own; its result is taken only while
    // the number box still holds the digits it was searched for. The ranks are read
    // there too, by the first search, and kept for the next.
    static constexpr int suggestedChains = 5;
    BackgroundJob *m_suggestJob = nullptr;
    bool m_suggestWhenLoaded = false;
    std::shared_ptr<const WordRanks> m_ranks;

    // The chains of the last suggestion, which of them is in the memory-word list
    // after the rows the user chose before, and what it left in the number box. While
    // the list still ends with exactly that chain, Suggest Words shows the next one.
    QList<QList<ChainSearch::Link>> m_suggested;
    qsizetype m_suggestedShown = 0;
    int m_rowsBeforeSuggestion = 0;
    QString m_suggestedRest;

    QToolBar *m_toolbar = nullptr;
    QFrame *m_line = nullptr;
    QLabel *m_memoryLabel = nullptr;
    QLineEdit *m_number = nullptr;
    QTreeWidget *m_candidates = nullptr;
    QTreeView *m_memoryWords = nullptr;
    QPushButton *m_addButton = nullptr;
    QPushButton *m_removeButton = nullptr;
    QToolButton *m_storeButton = nullptr;
    QLabel *m_step1 = nullptr;
    QLabel *m_step2 = nullptr;

    QAction *m_pegWords = nullptr;
    QAction *m_mostUsed = nullptr;
    QAction *m_testYourself = nullptr;
    QAction *m_review = nullptr;
    QAction *m_suggestWords = nullptr;
    QAction *m_numberMap = nullptr;
    QAction *m_about = nullptr;
};
