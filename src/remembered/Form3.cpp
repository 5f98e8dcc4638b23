#include "remembered/Form3.h"

#include "core/AppInfo.h"
#include "remembered/RememberedList.h"
#include "settings/Registry.h"
#include "workspace/Form1.h"
#include "workspace/MessageBox.h"
#include "workspace/Twips.h"
#include "workspace/Windows.h"

#include <QCloseEvent>
#include <QDir>
#include <QFont>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

Form3::Form3(QWidget *parent) : QWidget(parent), m_list(new RememberedList(this))
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(tr("Remembered Numbers"));
    setFixedSize(Twips::toPixels(10545), Twips::toPixels(9555));

    m_view = new QTreeView(this);
    m_view->setObjectName(QStringLiteral("ListView1"));
    m_view->setModel(m_list);
    m_view->setRootIsDecorated(false);
    m_view->setUniformRowHeights(true);
    m_view->setAllColumnsShowFocus(true);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->header()->setStretchLastSection(false);
    Twips::place(m_view, 360, 480, 9615, 8055);

    auto *forget = new QPushButton(tr("forget selection"), this);
    forget->setObjectName(QStringLiteral("Command1"));
    QFont forgetFont(QStringLiteral("Times New Roman"));
    forgetFont.setPointSize(12);
    forget->setFont(forgetFont);
    Twips::place(forget, 600, 8640, 2055, 495);

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("Text1"));
    Twips::place(m_search, 3240, 8640, 4095, 495);

    auto *importButton = new QPushButton(tr("Import"), this);
    importButton->setObjectName(QStringLiteral("ImportButton"));
    Twips::place(importButton, 5040, 0, 1215, 375);
    auto *exportButton = new QPushButton(tr("Export"), this);
    exportButton->setObjectName(QStringLiteral("ExportButton"));
    Twips::place(exportButton, 3720, 0, 1215, 375);

    auto *close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("Close"));
    Twips::place(close, 7920, 8640, 2055, 495);

    setTabOrder(m_view, forget);
    setTabOrder(forget, m_search);
    setTabOrder(m_search, importButton);
    setTabOrder(importButton, exportButton);
    setTabOrder(exportButton, close);

    connect(close, &QPushButton::clicked, this, &Form3::close);
}

Form3::~Form3()
{
    save();
}

void Form3::load()
{
    if (m_list->isLoaded())
        return;

    const int width = m_view->width();
    m_view->setColumnWidth(RememberedList::ValueColumn, width / 8);
    m_view->setColumnWidth(RememberedList::DescriptionColumn, width / 3);
    m_view->setColumnWidth(RememberedList::WordsColumn, width);
    m_list->setSortColumn(RememberedList::DescriptionColumn);

    const QString installDir = Registry::GetRegValue(QLatin1String(AppInfo::settingsPath),
                                                     QLatin1String(AppInfo::installDirSetting));
    m_list->setDataDir(installDir + QStringLiteral("/data"));
    if (m_list->readnumbers() == RememberedFile::LoadStatus::Unreadable) {
        MessageBox::inform(
            this,
            tr("Your remembered numbers could not be read from %1 (%2). Numbers you store now "
               "are kept until Numbrill ends, but the file is left as it is.")
                .arg(QDir::toNativeSeparators(m_list->dataDir() + QStringLiteral("/rv.db")),
                     m_list->lastError()),
            QMessageBox::Warning);
    }
}

bool Form3::isLoaded() const
{
    return m_list->isLoaded();
}

void Form3::save()
{
    QString error;
    if (m_list->SaveNumbers(&error))
        return;
    MessageBox::inform(this, tr("Your remembered numbers could not be saved.\n\n%1").arg(error),
                       QMessageBox::Critical);
}

void Form3::unload()
{
    hide();
    if (!m_list->isLoaded())
        return;
    save();
    if (!m_list->changed())
        m_list->unload();
}

void Form3::closeEvent(QCloseEvent *event)
{
    unload();
    event->accept();
}

void Form3::addEntry(const QString &desc, const QString &words)
{
    load();
    const Form1 *main = Windows::existing<Form1>();
    m_list->addEntry(main ? main->GetCurrentNumber() : QString(), desc, words);
}

int Form3::getcount(const QString &word) const
{
    return m_list->getcount(word);
}

const WordCollection &Form3::wordc() const
{
    return m_list->wordc();
}
