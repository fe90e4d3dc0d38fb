#pragma once
// "Manage Contacts": every contact of the listed databases whose status field
// (the main window's field box) holds the status value (its value box). The
// user deletes them, clears or edits their address - recorded until "Update"
// - or clears their mark at once.

#include "windows/Bounced_Contacts.h"
#include "windows/class_Elastic.h"

#include <QMainWindow>

#include <vector>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace bc::engine {
class Contact_Action_Choices;
}

namespace bc::windows {

class frmManageContacts final : public QMainWindow
{
    Q_OBJECT

public:
    enum Column
    {
        Column_Email = 0,
        Column_Name = 1,
        Column_Folder = 2,
        Column_Path = 3
    };
    static constexpr int kKeyRole = Qt::UserRole;

    // Loads the window: shows it and lists every database while it stays
    // responsive. An open manager is brought to the front instead. The
    // choices (the main window) must outlive the window.
    static frmManageContacts& Open(const engine::Contact_Action_Choices& choices, QWidget* parent = nullptr);
    // The open manager, or nullptr.
    static frmManageContacts* Loaded();

    // Record actions for the selected rows.
    void Delete_Selected_Contacts();
    void Clear_Email_Of_Selected();
    void Clear_Status_Of_Selected();
    // Apply the recorded actions; false when they could not run at all.
    bool Update_Databases();
    bool Clear_Status_Fields();

    QTreeWidget* ListContacts() const { return ListContacts_; }
    const std::vector<Bounced_Contact_Row>& Rows() const { return rows_; }
    bool Changes_Pending() const { return changes_pending_; }
    bool Is_Listing() const { return listing_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    frmManageContacts(const engine::Contact_Action_Choices& choices, QWidget* parent);
    ~frmManageContacts() override;
    void Build_Window();
    void Form_Load();
    // False when the window was closed while the listing let events run.
    bool List_Bounced_Contacts(qint32 folderIndex);
    void Set_Status(const QString& text);
    void Header_Click(int column);
    void Address_Edited(QTreeWidgetItem* row, const QString& before);
    Bounced_Contact_Row* Row_Of(const QTreeWidgetItem* item);
    void Show_Edit_Menu(const QPoint& globalPos);

    const engine::Contact_Action_Choices& choices_;
    QTreeWidget* ListContacts_ = nullptr;
    QLabel* status_panel_ = nullptr;
    QPushButton* CloseThis_ = nullptr;
    QPushButton* Update_My_Databases_ = nullptr;
    QMenu* mnuEdit_ = nullptr;
    class_Elastic Elastic_;

    std::vector<Bounced_Contact_Row> rows_;
    bool changes_pending_ = false;
    bool listing_ = false;
    bool closed_ = false;
    bool close_asks_ = false; // the "Close" button, not the frame's close box
    int sort_column_ = Column_Email;
    Qt::SortOrder sort_order_ = Qt::AscendingOrder;
    qint64 last_paint_ = 0;
};

} // namespace bc::windows
