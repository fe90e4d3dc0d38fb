#include "windows/Message_List.h"

#include "config/Identifier_Lists.h"
#include "engine/Disposal.h"
#include "windows/class_Elastic.h"

#include <QContextMenuEvent>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QStyle>

#include <algorithm>
#include <numeric>

namespace bc::windows {

Message_List_Model::Message_List_Model(const std::vector<outlook::Message_Row>& rows, QObject* parent)
    : QAbstractTableModel(parent), rows_(rows)
{
}

Message_List_Model::Mark Message_List_Model::Mark_Of(const outlook::Message_Row& row)
{
    if (!row.Subject)
        return Mark::None;
    return Contains_Return_Identifier(*row.Subject) ? Mark::Yes : Mark::No;
}

QString Message_List_Model::Mark_Text(Mark mark)
{
    return mark == Mark::None ? QString() : QString(QLatin1Char(char(mark)));
}

QString Message_List_Model::Date_Text(const std::optional<QDateTime>& when)
{
    if (!when || !when->isValid())
        return {};
    return QLocale::system().toString(when->toLocalTime(), QLocale::ShortFormat);
}

void Message_List_Model::Append(const std::vector<Entry>& entries)
{
    if (entries.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + int(entries.size()) - 1);
    entries_.insert(entries_.end(), entries.begin(), entries.end());
    endInsertRows();
}

void Message_List_Model::Clear()
{
    beginResetModel();
    entries_.clear();
    dates_.clear();
    endResetModel();
}

void Message_List_Model::Remove(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows({}, row, row);
    entries_.erase(entries_.begin() + row);
    endRemoveRows();
}

int Message_List_Model::Row_Of(qint32 index) const
{
    const auto at =
        std::find_if(entries_.begin(), entries_.end(), [index](const Entry& e) { return e.Index == index; });
    return at == entries_.end() ? -1 : int(at - entries_.begin());
}

QString Message_List_Model::Key(int row) const
{
    return engine::Message_Row_Key(Index(row));
}

QString Message_List_Model::Subject(int row) const
{
    const auto& subject = rows_.at(std::size_t(Index(row))).Subject;
    return subject ? *subject : QString();
}

int Message_List_Model::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(entries_.size());
}

int Message_List_Model::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Column_Count;
}

QVariant Message_List_Model::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Entry& entry = entries_[std::size_t(index.row())];
    switch (role) {
    case kKeyRole:
        return Key(index.row());
    case Qt::FontRole:
        if (entry.Returned == Mark::Yes && index.column() != Column_Key) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::ToolTipRole:
        return index.column() == Column_Subject ? QVariant(Subject(index.row())) : QVariant();
    case Qt::DisplayRole:
        break;
    default:
        return {};
    }
    switch (index.column()) {
    case Column_Date: {
        if (dates_.size() < rows_.size())
            dates_.resize(rows_.size());
        QString& text = dates_[std::size_t(entry.Index)];
        if (text.isEmpty())
            text = Date_Text(rows_[std::size_t(entry.Index)].Delivery_Time);
        return text;
    }
    case Column_Returned:
        return Mark_Text(entry.Returned);
    case Column_Subject:
        return Subject(index.row());
    default:
        return QString(); // the row's own text stays empty
    }
}

QVariant Message_List_Model::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case Column_Date:
        return QStringLiteral("Date");
    case Column_Returned:
        return QStringLiteral("Ret?");
    case Column_Subject:
        return QStringLiteral("Subject");
    default:
        return QString();
    }
}

bool Message_List_Model::Less(int column, const Entry& a, const Entry& b) const
{
    const outlook::Message_Row& ra = rows_[std::size_t(a.Index)];
    const outlook::Message_Row& rb = rows_[std::size_t(b.Index)];
    switch (column) {
    case Column_Date: {
        // As points in time: the system's date text does not sort as text.
        const bool ha = ra.Delivery_Time && ra.Delivery_Time->isValid();
        const bool hb = rb.Delivery_Time && rb.Delivery_Time->isValid();
        if (ha != hb)
            return hb;
        return ha && *ra.Delivery_Time < *rb.Delivery_Time;
    }
    case Column_Returned:
        return char(a.Returned) < char(b.Returned); // "" < "N" < "Y"
    case Column_Subject:
        return QString::compare(ra.Subject.value_or(QString()), rb.Subject.value_or(QString()),
                                Qt::CaseInsensitive) < 0;
    default:
        return false; // every row's own text is empty
    }
}

void Message_List_Model::sort(int column, Qt::SortOrder order)
{
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> from(entries_.size()); // from[new row] = old row
    std::iota(from.begin(), from.end(), 0);
    const auto less = [&](int a, int b) {
        return order == Qt::AscendingOrder ? Less(column, entries_[std::size_t(a)], entries_[std::size_t(b)])
                                           : Less(column, entries_[std::size_t(b)], entries_[std::size_t(a)]);
    };
    std::stable_sort(from.begin(), from.end(), less);
    std::vector<int> to(from.size());
    std::vector<Entry> sorted(entries_.size());
    for (std::size_t n = 0; n < from.size(); ++n) {
        to[std::size_t(from[n])] = int(n);
        sorted[n] = entries_[std::size_t(from[n])];
    }
    entries_ = std::move(sorted);
    // The clicked row and the selection follow their rows.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.append(this->index(to[std::size_t(index.row())], index.column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

Message_List_View::Message_List_View(QWidget* parent) : QTreeView(parent)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true); // a must for lists of many rows
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setSectionsClickable(true);
    header()->setStretchLastSection(true);
    connect(this, &QAbstractItemView::clicked, this, &Message_List_View::Row_Clicked);
    connect(this, &QAbstractItemView::doubleClicked, this, &Message_List_View::Open_Requested);
}

std::vector<int> Message_List_View::Selected_Rows() const
{
    std::vector<int> rows;
    if (!selectionModel())
        return rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int Message_List_View::Selected_Row_Count() const
{
    return selectionModel() ? int(selectionModel()->selectedRows().size()) : 0;
}

void Message_List_View::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (event->key() == Qt::Key_A && mods == Qt::ControlModifier) {
        Q_EMIT Select_Returned_Requested();
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && mods == Qt::NoModifier) {
        Q_EMIT Open_Requested();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Delete) {
        event->accept(); // acted on when the key comes up
        return;
    }
    const QPersistentModelIndex before = currentIndex();
    const QItemSelection selectedBefore = selectionModel() ? selectionModel()->selection() : QItemSelection();
    QTreeView::keyPressEvent(event);
    // Moving through the list with the keys shows each row as a click does.
    if (currentIndex().isValid() && currentIndex().row() != before.row())
        Q_EMIT Row_Clicked(currentIndex());
    if (selectionModel() && selectionModel()->selection() != selectedBefore)
        Q_EMIT Selection_Changed_By_Keys();
}

void Message_List_View::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && !event->isAutoRepeat()) {
        Q_EMIT Delete_Requested();
        event->accept();
        return;
    }
    QTreeView::keyReleaseEvent(event);
}

void Message_List_View::mouseReleaseEvent(QMouseEvent* event)
{
    const Qt::MouseButton button = event->button();
    const QPoint where = event->globalPosition().toPoint();
    QTreeView::mouseReleaseEvent(event);
    Q_EMIT Mouse_Released(button, where);
}

void Message_List_View::contextMenuEvent(QContextMenuEvent* event)
{
    // The mouse's menu comes with the button's release.
    if (event->reason() == QContextMenuEvent::Mouse) {
        event->accept();
        return;
    }
    QRect area = visualRect(currentIndex());
    if (!area.isValid())
        area = QRect(0, 0, 1, 1);
    Q_EMIT Menu_Requested(viewport()->mapToGlobal(area.bottomLeft()));
    event->accept();
}

Message_Preview_List::Message_Preview_List(QWidget* parent) : QTreeWidget(parent)
{
    setColumnCount(Message_List_Model::Column_Count);
    setHeaderLabels({QString(), QStringLiteral("Date"), QStringLiteral("Ret?"), QStringLiteral("Subject")});
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setFocusPolicy(Qt::NoFocus);
    Size_Message_Columns(this);
}

void Message_Preview_List::Add_Row(const outlook::Message_Row& row, Message_List_Model::Mark mark)
{
    using Model = Message_List_Model;
    auto* item = new QTreeWidgetItem(this);
    item->setText(Model::Column_Date, Model::Date_Text(row.Delivery_Time));
    item->setText(Model::Column_Returned, Model::Mark_Text(mark));
    item->setText(Model::Column_Subject, row.Subject.value_or(QString()));
    if (mark != Model::Mark::Yes)
        return;
    for (int column = Model::Column_Date; column < Model::Column_Count; ++column) {
        QFont bold = item->font(column);
        bold.setBold(true);
        item->setFont(column, bold);
    }
}

Message_List_Menu::Message_List_Menu(QWidget* parent) : QMenu(QStringLiteral("Edit"), parent)
{
    setObjectName(QStringLiteral("MainPopup"));
    const auto entry = [this](const char* name, const QString& caption) {
        QAction* action = addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setShortcutContext(Qt::WidgetShortcut);
        return action;
    };
    mnuSelectReturnedEmails = entry("mnuSelectReturnedEmails", QStringLiteral("Select &All Returned Emails"));
    mnuSelectReturnedEmails->setShortcut(QKeySequence(QStringLiteral("Ctrl+A")));
    mnuAddString =
        entry("mnuAddString", QStringLiteral("Add Selected Subject &String to Identification List"));
    mnuOpen = entry("mnuOpen", QStringLiteral("&Open"));
    mnuOpen->setShortcut(QKeySequence(Qt::Key_Return));
    addSeparator()->setObjectName(QStringLiteral("Separator1"));
    DeleteEmail = entry("DeleteEmail", QStringLiteral("&Delete"));
    DeleteEmail->setShortcut(QKeySequence::Delete);
}

void Size_Message_Columns(QTreeView* view)
{
    using Model = Message_List_Model;
    static constexpr int kWidths[Model::Column_Count] = {15, 1800, 600, 5000};
    view->setColumnHidden(Model::Column_Key, true);
    for (int column = Model::Column_Date; column < Model::Column_Count; ++column)
        view->setColumnWidth(column, Twips_To_Pixels(view, kWidths[column], Qt::Horizontal));
    // Never narrower than a bold date and the "Ret?" heading with its sort
    // mark: how long the system writes a date depends on its language.
    QFont bold = view->font();
    bold.setBold(true);
    const QStyle* style = view->style();
    const int margins = 2 * style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, view->header()) + 8;
    const QString latest = Model::Date_Text(QDateTime(QDate(2025, 12, 28), QTime(23, 58, 58)));
    view->setColumnWidth(Model::Column_Date,
                         std::max(view->columnWidth(Model::Column_Date),
                                  QFontMetrics(bold).horizontalAdvance(latest) + margins));
    const int heading = view->header()->fontMetrics().horizontalAdvance(QStringLiteral("Ret?")) +
                        style->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, view->header()) + margins;
    view->setColumnWidth(Model::Column_Returned,
                         std::max(view->columnWidth(Model::Column_Returned), heading));
}

} // namespace bc::windows
