#include "workspace/MainWindow.h"

#include "core/AppInfo.h"
#include "core/BackgroundJob.h"
#include "drills/DrillHub.h"
#include "help/FirstTime.h"
#include "help/NumberMapping.h"
#include "help/AboutDialog.h"
#include "images/ImageChains.h"
#include "images/ImageList.h"
#include "images/MyImagesWindow.h"
#include "practice/QuizDialog.h"
#include "practice/WordTablesWindow.h"
#include "recall/RecallStatisticsWindow.h"
#include "recall/RecallWindow.h"
#include "remembered/ExitSave.h"
#include "remembered/ReviewWindow.h"
#include "remembered/RememberedNumbers.h"
#include "settings/Installation.h"
#include "settings/Registry.h"
#include "ui/Launcher.h"
#include "ui/MessageBox.h"
#include "ui/Pictures.h"
#include "ui/Resources.h"
#include "ui/Twips.h"
#include "ui/WindowParts.h"
#include "ui/WindowSize.h"
#include "ui/Windows.h"
#include "workspace/Candidates.h"
#include "workspace/MemoryChain.h"
#include "workspace/StoreDialog.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

namespace {

// The two lists are wider than the first layout had them (3375 and 2655 twips), so
// that a word of twelve letters and its digits show whole in each.
constexpr int candidateRoom = 390;
constexpr int memoryRoom = 675;
constexpr int clientWidth = 8115 + candidateRoom + memoryRoom;
constexpr int candidateListWidth = 3375 + candidateRoom;
// Caption and menu bar of the layout's outer heights.
constexpr int frameTwips = 645;

enum CandidateColumn
{
    CountColumn = 0,
    ValueColumn = 1,
    WordColumn = 2
};

QFont timesNewRoman(qreal points, bool bold = false)
{
    return WindowParts::font(QStringLiteral("Times New Roman"), points, bold);
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text)
{
    QLabel *label = WindowParts::label(parent, name, text);
    label->setWordWrap(true);
    return label;
}

QToolButton *makePictureButton(QWidget *parent, const char *name, const QString &tooltip,
                               const char *picture)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(tooltip);
    button->setAccessibleName(tooltip);
    button->setIcon(Pictures::drawn(QLatin1String(picture)));
    button->setIconSize(QSize(36, 36));
    button->setAutoRaise(true);
    return button;
}

QString suggestTip()
{
    return MainWindow::tr("Suggest words for the rest of the number (Ctrl+Enter); "
                     "press again right after for another chain");
}

// A non-modal window beside the main window, reused while it is open.
template <class T> T *showBeside()
{
    T *window = Windows::instance<T>();
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

// The peg and most-used tables share one window, shown beside the main window.
WordTablesWindow *showTable()
{
    return showBeside<WordTablesWindow>();
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent), m_chain(new MemoryChain(this)), m_suggestJob(new BackgroundJob(this))
{
    loadNumbrillResources();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(tr("Numbrill"));
    buildControls();
    buildMenus();
    load();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    // The window's own font; menus keep the desktop's.
    client->setFont(timesNewRoman(14.25));
    setCentralWidget(client);

    auto *toolbar = new QToolBar(client);
    toolbar->setObjectName(QStringLiteral("Toolbar1"));
    toolbar->setMovable(false);
    toolbar->setIconSize(QSize(36, 36));
    m_toolbar = toolbar;
    const struct
    {
        const char *name;
        QString tooltip;
        const char *picture;
    } pictureButtons[] = {
        {"Command2", tr("1-100"), "pegwords"},
        {"Command3", tr("Most used"), "mostused"},
        {"Command4", tr("Test Yourself"), "testyourself"},
        {"Command5", tr("Review"), "review"},
        {"SuggestButton", suggestTip(), "suggest"},
    };
    QList<QToolButton *> toolButtons;
    for (const auto &b : pictureButtons) {
        auto *button = makePictureButton(toolbar, b.name, b.tooltip, b.picture);
        button->setFixedSize(Twips::toPixels(615), Twips::toPixels(615));
        toolbar->addWidget(button);
        toolButtons.append(button);
    }

    auto *numberLabel = makeLabel(client, "Label1", tr("Number to Remember"));
    numberLabel->setFont(timesNewRoman(12, true));
    Twips::place(numberLabel, 840, 840, 2175, 615);

    m_number = new QLineEdit(client);
    m_number->setObjectName(QStringLiteral("Text1"));
    m_number->setAccessibleName(tr("Number to Remember"));

    auto *line = new QFrame(client);
    line->setObjectName(QStringLiteral("Line2"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    m_line = line;

    auto *mappingsLabel = makeLabel(client, "Label3", tr("Phonetic Mappings"));
    Twips::place(mappingsLabel, 600, 1800, 2775, 615);
    auto *memoryLabel = makeLabel(client, "Label2", tr("Memory Words"));
    m_memoryLabel = memoryLabel;

    m_candidates = new QTreeWidget(client);
    m_candidates->setObjectName(QStringLiteral("ListView1"));
    m_candidates->setRootIsDecorated(false);
    m_candidates->setUniformRowHeights(true);
    m_candidates->setAllColumnsShowFocus(true);
    m_candidates->setSelectionMode(QAbstractItemView::SingleSelection);
    m_candidates->header()->setSectionsClickable(false);
    m_candidates->header()->setStretchLastSection(false);
    m_candidates->viewport()->installEventFilter(this);

    mappingsLabel->setBuddy(m_candidates);

    m_addButton = WindowParts::button(client, "AddButton", QStringLiteral(">>"));

    m_removeButton = WindowParts::button(client, "RemoveButton", QStringLiteral("<<"));

    m_memoryWords = new QTreeView(client);
    m_memoryWords->setObjectName(QStringLiteral("ListView2"));
    m_memoryWords->setModel(m_chain);
    m_memoryWords->setRootIsDecorated(false);
    m_memoryWords->setUniformRowHeights(true);
    m_memoryWords->setAllColumnsShowFocus(true);
    m_memoryWords->setSelectionMode(QAbstractItemView::SingleSelection);
    m_memoryWords->header()->setSectionsClickable(false);
    m_memoryWords->header()->setStretchLastSection(false);
    m_memoryWords->viewport()->installEventFilter(this);

    m_storeButton = makePictureButton(client, "StoreButton", tr("Store"), "store");

    m_step1 = makeLabel(client, "Label4",
                        tr("Step 1: Convert number to words. Only choose a word that you can "
                           "easily visualize and spell"));
    m_step1->setFont(timesNewRoman(9.75));

    m_step2 = makeLabel(client, "Label5",
                        tr("Step 2: Build a sequence of linked images in your minds eye using "
                           "these words. When ready click the store button"));
    m_step2->setFont(timesNewRoman(9.75));
    placeControls();

    // The number box overlaps the end of its caption's area; it stays on top.
    numberLabel->lower();

    setTabOrder(m_number, m_addButton);
    setTabOrder(m_addButton, m_removeButton);
    setTabOrder(m_removeButton, m_memoryWords);
    setTabOrder(m_memoryWords, m_storeButton);
    QWidget *previous = m_storeButton;
    for (QToolButton *button : std::as_const(toolButtons)) {
        setTabOrder(previous, button);
        previous = button;
    }
    setTabOrder(previous, m_candidates);
    for (QToolButton *button : std::as_const(toolButtons))
        button->setFocusPolicy(Qt::TabFocus);
    m_storeButton->setFocusPolicy(Qt::StrongFocus);

    connect(m_number, &QLineEdit::textChanged, this, &MainWindow::numberChanged);
    connect(m_addButton, &QPushButton::clicked, this, &MainWindow::addWord);
    connect(m_removeButton, &QPushButton::clicked, this, &MainWindow::removeWords);
    connect(m_storeButton, &QToolButton::clicked, this, &MainWindow::store);
}

void MainWindow::buildMenus()
{
    auto addMenu = [this](const char *name, const QString &title) {
        QMenu *menu = menuBar()->addMenu(title);
        menu->setObjectName(QLatin1String(name));
        return menu;
    };
    auto addItem = [](QMenu *menu, const char *name, const QString &text) {
        QAction *action = menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        return action;
    };

    QMenu *file = addMenu("File", tr("File"));
    connect(addItem(file, "menuexit", tr("Exit")), &QAction::triggered, this, &MainWindow::close);

    QMenu *tools = addMenu("Tools", tr("Tools"));
    m_pegWords = addItem(tools, "onetohundred", tr("1-100 Peg Words"));
    m_mostUsed = addItem(tools, "MostUsedMenu", tr("Most used"));
    m_testYourself = addItem(tools, "TestYourself", tr("Test Yourself"));
    m_review = addItem(tools, "Review", tr("Review"));
    connect(m_review, &QAction::triggered, this, &MainWindow::showReview);
    connect(m_pegWords, &QAction::triggered, this, [] { showTable()->Populate(); });
    connect(m_mostUsed, &QAction::triggered, this, [] { showTable()->PopulateMost(); });
    connect(m_testYourself, &QAction::triggered, this, [] { Windows::instance<QuizDialog>()->exec(); });
    m_suggestWords = addItem(tools, "SuggestWords", tr("Suggest Words"));
    m_suggestWords->setIcon(Pictures::drawn(QStringLiteral("suggest")));
    // The menu shows the first; the main keyboard's Enter key is Return.
    m_suggestWords->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Enter), QKeySequence(Qt::CTRL | Qt::Key_Return)});
    m_suggestWords->setToolTip(suggestTip());
    m_suggestWords->setEnabled(false);
    connect(m_suggestWords, &QAction::triggered, this, &MainWindow::suggestWords);
    connect(m_number, &QLineEdit::textChanged, this, &MainWindow::updateSuggestAction);
    // The button follows the command, enabled state included.
    findChild<QToolButton *>(QStringLiteral("SuggestButton"))->setDefaultAction(m_suggestWords);
    addImageCommands(tools);

    QMenu *help = addMenu("Help", tr("Help"));
    m_numberMap = addItem(help, "NumberMap", tr("Number to Letter mapping"));
    connect(addItem(help, "manual", tr("Manual")), &QAction::triggered, this, &MainWindow::launchManual);
    connect(addItem(help, "feedback", tr("Give us Feedback")), &QAction::triggered, this,
            [this] { Launch(QStringLiteral(NUMBRILL_WEBSITE "/contactus.php")); });
    connect(addItem(help, "web", tr("Web Site")), &QAction::triggered, this,
            [this] { Launch(QStringLiteral(NUMBRILL_WEBSITE)); });
    m_about = addItem(help, "About", tr("About"));
    connect(m_numberMap, &QAction::triggered, this, [] { showBeside<NumberMapping>(); });
    connect(m_about, &QAction::triggered, this, [] { showBeside<AboutDialog>(); });

    const QAction *toolbarActions[] = {m_pegWords, m_mostUsed, m_testYourself, m_review};
    const char *toolbarButtons[] = {"Command2", "Command3", "Command4", "Command5"};
    for (int i = 0; i < 4; ++i) {
        auto *button = findChild<QToolButton *>(QLatin1String(toolbarButtons[i]));
        connect(button, &QToolButton::clicked, toolbarActions[i], &QAction::trigger);
    }
}

void MainWindow::load()
{
    path = QLatin1String(AppInfo::settingsPath);
    const QString firstTime = Registry::GetRegValue(path, QLatin1String(AppInfo::firstTimeSetting));
    const bool noticeWanted =
        firstTime == QLatin1String("yes") || firstTime == QLatin1String(Registry::unknownValue);
    if (noticeWanted && !Windows::userGone())
        Windows::instance<FirstTime>()->exec();

    const int wordWidth = Twips::toPixels(candidateListWidth);
    m_candidates->setHeaderLabels({tr("#"), tr("Value"), tr("Word")});
    m_candidates->setColumnWidth(CountColumn, Twips::toPixels(500));
    m_candidates->setColumnWidth(ValueColumn, Twips::toPixels(1200));
    m_candidates->setColumnWidth(WordColumn, wordWidth);
    m_candidates->headerItem()->setTextAlignment(ValueColumn, Qt::AlignCenter);
    m_memoryWords->setColumnWidth(MemoryChain::ValueColumn, Twips::toPixels(1200));
    m_memoryWords->setColumnWidth(MemoryChain::WordColumn, wordWidth);
    // The word columns are fitted once the lists have their size (eventFilter()).

    m_storeButton->setEnabled(false);
    m_addButton->setEnabled(false);
    m_removeButton->setEnabled(false);
    m_lastNumber.clear();
    m_expandedSize = WindowSize::stored(this, AppInfo::mainSizeSetting);
    setHeightTwips(collapsedHeight);
    m_step2->hide();
    m_step1->hide();

    const QString installDir =
        Registry::GetRegValue(path, QLatin1String(AppInfo::installDirSetting));
    m_dictionary.setInstallDir(installDir);
    m_dictionary.loadIndex();
    if (installDir == QLatin1String(Registry::unknownValue)) {
        MessageBox::inform(
            this,
            tr("Numbrill is not registered: its settings in %1 do not say where it is "
               "installed (there is no value instaldir), so it finds neither its word "
               "dictionary nor your remembered numbers.\n\nTo fix this, run numbrill-register, "
               "or install Numbrill again.")
                .arg(Registry::location(path)),
            QMessageBox::Warning);
    } else if (!QFile::exists(m_dictionary.indexFilePath()) ||
               !QFile::exists(m_dictionary.wordFilePath())) {
        MessageBox::inform(
            this,
            tr("The word dictionary was not found in %1. Numbrill cannot offer candidate words "
               "until it is installed there again.")
                .arg(QDir::toNativeSeparators(QFileInfo(m_dictionary.wordFilePath()).path())),
            QMessageBox::Warning);
    }

    const QString dataProblem = Installation::dataFolderProblem();
    if (!dataProblem.isEmpty())
        MessageBox::inform(this, dataProblem, QMessageBox::Warning);

    // A long list arrives after the window is shown; the candidates then on show get
    // their usage counts.
    RememberedNumbers *numbers = RememberedNumbers::instance();
    connect(numbers, &RememberedNumbers::loaded, this, [this] {
        if (m_candidates->topLevelItemCount() == 0)
            return;
        // The candidate the user chose stays chosen, for ">>" to take.
        const QTreeWidgetItem *current = m_candidates->currentItem();
        const bool chosen = current && current->isSelected();
        const QString value = chosen ? current->text(ValueColumn) : QString();
        const QString word = chosen ? current->text(WordColumn) : QString();
        refreshCandidates(m_number->text());
        fitWordColumn(m_candidates, WordColumn);
        for (int row = 0; chosen && row < m_candidates->topLevelItemCount(); ++row) {
            QTreeWidgetItem *item = m_candidates->topLevelItem(row);
            if (item->text(ValueColumn) == value && item->text(WordColumn) == word) {
                m_candidates->setCurrentItem(item);
                break;
            }
        }
    });
    // The review window tells what went wrong reading the list; it stays hidden until
    // Review is chosen.
    Windows::instance<ReviewWindow>();
    numbers->load();
    addRecallCommands();
    DrillHub::addCommands(findChild<QMenu *>(QStringLiteral("Tools")));
}

void MainWindow::addImageCommands(QMenu *tools)
{
    // What Suggest Words makes chains of, kept in the settings.
    auto *styles = new QActionGroup(this);
    const struct
    {
        const char *name;
        QString text;
        ImageChains::Style style;
    } choices[] = {
        {"ChainPictures", tr("Words You Can Picture, Any Length"), ImageChains::Style::Pictures},
        {"ChainImages2", tr("My Two-Digit Images"), ImageChains::Style::TwoDigitImages},
        {"ChainImages3", tr("My Three-Digit Images"), ImageChains::Style::ThreeDigitImages},
    };
    tools->addSeparator();
    const ImageChains::Style chosen = chainStyle();
    for (const auto &choice : choices) {
        QAction *action = tools->addAction(choice.text);
        action->setObjectName(QLatin1String(choice.name));
        action->setCheckable(true);
        action->setChecked(choice.style == chosen);
        styles->addAction(action);
        connect(action, &QAction::triggered, this, [style = choice.style] {
            Registry::SetRegValue(QLatin1String(AppInfo::settingsPath),
                                  QLatin1String(AppInfo::chainStyleSetting),
                                  ImageChains::settingValue(style));
        });
    }
    QAction *images = tools->addAction(tr("My Images..."));
    images->setObjectName(QStringLiteral("MyImagesMenu"));
    connect(images, &QAction::triggered, this, [] { Windows::instance<MyImagesWindow>()->open(); });
    tools->addSeparator();
}

ImageChains::Style MainWindow::chainStyle() const
{
    return ImageChains::styleOf(Registry::GetRegValue(QLatin1String(AppInfo::settingsPath),
                                                      QLatin1String(AppInfo::chainStyleSetting)));
}

void MainWindow::addRecallCommands()
{
    QMenu *tools = findChild<QMenu *>(QStringLiteral("Tools"));
    QAction *recall = tools->addAction(tr("Recall Due Numbers"));
    recall->setObjectName(QStringLiteral("RecallDue"));
    // Its text and tooltip carry the count of numbers due.
    RecallWindow::attach(recall);
    QAction *statistics = tools->addAction(tr("Recall Statistics"));
    statistics->setObjectName(QStringLiteral("RecallStatistics"));
    connect(statistics, &QAction::triggered, this, [] { showBeside<RecallStatisticsWindow>(); });
    auto *button = new QToolButton;
    button->setObjectName(QStringLiteral("RecallButton"));
    button->setDefaultAction(recall);
    button->setIconSize(QSize(36, 36));
    button->setAutoRaise(true);
    button->setFixedSize(Twips::toPixels(615), Twips::toPixels(615));
    findChild<QToolBar *>(QStringLiteral("Toolbar1"))->addWidget(button);
}

// The designed sizes are the smallest the window may be. Collapsed, only the number
// row shows, so only the width may grow; expanded, the window takes the size the user
// last gave it.
void MainWindow::setHeightTwips(int twips)
{
    const bool wasExpanded = m_heightTwips == expandedHeight && isVisible();
    m_heightTwips = twips;
    const QSize designed(Twips::toPixels(clientWidth),
                         menuBar()->sizeHint().height() + Twips::toPixels(twips - frameTwips));
    // The width the user chose stays when the window collapses and expands.
    const int wide =
        isVisible() ? width() : (m_expandedSize.isValid() ? m_expandedSize.width() : 0);
    const int high = m_expandedSize.isValid() ? m_expandedSize.height() : 0;
    setMinimumSize(designed);
    if (twips == collapsedHeight) {
        setMaximumSize(QWIDGETSIZE_MAX, designed.height());
        resize(std::max(wide, designed.width()), designed.height());
        return;
    }
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (!wasExpanded)
        resize(QSize(wide, high).expandedTo(designed));
}

// The two lists share the room the window gains; the buttons between them stay
// between them, Store keeps to the right and the hints stay below the lists.
void MainWindow::placeControls()
{
    const QWidget *client = centralWidget();
    const int wider = std::max(0, client->width() - Twips::toPixels(clientWidth));
    const int taller =
        m_heightTwips == expandedHeight
            ? std::max(0, client->height() - Twips::toPixels(expandedHeight - frameTwips))
            : 0;
    const int left = Twips::toPixels(candidateRoom) + wider / 2;
    const int right = Twips::toPixels(candidateRoom + memoryRoom) + wider;
    m_toolbar->setGeometry(Twips::rect(0, 0, clientWidth, 630).adjusted(0, 0, wider, 0));
    m_number->setGeometry(Twips::rect(2160, 840, 5655, 615).adjusted(0, 0, right, 0));
    m_line->setGeometry(0, Twips::toPixels(1680) - 1, Twips::toPixels(9240) + right, 2);
    m_memoryLabel->setGeometry(Twips::rect(5040, 1920, 2175, 495).translated(left, 0));
    m_candidates->setGeometry(Twips::rect(240, 2400, 3375, 3255).adjusted(0, 0, left, taller));
    m_addButton->setGeometry(Twips::rect(3840, 3600, 735, 450).translated(left, taller / 2));
    m_removeButton->setGeometry(Twips::rect(3840, 4080, 735, 450).translated(left, taller / 2));
    m_memoryWords->setGeometry(
        Twips::rect(4680, 2400, 2655, 3255).adjusted(left, 0, right, taller));
    m_storeButton->setGeometry(Twips::rect(7440, 3720, 615, 615).translated(right, taller / 2));
    m_step1->setGeometry(Twips::rect(240, 5760, 3255, 855).adjusted(0, taller, left, taller));
    m_step2->setGeometry(Twips::rect(4800, 5640, 3015, 975).adjusted(left, taller, right, taller));
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (m_heightTwips == expandedHeight && isVisible())
        m_expandedSize = isMaximized() || isFullScreen() ? normalGeometry().size() : size();
    placeControls();
}

QString MainWindow::getwords() const
{
    return m_chain->getwords();
}

QString MainWindow::GetCurrentNumber() const
{
    return m_chain->GetCurrentNumber();
}

void MainWindow::Launch(const QString &url)
{
    Launcher::open(url);
}

void MainWindow::launchManual()
{
    Launch(QStringLiteral("file://") +
           Registry::GetRegValue(path, QLatin1String(AppInfo::installDirSetting)) +
           QStringLiteral("/docs/numbrill.htm"));
}

void MainWindow::showReview()
{
    // A long list fills the window once it is read.
    ReviewWindow *review = Windows::instance<ReviewWindow>();
    review->load();
    review->show();
    review->raise();
    review->activateWindow();
}

void MainWindow::numberChanged()
{
    setHeightTwips(expandedHeight);
    m_step1->show();
    m_step2->hide();
    keepDigits();

    const QString number = m_number->text();
    if (m_lastNumber.isEmpty())
        m_lastNumber = number;
    const qsizetype grown = number.size() - m_lastNumber.size();
    if (grown < 0) {
        if (grown == -1 && number == m_lastNumber.chopped(1))
            pruneCandidates(number);
        else
            refreshCandidates(number);
    } else if (number.isEmpty()) {
        refreshCandidates(number);
    } else if (grown == 1 && m_lastNumber == number.chopped(1)) {
        lookupWords(number);
    } else {
        refreshCandidates(number);
    }
    m_lastNumber = number;
    fitWordColumn(m_candidates, WordColumn);
    updateStoreButton();
}

// The word column is as wide as the room the other columns leave, wider only for a
// word that needs more; the list always shows its first column after a change.
void MainWindow::fitWordColumn(QTreeView *list, int wordColumn)
{
    // Lays the rows out now, so that the viewport has its final width; before the
    // window is first shown the list is empty and has the whole inside for its columns.
    list->doItemsLayout();
    int room = list->isVisible() ? list->viewport()->width() : list->maximumViewportSize().width();
    // The count and the digits take only the room they need, and leave the rest to
    // the word.
    for (int column = 0; column < wordColumn; ++column) {
        list->resizeColumnToContents(column);
        room -= list->columnWidth(column);
    }
    list->setColumnWidth(
        wordColumn,
        std::max(room, static_cast<QAbstractItemView *>(list)->sizeHintForColumn(wordColumn)));
    list->horizontalScrollBar()->setValue(0);
}

// After ">>" and "<<" typing goes on in the number box, at its end.
void MainWindow::returnToNumber()
{
    m_number->setFocus();
    m_number->end(false);
}

void MainWindow::keepDigits()
{
    const QString text = m_number->text();
    QString digits;
    digits.reserve(text.size());
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9')
            digits += c;
    }
    if (digits.size() == text.size())
        return;
    MessageBox::inform(this, tr("Please enter only numbers."));
    // Runs this handler once more, nested, for the cleaned text.
    m_number->setText(digits);
}

void MainWindow::refreshCandidates(const QString &number)
{
    m_candidates->clear();
    for (qsizetype k = 1; k <= number.size(); ++k)
        lookupWords(number.left(k));
}

void MainWindow::pruneCandidates(const QString &number)
{
    for (int row = m_candidates->topLevelItemCount() - 1; row >= 0; --row) {
        if (number.isEmpty() || m_candidates->topLevelItem(row)->text(ValueColumn) > number)
            delete m_candidates->takeTopLevelItem(row);
    }
}

void MainWindow::lookupWords(const QString &digits)
{
    QString problem;
    const QStringList words = m_dictionary.lookupWords(digits, &problem);
    if (!problem.isEmpty())
        MessageBox::inform(this, problem);
    if (words.isEmpty())
        return;

    const RememberedNumbers *numbers = RememberedNumbers::instance();
    const QList<CandidateRow> rows = Candidates::rowsForRecord(
        words, [numbers](const QString &word) { return numbers->uses(word); });
    QList<QTreeWidgetItem *> items;
    items.reserve(rows.size());
    for (const CandidateRow &row : rows) {
        auto *item = new QTreeWidgetItem({row.countText(), row.value, row.word});
        item->setTextAlignment(ValueColumn, Qt::AlignCenter);
        items.append(item);
    }
    m_candidates->insertTopLevelItems(0, items);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The word column follows the room its list has: a scroll bar that comes or goes
    // changes it as much as the window's size does.
    if (event->type() == QEvent::Resize) {
        if (watched == m_candidates->viewport())
            fitWordColumn(m_candidates, WordColumn);
        else if (watched == m_memoryWords->viewport())
            fitWordColumn(m_memoryWords, MemoryChain::WordColumn);
    }
    // A click anywhere on a list, on a row or not, decides whether its button may act.
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == m_candidates->viewport())
            m_addButton->setEnabled(m_candidates->topLevelItemCount() > 0);
        else if (watched == m_memoryWords->viewport())
            m_removeButton->setEnabled(m_chain->rowCount() > 0);
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::addWord()
{
    const QTreeWidgetItem *candidate = m_candidates->currentItem();
    if (!candidate || !candidate->isSelected())
        return;
    const QString value = candidate->text(ValueColumn);
    const QString word = candidate->text(WordColumn);
    // The candidates may be stale after an edit of the number: only a word whose
    // digits begin the number may take them.
    if (!m_number->text().startsWith(value))
        return;
    chooseWords({{value, word}});
}

// Moves words into the chain as ">>" does, each taking its digits off the front of the
// number box; the box changes once, so the candidates are looked up once for the rest.
void MainWindow::chooseWords(const QList<ChainSearch::Link> &links)
{
    if (links.isEmpty())
        return;
    qsizetype taken = 0;
    for (const ChainSearch::Link &link : links) {
        m_chain->append(link.value, link.word);
        taken += link.value.size();
    }
    m_lastNumber.clear();
    m_number->setText(m_number->text().mid(taken));
    const bool complete = m_number->text().isEmpty();
    m_step2->setVisible(complete);
    m_step1->setVisible(!complete);
    updateStoreButton();
    m_addButton->setEnabled(false);
    m_removeButton->setEnabled(true);
    fitWordColumn(m_memoryWords, MemoryChain::WordColumn);
    returnToNumber();
}

void MainWindow::suggestWords()
{
    if (suggestionOnShow()) {
        showAnotherSuggestion();
        return;
    }
    const QString number = m_number->text();
    if (number.isEmpty())
        return;
    // Every word counts by its uses, so a list still being read is waited for.
    RememberedNumbers *numbers = RememberedNumbers::instance();
    if (numbers->isLoading()) {
        if (!std::exchange(m_suggestWhenLoaded, true)) {
            numbers->whenLoaded(this, [this] {
                m_suggestWhenLoaded = false;
                suggestWords();
            });
        }
        return;
    }
    // The digits in the box when the search starts are searched for; a later press
    // overtakes a search still running. The search gets its own reader of the
    // dictionary and a copy of the usage counts, so nothing it touches is shared with
    // this thread; the ranks are only read.
    m_suggestJob->start([this, numbers] {
        auto dictionary = std::make_shared<Dictionary>(m_dictionary.installDir());
        dictionary->setBlockIndex(m_dictionary.blockIndex());
        auto suggestion = std::make_shared<Suggestion>();
        suggestion->number = m_number->text();
        suggestion->ranks = m_ranks;
        return BackgroundJob::Task{
            [dictionary, usage = numbers->usage(), suggestion, style = chainStyle(),
             dataDir = Installation::dataFolder()](const BackgroundJob::Overtaken &) {
                if (!suggestion->ranks) {
                    // Without a whole ranks file words are ranked by their place in
                    // their record.
                    auto ranks = std::make_shared<WordRanks>();
                    ranks->load(WordRanks::filePath(dictionary->installDir()));
                    suggestion->ranks = ranks;
                }
                if (suggestion->number.isEmpty())
                    return;
                // The images as My Images last saved them; without a file every chunk
                // falls back to words one can picture.
                ImageList images;
                if (style != ImageChains::Style::Pictures)
                    images.load(dataDir);
                suggestion->chains = ImageChains::suggestChains(
                    *dictionary, suggestion->number,
                    [&usage](const QString &word) { return usage.usesOf(word); },
                    *suggestion->ranks, images, style, suggestedChains);
            },
            [this, suggestion] { suggestionFound(*suggestion); }};
    });
}

void MainWindow::suggestionFound(const Suggestion &suggestion)
{
    m_ranks = suggestion.ranks;
    if (m_number->text() != suggestion.number || suggestion.chains.isEmpty())
        return;
    m_suggested = suggestion.chains;
    m_suggestedShown = 0;
    m_rowsBeforeSuggestion = m_chain->rowCount();
    chooseWords(m_suggested.first());
    m_suggestedRest = m_number->text();
    updateSuggestAction();
    m_memoryWords->scrollToBottom();
}

bool MainWindow::suggestionOnShow() const
{
    if (m_suggested.isEmpty() || m_number->text() != m_suggestedRest)
        return false;
    const QList<ChainSearch::Link> &shown = m_suggested.at(m_suggestedShown);
    if (m_chain->rowCount() != m_rowsBeforeSuggestion + shown.size())
        return false;
    for (int i = 0; i < shown.size(); ++i) {
        const int row = m_rowsBeforeSuggestion + i + 1;
        if (m_chain->value(row) != shown.at(i).value || m_chain->word(row) != shown.at(i).word)
            return false;
    }
    return true;
}

// Replaces the suggested links with the next of the suggested chains, after the last
// the first again; the rows chosen before the suggestion stay.
void MainWindow::showAnotherSuggestion()
{
    QString digits;
    while (m_chain->rowCount() > m_rowsBeforeSuggestion) {
        digits.prepend(m_chain->value(m_chain->rowCount()));
        m_chain->removeLast();
    }
    m_number->setText(digits + m_number->text());
    m_suggestedShown = (m_suggestedShown + 1) % m_suggested.size();
    chooseWords(m_suggested.at(m_suggestedShown));
    updateSuggestAction();
    m_memoryWords->scrollToBottom();
}

void MainWindow::updateSuggestAction()
{
    m_suggestWords->setEnabled(!m_number->text().isEmpty() || suggestionOnShow());
}

void MainWindow::removeWords()
{
    // Without a selected row "<<" takes back the last link, and may be pressed again
    // for the one before.
    const QModelIndexList selected = m_memoryWords->selectionModel()->selectedRows();
    if (m_chain->rowCount() == 0)
        return;
    const int first = selected.isEmpty() ? m_chain->rowCount() : selected.first().row() + 1;
    for (int count = m_chain->rowCount() - first + 1; count > 0; --count) {
        const int last = m_chain->rowCount();
        const QString value = m_chain->value(last);
        m_number->setText(value + m_number->text());
        m_chain->removeLast();
    }
    m_addButton->setEnabled(false);
    m_removeButton->setEnabled(selected.isEmpty() && m_chain->rowCount() > 0);
    updateStoreButton();
    fitWordColumn(m_memoryWords, MemoryChain::WordColumn);
    returnToNumber();
}

void MainWindow::updateStoreButton()
{
    m_storeButton->setEnabled(m_number->text().isEmpty() && m_chain->rowCount() > 0);
}

void MainWindow::store()
{
    updateStoreButton();
    if (!m_storeButton->isEnabled())
        return;

    StoreDialog *review = Windows::instance<StoreDialog>();
    if (review->parentWidget() != this)
        review->setParent(this, review->windowFlags());
    review->clearDescription();
    review->setwords(getwords());
    // Accepted when the chain was stored, or dropped on purpose.
    if (review->exec() != QDialog::Accepted)
        return;
    m_chain->clear();
    setHeightTwips(collapsedHeight);
    m_removeButton->setEnabled(false);
    updateStoreButton();
    updateSuggestAction();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_expandedSize.isValid())
        WindowSize::remember(m_expandedSize, AppInfo::mainSizeSetting);
    if (ReviewWindow *review = Windows::existing<ReviewWindow>())
        review->hide();
    ExitSave::run(this);
    if (QuizDialog *quiz = Windows::existing<QuizDialog>())
        quiz->close();
    if (StoreDialog *review = Windows::existing<StoreDialog>())
        review->hide();
    if (FirstTime *notice = Windows::existing<FirstTime>())
        notice->close();
    event->accept();
}
