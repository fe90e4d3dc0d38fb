#include "windows/frmPickFolder.h"

#include "config/User_Messages.h"
#include "outlook/Outlook_Session.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QQueue>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <exception>

namespace bc::windows {
namespace {

QQueue<frmPickFolder::Answer> g_answers;
frmPickFolder::Request g_last_request;

constexpr int kFolderRole = Qt::UserRole;     // index into folders_
constexpr int kListedRole = Qt::UserRole + 1; // children already listed

const QString kMail = QStringLiteral("IPM.Note");
const QString kContact = QStringLiteral("IPM.Contact");
const QString kTask = QStringLiteral("IPM.Task");

// Small drawn icons for the three kinds, used when the desktop's icon theme
// has none.
QIcon Drawn_Icon(const QString& messageClass)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 2));
    if (messageClass == kContact) {
        p.setBrush(QColor(70, 130, 200));
        p.drawEllipse(QRectF(10, 3, 12, 12));
        QPainterPath body;
        body.moveTo(4, 29);
        body.cubicTo(4, 17, 28, 17, 28, 29);
        body.closeSubpath();
        p.drawPath(body);
    } else if (messageClass == kTask) {
        p.setBrush(QColor(245, 245, 235));
        p.drawRoundedRect(QRectF(5, 3, 22, 26), 3, 3);
        p.setPen(QPen(QColor(40, 150, 60), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(10, 16), QPointF(15, 21), QPointF(23, 10)}));
    } else {
        p.setBrush(QColor(250, 240, 200));
        p.drawRect(QRectF(3, 8, 26, 17));
        p.drawPolyline(QPolygonF({QPointF(3, 8), QPointF(16, 18), QPointF(29, 8)}));
    }
    return QIcon(pixmap);
}

QIcon Kind_Icon(const QString& messageClass, bool store, const QStyle* style)
{
    if (store)
        return style->standardIcon(QStyle::SP_DriveHDIcon);
    const char* theme = messageClass == kContact ? "x-office-address-book"
                        : messageClass == kTask  ? "view-calendar-tasks"
                                                 : "folder-mail";
    return QIcon::fromTheme(QLatin1String(theme), Drawn_Icon(messageClass));
}

QString Kind_Text(const QString& messageClass)
{
    if (messageClass == kContact)
        return QStringLiteral("Contact folder");
    if (messageClass == kTask)
        return QStringLiteral("Task folder");
    if (messageClass == kMail)
        return QStringLiteral("Mail folder");
    return QString();
}

} // namespace

frmPickFolder::frmPickFolder(outlook::Name_Space& session, QWidget* parent)
    : frmPickFolder(session, Request{}, parent)
{
}

frmPickFolder::frmPickFolder(outlook::Name_Space& session, const Request& request, QWidget* parent)
    : QDialog(parent), request_(request)
{
    setObjectName(QStringLiteral("frmPickFolder"));
    setWindowTitle(request.Title);

    auto* prompt = new QLabel(QStringLiteral("&Folders:"), this);
    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("FolderTree"));
    tree_->setHeaderHidden(true);
    tree_->setColumnCount(1);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->header()->setStretchLastSection(true);
    prompt->setBuddy(tree_);

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->setObjectName(QStringLiteral("PickFolderButtons"));
    buttons_->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("PickFolderOK"));
    buttons_->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("PickFolderCancel"));
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(false);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(tree_, 1);
    layout->addWidget(buttons_);

    connect(tree_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* row) {
        for (int i = 0; i < row->childCount(); ++i)
            List_Children(row->child(i));
    });
    connect(tree_, &QTreeWidget::itemSelectionChanged, this,
            [this] { buttons_->button(QDialogButtonBox::Ok)->setEnabled(Selected_Folder() != nullptr); });
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* row) {
        if (row->childCount() == 0 && row->isSelected())
            accept();
    });

    for (const Folder& store : session.Stores()) {
        if (!store)
            continue;
        QTreeWidgetItem* row = Add_Row(nullptr, store);
        List_Children(row);
        // Children of the visible rows are listed too, so every row that
        // can be opened shows that it can.
        for (int i = 0; i < row->childCount(); ++i)
            List_Children(row->child(i));
        row->setExpanded(true);
    }

    QTreeWidgetItem* start = Row_Of(Start_Folder(session));
    if (!start && tree_->topLevelItemCount() > 0) {
        // The first folder of the kind in the default store.
        QTreeWidgetItem* store = tree_->topLevelItem(0);
        for (int i = 0; !start && i < store->childCount(); ++i)
            if (store->child(i)->flags() & Qt::ItemIsSelectable)
                start = store->child(i);
        if (!start)
            start = store;
    }
    if (start) {
        for (QTreeWidgetItem* above = start->parent(); above; above = above->parent())
            above->setExpanded(true);
        tree_->setCurrentItem(start);
        tree_->scrollToItem(start);
    }

    const int em = fontMetrics().horizontalAdvance(QLatin1Char('M'));
    resize(em * 30, em * 32);
}

frmPickFolder::Folder frmPickFolder::Selected_Folder() const
{
    const QList<QTreeWidgetItem*> selected = tree_->selectedItems();
    if (selected.isEmpty())
        return nullptr;
    return Folder_Of(selected.first());
}

frmPickFolder::Folder frmPickFolder::Folder_Of(const QTreeWidgetItem* row) const
{
    bool ok = false;
    const int index = row ? row->data(0, kFolderRole).toInt(&ok) : -1;
    if (!ok || index < 0 || index >= static_cast<int>(folders_.size()))
        return nullptr;
    return folders_[static_cast<size_t>(index)];
}

frmPickFolder::Folder frmPickFolder::Start_Folder(outlook::Name_Space& session) const
{
    // A chosen folder that is gone, or a session that fails here, only
    // means that the dialog opens elsewhere.
    try {
        if (!request_.Entry_ID.isEmpty())
            if (Folder chosen = session.GetFolderFromID(request_.Entry_ID, request_.Store_ID))
                return chosen;
        if (request_.Default_Kind != 0)
            return session.GetDefaultFolder(request_.Default_Kind);
    } catch (const std::exception&) {
    }
    return nullptr;
}

QTreeWidgetItem* frmPickFolder::Row_Of(const Folder& folder)
{
    if (!folder)
        return nullptr;
    try {
        // The folders from the store's top down to this one.
        std::vector<Folder> path{folder};
        while (Folder above = path.back()->Parent())
            path.push_back(above);
        const QString storeId = folder->StoreID();
        QTreeWidgetItem* row = nullptr;
        for (int i = 0; !row && i < tree_->topLevelItemCount(); ++i) {
            const Folder store = Folder_Of(tree_->topLevelItem(i));
            if (store && store->StoreID() == storeId && store->EntryID() == path.back()->EntryID())
                row = tree_->topLevelItem(i);
        }
        for (auto step = path.rbegin() + 1; row && step != path.rend(); ++step) {
            List_Children(row);
            QTreeWidgetItem* next = nullptr;
            for (int i = 0; !next && i < row->childCount(); ++i) {
                const Folder child = Folder_Of(row->child(i));
                if (child && child->EntryID() == (*step)->EntryID())
                    next = row->child(i);
            }
            row = next;
        }
        return row;
    } catch (const std::exception&) {
        return nullptr;
    }
}

frmPickFolder::Folder frmPickFolder::PickFolder(outlook::Name_Space& session, QWidget* parent)
{
    return PickFolder(session, Request{}, parent);
}

frmPickFolder::Folder frmPickFolder::PickFolder(outlook::Name_Space& session, const Request& request,
                                                QWidget* parent)
{
    g_last_request = request;
    if (!g_answers.isEmpty())
        return g_answers.dequeue()(session);
    frmPickFolder dialog(session, request, parent);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return dialog.Selected_Folder();
}

frmPickFolder::Folder frmPickFolder::Pick_Folder_Of_Class(QWidget* parent, const Request& request,
                                                          const QString& wrongKindMessage)
{
    if (!outlook::Start_Outlook()) {
        Messages().Show_Message(QStringLiteral("Error starting outlook. Exiting..."));
        return nullptr;
    }
    const auto session = outlook::Session().Outlook_Namespace;
    if (!session)
        throw outlook::Outlook_Error(QStringLiteral("No mail session."));
    const Folder folder = PickFolder(*session, request, parent ? parent->window() : nullptr);
    if (parent)
        parent->window()->activateWindow();
    if (!folder)
        return nullptr;
    if (folder->DefaultMessageClass() != request.Message_Class) {
        Messages().Show_Message(wrongKindMessage);
        return nullptr;
    }
    return folder;
}

void frmPickFolder::setNextAnswer(Answer answer)
{
    g_answers.enqueue(std::move(answer));
}

void frmPickFolder::clearNextAnswers()
{
    g_answers.clear();
}

const frmPickFolder::Request& frmPickFolder::Last_Request()
{
    return g_last_request;
}

frmPickFolder::Answer frmPickFolder::Folder_At(const QString& path)
{
    return [path](outlook::Name_Space& session) -> Folder {
        const QStringList names = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        if (names.isEmpty())
            return nullptr;
        Folder found;
        for (const Folder& store : session.Stores()) {
            if (store && store->Name() == names.first()) {
                found = store;
                break;
            }
        }
        for (qsizetype i = 1; found && i < names.size(); ++i) {
            Folder next;
            for (const Folder& child : found->Folders()) {
                if (child && child->Name() == names[i]) {
                    next = child;
                    break;
                }
            }
            found = next;
        }
        return found;
    };
}

void frmPickFolder::List_Children(QTreeWidgetItem* row)
{
    if (row->data(0, kListedRole).toBool())
        return;
    row->setData(0, kListedRole, true);
    const Folder folder = folders_[static_cast<size_t>(row->data(0, kFolderRole).toInt())];
    std::vector<Folder> children;
    try {
        children = folder->Folders();
    } catch (const std::exception&) {
        // A folder whose subfolders cannot be read is still offered itself.
        children.clear();
    }
    for (const Folder& child : children) {
        if (child)
            Add_Row(row, child);
    }
}

QTreeWidgetItem* frmPickFolder::Add_Row(QTreeWidgetItem* parent, const Folder& folder)
{
    auto* row = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
    QString name;
    try {
        name = folder->Name();
    } catch (const std::exception&) {
        name = QStringLiteral("?");
    }
    row->setText(0, name);
    row->setData(0, kFolderRole, static_cast<int>(folders_.size()));
    folders_.push_back(folder);

    QString messageClass;
    try {
        messageClass = folder->DefaultMessageClass();
    } catch (const std::exception&) {
        messageClass.clear();
    }
    QIcon icon = Kind_Icon(messageClass, parent == nullptr, style());
    row->setToolTip(0, Kind_Text(messageClass));
    if (!request_.Message_Class.isEmpty() && messageClass != request_.Message_Class) {
        // Shown, so that the tree still leads to the folders below it, but
        // greyed and not to be chosen.
        row->setFlags(row->flags() & ~Qt::ItemIsSelectable);
        row->setForeground(0, palette().brush(QPalette::Disabled, QPalette::Text));
        const int side = style()->pixelMetric(QStyle::PM_SmallIconSize);
        icon = QIcon(icon.pixmap(QSize(side, side), QIcon::Disabled));
    }
    row->setIcon(0, icon);
    return row;
}

} // namespace bc::windows
