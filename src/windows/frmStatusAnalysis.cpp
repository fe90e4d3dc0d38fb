#include "windows/frmStatusAnalysis.h"

#include "config/User_Messages.h"
#include "engine/Processing_Flags.h"
#include "windows/frmRunReport.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

namespace bc::windows {
namespace {

frmStatusAnalysis* g_window = nullptr;

// Layout in twips: the client area, the list above the Close button.
constexpr int kWidth = 10800;
constexpr int kHeight = 6000;
constexpr int kMargin = 120;
constexpr int kButtonWidth = 1440;
constexpr int kButtonHeight = 420;
constexpr int kFirstColumn = 1; // keeps the row text out of the first column
constexpr int kContactsColumn = 10000;

class Progress_Forwarder final : public engine::Progress_View
{
public:
    void Show_Window() override { frmStatusAnalysis::Instance().Show_Window(); }
    void Add_Line(const QString& text) override { frmStatusAnalysis::Instance().Add_Line(text); }
    void Report_Ready(const QString& path, const QString& text) override
    {
        frmStatusAnalysis::Instance().Report_Ready(path, text);
    }
};

} // namespace

frmStatusAnalysis& frmStatusAnalysis::Instance()
{
    if (!g_window) {
        static bool cleanupConnected = false;
        if (QCoreApplication* app = QCoreApplication::instance(); app && !cleanupConnected) {
            // A window still loaded at the end goes with the program.
            QObject::connect(app, &QCoreApplication::aboutToQuit, app, [] { delete g_window; });
            cleanupConnected = true;
        }
        g_window = new frmStatusAnalysis();
    }
    return *g_window;
}

bool frmStatusAnalysis::Is_Loaded()
{
    return g_window != nullptr;
}

frmStatusAnalysis::frmStatusAnalysis()
{
    setObjectName(QStringLiteral("frmStatusAnalysis"));
    setWindowTitle(QStringLiteral("Identification Status Report"));
    auto px = [this](int twips, Qt::Orientation along) { return Twips_To_Pixels(this, twips, along); };
    auto rect = [&](int left, int top, int width, int height) {
        return QRect(px(left, Qt::Horizontal), px(top, Qt::Vertical), px(width, Qt::Horizontal),
                     px(height, Qt::Vertical));
    };

    ListContacts_ = new QTreeWidget(this);
    ListContacts_->setObjectName(QStringLiteral("ListContacts"));
    ListContacts_->setRootIsDecorated(false);
    ListContacts_->setUniformRowHeights(true);
    ListContacts_->setSelectionMode(QAbstractItemView::SingleSelection);
    ListContacts_->setColumnCount(2);
    ListContacts_->setHeaderLabels({QString(), QStringLiteral("Contacts Found")});
    ListContacts_->header()->setMinimumSectionSize(0);
    // The lines column fills whatever width the list has.
    ListContacts_->header()->setStretchLastSection(true);
    ListContacts_->header()->resizeSection(0, px(kFirstColumn, Qt::Horizontal));
    ListContacts_->header()->resizeSection(1, px(kContactsColumn, Qt::Horizontal));
    const int listHeight = kHeight - 3 * kMargin - kButtonHeight;
    ListContacts_->setGeometry(rect(kMargin, kMargin, kWidth - 2 * kMargin, listHeight));

    CloseForm_ = new QPushButton(QStringLiteral("Close"), this);
    CloseForm_->setObjectName(QStringLiteral("CloseForm"));
    CloseForm_->setGeometry(rect(kWidth - kMargin - kButtonWidth, kHeight - kMargin - kButtonHeight,
                                 kButtonWidth, kButtonHeight));
    connect(CloseForm_, &QPushButton::clicked, this, &frmStatusAnalysis::CloseForm_Click);

    // Beside Close, shown once a run has left its report.
    cmdReport_ = new QPushButton(QStringLiteral("&Report"), this);
    cmdReport_->setObjectName(QStringLiteral("cmdReport"));
    cmdReport_->setGeometry(rect(kWidth - 2 * (kMargin + kButtonWidth), kHeight - kMargin - kButtonHeight,
                                 kButtonWidth, kButtonHeight));
    cmdReport_->hide();
    connect(cmdReport_, &QPushButton::clicked, this,
            [this] { Q_EMIT Report_Requested(reportPath_, reportText_); });
    connect(this, &frmStatusAnalysis::Report_Requested, this,
            [](const QString& path, const QString& text) { frmRunReport::Open(path, text); });

    resize(px(kWidth, Qt::Horizontal), px(kHeight, Qt::Vertical));
    Elastic_.Init(this);
}

frmStatusAnalysis::~frmStatusAnalysis()
{
    if (g_window == this)
        g_window = nullptr;
}

void frmStatusAnalysis::Show_Window()
{
    cmdReport_->hide(); // until this run has its report
    if (isVisible()) {
        raise(); // a run into a window left open brings it back to the front
    } else if (QWidget* owner = QApplication::activeWindow(); owner && owner != this) {
        // Open beside the window that started the run, not over it at the
        // screen's corner.
        move(owner->frameGeometry().topLeft() + QPoint(40, 40));
    }
    show();
}

void frmStatusAnalysis::Add_Line(const QString& text)
{
    auto* row = new QTreeWidgetItem(ListContacts_);
    row->setText(1, text);
    ListContacts_->scrollToItem(row);
}

void frmStatusAnalysis::Report_Ready(const QString& path, const QString& text)
{
    reportPath_ = path;
    reportText_ = text;
    cmdReport_->show();
}

bool frmStatusAnalysis::May_Close()
{
    engine::Processing_Flags& flags = engine::Flags();
    if (!flags.Processing_Active)
        return true;
    flags.Abort_Requested = true;
    Messages().Show_Message(QStringLiteral("Processing Stopped"));
    return false;
}

void frmStatusAnalysis::CloseForm_Click()
{
    if (May_Close())
        Unload();
}

void frmStatusAnalysis::Unload()
{
    // Detached at once so that the next progress line loads a fresh window,
    // even while this one waits for its deferred deletion.
    if (g_window == this)
        g_window = nullptr;
    hide();
    deleteLater();
}

void frmStatusAnalysis::closeEvent(QCloseEvent* event)
{
    // The close box follows the Close button's rule. A close made by code
    // (the program ending) is not a request to stop a run and always goes.
    if (event->spontaneous() && !May_Close()) {
        event->ignore();
        return;
    }
    event->accept();
    Unload();
}

void frmStatusAnalysis::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Elastic_.FormResize(this);
}

engine::Progress_View& Progress_Window()
{
    static Progress_Forwarder forwarder;
    return forwarder;
}

} // namespace bc::windows
