#include "windows/frmSelectContacts.h"

#include "config/App_State.h"
#include "config/Contact_Folder_List.h"
#include "config/Identifier_Lists.h"
#include "config/Registry_Routines.h"
#include "config/User_Messages.h"
#include "engine/Error_Description.h"
#include "engine/Run.h"
#include "engine/Run_State.h"
#include "outlook/Mapi_Components.h"
#include "outlook/Outlook_Session.h"
#include "windows/Database_List.h"
#include "windows/Message_List.h"
#include "windows/Message_Table_Reader.h"
#include "windows/frmMain.h"
#include "windows/frmReadEmail.h"
#include "windows/frmStatusAnalysis.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>

#include <algorithm>
#include <exception>
#include <optional>

namespace bc::windows {
namespace {

using Model = Message_List_Model;

frmSelectContacts* g_window = nullptr;

constexpr int kPreviewRows = 50;
// Events run at least this often while the listing works, so that "Stop
// Listing" takes effect at once.
constexpr qint64 kYieldNanoseconds = 10'000'000;
constexpr int kWaitMilliseconds = 10;

// Client area and controls, in twips.
constexpr int kWidth = 10800;
constexpr int kHeight = 7800;
struct Place
{
    int Left, Top, Width, Height;
};
constexpr Place kLabel1{120, 120, 6000, 270};
constexpr Place kList{120, 420, 10560, 3900};
constexpr Place kMessageBox{120, 4440, 10560, 2520};
constexpr Place kStatus{120, 7290, 2760, 360};
constexpr Place kProgress{3000, 7290, 3000, 360};
constexpr Place kScan{7920, 7260, 1320, 420};
constexpr Place kCancel{9360, 7260, 1320, 420};

void Put(QWidget* control, const Place& p)
{
    control->setGeometry(
        Twips_To_Pixels(control, p.Left, Qt::Horizontal), Twips_To_Pixels(control, p.Top, Qt::Vertical),
        Twips_To_Pixels(control, p.Width, Qt::Horizontal), Twips_To_Pixels(control, p.Height, Qt::Vertical));
}

std::shared_ptr<outlook::Mapi_Folder> Input_Folder(const QString& entryId, const QString& storeId)
{
    auto& ns = outlook::Session().Outlook_Namespace;
    try {
        if (!entryId.isEmpty())
            return ns->GetFolderFromID(entryId, storeId);
        if (auto inbox = ns->GetDefaultFolder(outlook::olFolderInbox))
            return inbox;
        auto user = ns->CurrentUser();
        return user ? ns->GetSharedDefaultFolder(*user, outlook::olFolderInbox) : nullptr;
    } catch (const std::exception&) {
        return nullptr;
    }
}

bool Is_Report(const QString& messageClass)
{
    return messageClass.startsWith(QLatin1String("REPORT."), Qt::CaseInsensitive);
}

} // namespace

void frmSelectContacts::Open(frmMain& main)
{
    if (g_window) {
        g_window->show();
        g_window->raise();
        g_window->activateWindow();
        return;
    }
    auto* window = new frmSelectContacts(main);
    window->show();
    window->Form_Load();
    // The window may be gone now (closed during its listing).
}

frmSelectContacts* frmSelectContacts::Loaded()
{
    return g_window;
}

frmSelectContacts::frmSelectContacts(frmMain& main) : QWidget(&main, Qt::Window), main_(&main)
{
    g_window = this;
    setObjectName(QStringLiteral("frmSelectContacts"));
    setWindowTitle(QStringLiteral("Manual Email Scan"));
    setAttribute(Qt::WA_DeleteOnClose);
    Build_Window();
    engine::Set_Selective_Conversion_View(this);
}

frmSelectContacts::~frmSelectContacts()
{
    if (g_window == this)
        g_window = nullptr;
    if (engine::Installed_Selective_Conversion_View() == this)
        engine::Set_Selective_Conversion_View(nullptr);
    // The list's model reads rows_, which goes before the child widgets do:
    // take the list down first so a last relayout never reads freed rows.
    delete ListContacts_;
    ListContacts_ = nullptr;
}

void frmSelectContacts::Build_Window()
{
    resize(Twips_To_Pixels(this, kWidth, Qt::Horizontal), Twips_To_Pixels(this, kHeight, Qt::Vertical));

    Label1_ = new QLabel(QStringLiteral("Select the Email (s) to Scan"), this);
    Label1_->setObjectName(QStringLiteral("Label1"));
    Put(Label1_, kLabel1);

    ListContacts_ = new Message_List_View(this);
    ListContacts_->setObjectName(QStringLiteral("ListContacts"));
    model_ = new Model(rows_, ListContacts_);
    ListContacts_->setModel(model_);
    Size_Message_Columns(ListContacts_);
    Put(ListContacts_, kList);
    ListContacts_->hide(); // built while hidden; the preview shows meanwhile

    ListContacts1_ = new Message_Preview_List(this);
    ListContacts1_->setObjectName(QStringLiteral("ListContacts1"));
    Put(ListContacts1_, kList);
    Label1_->setBuddy(ListContacts_);

    txtMessageBox_ = new QTextEdit(this);
    txtMessageBox_->setObjectName(QStringLiteral("txtMessageBox"));
    txtMessageBox_->setReadOnly(true);
    txtMessageBox_->setAcceptRichText(false);
    txtMessageBox_->document()->setUndoRedoEnabled(false);
    Put(txtMessageBox_, kMessageBox);

    txtStatus_ = new QLineEdit(this);
    txtStatus_->setObjectName(QStringLiteral("txtStatus"));
    txtStatus_->setReadOnly(true);
    txtStatus_->setFocusPolicy(Qt::NoFocus);
    Put(txtStatus_, kStatus);

    ProgressBar1_ = new QProgressBar(this);
    ProgressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1_->setRange(0, 100);
    ProgressBar1_->setTextVisible(false);
    Put(ProgressBar1_, kProgress);

    ConvertSelected_ = new QPushButton(QStringLiteral("&Scan"), this);
    ConvertSelected_->setObjectName(QStringLiteral("ConvertSelected"));
    Put(ConvertSelected_, kScan);
    CancelConvert_ = new QPushButton(QStringLiteral("&Close"), this);
    CancelConvert_->setObjectName(QStringLiteral("CancelConvert"));
    Put(CancelConvert_, kCancel);

    MainPopup_ = new Message_List_Menu(this);

    connect(CancelConvert_, &QPushButton::clicked, this, &frmSelectContacts::CancelConvert_Click);
    connect(ConvertSelected_, &QPushButton::clicked, this, &frmSelectContacts::ConvertSelected_Click);
    connect(ListContacts_, &Message_List_View::Row_Clicked, this, &frmSelectContacts::ListContacts_ItemClick);
    connect(ListContacts_, &Message_List_View::Open_Requested, this, &frmSelectContacts::Open_Selected);
    connect(ListContacts_->header(), &QHeaderView::sectionClicked, this,
            &frmSelectContacts::ListContacts_ColumnClick);
    connect(ListContacts_, &Message_List_View::Select_Returned_Requested, this,
            &frmSelectContacts::Select_Returned_Emails);
    connect(ListContacts_, &Message_List_View::Delete_Requested, this, &frmSelectContacts::DeleteEmail_Click);
    connect(ListContacts_, &Message_List_View::Mouse_Released, this,
            &frmSelectContacts::ListContacts_MouseUp);
    connect(ListContacts_, &Message_List_View::Menu_Requested, this,
            [this](const QPoint& where) { MainPopup_->popup(where); });
    connect(ListContacts_, &Message_List_View::Selection_Changed_By_Keys, this,
            &frmSelectContacts::Show_Selection_Count);
    connect(MainPopup_->mnuSelectReturnedEmails, &QAction::triggered, this,
            &frmSelectContacts::Select_Returned_Emails);
    connect(MainPopup_->mnuAddString, &QAction::triggered, this, &frmSelectContacts::mnuAddString_Click);
    connect(MainPopup_->mnuOpen, &QAction::triggered, this, &frmSelectContacts::Open_Selected);
    connect(MainPopup_->DeleteEmail, &QAction::triggered, this, &frmSelectContacts::DeleteEmail_Click);

    setTabOrder(ListContacts_, txtMessageBox_);
    setTabOrder(txtMessageBox_, ConvertSelected_);
    setTabOrder(ConvertSelected_, CancelConvert_);
    Elastic_.Init(this);
}

void frmSelectContacts::Form_Load()
{
    try {
        txtStatus_->clear();
        txtStatus_->show();
        ListContacts_->hide();
        Listing_Active_ = true;
        CancelConvert_->setText(QStringLiteral("S&top Listing"));
        {
            // No run may replace what the listing fills, nor start on half of it.
            engine::Run_Guard guard;
            if (guard.Acquired()) {
                Setup_Outlook_List();
            } else {
                Messages().Show_Message(
                    QStringLiteral("Emails cannot be listed while a processing run is under way."));
                close_pending_ = true;
            }
        }
        Listing_Active_ = false;
        CancelConvert_->setText(QStringLiteral("&Close"));
        if (close_pending_) {
            Finish_Deferred_Close();
            return;
        }
        if (model_->rowCount() > 0) {
            const QModelIndex first = model_->index(0, Model::Column_Date);
            ListContacts_->setCurrentIndex(first); // selects it
            ListContacts_ItemClick(first);
            ListContacts_->scrollTo(first);
            ListContacts_->setFocus();
        }
        txtStatus_->setText(QString::number(model_->rowCount()) + QStringLiteral(" Emails"));
        txtStatus_->show();
    } catch (const std::exception& e) {
        Messages().Show_Message(QStringLiteral("Error on Form Load. Error: ") + engine::Error_Description(e));
    }
}

void frmSelectContacts::Setup_Outlook_List()
{
    int step = 0;
    std::vector<Model::Entry> pending;
    const auto flush = [&] {
        model_->Append(pending);
        pending.clear();
    };
    try {
        if (!outlook::Start_Outlook() || !outlook::Session().Outlook_Namespace) {
            Messages().Show_Message(QStringLiteral("Could not setup Outlook. Unloading."));
            close_pending_ = true;
            return;
        }
        const QString entryId = Get_Setting(Email_Inbox_Entry_ID);
        const QString storeId = Get_Setting(Email_Inbox_StoreID);
        Stop_Listing_Requested_ = false;
        txtStatus_->setText(QStringLiteral("Retrieving Emails"));
        QCoreApplication::processEvents();
        step = 1;
        const std::shared_ptr<outlook::Mapi_Folder> folder = Input_Folder(entryId, storeId);
        step = 2;
        if (!folder) {
            Messages().Show_Message(QStringLiteral("Could not map outlook input mail folder."));
            Show_Listing_Result();
            return;
        }
        // The folder's items and their rows are read by a helper, so that
        // events run every few milliseconds however large the folder is.
        Message_Table_Reader reader(folder);
        std::optional<int> counted;
        while (!(counted = reader.Count(std::chrono::milliseconds(kWaitMilliseconds)))) {
            QCoreApplication::processEvents();
            if (Stop_Listing_Requested_)
                break;
        }
        step = 3;
        const int count = counted.value_or(0);
        txtStatus_->setText(QStringLiteral("Email 1 of ") + QString::number(count));
        step = 6; // the helper has made the table and is reading its rows
        rows_.clear();
        rows_.reserve(std::size_t(count));
        Progress_Step_ = count < 1 ? 1.0 : 100.0 / count;
        double progress = 0;
        ProgressBar1_->setValue(0);
        txtStatus_->setText(QStringLiteral("1 of ") + QString::number(count));
        store_id_ = folder->StoreID();
        engine::State().Input_Store_ID = store_id_;
        step = 7;

        bool stopped = false;
        bool more = true;
        QElapsedTimer sinceYield;
        sinceYield.start();
        const auto yield = [&] {
            flush();
            QCoreApplication::processEvents();
            sinceYield.restart();
        };
        for (int i = 0; i < count && !Stop_Listing_Requested_; ++i) {
            progress = std::min(100.0, progress + Progress_Step_);
            ProgressBar1_->setValue(int(progress));
            if (i % 100 == 0)
                txtStatus_->setText(QString::number(i) + QStringLiteral(" of ") + QString::number(count));
            step = 8;
            while (std::size_t(i) >= rows_.size() && more && !Stop_Listing_Requested_) {
                flush();
                more = reader.Take(rows_, std::chrono::milliseconds(kWaitMilliseconds));
                if (!more && !reader.Error().isEmpty())
                    throw outlook::Outlook_Error(reader.Error());
                if (sinceYield.nsecsElapsed() >= kYieldNanoseconds)
                    yield();
            }
            // A folder that lost messages since it was counted has fewer rows.
            if (std::size_t(i) < rows_.size()) {
                const outlook::Message_Row& row = rows_[std::size_t(i)];
                const Model::Mark mark = Model::Mark_Of(row);
                if (i < kPreviewRows) {
                    step = 9;
                    ListContacts1_->Add_Row(row, mark);
                    step = 10;
                }
                step = 11;
                pending.push_back({i, mark});
                step = 13;
            }
            step = 14;
            if (i == std::min(count, kPreviewRows) - 1 || sinceYield.nsecsElapsed() >= kYieldNanoseconds)
                yield();
            step = 15;
        }
        if (Stop_Listing_Requested_) {
            CancelConvert_->setText(QStringLiteral("&Close"));
            stopped = true;
        }
        flush();
        if (!stopped)
            Sort_List(Model::Column_Returned, Qt::DescendingOrder); // the returned messages first
    } catch (const std::exception& e) {
        flush();
        Messages().Show_Message(QStringLiteral("Error: Setup Outlook List: ") + QString::number(step) +
                                QStringLiteral(" on Setup Outlook List. Error: ") +
                                engine::Error_Description(e));
    }
    Show_Listing_Result();
}

void frmSelectContacts::Show_Listing_Result()
{
    ListContacts_->show();
    ListContacts1_->hide();
    ListContacts1_->clear();
    txtStatus_->hide();
    ProgressBar1_->hide();
    Stop_Listing_Requested_ = false;
    Listing_Active_ = false;
    CancelConvert_->setText(QStringLiteral("&Close"));
}

void frmSelectContacts::CancelConvert_Click()
{
    if (Listing_Active_) {
        Messages().Show_Message(QStringLiteral("Listing Emails will stop."));
        Stop_Listing_Requested_ = true;
        return;
    }
    close();
}

void frmSelectContacts::ConvertSelected_Click()
{
    if (!main_)
        return;
    // The rows and keys stay put while the processing reads them; Close
    // stays live and takes effect when it has finished.
    processing_ = true;
    ListContacts_->setEnabled(false);
    ConvertSelected_->setEnabled(false);
    engine::Manual_Scan(
        engine::Manual_Scan_Context{main_->Choices(), main_->Databases(), &Progress_Window(), *this});
    processing_ = false;
    ListContacts_->setEnabled(true);
    ConvertSelected_->setEnabled(true);
    Finish_Deferred_Close();
}

std::shared_ptr<outlook::Outlook_Item> frmSelectContacts::Find_Item(int row) const
{
    const qint32 index = Get_Field(model_->Key(row), 1).toInt();
    if (index < 0 || std::size_t(index) >= rows_.size())
        throw outlook::Outlook_Error(QStringLiteral("Subscript out of range"));
    const auto& ns = outlook::Session().Outlook_Namespace;
    if (!ns)
        throw outlook::Outlook_Error(QStringLiteral("The mail session is not open."));
    return ns->GetItemFromID(outlook::Entry_ID_To_Hex(rows_[std::size_t(index)].Entry_ID), store_id_);
}

std::shared_ptr<outlook::Mail_Item> frmSelectContacts::Find_Mail_Item(int row) const
{
    const std::shared_ptr<outlook::Outlook_Item> item = Find_Item(row);
    if (!item)
        return nullptr;
    auto mail = std::dynamic_pointer_cast<outlook::Mail_Item>(item);
    if (!mail || Is_Report(item->MessageClass()))
        throw outlook::Outlook_Error(QStringLiteral("The item is a delivery report, not an email."));
    return mail;
}

void frmSelectContacts::ListContacts_ItemClick(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    Selected_Row_ = model_->index(index.row(), Model::Column_Key);
    try {
        const std::shared_ptr<outlook::Outlook_Item> item = Find_Item(index.row());
        if (!item)
            throw outlook::Outlook_Error(QStringLiteral("The item no longer exists."));
        if (Is_Report(item->MessageClass())) {
            txtMessageBox_->setPlainText(
                QStringLiteral("Return Email: ") +
                outlook::Corvel2MAPIUtils().HrGetOneProp(*item, outlook::PR_DISPLAY_TO));
        } else if (auto mail = std::dynamic_pointer_cast<outlook::Mail_Item>(item)) {
            txtMessageBox_->setPlainText(mail->Body());
        }
    } catch (const std::exception& e) {
        Messages().Show_Message(QStringLiteral("Error on Itemclick. Error: ") + engine::Error_Description(e));
    }
}

void frmSelectContacts::Open_Selected()
{
    if (!Selected_Row_.isValid()) {
        Messages().Show_Message(
            QStringLiteral("No email has been selected. Click on the list to select it first."));
        return;
    }
    try {
        const std::shared_ptr<outlook::Mail_Item> mail = Find_Mail_Item(Selected_Row_.row());
        if (!mail) {
            Messages().Show_Message(QStringLiteral("Cannot find mail item. The item no longer exists!"));
            return;
        }
        frmReadEmail::Show_Email(mail);
    } catch (const std::exception& e) {
        Messages().Show_Message(QStringLiteral("Error on Open Email. Error: ") +
                                engine::Error_Description(e));
    }
}

void frmSelectContacts::Sort_List(int column, Qt::SortOrder order)
{
    model_->sort(column, order);
    sorted_ = true;
    sort_key_ = column;
    sort_order_ = order;
    ListContacts_->header()->setSortIndicatorShown(true);
    ListContacts_->header()->setSortIndicator(column, order);
}

void frmSelectContacts::ListContacts_ColumnClick(int column)
{
    Qt::SortOrder order = sort_order_;
    if (sorted_ && sort_key_ == column)
        order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    Sort_List(column, order);
}

void frmSelectContacts::Show_Selection_Count()
{
    Selected_Count_ = ListContacts_->Selected_Row_Count();
    txtStatus_->setText(QString::number(Selected_Count_) + QStringLiteral(" sel of ") +
                        QString::number(model_->rowCount()));
}

void frmSelectContacts::ListContacts_MouseUp(Qt::MouseButton button, const QPoint& globalPos)
{
    if (button == Qt::RightButton)
        MainPopup_->popup(globalPos);
    Show_Selection_Count();
}

void frmSelectContacts::Select_Returned_Emails()
{
    // Sorted first, the returned rows are one block to select.
    Sort_List(Model::Column_Returned, sort_order_);
    Selected_Count_ = 0;
    QItemSelection returned;
    for (int row = 0; row < model_->rowCount(); ++row) {
        if (model_->Returned(row) != Model::Mark::Yes)
            continue;
        ++Selected_Count_;
        returned.select(model_->index(row, 0), model_->index(row, Model::Column_Count - 1));
    }
    ListContacts_->selectionModel()->select(returned,
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ListContacts_->scrollToTop();
    ListContacts_->setFocus();
    txtStatus_->setText(QString::number(Selected_Count_) + QStringLiteral(" sel of ") +
                        QString::number(model_->rowCount()));
}

void frmSelectContacts::mnuAddString_Click()
{
    QStringList subjects;
    for (int row : ListContacts_->Selected_Rows())
        if (const QString subject = model_->Subject(row); !subject.isEmpty())
            subjects << subject;
    // Without a file the identifiers in use are the built-in ones: an append
    // alone would leave a file of one line, and every later start would load
    // that line only.
    if (subjects.isEmpty() ||
        (!QFileInfo::exists(Data_File(kSearchStringsFile)) && !Save_Search_Strings(Lists().Search_Strings)))
        return;
    for (const QString& subject : subjects)
        if (Append_Search_String(subject))
            Messages().Show_Message(QStringLiteral("Added the identifier: ") + subject);
}

void frmSelectContacts::DeleteEmail_Click()
{
    const std::vector<int> rows = ListContacts_->Selected_Rows();
    // Counted afresh: rows selected by the window itself were never counted.
    Selected_Count_ = qint32(rows.size());
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        try {
            if (const std::shared_ptr<outlook::Mail_Item> mail = Find_Mail_Item(*row)) {
                mail->Delete();
                model_->Remove(*row);
                --Selected_Count_;
            }
            Selected_Row_ = QPersistentModelIndex();
            txtMessageBox_->clear();
            txtStatus_->setText(QString::number(Selected_Count_) + QStringLiteral(" sel of ") +
                                QString::number(model_->rowCount()));
        } catch (const std::exception& e) {
            Messages().Show_Message(QStringLiteral("Error on removing email.") +
                                    engine::Error_Description(e));
            return;
        }
    }
}

QStringList frmSelectContacts::Selected_Keys() const
{
    QStringList keys;
    for (int row : ListContacts_->Selected_Rows())
        keys.append(model_->Key(row));
    return keys;
}

bool frmSelectContacts::Remove_Row(const QString& key)
{
    bool ok = false;
    const qint32 index = Get_Field(key, 1).toInt(&ok);
    const int row = ok ? model_->Row_Of(index) : -1;
    if (row < 0)
        return false;
    model_->Remove(row);
    return true;
}

void frmSelectContacts::Clear_Selected_Row()
{
    Selected_Row_ = QPersistentModelIndex();
}

int frmSelectContacts::Row_Count() const
{
    return model_->rowCount();
}

void frmSelectContacts::Set_Status(const QString& text)
{
    txtStatus_->setText(text);
}

void frmSelectContacts::Finish_Deferred_Close()
{
    if (close_pending_ && !Listing_Active_ && !processing_)
        close();
}

void frmSelectContacts::closeEvent(QCloseEvent* event)
{
    if (Listing_Active_ || processing_) {
        // The work under way uses this window: it goes when that has ended.
        close_pending_ = true;
        Stop_Listing_Requested_ = true;
        hide();
        event->ignore();
        return;
    }
    if (g_window == this)
        g_window = nullptr;
    if (engine::Installed_Selective_Conversion_View() == this)
        engine::Set_Selective_Conversion_View(nullptr);
    event->accept();
    if (main_) {
        main_->update();
        if (QWidget* databases = main_->Databases())
            databases->setFocus();
    }
}

void frmSelectContacts::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Elastic_.FormResize(this);
}

} // namespace bc::windows
