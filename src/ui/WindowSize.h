#pragma once

class QSize;
class QWidget;

// Windows that the user may resize keep their size between runs, as the text
// "WIDTHxHEIGHT" (logical pixels) under a name of their own in the settings. The
// remembered-numbers window and the word tables use it.
namespace WindowSize {

// Gives the window the size remembered under `name`, kept between its minimum size
// and the room its screen offers. Without one, the window keeps its size.
void restore(QWidget *window, const char *name);

// The size remembered under `name`, kept as restore() keeps it; invalid without one.
QSize stored(const QWidget *window, const char *name);

// Remembers `size` under `name`, for a window whose current size is not the one to keep.
void remember(const QSize &size, const char *name);

// Remembers the window's size (its normal size when maximised) under `name`.
void remember(const QWidget *window, const char *name);

} // namespace WindowSize
