#pragma once

#include "images/ImageList.h"

#include <QAbstractTableModel>
#include <QStringList>

// The rows of My Images: every key of one and two digits, and of three when they are
// shown, with its image. An image whose letters spell other digits than its key is
// kept, and marked (MarkedRole) with a tooltip saying what its letters read as.
class ImageTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        KeyColumn,
        ImageColumn,
        ColumnCount
    };
    // True for an image whose letters do not spell its key.
    static constexpr int MarkedRole = Qt::UserRole + 1;

    explicit ImageTableModel(QObject *parent = nullptr);

    void setImages(const ImageList &images);
    const ImageList &images() const { return m_images; }
    void setThreeDigitKeysShown(bool shown);

    QString keyAt(int row) const { return m_keys.value(row); }
    int rowOf(const QString &key) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Takes the word with the blanks around it cut off. Refuses a word the file cannot
    // hold (see ImageList::canHold).
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

Q_SIGNALS:
    // The user gave a key another image, or took it away.
    void imageChanged(const QString &key);

private:
    ImageList m_images;
    // All keys in row order; the first 110 unless the three-digit keys are shown.
    QStringList m_keys;
    int m_rows = 0;
};
