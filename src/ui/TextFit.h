#pragma once

#include <QStringList>

class QWidget;

// Finds the captions a window's fonts do not fit into: every label, push button and
// check box whose text needs more room than the control gives it, measured with the
// font the desktop actually resolves. The tests and the screenshot tool use it.
namespace TextFit {

// One line per clipped control: "Description: 'Description' needs 71x17, has 65x25".
QStringList clipped(const QWidget *window);

} // namespace TextFit
