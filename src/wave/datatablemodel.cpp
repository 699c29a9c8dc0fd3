#include "wave/datatablemodel.h"

#include "wave/datatable.h"

DataTableModel::DataTableModel(QObject *parent) : QAbstractTableModel(parent) {}

void DataTableModel::showEmpty()
{
    beginResetModel();
    rows_ = DataEmptyTableRows;
    time_.clear();
    value_.clear();
    endResetModel();
}

void DataTableModel::showRows(int rows, const QStringList &time, const QStringList &value)
{
    beginResetModel();
    rows_ = qMax(0, rows);
    time_ = time;
    value_ = value;
    endResetModel();
}

void DataTableModel::setHeaderText(int column, const QString &text)
{
    if (column < 0 || column >= 3)
        return;
    headers_[size_t(column)] = text;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

QString DataTableModel::headerText(int column) const
{
    return column >= 0 && column < 3 ? headers_[size_t(column)] : QString();
}

QString DataTableModel::cell(int row, int column) const
{
    if (row < 0 || row >= rows_)
        return QString();
    const int k = row + 1;
    switch (column) {
    case 0: return QString::number(k);
    case 1: return k < time_.size() ? time_[k] : QString();
    case 2: return k < value_.size() ? value_[k] : QString();
    default: return QString();
    }
}

int DataTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int DataTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant DataTableModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return QVariant();
    return cell(index.row(), index.column());
}

QVariant DataTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QVariant();
    return headerText(section);
}
