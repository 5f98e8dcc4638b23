#include "images/MyImagesWindow.h"

#include "core/QuotedLineFile.h"
#include "images/ImageChoices.h"
#include "images/ImageList.h"
#include "images/ImageTableModel.h"
#include "remembered/RememberedNumbers.h"
#include "settings/Installation.h"
#include "ui/MessageBox.h"
#include "ui/Twips.h"
#include "ui/Windows.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolTip>
#include <QVBoxLayout>

#include <utility>

namespace {

// How often the user has used each memory word in their remembered numbers.
const WordUsage &usageCounts()
{
    return RememberedNumbers::instance()->usage();
}

// Edits an image in a combo box that offers the key's words and takes any typed word;
// marks an image whose letters spell other digits.
class ImageDelegate : public QStyledItemDelegate
{
public:
    explicit ImageDelegate(MyImagesWindow *window) : QStyledItemDelegate(window), m_window(window)
    {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &index) const override
    {
        auto *box = new QComboBox(parent);
        box->setObjectName(QStringLiteral("imageEditor"));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        const auto *model = static_cast<const ImageTableModel *>(index.model());
        box->addItems(m_window->choicesFor(model->keyAt(index.row())));
        return box;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        static_cast<QComboBox *>(editor)->setEditText(index.data(Qt::EditRole).toString());
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override
    {
        const QString word = static_cast<QComboBox *>(editor)->currentText();
        if (!ImageList::canHold(word)) {
            MessageBox::inform(m_window, QuotedLineFile::unwritableError(word),
                               QMessageBox::Warning);
            return;
        }
        model->setData(index, word);
    }

    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override
    {
        const QString tip = index.data(Qt::ToolTipRole).toString();
        if (event->type() != QEvent::ToolTip || tip.isEmpty())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        // The tip holds a word the user typed, which is never read as markup.
        QToolTip::showText(event->globalPos(), QStringLiteral("<p>%1</p>").arg(tip.toHtmlEscaped()),
                           view);
        return true;
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!index.data(ImageTableModel::MarkedRole).toBool())
            return;
        option->features |= QStyleOptionViewItem::HasDecoration;
        option->icon = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        option->font.setItalic(true);
    }

private:
    MyImagesWindow *m_window;
};

} // namespace

MyImagesWindow::MyImagesWindow(QWidget *parent)
    : QWidget(parent), m_model(new ImageTableModel(this))
{
    setObjectName(QStringLiteral("MyImages"));
    setWindowTitle(tr("My Images"));
    resize(Twips::toPixels(5400), Twips::toPixels(7200));

    m_threeDigits = new QCheckBox(tr("Show the keys 000 to 999"), this);
    m_threeDigits->setObjectName(QStringLiteral("threeDigitKeys"));

    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("imageTable"));
    m_table->setModel(m_model);
    m_table->setItemDelegateForColumn(ImageTableModel::ImageColumn, new ImageDelegate(this));
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setColumnWidth(ImageTableModel::KeyColumn, Twips::toPixels(900));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_threeDigits);
    layout->addWidget(m_table);

    connect(m_threeDigits, &QCheckBox::toggled, this, [this](bool shown) {
        if (shown == m_model->images().threeDigitKeysShown())
            return;
        m_model->setThreeDigitKeysShown(shown);
        save();
    });
    connect(m_model, &ImageTableModel::imageChanged, this, &MyImagesWindow::save);
}

MyImagesWindow::~MyImagesWindow() = default;

void MyImagesWindow::open()
{
    if (!isVisible())
        load();
    show();
    raise();
    activateWindow();
}

void MyImagesWindow::load()
{
    m_dataDir = Installation::dataFolder();
    m_saveBlocked = false;
    m_saveFailed = false;
    ImageList images;
    ImageList::removeStaleTemporaries(m_dataDir);
    const ImageList::LoadResult result = images.load(m_dataDir);
    switch (result.status) {
    case ImageList::LoadStatus::Loaded:
        break;
    case ImageList::LoadStatus::Missing: {
        // The first time: each key starts from its best picture word.
        const WordRanks &wordRanks = ranks();
        const WordUsage &usage = usageCounts();
        ImageChoices::prefill(
            images, m_dictionary, [&usage](const QString &word) { return usage.usesOf(word); },
            wordRanks);
        m_model->setImages(images);
        // Without a dictionary there is nothing to keep; the next opening tries again.
        if (images.size() > 0)
            save();
        break;
    }
    case ImageList::LoadStatus::Damaged:
        MessageBox::inform(this,
                           tr("Not all of your images could be read: %1\n\nThe images read "
                              "are shown; your next change saves them in place of the file.")
                               .arg(result.problem),
                           QMessageBox::Warning);
        break;
    case ImageList::LoadStatus::Unreadable:
        m_saveBlocked = true;
        MessageBox::inform(this,
                           tr("Your images could not be read: %1\n\nChanges made now are not "
                              "saved, so that the file stays as it is.")
                               .arg(result.problem),
                           QMessageBox::Warning);
        break;
    }
    m_model->setImages(images);
    m_threeDigits->setChecked(images.threeDigitKeysShown());
}

void MyImagesWindow::save()
{
    if (m_saveBlocked)
        return;
    QString error;
    if (m_model->images().save(m_dataDir, &error)) {
        m_saveFailed = false;
        return;
    }
    if (std::exchange(m_saveFailed, true))
        return;
    MessageBox::inform(this,
                       tr("Your images could not be saved: %1\n\nThey are tried again with "
                          "your next change.")
                           .arg(error),
                       QMessageBox::Warning);
}

QStringList MyImagesWindow::choicesFor(const QString &key)
{
    const WordUsage &usage = usageCounts();
    return ImageChoices::wordsFor(
        m_dictionary, key, [&usage](const QString &word) { return usage.usesOf(word); }, ranks());
}

const WordRanks &MyImagesWindow::ranks()
{
    // Only a registered installation's dictionary, never one in a folder relative to
    // the current one.
    const QString dictionaryFolder = Installation::dictionaryFolder();
    const QString installDir =
        dictionaryFolder.isEmpty() ? QString() : QFileInfo(dictionaryFolder).path();
    if (!m_ranks || installDir != m_dictionary.installDir()) {
        m_dictionary.setInstallDir(installDir);
        m_dictionary.setBlockIndex({});
        m_ranks = std::make_unique<WordRanks>();
        if (!installDir.isEmpty()) {
            m_dictionary.loadIndex();
            // Without a whole ranks file words are ranked by their place in their record.
            m_ranks->load(WordRanks::filePath(installDir));
        }
    }
    return *m_ranks;
}
