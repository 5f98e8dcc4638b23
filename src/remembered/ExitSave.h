#pragma once

class QWidget;

// The last save of the remembered numbers before the program ends, whichever way it
// is told to end: should it fail, the user may retry or quit without saving. The rows
// go afterwards either way, so a second call does nothing.
namespace ExitSave {

void run(QWidget *parent);

} // namespace ExitSave
