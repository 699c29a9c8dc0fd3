#pragma once
// The rows a data table window shows: three columns, the row number (from
// 1), the time text and the voltage text. A table of data shows rows
// 1..rowCount of the item's two text arrays as they were when it was filled
// (it keeps its own shared copy); an empty table shows 1000 numbered rows
// with empty cells. Filling costs the same whatever the row count: the view
// asks only for the rows it draws.

#include <QAbstractTableModel>
#include <QStringList>

#include <array>

class DataTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DataTableModel(QObject *parent = nullptr);

    // 1000 numbered rows, empty cells.
    void showEmpty();
    // Rows 1..rows of time and value (element k of each list is row k; an
    // element the list does not hold is shown empty). A negative count shows
    // no rows.
    void showRows(int rows, const QStringList &time, const QStringList &value);

    void setHeaderText(int column, const QString &text);
    QString headerText(int column) const;
    // The text of cell (row from 0, column 0..2).
    QString cell(int row, int column) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    int rows_ = 0;
    QStringList time_;
    QStringList value_;
    std::array<QString, 3> headers_;
};
