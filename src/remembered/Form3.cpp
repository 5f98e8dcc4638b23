#include "remembered/Form3.h"

#include "core/AppInfo.h"
#include "core/BackgroundJob.h"
#include "remembered/FlashCardFile.h"
#include "remembered/RememberedList.h"
#include "remembered/TransferFile.h"
#include "settings/Installation.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"
#include "ui/Twips.h"
#include "ui/WindowParts.h"
#include "ui/WindowSize.h"
#include "ui/Windows.h"
#include "workspace/Form1.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeView>

namespace {

constexpr int clientWidth = 10545;
constexpr int clientHeight = 9555;

} // namespace

Form3::Form3(QWidget *parent)
    : QWidget(parent), m_list(new RememberedList(this)), m_fileJob(new BackgroundJob(this))
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(tr("Remembered Numbers"));
    // Opens at its designed size; a user with many numbers may make it bigger.
    setMinimumSize(Twips::toPixels(clientWidth), Twips::toPixels(clientHeight));
    resize(minimumSize());

    m_view = new QTreeView(this);
    m_view->setObjectName(QStringLiteral("ListView1"));
    m_view->setModel(m_list);
    m_view->setRootIsDecorated(false);
    m_view->setUniformRowHeights(true);
    m_view->setAllColumnsShowFocus(true);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    // The words take the room the other columns leave, so nothing scrolls sideways.
    m_view->header()->setStretchLastSection(true);
    m_view->header()->setSectionsClickable(true);
    m_view->header()->setSortIndicatorShown(true);
    m_view->installEventFilter(this);

    auto *forget = WindowParts::button(this, "Command1", tr("forget selection"));
    forget->setFont(WindowParts::font(QStringLiteral("Times New Roman"), 12));
    m_forget = forget;

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("Text1"));

    auto *importButton = WindowParts::button(this, "ImportButton", tr("Import"));
    Twips::place(importButton, 5040, 0, 1215, 375);
    auto *exportButton = WindowParts::button(this, "ExportButton", tr("Export"));
    Twips::place(exportButton, 3720, 0, 1215, 375);
    auto *flashCardButton =
        WindowParts::button(this, "FlashCardButton", tr("Export for Flash Cards..."));
    Twips::place(flashCardButton, 6360, 0, 2415, 375);

    auto *close = WindowParts::button(this, "Close", tr("Close"));
    m_close = close;
    placeControls();

    setTabOrder(m_view, forget);
    setTabOrder(forget, m_search);
    setTabOrder(m_search, importButton);
    setTabOrder(importButton, exportButton);
    setTabOrder(exportButton, flashCardButton);
    setTabOrder(flashCardButton, close);

    connect(close, &QPushButton::clicked, this, &Form3::close);
    connect(forget, &QPushButton::clicked, this, &Form3::forgetSelection);
    connect(exportButton, &QPushButton::clicked, this, &Form3::exportClicked);
    connect(importButton, &QPushButton::clicked, this, &Form3::importClicked);
    connect(flashCardButton, &QPushButton::clicked, this, &Form3::flashCardsClicked);
    connect(m_search, &QLineEdit::textChanged, this, &Form3::searchBoxEdited);
    connect(m_list, &RememberedList::loadFinished, this, &Form3::reportLoad);
    connect(m_list, &RememberedList::saveFinished, this, &Form3::reportSave);
    connect(m_list, &RememberedList::importFinished, this, &Form3::reportImport);
    connect(m_list, &RememberedList::idle, this, &Form3::unloadWhenIdle);
    // The direction is always ascending; a click only chooses the column.
    connect(m_view->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        m_list->setSortColumn(column);
        m_view->header()->setSortIndicator(m_list->sortColumn(), Qt::AscendingOrder);
    });

    WindowSize::restore(this, AppInfo::reviewSizeSetting);
}

Form3::~Form3()
{
    // Normally saved long before; the window may go without the program ending in
    // an orderly way, and there is no one left to ask then. A list still being read
    // arrives first, with any number stored meanwhile.
    m_exiting = true;
    m_list->settle();
    if (m_list->isLoaded() && !m_quitWithoutSaving)
        m_list->SaveNumbers();
}

void Form3::load()
{
    loadInBackground();
    m_list->settle();
}

void Form3::loadInBackground()
{
    m_unloadPending = false;
    if (m_list->isLoading() || m_list->isLoaded())
        return;
    prepareLoad();
    // A list of some thousand numbers is read in a few milliseconds; reading it at
    // once has its counts ready for the first key press. An entry takes about 50
    // bytes of the file.
    const auto isLong = [](const QString &path) {
        return QFileInfo(path).size() / 50 >= RememberedList::longList();
    };
    if (!isLong(RememberedFile::filePath(m_list->dataDir())) &&
        !isLong(RememberedFile::workingCopyPath(m_list->dataDir()))) {
        reportLoad(m_list->readnumbers());
        return;
    }
    m_list->startLoading();
}

void Form3::prepareLoad()
{
    sizeColumns();
    m_list->setSortColumn(RememberedList::DescriptionColumn);
    m_view->header()->setSortIndicator(RememberedList::DescriptionColumn, Qt::AscendingOrder);
    m_lastFound = 1;
    m_searchText.clear();

    m_list->setDataDir(Installation::dataFolder());
}

void Form3::reportLoad(RememberedFile::LoadStatus status)
{
    // Numbers stored while the list was read join it before anything else can happen,
    // and are saved once the user has heard about the load.
    const QList<RememberedEntry> stored = std::exchange(m_storedMeanwhile, {});
    for (const RememberedEntry &entry : stored)
        m_list->addEntry(entry.Value, entry.Description, entry.Words);
    if (m_exiting) {
        emit listLoaded();
        return;
    }
    const QString file = QDir::toNativeSeparators(RememberedFile::filePath(m_list->dataDir()));
    const QString copy =
        QDir::toNativeSeparators(RememberedFile::workingCopyPath(m_list->dataDir()));
    QStringList notes;
    if (status == RememberedFile::LoadStatus::WorkingCopyInstead) {
        notes.append(tr("Your remembered numbers could not be read from %1 (%2). They were "
                        "loaded from %3, the copy made by the last save. Numbers you store "
                        "now are saved to %3 only; %1 is left as it is.")
                         .arg(file, m_list->lastError(), copy));
    } else if (status == RememberedFile::LoadStatus::Unreadable && m_list->savesWorkingCopyOnly()) {
        notes.append(tr("Your remembered numbers could not be read from %1 (%2), and there is "
                        "no copy in %3. Numbers you store now are saved to %3 only; %1 is left "
                        "as it is.")
                         .arg(file, m_list->lastError(), copy));
    } else if (status == RememberedFile::LoadStatus::Unreadable && !m_list->dataDir().isEmpty()) {
        // Without a data folder the main window has already said that Numbrill is not
        // registered.
        notes.append(tr("Your remembered numbers could not be read (%1). Numbers you store now "
                        "are kept until Numbrill ends, but the files are left as they are.")
                         .arg(m_list->lastError()));
    }
    if (m_list->blankedEntries() > 0) {
        notes.append(tr("%n of your remembered numbers held a double quote or a line break in "
                        "their text, which the list cannot keep; each is now a blank.",
                        nullptr, m_list->blankedEntries()));
    }
    if (!notes.isEmpty())
        MessageBox::inform(this, notes.join(u"\n\n"), QMessageBox::Warning);
    if (!stored.isEmpty())
        saveChanges();
    emit listLoaded();
}

// The list takes all the room the window gains; the row below it moves down with
// the bottom edge, its search box widening and Close keeping to the right.
void Form3::placeControls()
{
    const int wider = width() - Twips::toPixels(clientWidth);
    const int taller = height() - Twips::toPixels(clientHeight);
    m_view->setGeometry(Twips::rect(360, 480, 9615, 8055).adjusted(0, 0, wider, taller));
    m_forget->setGeometry(Twips::rect(600, 8640, 2055, 495).translated(0, taller));
    m_search->setGeometry(Twips::rect(3240, 8640, 4095, 495).adjusted(0, taller, wider, taller));
    m_close->setGeometry(Twips::rect(7920, 8640, 2055, 495).translated(wider, taller));
}

void Form3::sizeColumns()
{
    const int width = m_view->width();
    // Wide enough for a number of 16 digits (a card or account number) whatever the font.
    const int sixteenDigits =
        m_view->fontMetrics().horizontalAdvance(QStringLiteral("0000000000000000")) +
        2 * (m_view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_view) + 1) + 4;
    m_view->setColumnWidth(RememberedList::ValueColumn, std::max(width / 8, sixteenDigits));
    m_view->setColumnWidth(RememberedList::DescriptionColumn, width / 3);
}

void Form3::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeControls();
    sizeColumns();
}

void Form3::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    WindowSize::remember(this, AppInfo::reviewSizeSetting);
}

bool Form3::isLoaded() const
{
    return m_list->isLoaded();
}

bool Form3::isBusy() const
{
    return m_list->isBusy() || m_fileJob->isRunning();
}

// The one place the list is written while the program runs.
void Form3::saveChanges()
{
    m_list->startSaving();
}

void Form3::reportSave(bool saved, const QString &error)
{
    if (saved) {
        m_saveFailureReported = false;
        return;
    }
    // Leaving, the user is asked what to do instead.
    if (m_saveFailureReported || m_exiting)
        return;
    m_saveFailureReported = true;
    MessageBox::inform(this,
                       tr("Your remembered numbers could not be saved.\n\n%1\n\nThey are kept "
                          "while Numbrill runs, and saved again with your next change.")
                           .arg(error),
                       QMessageBox::Critical);
}

void Form3::unload()
{
    hide();
    m_unloadPending = true;
    m_unloadSaved = false;
    unloadWhenIdle();
}

void Form3::unloadWhenIdle()
{
    if (!m_unloadPending || m_list->isBusy())
        return;
    if (m_list->changed() && !m_unloadSaved) {
        m_unloadSaved = true;
        saveChanges();
        if (m_list->isBusy())
            return;
    }
    m_unloadPending = false;
    if (m_list->isLoaded() && !m_list->changed())
        m_list->unload();
}

void Form3::unloadForExit()
{
    hide();
    // What the load changed (blanks, a list back from rv2.db) is saved too; there is
    // no one left to tell about the load.
    m_exiting = true;
    m_unloadPending = false;
    m_fileJob->wait();
    m_list->settle();
    if (!m_list->isLoaded())
        return;
    QString error;
    while (!m_list->SaveNumbers(&error)) {
        const MessageBox::Button answer = MessageBox::show(
            this, MessageBox::appTitle(),
            tr("Your remembered numbers could not be saved.\n\n%1").arg(error),
            QMessageBox::Critical, QMessageBox::Retry | QMessageBox::Discard, QMessageBox::Retry,
            {{QMessageBox::Discard, tr("Quit without saving")}});
        if (answer != QMessageBox::Retry) {
            m_quitWithoutSaving = true;
            break;
        }
    }
    m_list->unload();
}

void Form3::closeEvent(QCloseEvent *event)
{
    unload();
    event->accept();
}

void Form3::addEntry(const QString &desc, const QString &words)
{
    const Form1 *main = Windows::existing<Form1>();
    const RememberedEntry entry{main ? main->GetCurrentNumber() : QString(), desc, words};
    // A long list is read on a thread first; the entry joins it when it arrives.
    loadInBackground();
    if (m_list->isLoading()) {
        m_storedMeanwhile.append(entry);
        return;
    }
    m_list->addEntry(entry.Value, entry.Description, entry.Words);
    saveChanges();
}

int Form3::getcount(const QString &word) const
{
    return m_list->getcount(word);
}

const WordUsage &Form3::usage() const
{
    // The word tables and the chain search want every count; only the candidate
    // counts (getcount) are shown before a long list has arrived.
    if (m_list->isLoading())
        m_list->settle();
    return m_list->usage();
}

WordCollection Form3::wordc() const
{
    return usage().collection();
}

bool Form3::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress &&
        searchKey(static_cast<QKeyEvent *>(event))) {
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// Letters, digits, the space bar, Backspace and Enter typed into the list edit the
// search; every other key keeps its usual meaning there.
bool Form3::searchKey(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const int key = event->key();
    const bool shift = modifiers & Qt::ShiftModifier;

    if (key == Qt::Key_Shift)
        return true;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // The box already holds the text, so setting it again searches nothing;
        // Enter searches exactly once.
        m_search->setText(m_searchText);
        findNext();
        return true;
    }
    if (key == Qt::Key_Backspace) {
        m_searchText.chop(1);
    } else if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        m_searchText += QChar(u'0' + (key - Qt::Key_0));
    } else if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        const QChar letter(u'A' + (key - Qt::Key_A));
        m_searchText += shift ? letter : letter.toLower();
    } else if (key == Qt::Key_Space) {
        m_searchText += u' ';
    } else {
        return false;
    }
    m_search->setText(m_searchText);
    return true;
}

void Form3::searchBoxEdited(const QString &text)
{
    m_searchText = text;
    findNext();
}

void Form3::selectRow(int position, bool reveal)
{
    const QModelIndex index = m_list->index(position - 1, 0);
    m_view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    if (reveal) {
        m_view->scrollTo(index);
        m_view->setFocus();
    }
}

void Form3::findNext()
{
    m_view->clearSelection();
    const int rows = m_list->entryCount();
    int position = m_list->findDescription(m_searchText, m_lastFound + 1, rows);
    if (position > 0) {
        selectRow(position, true);
        m_lastFound = position;
        return;
    }
    position = m_list->findDescription(m_search->text(), 1, std::min(m_lastFound, rows));
    if (position > 0) {
        selectRow(position, false);
        m_lastFound = position;
    }
}

void Form3::forgetSelection()
{
    // The rows in the order on show: a sort of a long list may still be running.
    m_list->settle();
    const QModelIndexList selected = m_view->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return;
    int position = 0;
    for (const QModelIndex &index : selected)
        position = std::max(position, index.row() + 1);

    const QString description = m_list->entry(position).Description;
    const MessageBox::Button answer = MessageBox::show(
        this, tr("Confirm Delete"), tr("Do you want to delete entry for ") + description,
        QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer == QMessageBox::Yes && m_list->removeEntry(position))
        saveChanges();
}

void Form3::exportClicked()
{
    const QString chosen = FileDialog::getSaveFileName(this, tr("Export"), m_fileName,
                                                       tr("txt (*.txt)"), QStringLiteral("txt"));
    if (chosen.isEmpty())
        return;
    m_fileName = chosen;
    ExportDb(chosen);
}

void Form3::importClicked()
{
    const QString chosen =
        FileDialog::getOpenFileName(this, tr("Import"), m_fileName, tr("txt (*.txt)"));
    if (chosen.isEmpty())
        return;
    m_fileName = chosen;
    ImportDb(chosen);
}

void Form3::flashCardsClicked()
{
    const QString chosen =
        FileDialog::getSaveFileName(this, tr("Export for Flash Cards"), m_flashCardFileName,
                                    tr("Text files (*.txt)"), QStringLiteral("txt"));
    if (chosen.isEmpty())
        return;
    m_flashCardFileName = chosen;
    exportFlashCards(chosen);
}

// `text` holds %1 for the file and %2 for the system's reason.
void Form3::warnAboutFile(const QString &text, const QString &filename, const QString &reason)
{
    MessageBox::inform(this, text.arg(QDir::toNativeSeparators(filename), reason),
                       QMessageBox::Warning);
}

void Form3::writeFile(const QString &filename, const QString &failure,
                      const std::function<bool(const PackedEntries &, QString *)> &write)
{
    // Every row, in the order on show.
    load();
    auto outcome = std::make_shared<std::pair<bool, QString>>();
    const auto work = [outcome, rows = m_list->rows(), write] {
        outcome->first = write(rows, &outcome->second);
    };
    const auto done = [this, outcome, filename, failure] {
        if (!outcome->first)
            warnAboutFile(failure, filename, outcome->second);
    };
    if (m_list->entryCount() < RememberedList::longList()) {
        work();
        done();
        return;
    }
    m_fileJob->start(work, done);
}

void Form3::exportFlashCards(const QString &filename)
{
    writeFile(filename, tr("The flash cards could not be written to %1.\n\n%2"),
              [filename](const PackedEntries &rows, QString *error) {
                  return FlashCardFile::write(rows, filename, error);
              });
}

void Form3::ExportDb(const QString &filename)
{
    writeFile(filename, tr("The list could not be exported to %1.\n\n%2"),
              [filename](const PackedEntries &rows, QString *error) {
                  return TransferFile::exportList(rows, filename, error);
              });
}

void Form3::ImportDb(const QString &filename)
{
    // The file may be the one an export is still writing.
    m_fileJob->wait();
    load();
    m_list->startImport(filename);
}

void Form3::reportImport(const QString &filename, const TransferFile::ImportResult &result)
{
    if (result.status == TransferFile::ImportResult::Unreadable) {
        warnAboutFile(tr("The file %1 could not be read: %2"), filename, result.error);
        return;
    }
    if (result.status == TransferFile::ImportResult::InvalidHeader) {
        MessageBox::inform(this,
                           tr("Invalid Format. You can only import files exported from Numbrill."));
        return;
    }
    saveChanges();
    QStringList notes;
    if (result.status == TransferFile::ImportResult::Incomplete) {
        notes.append(
            tr("The file %1 ends in the middle of an entry. Entries imported before it: %2.")
                .arg(QDir::toNativeSeparators(filename))
                .arg(result.imported));
    }
    if (result.skipped > 0) {
        notes.append(tr("Entries not imported because their number or description contains a "
                        "colon: %1.")
                         .arg(result.skipped));
    }
    if (result.blanked > 0) {
        notes.append(tr("Entries imported with a blank in place of a double quote: %1.")
                         .arg(result.blanked));
    }
    if (!notes.isEmpty())
        MessageBox::inform(this, notes.join(u'\n'), QMessageBox::Warning);
}
