#include "windows/frmPickFolder.h"

#include "config/User_Messages.h"
#include "outlook/Outlook_Session.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QQueue>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <exception>

namespace bc::windows {
namespace {

QQueue<frmPickFolder::Answer> g_answers;

constexpr int kFolderRole = Qt::UserRole;     // index into folders_
constexpr int kListedRole = Qt::UserRole + 1; // children already listed

} // namespace

frmPickFolder::frmPickFolder(outlook::Name_Space& session, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPickFolder"));
    setWindowTitle(QStringLiteral("Select Folder"));

    auto* prompt = new QLabel(QStringLiteral("Folders:"), this);
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
        if (row->childCount() == 0)
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
    if (tree_->topLevelItemCount() > 0)
        tree_->setCurrentItem(tree_->topLevelItem(0));

    const int em = fontMetrics().horizontalAdvance(QLatin1Char('M'));
    resize(em * 30, em * 32);
}

frmPickFolder::Folder frmPickFolder::Selected_Folder() const
{
    const QList<QTreeWidgetItem*> selected = tree_->selectedItems();
    if (selected.isEmpty())
        return nullptr;
    bool ok = false;
    const int index = selected.first()->data(0, kFolderRole).toInt(&ok);
    if (!ok || index < 0 || index >= static_cast<int>(folders_.size()))
        return nullptr;
    return folders_[static_cast<size_t>(index)];
}

frmPickFolder::Folder frmPickFolder::PickFolder(outlook::Name_Space& session, QWidget* parent)
{
    if (!g_answers.isEmpty())
        return g_answers.dequeue()(session);
    frmPickFolder dialog(session, parent);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return dialog.Selected_Folder();
}

frmPickFolder::Folder frmPickFolder::Pick_Folder_Of_Class(QWidget* parent, const QString& messageClass,
                                                          const QString& wrongKindMessage)
{
    if (!outlook::Start_Outlook()) {
        Messages().Show_Message(QStringLiteral("Error starting outlook. Exiting..."));
        return nullptr;
    }
    const auto session = outlook::Session().Outlook_Namespace;
    if (!session)
        throw outlook::Outlook_Error(QStringLiteral("No mail session."));
    const Folder folder = PickFolder(*session, parent ? parent->window() : nullptr);
    if (parent)
        parent->window()->activateWindow();
    if (!folder)
        return nullptr;
    if (folder->DefaultMessageClass() != messageClass) {
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
    return row;
}

} // namespace bc::windows
