#include "windows/Database_List.h"

#include "config/Contact_Folder_List.h"
#include "config/User_Messages.h"
#include "engine/Processing_Flags.h"
#include "outlook/Outlook_Session.h"
#include "windows/frmPickFolder.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>
#include <exception>

namespace bc::windows {
namespace {

const QString kKeyPrefix = QStringLiteral("key");

// Case-insensitive text order, so "alpha" and "Beta" sort as a reader
// expects; equal texts fall back to exact order to stay deterministic.
class Database_Row_Item : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;

    bool operator<(const QTreeWidgetItem& other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const QString a = text(column);
        const QString b = other.text(column);
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
    }
};

int Twips_To_Pixels(const QWidget* widget, int twips)
{
    return static_cast<int>(std::lround(twips * widget->logicalDpiX() / 1440.0));
}

} // namespace

Database_List::Database_List(QWidget* parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("ListDatabases"));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Right clicks arrive as mouse presses, where the pop-up menu is shown.
    setContextMenuPolicy(Qt::PreventContextMenu);

    setColumnCount(3);
    setHeaderLabels({QString(), QStringLiteral("Folder"), QStringLiteral("Path")});
    header()->setStretchLastSection(false);
    header()->setMinimumSectionSize(1);
    header()->setSortIndicatorShown(true);
    // A click on the sort column flips the order; a click on another column
    // sorts by it in the order already in use. The header takes the order
    // for a newly clicked column from InitialSortOrderRole, so that role
    // always carries the current order.
    connect(header(), &QHeaderView::sortIndicatorChanged, this, [this](int, Qt::SortOrder order) {
        for (int column = 0; column < columnCount(); ++column)
            headerItem()->setData(column, Qt::InitialSortOrderRole, static_cast<int>(order));
    });
    setSortingEnabled(true);
    sortByColumn(Column_Folder, Qt::AscendingOrder);
    Size_Columns();

    menu_ = new QMenu(QStringLiteral("Database"), this);
    menu_->setObjectName(QStringLiteral("mnuDatabase"));
    add_action_ = menu_->addAction(QStringLiteral("Add Contact Folder"));
    add_action_->setObjectName(QStringLiteral("mnuDatabaseAdd"));
    menu_->addSeparator();
    remove_action_ = menu_->addAction(QStringLiteral("Remove Selected Folders"));
    remove_action_->setObjectName(QStringLiteral("mnuRemoveDatabase"));
    QAction* divider = menu_->addAction(QStringLiteral("Divider"));
    divider->setObjectName(QStringLiteral("Divider"));
    divider->setVisible(false);
    connect(add_action_, &QAction::triggered, this, &Database_List::Add_Contact_Folder);
    connect(remove_action_, &QAction::triggered, this, &Database_List::Remove_Selected_Folders);

    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* row) { Set_Current_Row(row); });
}

void Database_List::Fill_From_Folders()
{
    Set_Current_Row(nullptr);
    clear();
    Size_Columns();
    const int count = Folders().Contact_Folder_Count();
    for (int i = 0; i < count; ++i)
        Append_Row(i);
    sortByColumn(Column_Folder, Qt::AscendingOrder);
    if (topLevelItemCount() > 0) {
        QTreeWidgetItem* first = topLevelItem(0);
        Set_Current_Row(first);
        setCurrentItem(first);
        first->setSelected(true);
        scrollToItem(first);
    }
}

void Database_List::Add_Contact_Folder()
{
    // A run works through the records by index while it yields.
    if (engine::Flags().Run_In_Progress)
        return;
    try {
        // Opens on the current row's folder, the one the user is likely to
        // add a neighbour of.
        frmPickFolder::Request request;
        request.Title = QStringLiteral("Select Contact Folder");
        request.Message_Class = QStringLiteral("IPM.Contact");
        const int current = Record_Index(Current_Row());
        if (current >= 0 && current < Folders().Contact_Folder_Count()) {
            request.Entry_ID = Folders().Contact_Folder_List[static_cast<size_t>(current)].Entry_ID;
            request.Store_ID = Folders().Contact_Folder_List[static_cast<size_t>(current)].Store_ID;
        }
        const frmPickFolder::Folder folder = frmPickFolder::Pick_Folder_Of_Class(
            this, request, QStringLiteral("Choose a contact Folder Store"));
        if (!folder)
            return;
        // Every value is read before anything is appended, so a failing
        // session call cannot leave a half-filled record behind.
        Contact_Folder_Record record;
        record.Folder_Name = folder->Name();
        record.Entry_ID = folder->EntryID();
        record.Store_ID = folder->StoreID();
        record.Folder_Path = outlook::Get_Folder_Path(*folder);
        Folders().Contact_Folder_List.push_back(record);
        Append_Row(Folders().Contact_Folder_Count() - 1);
    } catch (const std::exception&) {
        // A failing add ends without a message; nothing was appended.
        return;
    }
    clearSelection();
    setFocus(Qt::OtherFocusReason);
}

void Database_List::Remove_Selected_Folders()
{
    if (engine::Flags().Run_In_Progress)
        return;
    if (!Messages().Ask_Yes_No(QStringLiteral("This will remove all selected databases on your list.")))
        return;

    std::vector<Contact_Folder_Record>& records = Folders().Contact_Folder_List;
    std::vector<bool> marked(records.size(), false);
    bool current_removed = false;
    for (int i = topLevelItemCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* row = topLevelItem(i);
        if (!row->isSelected())
            continue;
        const int index = Record_Index(row);
        if (index >= 0 && index < static_cast<int>(marked.size()))
            marked[static_cast<size_t>(index)] = true;
        if (row == Current_Row())
            current_removed = true;
        delete takeTopLevelItem(i);
    }

    // Old index -> new index of every record that stays, in the old order.
    std::vector<int> new_index(records.size(), -1);
    std::vector<Contact_Folder_Record> kept;
    kept.reserve(records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        if (marked[i])
            continue;
        new_index[i] = static_cast<int>(kept.size());
        kept.push_back(std::move(records[i]));
    }
    records = std::move(kept);

    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = topLevelItem(i);
        const int index = Record_Index(row);
        if (index >= 0 && index < static_cast<int>(new_index.size()) &&
            new_index[static_cast<size_t>(index)] >= 0)
            row->setData(Column_Empty, kKeyRole,
                         kKeyPrefix + QString::number(new_index[static_cast<size_t>(index)]));
    }
    if (current_removed)
        Q_EMIT Current_Row_Changed();
}

std::vector<engine::Database_Row> Database_List::Rows() const
{
    std::vector<engine::Database_Row> rows;
    rows.reserve(static_cast<size_t>(topLevelItemCount()));
    for (int i = 0; i < topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = topLevelItem(i);
        rows.push_back(
            {row->data(Column_Empty, kKeyRole).toString(), row->text(Column_Folder), row->isSelected()});
    }
    return rows;
}

int Database_List::Record_Index(const QTreeWidgetItem* row)
{
    if (!row)
        return -1;
    const QString key = row->data(Column_Empty, kKeyRole).toString();
    if (!key.startsWith(kKeyPrefix))
        return -1;
    bool ok = false;
    const int index = key.mid(kKeyPrefix.size()).toInt(&ok);
    return ok && index >= 0 ? index : -1;
}

int Database_List::Sort_Column() const
{
    return header()->sortIndicatorSection();
}

Qt::SortOrder Database_List::Sort_Order() const
{
    return header()->sortIndicatorOrder();
}

void Database_List::keyPressEvent(QKeyEvent* event)
{
    // Only Ctrl alone counts: Ctrl+Shift+A and the like keep the default.
    if (event->key() == Qt::Key_A && (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
        selectAll();
        setFocus(Qt::ShortcutFocusReason);
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void Database_List::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        menu_->popup(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void Database_List::resizeEvent(QResizeEvent* event)
{
    QTreeWidget::resizeEvent(event);
    Size_Columns();
}

QTreeWidgetItem* Database_List::Current_Row() const
{
    return current_row_.isValid() ? itemFromIndex(current_row_) : nullptr;
}

void Database_List::Set_Current_Row(QTreeWidgetItem* row)
{
    if (row == Current_Row())
        return;
    current_row_ = row ? QPersistentModelIndex(indexFromItem(row)) : QPersistentModelIndex();
    Q_EMIT Current_Row_Changed();
}

void Database_List::Append_Row(int index)
{
    const Contact_Folder_Record& record = Folders().Contact_Folder_List[static_cast<size_t>(index)];
    auto* row = new Database_Row_Item;
    row->setText(Column_Folder, record.Folder_Name);
    row->setText(Column_Path, record.Folder_Path);
    row->setData(Column_Empty, kKeyRole, kKeyPrefix + QString::number(index));
    addTopLevelItem(row);
}

void Database_List::Size_Columns()
{
    setColumnWidth(Column_Empty, std::max(1, Twips_To_Pixels(this, 1)));
    setColumnWidth(Column_Folder, Twips_To_Pixels(this, 2000));
    // The path takes the rest of the visible width rather than the whole list
    // width, which would always show a horizontal scroll bar.
    const int rest = viewport()->width() - columnWidth(Column_Empty) - columnWidth(Column_Folder);
    setColumnWidth(Column_Path, std::max(Twips_To_Pixels(this, 2000), rest));
}

} // namespace bc::windows
