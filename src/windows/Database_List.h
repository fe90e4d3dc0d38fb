#pragma once
// ListDatabases: the main window's list of contact folders ("databases").
// One row per record of Folders(): an empty first column, "Folder"
// (Folder_Name) and "Path" (Folder_Path); the row's key "key<index>" names its
// record and sits in column 0 under kKeyRole. Several rows can be selected.
//
// Besides Qt's selection the list keeps the "current folder row": the row
// last clicked (the first row after Fill_From_Folders). The "Selected" run
// refuses to start without one. Removing that row leaves no current row.
//
// The main window places the widget, calls Fill_From_Folders() after
// Load_Contact_Folder_List(), and wires its AddDatabase / RemoveThisDatabase
// buttons to Add_Contact_Folder() / Remove_Selected_Folders(). The pop-up
// menu mnuDatabase belongs to the list.

#include "engine/Run_Interfaces.h"

#include <QPersistentModelIndex>
#include <QTreeWidget>

#include <vector>

class QMenu;
class QAction;

namespace bc::windows {

class Database_List : public QTreeWidget, public engine::Database_List_View
{
    Q_OBJECT

public:
    static constexpr int kKeyRole = Qt::UserRole;
    enum Column
    {
        Column_Empty = 0,
        Column_Folder = 1,
        Column_Path = 2
    };

    explicit Database_List(QWidget* parent = nullptr);

    // Rebuilds the rows from Folders(), sorts by "Folder" ascending and makes
    // the first row current, selected and scrolled into view.
    void Fill_From_Folders();

    // Asks for a contact folder in the folder dialog, opened on the current
    // row's folder, and appends it to Folders() and the list (the same
    // folder twice gives two records).
    void Add_Contact_Folder();
    // After a Yes to the question, removes the selected rows and their
    // records and renumbers the keys of the rows that stay.
    void Remove_Selected_Folders();
    // Both do nothing while a run is under way: it works through the
    // records by index.

    // engine::Database_List_View: every row in display order.
    std::vector<engine::Database_Row> Rows() const override;

    // The current folder row; nullptr when there is none.
    QTreeWidgetItem* Current_Row() const;
    bool Has_Current_Row() const { return Current_Row() != nullptr; }

    // The record index a row's key names; -1 for a row without a valid key.
    static int Record_Index(const QTreeWidgetItem* row);

    QMenu* Popup_Menu() const { return menu_; }               // mnuDatabase
    QAction* Add_Action() const { return add_action_; }       // mnuDatabaseAdd
    QAction* Remove_Action() const { return remove_action_; } // mnuRemoveDatabase

    int Sort_Column() const;
    Qt::SortOrder Sort_Order() const;

Q_SIGNALS:
    // The current folder row changed (clicked, filled, or removed).
    void Current_Row_Changed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Set_Current_Row(QTreeWidgetItem* row);
    void Append_Row(int index);
    void Size_Columns();

    // Follows its row through sorting and becomes invalid when the row goes.
    QPersistentModelIndex current_row_;
    QMenu* menu_ = nullptr;
    QAction* add_action_ = nullptr;
    QAction* remove_action_ = nullptr;
};

} // namespace bc::windows
