#include "windows/frmViewLog.h"

#include "config/App_State.h"
#include "config/Text_File.h"
#include "engine/Processing_Flags.h"
#include "windows/File_Dialog.h"

#include <QCloseEvent>
#include <QDir>
#include <QMenuBar>
#include <QTextCursor>
#include <QTextEdit>

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

    auto* client = new QWidget(this);
    setCentralWidget(client);
    txtBouncedEmails_ = new QTextEdit(client);
    txtBouncedEmails_->setObjectName(QStringLiteral("txtBouncedEmails"));
    txtBouncedEmails_->setReadOnly(true);
    txtBouncedEmails_->setAcceptRichText(false);
    txtBouncedEmails_->setLineWrapMode(QTextEdit::NoWrap);
    // A long log would otherwise keep an undo step for every line.
    txtBouncedEmails_->document()->setUndoRedoEnabled(false);

    resize(Twips_To_Pixels(this, kWidth, Qt::Horizontal), Twips_To_Pixels(this, kHeight, Qt::Vertical));
    // The text box fills what the menu bar leaves of the client area.
    const int menuHeight = menuBar()->sizeHint().height();
    const int margin = Twips_To_Pixels(this, kMargin, Qt::Horizontal);
    txtBouncedEmails_->setGeometry(margin, margin, width() - 2 * margin, height() - menuHeight - 2 * margin);
    Elastic_.Init(this);
}

frmViewLog::~frmViewLog()
{
    if (g_viewer == this)
        g_viewer = nullptr;
}

void frmViewLog::Append_Line(const QString& line)
{
    // Appending at the end keeps listing a long log linear in its length;
    // the view stays where the user left it.
    QTextCursor end(txtBouncedEmails_->document());
    end.movePosition(QTextCursor::End);
    end.insertText(line);
    end.insertBlock();
}

void frmViewLog::mnuSaveAs_Click()
{
    const QString target = File_Dialog::Get_Save_File_Name(this, QStringLiteral("Save As"),
                                                           QDir::currentPath(), QStringLiteral("*.* (*)"));
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
}

} // namespace bc::windows
