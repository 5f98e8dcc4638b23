#pragma once

#include <QWidget>

// The legend of the digit code: a reference card with the consonants of each digit
// and a picture to remember them by, which the user keeps open beside the main
// window. The main window's Help menu shows it. "Close" only hides it, so the next
// showing is the same window; closing its frame deletes it.
class NumberMapping : public QWidget
{
    Q_OBJECT

public:
    explicit NumberMapping(QWidget *parent = nullptr);
};
