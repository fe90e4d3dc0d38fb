#include "windows/frmViewLog.h"

#include "config/App_State.h"
#include "config/Text_File.h"
#include "engine/Processing_Flags.h"
#include "windows/File_Dialog.h"
#include "windows/Line_List_Model.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenuBar>
#include <QScrollBar>
#include <QShortcut>
#include <QTreeView>

#include <algorithm>

namespace bc::windows {
namespace {

frmViewLog* g_viewer = nullptr;

// Client area in twips (the menu bar included), the text box filling it.
constexpr int kWidth = 9600;
constexpr int kHeight = 7200;
constexpr int kMargin = 60;

} // namespace

frmViewLog* frmViewLog::Loaded()
{
    return g_viewer;
}

frmViewLog& frmViewLog::Instance(QWidget* parent)
{
    if (!g_viewer)
        g_viewer = new frmViewLog(parent);
    return *g_viewer;
}

frmViewLog::frmViewLog(QWidget* parent) : QMainWindow(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmViewLog"));
    setWindowTitle(QStringLiteral("Bounced Emails Log"));
    setAttribute(Qt::WA_DeleteOnClose);

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    QAction* saveAs = file->addAction(QStringLiteral("Save As ..."));
    saveAs->setObjectName(QStringLiteral("mnuSaveAs"));
    connect(saveAs, &QAction::triggered, this, &frmViewLog::mnuSaveAs_Click);
    QAction* exit = file->addAction(QStringLiteral("Exit"));
    exit->setObjectName(QStringLiteral("mnuExit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    auto* client = new QWidget(this);
    setCentralWidget(client);
    lines_ = new Line_List_Model(1, 0, QString(), this);
    txtBouncedEmails_ = new QTreeView(client);
    txtBouncedEmails_->setObjectName(QStringLiteral("txtBouncedEmails"));
    txtBouncedEmails_->setModel(lines_);
    txtBouncedEmails_->setHeaderHidden(true);
    txtBouncedEmails_->setRootIsDecorated(false);
    txtBouncedEmails_->setItemsExpandable(false);
    txtBouncedEmails_->setUniformRowHeights(true);
    txtBouncedEmails_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    txtBouncedEmails_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    txtBouncedEmails_->setTextElideMode(Qt::ElideNone);
    txtBouncedEmails_->header()->setStretchLastSection(false);
    // Log lines are columns of dates and addresses: a fixed pitch keeps them
    // aligned, and tells the width of the longest line without measuring it.
    txtBouncedEmails_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    txtBouncedEmails_->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* copy = new QAction(QStringLiteral("&Copy"), txtBouncedEmails_);
    copy->setObjectName(QStringLiteral("mnuCopy"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, &frmViewLog::Copy_Selection);
    auto* selectAll = new QAction(QStringLiteral("Select &All"), txtBouncedEmails_);
    selectAll->setObjectName(QStringLiteral("mnuSelectAll"));
    selectAll->setShortcut(QKeySequence::SelectAll);
    selectAll->setShortcutContext(Qt::WidgetShortcut);
    connect(selectAll, &QAction::triggered, txtBouncedEmails_, &QAbstractItemView::selectAll);
    txtBouncedEmails_->addActions({copy, selectAll});
    // Whoever moves the view away from the end stops it following new
    // lines; back at the end, it follows again. New lines alone do not move
    // the bar.
    QScrollBar* bar = txtBouncedEmails_->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this,
            [this, bar](int value) { following_ = value >= bar->maximum(); });

    resize(Twips_To_Pixels(this, kWidth, Qt::Horizontal), Twips_To_Pixels(this, kHeight, Qt::Vertical));
    // The text box fills what the menu bar leaves of the client area.
    const int menuHeight = menuBar()->sizeHint().height();
    const int margin = Twips_To_Pixels(this, kMargin, Qt::Horizontal);
    txtBouncedEmails_->setGeometry(margin, margin, width() - 2 * margin, height() - menuHeight - 2 * margin);
    Elastic_.Init(this);
    Size_Column();
}

frmViewLog::~frmViewLog()
{
    if (g_viewer == this)
        g_viewer = nullptr;
}

void frmViewLog::Append_Line(const QString& line)
{
    lines_->Append(line);
}

void frmViewLog::Show_Lines()
{
    if (!lines_->Publish())
        return;
    Size_Column();
    if (following_)
        txtBouncedEmails_->scrollToBottom();
}

const QStringList& frmViewLog::Lines() const
{
    return lines_->Lines();
}

void frmViewLog::Size_Column()
{
    // As wide as the longest line, so that a long one scrolls sideways
    // instead of being cut; at least as wide as the view.
    const QFontMetrics metrics(txtBouncedEmails_->font());
    const qsizetype longest = std::min<qsizetype>(lines_->Longest(), 100000);
    const int needed = metrics.horizontalAdvance(QLatin1Char('M')) * static_cast<int>(longest) +
                       2 * metrics.horizontalAdvance(QLatin1Char(' '));
    txtBouncedEmails_->header()->resizeSection(0, std::max(needed, txtBouncedEmails_->viewport()->width()));
}

void frmViewLog::Copy_Selection() const
{
    QModelIndexList rows = txtBouncedEmails_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QString text;
    for (const QModelIndex& row : rows)
        text += Lines().at(row.row()) + QLatin1Char('\n');
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void frmViewLog::mnuSaveAs_Click()
{
    const QString target = File_Dialog::Get_Save_File_Name(
        this, QStringLiteral("Save As"), QDir::current().filePath(QStringLiteral("bouncedemails.log")),
        QStringLiteral("*.* (*)"));
    if (target.isEmpty())
        return;
    // Errors end quietly: the log is only being copied, nothing is lost.
    QByteArray log;
    if (Read_Whole_File(Data_File(QStringLiteral("bouncedemails.log")), log))
        Write_File_Atomically(target, log);
}

void frmViewLog::closeEvent(QCloseEvent* event)
{
    engine::Flags().Abort_Requested = true;
    if (g_viewer == this)
        g_viewer = nullptr;
    QMainWindow::closeEvent(event);
}

void frmViewLog::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Elastic_.FormResize(this);
    Size_Column();
}

} // namespace bc::windows
