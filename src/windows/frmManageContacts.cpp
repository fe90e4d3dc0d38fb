#include "windows/frmManageContacts.h"

#include "config/Contact_Folder_List.h"
#include "config/User_Messages.h"
#include "engine/Run.h"
#include "engine/Run_Interfaces.h"
#include "engine/Run_Journal.h"
#include "outlook/Mapi_Components.h"
#include "outlook/Object_Model.h"
#include "outlook/Outlook_Session.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTreeWidget>

#include <algorithm>
#include <chrono>
#include <exception>
#include <functional>
#include <future>

namespace bc::windows {
namespace {

frmManageContacts* g_manager = nullptr;

// Client area in twips: the list above, the two buttons below it on the
// right. The bottom margin keeps the buttons clear of the status bar when
// the window shrinks.
constexpr int kWidth = 12000;
constexpr int kHeight = 6000;
constexpr int kMargin = 120;
constexpr int kButtonWidth = 1300;
constexpr int kButtonHeight = 400;
constexpr int kColumnTwips[] = {2500, 2500, 2500, 8000};

// The status line is repainted at most this often while the update runs
// without letting events in.
constexpr qint64 kPaintEveryMs = 50;
// The address a row showed when it was listed.
constexpr int kListedAddressRole = Qt::UserRole + 1;

// How long the listing works at most before it lets events run.
constexpr int kYieldEveryMs = 20;

const QString kRunUnderWay =
    QStringLiteral("A processing run is under way. Update your databases when it has finished.");

// Sorting compares the column's text, case ignored as a reader expects;
// equal texts fall back to exact order to stay deterministic.
class Contact_Row_Item : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const int c = QString::compare(text(column), other.text(column), Qt::CaseInsensitive);
        return c != 0 ? c < 0 : QString::compare(text(column), other.text(column), Qt::CaseSensitive) < 0;
    }
};

// The list of contacts; when it is empty once listed it says so in its
// middle, instead of looking as if the listing had failed.
class Contact_List final : public QTreeWidget
{
public:
    using QTreeWidget::QTreeWidget;
    void Set_Empty_Text(const QString& text)
    {
        empty_text_ = text;
        viewport()->update();
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QTreeWidget::paintEvent(event);
        if (topLevelItemCount() > 0 || empty_text_.isEmpty())
            return;
        QPainter painter(viewport());
        painter.setPen(palette().color(QPalette::PlaceholderText));
        const int margin = fontMetrics().averageCharWidth() * 2;
        painter.drawText(viewport()->rect().adjusted(margin, margin, -margin, -margin),
                         Qt::AlignCenter | Qt::TextWordWrap, empty_text_);
    }

private:
    QString empty_text_;
};

// Only the address column is edited in place; a changed address is handed on.
class Address_Delegate final : public QStyledItemDelegate
{
public:
    using Edited = std::function<void(const QModelIndex&, const QString& before)>;
    Address_Delegate(QObject* parent, Edited edited) : QStyledItemDelegate(parent), edited_(std::move(edited))
    {
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        if (index.column() != frmManageContacts::Column_Email)
            return nullptr;
        return QStyledItemDelegate::createEditor(parent, option, index);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        const QString before = index.data(Qt::DisplayRole).toString();
        QStyledItemDelegate::setModelData(editor, model, index);
        if (index.data(Qt::DisplayRole).toString() != before)
            edited_(index, before); // Enter on an unchanged address records nothing
    }

private:
    Edited edited_;
};

QString Last_Name_Part(const QString& folderName)
{
    return folderName.mid(folderName.lastIndexOf(QLatin1Char('\\')) + 1);
}

} // namespace

frmManageContacts* frmManageContacts::Loaded()
{
    return g_manager;
}

frmManageContacts& frmManageContacts::Open(const engine::Contact_Action_Choices& choices, QWidget* parent)
{
    if (g_manager) {
        g_manager->show();
        g_manager->raise();
        g_manager->activateWindow();
        return *g_manager;
    }
    g_manager = new frmManageContacts(choices, parent);
    frmManageContacts& window = *g_manager;
    window.Form_Load();
    return window;
}

frmManageContacts::frmManageContacts(const engine::Contact_Action_Choices& choices, QWidget* parent)
    : QMainWindow(parent, Qt::Window), choices_(choices)
{
    setObjectName(QStringLiteral("frmManageContacts"));
    setWindowTitle(QStringLiteral("Manage Contacts"));
    setAttribute(Qt::WA_DeleteOnClose);
    Build_Window();
}

frmManageContacts::~frmManageContacts()
{
    if (g_manager == this)
        g_manager = nullptr;
}

void frmManageContacts::Build_Window()
{
    mnuEdit_ = menuBar()->addMenu(QStringLiteral("&Edit"));
    mnuEdit_->setObjectName(QStringLiteral("mnuEdit"));
    const auto entry = [this](const char* name, const QString& caption, void (frmManageContacts::*slot)()) {
        QAction* action = mnuEdit_->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    QAction* selectAll = mnuEdit_->addAction(QStringLiteral("Select &All"));
    selectAll->setObjectName(QStringLiteral("mnuSelectAll"));
    selectAll->setShortcut(QKeySequence::SelectAll);
    connect(selectAll, &QAction::triggered, this, [this] {
        for (int i = ListContacts_->topLevelItemCount() - 1; i >= 0; --i)
            ListContacts_->topLevelItem(i)->setSelected(true);
        ListContacts_->setFocus();
    });
    mnuEdit_->addSeparator()->setObjectName(QStringLiteral("mnuDivider1"));
    entry("mnuClearEmailAddressOnSelected", QStringLiteral("Clear &Email Address on Selected"),
          &frmManageContacts::Clear_Email_Of_Selected);
    entry("mnuClearStatusField", QStringLiteral("Clear &Status Field For Selected Contacts"),
          &frmManageContacts::Clear_Status_Of_Selected);
    QAction* remove = entry("mnuDeleteSelected", QStringLiteral("&Delete Selected"),
                            &frmManageContacts::Delete_Selected_Contacts);
    // Shown as a hint only: the Delete key itself is handled by the list.
    remove->setShortcut(QKeySequence::Delete);
    remove->setShortcutContext(Qt::WidgetShortcut);

    auto* client = new QWidget(this);
    setCentralWidget(client);
    ListContacts_ = new Contact_List(client);
    ListContacts_->setObjectName(QStringLiteral("ListContacts"));
    ListContacts_->setRootIsDecorated(false);
    ListContacts_->setItemsExpandable(false);
    ListContacts_->setUniformRowHeights(true);
    ListContacts_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListContacts_->setSelectionBehavior(QAbstractItemView::SelectRows);
    // A double click anywhere on a row, or F2, edits its address: the only
    // column that can be edited.
    ListContacts_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(ListContacts_, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* row) { ListContacts_->editItem(row, Column_Email); });
    ListContacts_->setItemDelegate(
        new Address_Delegate(ListContacts_, [this](const QModelIndex& at, const QString& before) {
            Address_Edited(ListContacts_->topLevelItem(at.row()), before);
        }));
    ListContacts_->setColumnCount(4);
    ListContacts_->setHeaderLabels(
        {QStringLiteral("Email"), QStringLiteral("Name"), QStringLiteral("Folder"), QStringLiteral("Path")});
    for (int column = 0; column < 4; ++column)
        ListContacts_->setColumnWidth(column, Twips_To_Pixels(this, kColumnTwips[column], Qt::Horizontal));
    ListContacts_->header()->setStretchLastSection(false);
    ListContacts_->header()->setSectionsClickable(true);
    ListContacts_->header()->setSortIndicatorShown(false);
    connect(ListContacts_->header(), &QHeaderView::sectionClicked, this, &frmManageContacts::Header_Click);
    ListContacts_->installEventFilter(this);
    ListContacts_->viewport()->installEventFilter(this);

    Update_My_Databases_ = new QPushButton(QStringLiteral("&Update"), client);
    Update_My_Databases_->setObjectName(QStringLiteral("Update_My_Databases"));
    Update_My_Databases_->setToolTip(QStringLiteral("Delete and change the contacts as recorded"));
    connect(Update_My_Databases_, &QPushButton::clicked, this, [this] { Update_Databases(); });
    CloseThis_ = new QPushButton(QStringLiteral("&Close"), client);
    CloseThis_->setObjectName(QStringLiteral("CloseThis"));
    connect(CloseThis_, &QPushButton::clicked, this, [this] {
        close_asks_ = true;
        close();
        close_asks_ = false;
    });

    status_panel_ = new QLabel(this);
    status_panel_->setObjectName(QStringLiteral("Panel1"));
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->addWidget(status_panel_, 1);

    resize(Twips_To_Pixels(this, kWidth, Qt::Horizontal), Twips_To_Pixels(this, kHeight, Qt::Vertical));
    const int clientHeight = height() - Menu_Bar_Height(this) - Twips_To_Pixels(this, kMargin, Qt::Vertical);
    const int margin = Twips_To_Pixels(this, kMargin, Qt::Horizontal);
    const int buttonWidth = Twips_To_Pixels(this, kButtonWidth, Qt::Horizontal);
    const int buttonHeight = Twips_To_Pixels(this, kButtonHeight, Qt::Vertical);
    const int statusHeight = statusBar()->sizeHint().height();
    const int buttonTop = clientHeight - statusHeight - buttonHeight - margin;
    ListContacts_->setGeometry(margin, margin, width() - 2 * margin, buttonTop - 2 * margin);
    CloseThis_->setGeometry(width() - margin - buttonWidth, buttonTop, buttonWidth, buttonHeight);
    Update_My_Databases_->setGeometry(width() - 2 * (margin + buttonWidth), buttonTop, buttonWidth,
                                      buttonHeight);
    setTabOrder(ListContacts_, Update_My_Databases_);
    setTabOrder(Update_My_Databases_, CloseThis_);
    // Recorded before the window shows, so that the resize of its showing,
    // not the user's first one, is the one passed over.
    Elastic_.Init(this);
}

void frmManageContacts::Form_Load()
{
    show();
    ListContacts_->setFocus();
    rows_.clear();
    const QPointer<frmManageContacts> alive(this);
    listing_ = true;
    for (qint32 index = 0; index < Folders().Contact_Folder_Count(); ++index) {
        Set_Status(QStringLiteral("Listing Bounced Contacts for Database ") +
                   Last_Name_Part(Folders().Contact_Folder_List[std::size_t(index)].Folder_Name));
        if (!List_Bounced_Contacts(index) || !alive)
            return;
    }
    listing_ = false;
    static_cast<Contact_List*>(ListContacts_)
        ->Set_Empty_Text(QStringLiteral("No contact in the listed folders has \"%1\" in the field %2.")
                             .arg(choices_.Field_Value(), choices_.Field_To_Be_Set()));
    sort_column_ = Column_Folder;
    sort_order_ = Qt::AscendingOrder;
    ListContacts_->sortItems(sort_column_, sort_order_);
    ListContacts_->header()->setSortIndicatorShown(true);
    // The addresses are what the user came to see: none is cut short.
    const int addressWidth = static_cast<QAbstractItemView*>(ListContacts_)->sizeHintForColumn(Column_Email);
    if (addressWidth > ListContacts_->columnWidth(Column_Email))
        ListContacts_->setColumnWidth(Column_Email, addressWidth);
    if (!ListContacts_->currentItem() && ListContacts_->topLevelItemCount() > 0)
        ListContacts_->setCurrentItem(ListContacts_->topLevelItem(0), 0, QItemSelectionModel::NoUpdate);
    Set_Status(QString());
}

bool frmManageContacts::List_Bounced_Contacts(qint32 folderIndex)
{
    if (!outlook::Start_Outlook() || !outlook::Session().Outlook_Namespace) {
        Messages().Show_Message(QStringLiteral("Failed to start Outlook Object."));
        return !closed_;
    }
    // Kept now: the main window's list may change while events run.
    const Contact_Folder_Record record = Folders().Contact_Folder_List[std::size_t(folderIndex)];
    const std::shared_ptr<outlook::Mapi_Folder> folder = Open_Database(folderIndex);
    if (!folder) {
        Messages().Show_Message(QStringLiteral("Could not load contact folder."));
        return !closed_;
    }
    const QString filter = Bounced_Filter(choices_.Field_To_Be_Set(), choices_.Field_Value());
    // A large folder takes a while to read: a helper thread reads it while
    // the window goes on answering.
    auto restricted =
        std::async(std::launch::async, [folder, filter] { return Restrict_Folder(*folder, filter); });
    const QPointer<frmManageContacts> alive(this);
    while (restricted.wait_for(std::chrono::milliseconds(kYieldEveryMs)) != std::future_status::ready)
        QCoreApplication::processEvents();
    const std::shared_ptr<outlook::Items_Collection> items = restricted.get();
    if (!alive || closed_)
        return false;
    const QString storeId = record.Store_ID;
    outlook::QuorinContactItem contact;
    QElapsedTimer sinceYield;
    sinceYield.start();
    const int count = items ? items->Count() : 0;
    for (int j = 1; j <= count; ++j) {
        try {
            contact.Set_Item(std::dynamic_pointer_cast<outlook::Contact_Item>(items->Item(j)));
            Bounced_Contact_Row row;
            row.Folder_Index = folderIndex;
            row.Item_Ids = kFieldSeparator + contact.EntryID() + kFieldSeparator + storeId + kFieldSeparator;
            const QString email = contact.Email1Address();
            const QString name = contact.FullName();
            rows_.push_back(row);
            auto* item = new Contact_Row_Item(ListContacts_);
            item->setText(Column_Email, email);
            item->setText(Column_Name, name);
            item->setText(Column_Folder, record.Folder_Name);
            item->setText(Column_Path, record.Folder_Path);
            item->setData(Column_Email, kKeyRole, Bounced_Row_Key(qint32(rows_.size() - 1)));
            item->setData(Column_Email, kListedAddressRole, email);
            item->setFlags(item->flags() | Qt::ItemIsEditable);
        } catch (const std::exception&) {
            // A contact that vanished or cannot be read is passed over.
        }
        // Events run often enough to keep the window responsive, not after
        // every row: each turn repaints the growing list.
        if (sinceYield.elapsed() >= kYieldEveryMs || j == count) {
            QCoreApplication::processEvents();
            sinceYield.restart();
            if (!alive || closed_)
                return false;
        }
    }
    return true;
}

Bounced_Contact_Row* frmManageContacts::Row_Of(const QTreeWidgetItem* item)
{
    if (!item)
        return nullptr;
    const qint32 index = Bounced_Row_Index(item->data(Column_Email, kKeyRole).toString());
    return index >= 0 && index < qint32(rows_.size()) ? &rows_[std::size_t(index)] : nullptr;
}

void frmManageContacts::Delete_Selected_Contacts()
{
    bool removed = false;
    int next = -1; // the row that takes the place of the first one removed
    for (int i = ListContacts_->topLevelItemCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* item = ListContacts_->topLevelItem(i);
        if (!item->isSelected())
            continue;
        if (Bounced_Contact_Row* row = Row_Of(item)) {
            row->Pending_Action = Delete_Contact;
            row->Row_Text = item->text(Column_Name) + QStringLiteral(" at ") + item->text(Column_Email);
        }
        delete item;
        changes_pending_ = true;
        removed = true;
        next = i;
    }
    // The keyboard goes on from where the rows were, nothing selected.
    if (removed && ListContacts_->topLevelItemCount() > 0)
        ListContacts_->setCurrentItem(
            ListContacts_->topLevelItem(std::min(next, ListContacts_->topLevelItemCount() - 1)), Column_Email,
            QItemSelectionModel::NoUpdate);
    if (removed)
        Messages().Show_Message(QStringLiteral("Contact Delete Action Suceeded!\r\n"
                                               "Contact will only be removed from folder when the update "
                                               "button is pressed."));
}

void frmManageContacts::Clear_Email_Of_Selected()
{
    bool marked = false;
    for (int i = ListContacts_->topLevelItemCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* item = ListContacts_->topLevelItem(i);
        if (!item->isSelected())
            continue;
        if (Bounced_Contact_Row* row = Row_Of(item)) {
            row->Pending_Action = Change_Email;
            row->Row_Text.clear();
        }
        item->setText(Column_Email, QString());
        changes_pending_ = true;
        marked = true;
    }
    if (marked)
        Messages().Show_Message(QStringLiteral("Contact Email Clearing Action Suceeded!\r\n"
                                               "Contact emails will only be cleared when the update button "
                                               "is pressed."));
}

void frmManageContacts::Clear_Status_Of_Selected()
{
    if (!Messages().Ask_Yes_No(
            QStringLiteral("Do you want to clear the Bounced Status for all the selected contact(s)?")))
        return;
    for (int i = ListContacts_->topLevelItemCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* item = ListContacts_->topLevelItem(i);
        if (!item->isSelected())
            continue;
        if (Bounced_Contact_Row* row = Row_Of(item)) {
            // An address change recorded for the row is dropped: show the
            // address the contact keeps.
            if (row->Pending_Action == Change_Email)
                item->setText(Column_Email, item->data(Column_Email, kListedAddressRole).toString());
            row->Pending_Action = Clear_Status;
            row->Row_Text = item->text(Column_Name);
        }
        changes_pending_ = true;
    }
    Clear_Status_Fields();
}

void frmManageContacts::Address_Edited(QTreeWidgetItem* item, const QString& before)
{
    const QString address = item ? item->text(Column_Email) : QString();
    // The typed text is written as it stands; one that cannot be an address
    // is confirmed first, as it replaces the contact's address for good.
    const QString doubt =
        address.trimmed().isEmpty()
            ? QStringLiteral("The e-mail address is empty. Do you want to clear the contact's address?")
        : !address.contains(QLatin1Char('@'))
            ? QStringLiteral("\"%1\" is not an e-mail address. Do you want to use it anyway?").arg(address)
            : QString();
    const QPersistentModelIndex at = ListContacts_->indexFromItem(item, Column_Email);
    const auto record = [this, at, address, before](bool keep) {
        QTreeWidgetItem* row = at.isValid() ? ListContacts_->topLevelItem(at.row()) : nullptr;
        Bounced_Contact_Row* record = Row_Of(row);
        if (!record)
            return; // deleted meanwhile
        if (!keep) {
            row->setText(Column_Email, before);
            return;
        }
        record->Pending_Action = Change_Email;
        record->Row_Text = address;
        changes_pending_ = true;
    };
    if (doubt.isEmpty()) {
        record(true);
        return;
    }
    // Asked once the editor has closed, so that the question cannot disturb it.
    QMetaObject::invokeMethod(
        this, [record, doubt] { record(Messages().Ask_Yes_No(doubt)); }, Qt::QueuedConnection);
}

bool frmManageContacts::Update_Databases()
{
    if (!outlook::Session().Outlook_Namespace) {
        Messages().Show_Message(QStringLiteral("Failed to start Outlook Object."));
        return false;
    }
    {
        // No run may change the contacts meanwhile, nor this update a run's.
        engine::Run_Guard guard;
        if (!guard.Acquired()) {
            Messages().Show_Message(kRunUnderWay);
            return false;
        }
        // Journaled like a run, so that "Undo Last Run" can take it back.
        engine::Journal_Session journal(QStringLiteral("Update Bounced Contacts"));
        if (!journal.Start())
            return false;
        Apply_Recorded_Actions(rows_, choices_.Field_To_Be_Set(),
                               [this](const QString& text) { Set_Status(text); });
        journal.Finish(nullptr);
    }
    Set_Status(QString());
    Messages().Show_Message(QStringLiteral("Update of Database(s) Finished."));
    changes_pending_ = false;
    return true;
}

bool frmManageContacts::Clear_Status_Fields()
{
    if (!outlook::Start_Outlook() || !outlook::Session().Outlook_Namespace) {
        Messages().Show_Message(QStringLiteral("Failed to start Outlook Object."));
        return false;
    }
    {
        engine::Run_Guard guard;
        if (!guard.Acquired()) {
            Messages().Show_Message(kRunUnderWay);
            return false;
        }
        engine::Journal_Session journal(QStringLiteral("Clear Status Fields of Bounced Contacts"));
        if (!journal.Start())
            return false;
        Apply_Status_Clearing(rows_, choices_.Field_To_Be_Set(),
                              [this](const QString& text) { Set_Status(text); });
        journal.Finish(nullptr);
    }
    Set_Status(QString());
    Messages().Show_Message(QStringLiteral("Update of Database(s) Finished."));
    // Deletions and addresses still waiting for "Update" keep the question
    // at closing.
    changes_pending_ = false;
    for (const Bounced_Contact_Row& row : rows_)
        if (row.Pending_Action == Delete_Contact || row.Pending_Action == Change_Email)
            changes_pending_ = true;
    return true;
}

void frmManageContacts::Set_Status(const QString& text)
{
    status_panel_->setText(text);
    // The update lets no events in: paint the line now and then, so that the
    // user sees it progress.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (text.isEmpty() || now - last_paint_ >= kPaintEveryMs) {
        last_paint_ = now;
        status_panel_->repaint();
    }
}

void frmManageContacts::Header_Click(int column)
{
    // The header has already turned its own indicator; the order is kept here.
    if (column == sort_column_)
        sort_order_ = sort_order_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    sort_column_ = column;
    ListContacts_->sortItems(sort_column_, sort_order_);
    ListContacts_->header()->setSortIndicatorShown(true);
}

void frmManageContacts::Show_Edit_Menu(const QPoint& globalPos)
{
    mnuEdit_->popup(globalPos);
}

bool frmManageContacts::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ListContacts_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            Show_Edit_Menu(mouse->globalPosition().toPoint());
            return true;
        }
    }
    if ((watched == ListContacts_ || watched == ListContacts_->viewport()) &&
        event->type() == QEvent::ContextMenu) {
        // A right click shows the menu on its release; the menu key here.
        if (static_cast<QContextMenuEvent*>(event)->reason() != QContextMenuEvent::Mouse) {
            const QRect at = ListContacts_->visualItemRect(ListContacts_->currentItem());
            Show_Edit_Menu(ListContacts_->viewport()->mapToGlobal(at.isValid() ? at.bottomLeft() : QPoint()));
        }
        return true;
    }
    if (watched == ListContacts_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F2 && ListContacts_->currentItem()) {
        ListContacts_->editItem(ListContacts_->currentItem(), Column_Email);
        return true;
    }
    if (watched == ListContacts_ && event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        // A release that an open address editor passed on is not for the list.
        const QWidget* focus = QApplication::focusWidget();
        const bool editing = focus && focus != ListContacts_ && ListContacts_->isAncestorOf(focus);
        if (key->key() == Qt::Key_Delete && !key->isAutoRepeat() && !editing) {
            Delete_Selected_Contacts();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmManageContacts::closeEvent(QCloseEvent* event)
{
    // Only the "Close" button asks; the frame's close box drops what waits.
    if (close_asks_ && changes_pending_ &&
        Messages().Ask_Yes_No(QStringLiteral("Do you want to update your databases?")) &&
        !Update_Databases()) {
        event->ignore(); // the recorded actions are still waiting
        return;
    }
    closed_ = true;
    if (g_manager == this)
        g_manager = nullptr;
    QMainWindow::closeEvent(event);
}

void frmManageContacts::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Elastic_.FormResize(this);
}

} // namespace bc::windows
