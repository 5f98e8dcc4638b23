#include "help/AboutDialog.h"

#include "help/SystemInfo.h"
#include "ui/Launcher.h"
#include "ui/MessageBox.h"
#include "ui/Resources.h"
#include "ui/Twips.h"
#include "ui/WindowParts.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVersionNumber>

AboutDialog::AboutDialog(QWidget *parent) : QDialog(parent)
{
    loadNumbrillResources();
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(tr("About %1").arg(MessageBox::appTitle()));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(WindowParts::font(QStringLiteral("MS Sans Serif"), 9.75));
    setFixedSize(Twips::toPixels(5730), Twips::toPixels(3555));

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("picIcon"));
    icon->setAccessibleName(tr("Numbrill icon"));
    const QSize iconSize(Twips::toPixels(540), Twips::toPixels(540));
    icon->setPixmap(QIcon(QStringLiteral(":/icons/numbrill.svg")).pixmap(iconSize));
    Twips::place(icon, 240, 240, 540, 540);

    auto *title = new QLabel(tr("Numbrill"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    title->setTextFormat(Qt::PlainText);
    QFont titleFont(QStringLiteral("MS Sans Serif"));
    titleFont.setPointSizeF(13.5);
    titleFont.setBold(true);
    title->setFont(titleFont);
    Twips::place(title, 1050, 240, 3885, 480);

    const QVersionNumber version = QVersionNumber::fromString(QStringLiteral(NUMBRILL_VERSION));
    auto *versionLabel = new QLabel(tr("Version %1.%2.%3")
                                        .arg(version.majorVersion())
                                        .arg(version.minorVersion())
                                        .arg(version.microVersion()),
                                    this);
    versionLabel->setObjectName(QStringLiteral("lblVersion"));
    versionLabel->setTextFormat(Qt::PlainText);
    Twips::place(versionLabel, 1050, 780, 3885, 300);

    auto *webSite = WindowParts::button(this, "WebSite", tr("Web Site"));
    Twips::place(webSite, 1050, 1200, 1260, 345);

    // Etched: a grey line with a white one right below it.
    auto *rule = new QFrame(this);
    rule->setObjectName(QStringLiteral("Line1"));
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(Twips::toPixels(120), Twips::toPixels(1830), Twips::toPixels(5490), 2);

    auto *ok = WindowParts::button(this, "cmdOK", tr("OK"));
    ok->setDefault(true);
    Twips::place(ok, 3990, 2565, 1500, 375);

    auto *sysInfo = WindowParts::button(this, "cmdSysInfo", tr("&System Info..."));
    Twips::place(sysInfo, 3990, 3015, 1500, 375);

    setTabOrder(ok, sysInfo);
    setTabOrder(sysInfo, webSite);
    ok->setFocus();

    // Escape rejects the dialog, which closes it as "OK" does.
    connect(ok, &QPushButton::clicked, this, &AboutDialog::close);
    connect(sysInfo, &QPushButton::clicked, this, &AboutDialog::StartSysInfo);
    connect(webSite, &QPushButton::clicked, this,
            [] { Launcher::open(QStringLiteral(NUMBRILL_WEBSITE)); });
}

void AboutDialog::StartSysInfo()
{
    if (!SystemInfo::start())
        MessageBox::inform(this, tr("System Information Is Unavailable At This Time"));
}
