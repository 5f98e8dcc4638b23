#include "images/ImageTableModel.h"

#include "core/CodedWord.h"

namespace {

constexpr int shortKeys = 110;

} // namespace

ImageTableModel::ImageTableModel(QObject *parent)
    : QAbstractTableModel(parent),
      m_keys(ImageList::keys(1) + ImageList::keys(2) + ImageList::keys(3)), m_rows(shortKeys)
{}

void ImageTableModel::setImages(const ImageList &images)
{
    beginResetModel();
    m_images = images;
    m_rows = images.threeDigitKeysShown() ? ImageList::keyCount : shortKeys;
    endResetModel();
}

void ImageTableModel::setThreeDigitKeysShown(bool shown)
{
    if (shown == m_images.threeDigitKeysShown())
        return;
    m_images.setThreeDigitKeysShown(shown);
    if (shown) {
        beginInsertRows({}, shortKeys, ImageList::keyCount - 1);
        m_rows = ImageList::keyCount;
        endInsertRows();
    } else {
        beginRemoveRows({}, shortKeys, ImageList::keyCount - 1);
        m_rows = shortKeys;
        endRemoveRows();
    }
}

int ImageTableModel::rowOf(const QString &key) const
{
    const int row = int(m_keys.indexOf(key));
    return row < m_rows ? row : -1;
}

int ImageTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int ImageTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ImageTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const QString &key = m_keys.at(index.row());
    if (index.column() == KeyColumn)
        return role == Qt::DisplayRole ? QVariant(key) : QVariant();

    const QString word = m_images.image(key);
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return word;
    if (role != MarkedRole && role != Qt::ToolTipRole)
        return {};
    CodedWord coded;
    coded.setWord(word);
    const bool marked = !word.isEmpty() && coded.value() != key;
    if (role == MarkedRole)
        return marked;
    if (!marked)
        return {};
    return coded.value().isEmpty()
               ? tr("The letters of %1 read as no digits, not as %2.").arg(word, key)
               : tr("The letters of %1 read as %2, not as %3.").arg(word, coded.value(), key);
}

QVariant ImageTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == KeyColumn ? tr("Key") : tr("Image");
}

Qt::ItemFlags ImageTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == ImageColumn)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool ImageTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || index.column() != ImageColumn ||
        !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    const QString word = value.toString().trimmed();
    if (!ImageList::canHold(word))
        return false;
    const QString &key = m_keys.at(index.row());
    if (word == m_images.image(key))
        return true;
    m_images.setImage(key, word);
    Q_EMIT dataChanged(index, index);
    Q_EMIT imageChanged(key);
    return true;
}
