#include "windows/frmEditIdentifiers.h"

#include "config/Identifier_Lists.h"
#include "config/User_Messages.h"
#include "engine/Processing_Flags.h"
#include "outlook/Outlook_Session.h"
#include "windows/Text_Row.h"
#include "windows/class_Elastic.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <stdexcept>

namespace bc::windows {

// Keeps the row editor that is open, so that Save can take a text still
// being typed.
class Row_Editor_Delegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        editor_ = editor;
        return editor;
    }

    void destroyEditor(QWidget* editor, const QModelIndex& index) const override
    {
        if (editor == editor_)
            editor_ = nullptr;
        QStyledItemDelegate::destroyEditor(editor, index);
    }

    bool Is_Editing() const { return editor_ != nullptr; }

    void Commit()
    {
        if (QWidget* editor = editor_) {
            editor_ = nullptr;
            Q_EMIT commitData(editor);
            Q_EMIT closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }

private:
    mutable QPointer<QWidget> editor_;
};

namespace {

const QString kSaveQuestion = QStringLiteral("Do you want to save all your new return string settings?");
const QString kSelectFirst = QStringLiteral("First select the string to remove.");
const QString kBusy = QStringLiteral("The list cannot be changed while emails are being processed.");

// Window size in twips.
constexpr int kWidth = 5400;
constexpr int kHeight = 5700;

// The profile owner's address for the no-check reset; nullopt without one.
std::optional<QString> Current_User_Address()
{
    // Start_Outlook has shown why it could not start; the reset reports
    // that it failed.
    if (!outlook::Start_Outlook())
        throw std::runtime_error("no mail session");
    const auto user = outlook::Session().Outlook_Namespace->CurrentUser();
    if (!user)
        return std::nullopt;
    return user->Address();
}

QPointer<frmEditIdentifiers> g_return_editor;
QPointer<frmEditIdentifiers> g_no_check_editor;

} // namespace

frmEditIdentifiers::frmEditIdentifiers(const Identifier_Editor_Kind& kind, QWidget* parent)
    : QDialog(parent), kind_(kind)
{
    setObjectName(QLatin1String(kind.Object_Name));
    setWindowTitle(kind.Caption);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    Label1_ = new QLabel(kind.Label, this);
    Label1_->setObjectName(QStringLiteral("Label1"));

    ListReturns_ = new QTreeWidget(this);
    ListReturns_->setObjectName(QStringLiteral("ListReturns"));
    ListReturns_->setColumnCount(1);
    ListReturns_->setHeaderLabels({QStringLiteral("Return Search String")});
    ListReturns_->setRootIsDecorated(false);
    ListReturns_->setUniformRowHeights(true);
    ListReturns_->setSelectionMode(QAbstractItemView::SingleSelection);
    ListReturns_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                  QAbstractItemView::SelectedClicked);
    // The one column is as wide as the list, or as its longest entry, which
    // can then be read by scrolling instead of being cut short.
    ListReturns_->header()->setStretchLastSection(false);
    ListReturns_->header()->setSectionsClickable(true);
    ListReturns_->setContextMenuPolicy(Qt::CustomContextMenu);
    delegate_ = new Row_Editor_Delegate(ListReturns_);
    ListReturns_->setItemDelegate(delegate_);
    ListReturns_->installEventFilter(this);
    ListReturns_->viewport()->installEventFilter(this);
    Label1_->setBuddy(ListReturns_);

    PopupReturn_ = new QMenu(this);
    PopupReturn_->setObjectName(QStringLiteral("PopupReturn"));
    QAction* remove = PopupReturn_->addAction(QStringLiteral("&Delete Search String"));
    remove->setObjectName(QStringLiteral("Delete"));
    remove->setShortcut(QKeySequence::Delete); // handled by the list; shown as a hint
    remove->setShortcutContext(Qt::WidgetShortcut);
    QAction* insert = PopupReturn_->addAction(QStringLiteral("&Insert Search String"));
    insert->setObjectName(QStringLiteral("Insert"));
    insert->setShortcut(QKeySequence(Qt::Key_Insert));
    insert->setShortcutContext(Qt::WidgetShortcut);

    ResetToDefaults_ = new QPushButton(QStringLiteral("&Reset To Default"), this);
    ResetToDefaults_->setObjectName(QStringLiteral("ResetToDefaults"));
    SaveAndClose_ = new QPushButton(QStringLiteral("&Save"), this);
    SaveAndClose_->setObjectName(QStringLiteral("SaveAndClose"));
    Close_ = new QPushButton(QStringLiteral("&Close"), this);
    Close_->setObjectName(QStringLiteral("Close"));
    // No default button: Enter in the list edits the row instead of saving.
    for (QPushButton* button : {ResetToDefaults_, SaveAndClose_, Close_})
        button->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ResetToDefaults_);
    buttons->addStretch(1);
    buttons->addWidget(SaveAndClose_);
    buttons->addWidget(Close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1_);
    layout->addWidget(ListReturns_, 1);
    layout->addLayout(buttons);

    connect(ListReturns_->header(), &QHeaderView::sectionClicked, this, &frmEditIdentifiers::Column_Click);
    connect(ListReturns_, &QTreeWidget::itemChanged, this, &frmEditIdentifiers::Fit_Column);
    // An edited row takes its sorted place; the view follows it there.
    connect(ListReturns_->model(), &QAbstractItemModel::layoutChanged, this, [this] {
        if (QTreeWidgetItem* row = ListReturns_->currentItem())
            ListReturns_->scrollToItem(row);
    });
    connect(ListReturns_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupReturn_->popup(ListReturns_->viewport()->mapToGlobal(at)); });
    connect(insert, &QAction::triggered, this, &frmEditIdentifiers::Insert_Click);
    connect(remove, &QAction::triggered, this, &frmEditIdentifiers::Delete_Click);
    connect(ResetToDefaults_, &QPushButton::clicked, this, &frmEditIdentifiers::Reset_To_Default_Strings);
    connect(SaveAndClose_, &QPushButton::clicked, this, &frmEditIdentifiers::SaveAndClose_Click);
    connect(Close_, &QPushButton::clicked, this, &QWidget::close);

    resize(Twips_To_Pixels(this, kWidth, Qt::Horizontal), Twips_To_Pixels(this, kHeight, Qt::Vertical));
    Fill(kind.Rows());
    ListReturns_->setFocus();
}

frmEditIdentifiers& frmEditIdentifiers::Open(QPointer<frmEditIdentifiers>& slot,
                                             const std::function<frmEditIdentifiers*()>& make)
{
    // A closed editor is only waiting to be deleted: its copy is dropped.
    if (!slot || !slot->isVisible())
        slot = make();
    slot->show();
    slot->raise();
    slot->activateWindow();
    return *slot;
}

QStringList frmEditIdentifiers::Rows() const
{
    QStringList rows;
    for (int i = 0; i < ListReturns_->topLevelItemCount(); ++i)
        rows.append(ListReturns_->topLevelItem(i)->text(0));
    return rows;
}

void frmEditIdentifiers::Fill(const QStringList& rows)
{
    ListReturns_->setSortingEnabled(false);
    ListReturns_->clear();
    for (const QString& row : rows)
        Add_Row(row);
    ListReturns_->header()->setSortIndicator(0, Qt::AscendingOrder);
    ListReturns_->setSortingEnabled(true); // sorts, and keeps inserted and edited rows in place
    sort_order_ = Qt::AscendingOrder;
    click_sort_column_ = -1;
    Fit_Column();
}

void frmEditIdentifiers::Fit_Column()
{
    // Measured over every row: the view's own measure looks only at the rows
    // in sight.
    const QFontMetrics metrics(ListReturns_->font());
    int widest = 0;
    for (int i = 0; i < ListReturns_->topLevelItemCount(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(ListReturns_->topLevelItem(i)->text(0)));
    const int margins = 4 * (ListReturns_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    ListReturns_->setColumnWidth(0, std::max(ListReturns_->viewport()->width(), widest + margins));
}

QTreeWidgetItem* frmEditIdentifiers::Add_Row(const QString& text)
{
    auto* row = new Text_Row(text);
    row->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable);
    ListReturns_->addTopLevelItem(row);
    return row;
}

QTreeWidgetItem* frmEditIdentifiers::Selected_Row() const
{
    const QList<QTreeWidgetItem*> selected = ListReturns_->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void frmEditIdentifiers::Column_Click(int column)
{
    // The heading has already flipped its own indicator; the order is
    // decided here: a click on the column last clicked flips it.
    if (column == click_sort_column_)
        sort_order_ = sort_order_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    click_sort_column_ = column;
    ListReturns_->sortByColumn(column, sort_order_);
}

void frmEditIdentifiers::Insert_Click()
{
    delegate_->Commit();
    QTreeWidgetItem* row = Add_Row(kind_.New_Row_Text);
    Fit_Column();
    ListReturns_->setCurrentItem(row);
    ListReturns_->scrollToItem(row);
    // The new row is there to be overwritten.
    ListReturns_->setFocus();
    ListReturns_->editItem(row, 0);
}

void frmEditIdentifiers::Delete_Click()
{
    delegate_->Commit();
    QTreeWidgetItem* row = Selected_Row();
    if (!row) {
        Messages().Show_Message(kSelectFirst);
        return;
    }
    const int position = ListReturns_->indexOfTopLevelItem(row);
    delete row;
    Fit_Column();
    const int count = ListReturns_->topLevelItemCount();
    if (count == 0) {
        ListReturns_->clearSelection();
        ListReturns_->setCurrentItem(nullptr);
        return;
    }
    // The row that took its place, so that Delete again removes the next one.
    QTreeWidgetItem* next = ListReturns_->topLevelItem(std::min(position, count - 1));
    ListReturns_->setCurrentItem(next);
    next->setSelected(true);
    ListReturns_->scrollToItem(next);
}

void frmEditIdentifiers::SaveAndClose_Click()
{
    delegate_->Commit();
    if (Refused_During_Run())
        return;
    if (!Messages().Ask_Yes_No(kSaveQuestion))
        return;
    // Errors are reported by the save itself; the rows stay either way.
    kind_.Save(Rows());
}

void frmEditIdentifiers::Reset_To_Default_Strings()
{
    delegate_->Commit();
    if (Refused_During_Run())
        return;
    QStringList rows = Rows();
    if (kind_.Reset(rows))
        Fill(rows);
}

bool frmEditIdentifiers::Refused_During_Run() const
{
    // A run works through both lists between its yields; they change only
    // between runs.
    if (!engine::Flags().Run_In_Progress)
        return false;
    Messages().Show_Message(kBusy);
    return true;
}

bool frmEditIdentifiers::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ListReturns_->viewport() && event->type() == QEvent::Resize)
        Fit_Column();
    if (watched == ListReturns_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & ~Qt::KeypadModifier)
            return QDialog::eventFilter(watched, event);
        switch (key->key()) {
        case Qt::Key_Delete:
            Delete_Click();
            return true;
        case Qt::Key_Insert:
            Insert_Click();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // The row editor passes its Enter on after finishing the edit.
            if (delegate_->Is_Editing())
                return true;
            if (QTreeWidgetItem* row = ListReturns_->currentItem())
                ListReturns_->editItem(row, 0);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// The return identifiers: rows as stored.
const Identifier_Editor_Kind& frmEditReturn::Kind()
{
    static const Identifier_Editor_Kind kind{
        "frmEditReturn",
        QStringLiteral("Edit Return Search Strings"),
        QStringLiteral("Return Email Identifiers"),
        QStringLiteral("New Return String"),
        [] { return Lists().Search_Strings; },
        [](const QStringList& rows) { return Save_Search_Strings(rows); },
        [](QStringList& rows) {
            if (!Reset_Search_Strings_To_Default())
                return false;
            rows = Lists().Search_Strings;
            return true;
        },
    };
    return kind;
}

frmEditReturn::frmEditReturn(QWidget* parent) : frmEditIdentifiers(Kind(), parent) {}

frmEditIdentifiers& frmEditReturn::Open(QWidget* parent)
{
    return frmEditIdentifiers::Open(g_return_editor, [parent] { return new frmEditReturn(parent); });
}

frmEditIdentifiers* frmEditReturn::Loaded()
{
    return g_return_editor && g_return_editor->isVisible() ? g_return_editor.data() : nullptr;
}

// The no-check addresses: rows in lower case, the form they are typed in.
const Identifier_Editor_Kind& frmEditNoCheck::Kind()
{
    static const Identifier_Editor_Kind kind{
        "frmEditNoCheck",
        QStringLiteral("Edit No Check Email Addresses"),
        QStringLiteral("Edit No Check Email Addresses"),
        QStringLiteral("New No Check Email"),
        [] {
            QStringList rows;
            for (const QString& entry : Lists().No_Check_Strings)
                rows.append(entry.toLower());
            return rows;
        },
        [](const QStringList& rows) { return Save_No_Check_Strings(rows); },
        [](QStringList& rows) { return Reset_No_Check_To_Default(&Current_User_Address, rows); },
    };
    return kind;
}

frmEditNoCheck::frmEditNoCheck(QWidget* parent) : frmEditIdentifiers(Kind(), parent) {}

frmEditIdentifiers& frmEditNoCheck::Open(QWidget* parent)
{
    return frmEditIdentifiers::Open(g_no_check_editor, [parent] { return new frmEditNoCheck(parent); });
}

frmEditIdentifiers* frmEditNoCheck::Loaded()
{
    return g_no_check_editor && g_no_check_editor->isVisible() ? g_no_check_editor.data() : nullptr;
}

} // namespace bc::windows
