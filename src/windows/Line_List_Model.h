#pragma once
// A long, growing list of text lines for a view: the progress window's rows
// and the log viewer's lines. The line stands in one column (the others stay
// empty) under a heading. Lines are kept as they come and shown in batches
// (Publish), so that thousands of lines do not make the view lay itself out
// again for every one of them.

#include <QAbstractTableModel>
#include <QStringList>

namespace bc::windows {

class Line_List_Model final : public QAbstractTableModel
{
    Q_OBJECT

public:
    Line_List_Model(int columns, int lineColumn, QString heading, QObject* parent = nullptr);

    // Keeps the line; it is shown at the next Publish.
    void Append(const QString& line);
    // Shows the lines kept since the last call; false when there were none.
    bool Publish();

    // Every line so far, shown or not yet.
    const QStringList& Lines() const { return lines_; }
    // The number of characters of the longest line so far.
    qsizetype Longest() const { return longest_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const int columns_;
    const int line_column_;
    const QString heading_;
    QStringList lines_;
    int shown_ = 0;
    qsizetype longest_ = 0;
};

} // namespace bc::windows
