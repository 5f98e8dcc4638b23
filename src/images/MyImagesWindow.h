#pragma once

#include "dictionary/Dictionary.h"
#include "dictionary/WordRanks.h"

#include <QWidget>

#include <memory>

class ImageTableModel;
class QCheckBox;
class QTableView;

// My Images: the user's image word for every key 0 to 9 and 00 to 99, and 000 to 999
// when switched on. The main window opens it from its Tools menu. On first use it
// starts from the best picture word of each key; every change is saved at once to
// the image list beside the remembered numbers.
class MyImagesWindow : public QWidget
{
    Q_OBJECT

public:
    explicit MyImagesWindow(QWidget *parent = nullptr);
    ~MyImagesWindow() override;

    // Reads the image list again unless the window is open already, and shows it.
    void open();

    // The words offered for a key, best picture first.
    QStringList choicesFor(const QString &key);

private:
    void load();
    void save();
    const WordRanks &ranks();

    QCheckBox *m_threeDigits = nullptr;
    QTableView *m_table = nullptr;
    ImageTableModel *m_model = nullptr;
    Dictionary m_dictionary;
    std::unique_ptr<WordRanks> m_ranks;
    QString m_dataDir;
    // The file is there but could not be read: it is left alone.
    bool m_saveBlocked = false;
    // A failed save is told once, until a save succeeds again.
    bool m_saveFailed = false;
};
