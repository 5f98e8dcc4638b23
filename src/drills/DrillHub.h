#pragma once

#include "drills/DrillImages.h"

#include <functional>

class DrillHistory;
class QMenu;
class QRandomGenerator;

// Where the drill windows find what they share: the drill history (made on first use,
// beside the recall history), the user's images and the random source of the digits and
// keys asked. A test replaces the images and seeds the random source.
namespace DrillHub {

DrillHistory *history();

// The user's image list (images.db in the data folder), read again when it changes.
DrillImages images();
// Another source of images instead, for a test.
void setImageSource(std::function<DrillImages()> source);

QRandomGenerator &random();
void seedRandom(quint32 seed);

// The Drills submenu of the main window's Tools menu.
void addCommands(QMenu *tools);

} // namespace DrillHub
