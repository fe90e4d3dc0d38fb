#include "windows/Line_List_Model.h"

#include <algorithm>

namespace bc::windows {

Line_List_Model::Line_List_Model(int columns, int lineColumn, QString heading, QObject* parent)
    : QAbstractTableModel(parent), columns_(columns), line_column_(lineColumn), heading_(std::move(heading))
{
}

void Line_List_Model::Append(const QString& line)
{
    lines_.append(line);
    longest_ = std::max(longest_, line.size());
}

bool Line_List_Model::Publish()
{
    const auto total = static_cast<int>(lines_.size());
    if (total == shown_)
        return false;
    beginInsertRows({}, shown_, total - 1);
    shown_ = total;
    endInsertRows();
    return true;
}

int Line_List_Model::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shown_;
}

int Line_List_Model::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columns_;
}

QVariant Line_List_Model::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.column() != line_column_ ||
        index.row() >= shown_)
        return {};
    return lines_.at(index.row());
}

QVariant Line_List_Model::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    return section == line_column_ ? heading_ : QString();
}

} // namespace bc::windows
