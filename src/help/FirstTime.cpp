#include "help/FirstTime.h"

#include "core/AppInfo.h"
#include "settings/Registry.h"
#include "ui/Launcher.h"
#include "ui/Twips.h"
#include "ui/WindowParts.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace {

QString settingsPath()
{
    // The main window is still being built while this dialog is up, so the key path
    // comes from where the main window takes it too.
    return QLatin1String(AppInfo::settingsPath);
}

} // namespace

FirstTime::FirstTime(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FirstTime"));
    setWindowTitle(tr("First Time Users"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);
    setFont(WindowParts::font(QStringLiteral("MS Sans Serif"), 9.75));
    setFixedSize(Twips::toPixels(6735), Twips::toPixels(3375));

    QLabel *notice = WindowParts::label(this, "Label1");
    notice->setWordWrap(true);
    notice->setText(
        tr("If you are a first time user please review the user manual before attempting to "
           "save your first number, as you must understand the concepts of the phonetic library "
           "to be able to use this tool. You can access the manual from the help menu or by "
           "clicking the button below."));
    Twips::place(notice, 240, 240, 6255, 1455);

    auto *howItWorks = WindowParts::button(this, "Command1", tr("How it works"));
    Twips::place(howItWorks, 1080, 1860, 2055, 495);
    auto *manual = WindowParts::button(this, "Command2", tr("User Manual"));
    Twips::place(manual, 3600, 1860, 2055, 495);

    auto *doNotShow = new QCheckBox(tr("Do not show this dialog again"), this);
    doNotShow->setObjectName(QStringLiteral("Check1"));
    Twips::place(doNotShow, 240, 2700, 4215, 375);

    auto *proceed = WindowParts::button(this, "Close", tr("Continue"));
    proceed->setDefault(true);
    Twips::place(proceed, 4920, 2640, 1575, 495);

    connect(doNotShow, &QCheckBox::toggled, this, &FirstTime::rememberChoice);
    connect(howItWorks, &QPushButton::clicked, this,
            [this] { openPage(QStringLiteral("/docs/howitworks.htm")); });
    connect(manual, &QPushButton::clicked, this,
            [this] { openPage(QStringLiteral("/docs/numbrill.htm")); });
    connect(proceed, &QPushButton::clicked, this, &FirstTime::accept);
}

void FirstTime::rememberChoice(bool doNotShowAgain)
{
    // Written at once, so the last state of the box counts however the dialog ends.
    Registry::SetRegValue(settingsPath(), QLatin1String(AppInfo::firstTimeSetting),
                          doNotShowAgain ? QStringLiteral("no") : QStringLiteral("yes"));
}

void FirstTime::openPage(const QString &page)
{
    // The folder goes in as stored, separators and all; without one the address names
    // "Unknown" and the desktop quietly fails to open it.
    Launcher::open(
        QStringLiteral("file://") +
        Registry::GetRegValue(settingsPath(), QLatin1String(AppInfo::installDirSetting)) + page);
}
