#pragma once
// The manual scan window's message list: a model over the rows its listing
// fetched, and the view with the list's keys and mouse handling. Every row
// has four columns: an empty one (width 1, in effect hidden) whose data under
// kKeyRole is the row key "-:::-<index>-:::-", "Date", "Ret?" ("Y" for a
// subject with a return identifier, shown in bold with its date and subject,
// "N" otherwise, nothing without a subject) and "Subject".
//
// A model instead of one item widget per row keeps a listing of 100,000
// messages quick and small: a row is an index into the fetched rows and its
// mark; texts are made when the view asks for them.

#include "outlook/Mapi_Components.h"

#include <QAbstractTableModel>
#include <QMenu>
#include <QTreeView>
#include <QTreeWidget>

#include <vector>

namespace bc::windows {

class Message_List_Model final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        Column_Key = 0,
        Column_Date = 1,
        Column_Returned = 2,
        Column_Subject = 3,
        Column_Count = 4
    };
    static constexpr int kKeyRole = Qt::UserRole;

    enum class Mark : char
    {
        None = 0, // no subject
        No = 'N',
        Yes = 'Y'
    };
    struct Entry
    {
        qint32 Index = 0; // row in the fetched rows
        Mark Returned = Mark::None;
    };

    // `rows` (not owned) are the rows the listing fetched; they may grow
    // while the listing runs but rows listed here must stay.
    Message_List_Model(const std::vector<outlook::Message_Row>& rows, QObject* parent);

    // The subject test, as the listing marks a row.
    static Mark Mark_Of(const outlook::Message_Row& row);
    // "Y", "N" or "" for a mark; the date as the system writes date and time.
    static QString Mark_Text(Mark mark);
    static QString Date_Text(const std::optional<QDateTime>& when);

    void Append(const std::vector<Entry>& entries);
    void Clear();
    void Remove(int row);
    // The row listing that fetched row; -1 when it is not (or no longer) listed.
    int Row_Of(qint32 index) const;

    qint32 Index(int row) const { return entries_.at(std::size_t(row)).Index; }
    Mark Returned(int row) const { return entries_.at(std::size_t(row)).Returned; }
    QString Key(int row) const;
    QString Subject(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Stable: rows that compare equal keep their order. Texts compare
    // without regard to letter case; dates compare as points in time.
    void sort(int column, Qt::SortOrder order) override;

private:
    bool Less(int column, const Entry& a, const Entry& b) const;

    const std::vector<outlook::Message_Row>& rows_;
    std::vector<Entry> entries_;
    mutable std::vector<QString> dates_; // by fetched row, made on first display
};

// ListContacts. Besides a QTreeView's own handling: a click or a move of the
// current row with the keys shows the row (Row_Clicked); Ctrl+A selects the
// returned messages instead of every row; the Delete key deletes on its
// release; Enter opens the clicked row; any mouse button's release counts
// the selection, the right one also asks for the pop-up menu, as do the menu
// key and Shift+F10.
class Message_List_View final : public QTreeView
{
    Q_OBJECT

public:
    explicit Message_List_View(QWidget* parent = nullptr);

    Message_List_Model* Messages() const { return qobject_cast<Message_List_Model*>(model()); }
    // Selected rows, in display order.
    std::vector<int> Selected_Rows() const;
    int Selected_Row_Count() const;

Q_SIGNALS:
    void Row_Clicked(const QModelIndex& index);
    void Open_Requested();
    void Select_Returned_Requested();
    void Delete_Requested();
    void Mouse_Released(Qt::MouseButton button, const QPoint& globalPos);
    void Menu_Requested(const QPoint& globalPos);
    void Selection_Changed_By_Keys();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

// ListContacts1: the first rows while the listing runs, as the full list
// will show them. It has no commands of its own.
class Message_Preview_List final : public QTreeWidget
{
    Q_OBJECT

public:
    explicit Message_Preview_List(QWidget* parent = nullptr);
    void Add_Row(const outlook::Message_Row& row, Message_List_Model::Mark mark);
};

// MainPopup "Edit": the list's commands. The keys they show are the list's
// own; the menu only names them.
class Message_List_Menu final : public QMenu
{
    Q_OBJECT

public:
    explicit Message_List_Menu(QWidget* parent);
    QAction* mnuSelectReturnedEmails = nullptr;
    QAction* mnuAddString = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* DeleteEmail = nullptr;
};

// The columns' widths in twips, the first one (the row's own empty text)
// in effect hidden.
void Size_Message_Columns(QTreeView* view);

} // namespace bc::windows
