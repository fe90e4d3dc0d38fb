#pragma once
// The manual scan window "Manual Email Scan": lists every message of the
// input folder with the returned ones marked and first, lets the user read,
// open and delete messages, add a subject to the return identifiers, pick
// messages, and process only the picked ones ("Scan") against the databases
// selected in the main window.
//
// One window at a time; it lives from the main window's "Manual" entry until
// it is closed. Its listing runs when it opens, yielding to the window system
// so that "Stop Listing" is seen, and keeps the fetched rows for the window's
// life: row keys index them.

#include "engine/Disposal.h"
#include "engine/Manual_Scan.h"
#include "windows/class_Elastic.h"

#include <QPersistentModelIndex>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTextEdit;

namespace bc::outlook {
class Mail_Item;
class Outlook_Item;
} // namespace bc::outlook

namespace bc::windows {

class frmMain;
class Message_List_Menu;
class Message_List_Model;
class Message_List_View;
class Message_Preview_List;

class frmSelectContacts final : public QWidget,
                                public engine::Selective_Conversion_View,
                                public engine::Manual_Scan_List
{
    Q_OBJECT

public:
    // The main window's manual scan command: opens the window, not modal, and
    // lists the input folder; a window already open comes to the front.
    static void Open(frmMain& main);
    static frmSelectContacts* Loaded();

    // engine::Selective_Conversion_View
    bool Remove_Row(const QString& key) override;
    void Clear_Selected_Row() override;
    int Row_Count() const override;
    void Set_Status(const QString& text) override;

    // engine::Manual_Scan_List
    bool Listing_Active() const override { return Listing_Active_; }
    bool Has_Selected_Row() const override { return Selected_Row_.isValid(); }
    QStringList Selected_Keys() const override;
    const std::vector<outlook::Message_Row>& Listed_Rows() const override { return rows_; }
    QString Listed_Store_ID() const override { return store_id_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    explicit frmSelectContacts(frmMain& main);
    ~frmSelectContacts() override;

    void Build_Window();
    void Form_Load();
    void Setup_Outlook_List();
    void Show_Listing_Result();

    void CancelConvert_Click();
    void ConvertSelected_Click();
    void ListContacts_ItemClick(const QModelIndex& index);
    void Open_Selected();
    void ListContacts_ColumnClick(int column);
    void ListContacts_MouseUp(Qt::MouseButton button, const QPoint& globalPos);
    void Select_Returned_Emails();
    void mnuAddString_Click();
    void DeleteEmail_Click();

    void Sort_List(int column, Qt::SortOrder order);
    void Show_Selection_Count();
    // The message of a listed row; nullptr when it is no longer there.
    std::shared_ptr<outlook::Outlook_Item> Find_Item(int row) const;
    // The same as a mail item; throws for a message of another kind.
    std::shared_ptr<outlook::Mail_Item> Find_Mail_Item(int row) const;
    // Ends a close that came while the window was busy.
    void Finish_Deferred_Close();

    QPointer<frmMain> main_;
    QLabel* Label1_ = nullptr;
    Message_List_View* ListContacts_ = nullptr;
    Message_Preview_List* ListContacts1_ = nullptr;
    QProgressBar* ProgressBar1_ = nullptr;
    QLineEdit* txtStatus_ = nullptr;
    QTextEdit* txtMessageBox_ = nullptr;
    QPushButton* ConvertSelected_ = nullptr;
    QPushButton* CancelConvert_ = nullptr;
    Message_List_Menu* MainPopup_ = nullptr;
    Message_List_Model* model_ = nullptr;

    std::vector<outlook::Message_Row> rows_;
    QString store_id_;

    QPersistentModelIndex Selected_Row_;
    bool Listing_Active_ = false;
    bool Stop_Listing_Requested_ = false;
    double Progress_Step_ = 0;
    qint32 Selected_Count_ = 0;
    bool sorted_ = false;
    int sort_key_ = 0;
    Qt::SortOrder sort_order_ = Qt::AscendingOrder;
    bool processing_ = false;
    bool close_pending_ = false;
    class_Elastic Elastic_;
};

} // namespace bc::windows
