#include "remembered/ReviewWindow.h"

#include "core/AppInfo.h"
#include "remembered/RememberedList.h"
#include "remembered/RememberedNumbers.h"
#include "remembered/TransferFile.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"
#include "ui/Twips.h"
#include "ui/WindowParts.h"
#include "ui/WindowSize.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeView>

namespace {

constexpr int clientWidth = 10545;
constexpr int clientHeight = 9555;

} // namespace

ReviewWindow::ReviewWindow(QWidget *parent) : QWidget(parent), m_numbers(RememberedNumbers::instance())
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(tr("Remembered Numbers"));
    // Opens at its designed size; a user with many numbers may make it bigger.
    setMinimumSize(Twips::toPixels(clientWidth), Twips::toPixels(clientHeight));
    resize(minimumSize());

    m_view = new QTreeView(this);
    m_view->setObjectName(QStringLiteral("ListView1"));
    m_view->setModel(m_numbers->model());
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

    // Says what long work on the list is running, beside the buttons that start it.
    m_busyLine = WindowParts::label(this, "BusyLine");
    m_busyLine->setTextFormat(Qt::PlainText);
    Twips::place(m_busyLine, 360, 60, 3240, 375);
    m_busyLine->setText(m_numbers->busyText());

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

    connect(close, &QPushButton::clicked, this, &ReviewWindow::close);
    connect(forget, &QPushButton::clicked, this, &ReviewWindow::forgetSelection);
    connect(exportButton, &QPushButton::clicked, this, &ReviewWindow::exportClicked);
    connect(importButton, &QPushButton::clicked, this, &ReviewWindow::importClicked);
    connect(flashCardButton, &QPushButton::clicked, this, &ReviewWindow::flashCardsClicked);
    connect(m_search, &QLineEdit::textChanged, this, &ReviewWindow::searchBoxEdited);
    connect(m_numbers, &RememberedNumbers::loaded, this, &ReviewWindow::reportLoad);
    connect(m_numbers, &RememberedNumbers::saved, this, &ReviewWindow::reportSave);
    connect(m_numbers, &RememberedNumbers::imported, this, &ReviewWindow::reportImport);
    connect(m_numbers, &RememberedNumbers::fileWritten, this, &ReviewWindow::reportFile);
    connect(m_numbers, &RememberedNumbers::busyChanged, m_busyLine, &QLabel::setText);
    // The list goes with the quiz too: nothing is left to show.
    connect(m_numbers, &RememberedNumbers::unloaded, this, &ReviewWindow::hide);
    // The direction is always ascending; a click only chooses the column.
    connect(m_view->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        m_numbers->sort(column);
        m_view->header()->setSortIndicator(m_numbers->sortColumn(), Qt::AscendingOrder);
    });
    m_view->header()->setSortIndicator(m_numbers->sortColumn(), Qt::AscendingOrder);

    WindowSize::restore(this, AppInfo::reviewSizeSetting);
}

ReviewWindow::~ReviewWindow() = default;

void ReviewWindow::load()
{
    if (!m_numbers->isLoaded() && !m_numbers->isLoading()) {
        sizeColumns();
        m_view->header()->setSortIndicator(RememberedList::DescriptionColumn, Qt::AscendingOrder);
        m_lastFound = 1;
        m_searchText.clear();
    }
    m_numbers->load();
}

void ReviewWindow::reportLoad(RememberedFile::LoadStatus status)
{
    // Leaving, there is no one to tell.
    if (m_numbers->isExiting())
        return;
    const RememberedNumbers *list = m_numbers;
    const QString file = QDir::toNativeSeparators(RememberedFile::filePath(list->dataDir()));
    const QString copy = QDir::toNativeSeparators(RememberedFile::workingCopyPath(list->dataDir()));
    QStringList notes;
    if (status == RememberedFile::LoadStatus::WorkingCopyInstead) {
        notes.append(tr("Your remembered numbers could not be read from %1 (%2). They were "
                        "loaded from %3, the copy made by the last save. Numbers you store "
                        "now are saved to %3 only; %1 is left as it is.")
                         .arg(file, list->lastError(), copy));
    } else if (status == RememberedFile::LoadStatus::Unreadable && list->savesWorkingCopyOnly()) {
        notes.append(tr("Your remembered numbers could not be read from %1 (%2), and there is "
                        "no copy in %3. Numbers you store now are saved to %3 only; %1 is left "
                        "as it is.")
                         .arg(file, list->lastError(), copy));
    } else if (status == RememberedFile::LoadStatus::Unreadable && !list->dataDir().isEmpty()) {
        // Without a data folder the main window has already said that Numbrill is not
        // registered.
        notes.append(tr("Your remembered numbers could not be read (%1). Numbers you store now "
                        "are kept until Numbrill ends, but the files are left as they are.")
                         .arg(list->lastError()));
    }
    if (list->blankedEntries() > 0) {
        notes.append(tr("%n of your remembered numbers held a double quote or a line break in "
                        "their text, which the list cannot keep; each is now a blank.",
                        nullptr, list->blankedEntries()));
    }
    if (!notes.isEmpty())
        MessageBox::inform(this, notes.join(u"\n\n"), QMessageBox::Warning);
}

// The list takes all the room the window gains; the row below it moves down with
// the bottom edge, its search box widening and Close keeping to the right.
void ReviewWindow::placeControls()
{
    const int wider = width() - Twips::toPixels(clientWidth);
    const int taller = height() - Twips::toPixels(clientHeight);
    m_view->setGeometry(Twips::rect(360, 480, 9615, 8055).adjusted(0, 0, wider, taller));
    m_forget->setGeometry(Twips::rect(600, 8640, 2055, 495).translated(0, taller));
    m_search->setGeometry(Twips::rect(3240, 8640, 4095, 495).adjusted(0, taller, wider, taller));
    m_close->setGeometry(Twips::rect(7920, 8640, 2055, 495).translated(wider, taller));
}

void ReviewWindow::sizeColumns()
{
    const int width = m_view->width();
    // Wide enough for a number of 16 digits (a card or account number) whatever the font.
    const int sixteenDigits =
        m_view->fontMetrics().horizontalAdvance(QStringLiteral("0000000000000000")) +
        2 * (m_view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_view) + 1) + 4;
    m_view->setColumnWidth(RememberedList::ValueColumn, std::max(width / 8, sixteenDigits));
    m_view->setColumnWidth(RememberedList::DescriptionColumn, width / 3);
}

void ReviewWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeControls();
    sizeColumns();
}

void ReviewWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    WindowSize::remember(this, AppInfo::reviewSizeSetting);
}

void ReviewWindow::reportSave(bool saved, const QString &error)
{
    if (saved) {
        m_saveFailureReported = false;
        return;
    }
    // Leaving, the user is asked what to do instead.
    if (m_saveFailureReported || m_numbers->isExiting())
        return;
    m_saveFailureReported = true;
    MessageBox::inform(this,
                       tr("Your remembered numbers could not be saved.\n\n%1\n\nThey are kept "
                          "while Numbrill runs, and saved again with your next change.")
                           .arg(error),
                       QMessageBox::Critical);
}

void ReviewWindow::unload()
{
    hide();
    m_numbers->unload();
}

void ReviewWindow::closeEvent(QCloseEvent *event)
{
    unload();
    event->accept();
}

bool ReviewWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress &&
        searchKey(static_cast<QKeyEvent *>(event))) {
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// Letters, digits, the space bar, Backspace and Enter typed into the list edit the
// search; every other key keeps its usual meaning there.
bool ReviewWindow::searchKey(const QKeyEvent *event)
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

void ReviewWindow::searchBoxEdited(const QString &text)
{
    m_searchText = text;
    findNext();
}

void ReviewWindow::selectRow(int position, bool reveal)
{
    const QModelIndex index = m_numbers->model()->index(position - 1, 0);
    m_view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    if (reveal) {
        m_view->scrollTo(index);
        m_view->setFocus();
    }
}

void ReviewWindow::findNext()
{
    m_view->clearSelection();
    const RememberedList *list = m_numbers->model();
    const int rows = list->entryCount();
    int position = list->findDescription(m_searchText, m_lastFound + 1, rows);
    if (position > 0) {
        selectRow(position, true);
        m_lastFound = position;
        return;
    }
    position = list->findDescription(m_search->text(), 1, std::min(m_lastFound, rows));
    if (position > 0) {
        selectRow(position, false);
        m_lastFound = position;
    }
}

void ReviewWindow::forgetSelection()
{
    // The row on show, wherever work still running moves it.
    const auto selectedPosition = [this] {
        int position = 0;
        for (const QModelIndex &index : m_view->selectionModel()->selectedRows())
            position = std::max(position, index.row() + 1);
        return position;
    };
    if (selectedPosition() == 0)
        return;
    const QString description = m_numbers->entry(selectedPosition()).Description;
    const MessageBox::Button answer = MessageBox::show(
        this, tr("Confirm Delete"), tr("Do you want to delete entry for ") + description,
        QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        m_numbers->forget(selectedPosition());
}

void ReviewWindow::exportClicked()
{
    const QString chosen = FileDialog::getSaveFileName(this, tr("Export"), m_fileName,
                                                       tr("txt (*.txt)"), QStringLiteral("txt"));
    if (chosen.isEmpty())
        return;
    m_fileName = chosen;
    m_writing.append(chosen);
    m_numbers->exportFile(chosen);
}

void ReviewWindow::importClicked()
{
    const QString chosen =
        FileDialog::getOpenFileName(this, tr("Import"), m_fileName, tr("txt (*.txt)"), m_writing);
    if (chosen.isEmpty())
        return;
    m_fileName = chosen;
    m_numbers->importFile(chosen);
}

void ReviewWindow::flashCardsClicked()
{
    const QString chosen =
        FileDialog::getSaveFileName(this, tr("Export for Flash Cards"), m_flashCardFileName,
                                    tr("Text files (*.txt)"), QStringLiteral("txt"));
    if (chosen.isEmpty())
        return;
    m_flashCardFileName = chosen;
    m_writing.append(chosen);
    m_numbers->writeFlashCards(chosen);
}

// `text` holds %1 for the file and %2 for the system's reason.
void ReviewWindow::warnAboutFile(const QString &text, const QString &filename, const QString &reason)
{
    MessageBox::inform(this, text.arg(QDir::toNativeSeparators(filename), reason),
                       QMessageBox::Warning);
}

void ReviewWindow::reportFile(const QString &filename, bool flashCards, bool written, const QString &error)
{
    m_writing.removeOne(filename);
    if (written)
        return;
    warnAboutFile(flashCards ? tr("The flash cards could not be written to %1.\n\n%2")
                             : tr("The list could not be exported to %1.\n\n%2"),
                  filename, error);
}

void ReviewWindow::reportImport(const QString &filename, const TransferFile::ImportResult &result)
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
