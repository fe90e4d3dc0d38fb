#pragma once
// A list row that sorts by its text the way people read a list: letter case
// ignored, and only equal texts told apart by case.

#include <QTreeWidget>
#include <QTreeWidgetItem>

namespace bc::windows {

class Text_Row final : public QTreeWidgetItem
{
public:
    explicit Text_Row(const QString& text) : QTreeWidgetItem(QStringList{text}) {}

    bool operator<(const QTreeWidgetItem& other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const QString a = text(column);
        const QString b = other.text(column);
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    }
};

} // namespace bc::windows
