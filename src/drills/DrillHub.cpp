#include "drills/DrillHub.h"

#include "drills/DrillHistory.h"
#include "drills/FlashDrillWindow.h"
#include "drills/ImagesDrillWindow.h"
#include "drills/SpeedNumbersWindow.h"
#include "recall/RecallHistory.h"
#include "recall/RecallHub.h"
#include "settings/Installation.h"
#include "ui/MessageBox.h"
#include "ui/Windows.h"

#include <QApplication>
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
    return imageSource() ? imageSource()() : DrillImages();
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
