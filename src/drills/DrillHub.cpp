#include "drills/DrillHub.h"

#include "drills/DrillHistory.h"
#include "drills/FlashDrillWindow.h"
#include "drills/ImagesDrillWindow.h"
#include "drills/SpeedNumbersWindow.h"
#include "images/ImageList.h"
#include "recall/RecallHistory.h"
#include "recall/RecallHub.h"
#include "settings/Installation.h"
#include "ui/MessageBox.h"
#include "ui/Windows.h"

#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QMenu>
#include <QRandomGenerator>

namespace DrillHub {

namespace {

std::function<DrillImages()> &imageSource()
{
    static std::function<DrillImages()> source;
    return source;
}

template <class T> void showWindow()
{
    auto *window = Windows::instance<T>();
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

DrillHistory *history()
{
    // The drill history goes with the recall history, and so with the list.
    RecallHistory *recall = RecallHub::history();
    if (auto *existing = recall->findChild<DrillHistory *>(QString(), Qt::FindDirectChildrenOnly))
        return existing;
    auto *drills = new DrillHistory(recall);
    drills->setClock([recall] { return recall->now(); });
    drills->load(Installation::dataFolder());
    if (!drills->loadProblem().isEmpty())
        MessageBox::inform(QApplication::activeWindow(), drills->loadProblem(),
                           QMessageBox::Warning);
    return drills;
}

DrillImages images()
{
    if (imageSource())
        return imageSource()();
    // The list is read again only when its file has changed (My Images saved it).
    static DrillImages cached;
    static QDateTime cachedTime;
    static QString cachedPath;
    const QString path = ImageList::filePath(Installation::dataFolder());
    const QFileInfo file(path);
    const QDateTime modified = file.exists() ? file.lastModified() : QDateTime();
    if (path == cachedPath && modified == cachedTime)
        return cached;
    ImageList list;
    list.load(Installation::dataFolder());
    cached = {};
    cached.threeDigits = list.threeDigitKeysShown();
    // The three-digit images count once the user has switched them on.
    for (int digits = 1; digits <= (cached.threeDigits ? 3 : 2); ++digits) {
        for (const QString &key : ImageList::keys(digits)) {
            const QString image = list.image(key);
            if (!image.isEmpty())
                cached.byKey.insert(key, image);
        }
    }
    cachedPath = path;
    cachedTime = modified;
    return cached;
}

void setImageSource(std::function<DrillImages()> source)
{
    imageSource() = std::move(source);
}

QRandomGenerator &random()
{
    static QRandomGenerator generator(QRandomGenerator::global()->generate());
    return generator;
}

void seedRandom(quint32 seed)
{
    random().seed(seed);
}

void addCommands(QMenu *tools)
{
    QMenu *drills = tools->addMenu(QApplication::translate("DrillHub", "Drills"));
    drills->setObjectName(QStringLiteral("Drills"));
    auto add = [drills](const char *name, const QString &text, void (*show)()) {
        QAction *action = drills->addAction(text);
        action->setObjectName(QLatin1String(name));
        QObject::connect(action, &QAction::triggered, action, show);
    };
    add("ImagesDrill", QApplication::translate("DrillHub", "Images"),
        &showWindow<ImagesDrillWindow>);
    add("SpeedNumbersDrill", QApplication::translate("DrillHub", "Speed Numbers"),
        &showWindow<SpeedNumbersWindow>);
    add("FlashDrill", QApplication::translate("DrillHub", "Flash"), &showWindow<FlashDrillWindow>);
}

} // namespace DrillHub
