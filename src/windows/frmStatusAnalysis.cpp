#include "windows/frmStatusAnalysis.h"

#include "config/User_Messages.h"
#include "engine/Processing_Flags.h"
#include "outlook/Write_Gate.h"
#include "windows/Line_List_Model.h"
#include "windows/Window_Placement.h"
#include "windows/frmRunReport.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTreeView>

#include <algorithm>

namespace bc::windows {
namespace {

frmStatusAnalysis* g_window = nullptr;

// Layout in twips: the client area; the list, under it the status text with
// the elapsed time, and at the bottom the bar and the Report and Close buttons.
constexpr int kWidth = 10800;
constexpr int kHeight = 6000;
constexpr int kMargin = 120;
constexpr int kGap = 90;
constexpr int kButtonWidth = 1440;
constexpr int kButtonHeight = 420;
constexpr int kBarHeight = 300;
constexpr int kStatusHeight = 300;
constexpr int kElapsedWidth = 1500;
constexpr int kFirstColumn = 1; // keeps the row text out of the first column
constexpr int kContactsColumn = 10000;

// At most about 30 showings a second, whatever the number of lines.
constexpr int kRefreshMs = 33;
// Work that has not yielded for this long is shown without a yield.
constexpr int kStallMs = 150;

using engine::Run_Outcome;
using engine::Run_Stage;
using engine::Run_Totals;

class Progress_Forwarder final : public engine::Progress_View
{
public:
    void Show_Window() override { frmStatusAnalysis::Instance().Show_Window(); }
    void Add_Line(const QString& text) override { frmStatusAnalysis::Instance().Add_Line(text); }
    void Stage_Started(Run_Stage stage, qint64 total, const QString& name) override
    {
        frmStatusAnalysis::Instance().Stage_Started(stage, total, name);
    }
    void Stage_Advanced(qint64 done) override { frmStatusAnalysis::Instance().Stage_Advanced(done); }
    void Run_Finished(Run_Outcome outcome, const Run_Totals& totals) override
    {
        frmStatusAnalysis::Instance().Run_Finished(outcome, totals);
    }
    void Report_Ready(const QString& path, const QString& text) override
    {
        frmStatusAnalysis::Instance().Report_Ready(path, text);
    }
};

QString Number(qint64 n)
{
    return QLocale().toString(n);
}

QString Count(qint64 n, const char* one, const char* many)
{
    return Number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

QString Totals_Text(const Run_Totals& t)
{
    QStringList parts{Count(t.Contacts_Deleted, "contact deleted", "contacts deleted"),
                      Number(t.Contacts_Changed) + QStringLiteral(" changed"),
                      Count(t.Tasks_Made, "task made", "tasks made")};
    if (t.Messages_Deleted > 0 && t.Messages_Moved == 0)
        parts << Count(t.Messages_Deleted, "message deleted", "messages deleted");
    else if (t.Messages_Deleted > 0)
        parts << Count(t.Messages_Moved, "message moved", "messages moved")
              << Number(t.Messages_Deleted) + QStringLiteral(" deleted");
    else
        parts << Count(t.Messages_Moved, "message moved", "messages moved");
    return parts.join(QStringLiteral(", "));
}

QString Elapsed_Text(qint64 ms)
{
    const qint64 seconds = ms / 1000;
    const QString minutesAndSeconds =
        QStringLiteral("%1:%2").arg(seconds / 60 % 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    if (seconds < 3600)
        return QStringLiteral("Elapsed ") + minutesAndSeconds;
    return QStringLiteral("Elapsed %1:").arg(seconds / 3600) +
           QStringLiteral("%1").arg(seconds / 60 % 60, 2, 10, QLatin1Char('0')) +
           QStringLiteral(":%1").arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

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

    lines_ = new Line_List_Model(2, 1, QStringLiteral("Contacts Found"), this);
    ListContacts_ = new QTreeView(this);
    ListContacts_->setObjectName(QStringLiteral("ListContacts"));
    ListContacts_->setModel(lines_);
    ListContacts_->setRootIsDecorated(false);
    ListContacts_->setItemsExpandable(false);
    ListContacts_->setUniformRowHeights(true);
    ListContacts_->setSelectionMode(QAbstractItemView::SingleSelection);
    ListContacts_->header()->setMinimumSectionSize(0);
    // The lines column fills whatever width the list has.
    ListContacts_->header()->setStretchLastSection(true);
    ListContacts_->header()->resizeSection(0, px(kFirstColumn, Qt::Horizontal));
    ListContacts_->header()->resizeSection(1, px(kContactsColumn, Qt::Horizontal));
    const int bottom = kHeight - kMargin - kButtonHeight;
    const int statusTop = bottom - kGap - kStatusHeight;
    ListContacts_->setGeometry(rect(kMargin, kMargin, kWidth - 2 * kMargin, statusTop - kGap - kMargin));

    const int elapsedLeft = kWidth - kMargin - kElapsedWidth;
    lblStatus_ = new QLabel(this);
    lblStatus_->setObjectName(QStringLiteral("lblStatus"));
    lblStatus_->setGeometry(rect(kMargin, statusTop, elapsedLeft - kGap - kMargin, kStatusHeight));
    lblElapsed_ = new QLabel(this);
    lblElapsed_->setObjectName(QStringLiteral("lblElapsed"));
    lblElapsed_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblElapsed_->setGeometry(rect(elapsedLeft, statusTop, kElapsedWidth, kStatusHeight));

    const int closeLeft = kWidth - kMargin - kButtonWidth;
    ProgressBar_ = new QProgressBar(this);
    ProgressBar_->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar_->setRange(0, 1);
    ProgressBar_->setValue(0);
    const int reportLeft = closeLeft - kGap - kButtonWidth;
    ProgressBar_->setGeometry(
        rect(kMargin, bottom + (kButtonHeight - kBarHeight) / 2, reportLeft - kGap - kMargin, kBarHeight));

    CloseForm_ = new QPushButton(QStringLiteral("&Close"), this);
    CloseForm_->setObjectName(QStringLiteral("CloseForm"));
    CloseForm_->setGeometry(rect(closeLeft, bottom, kButtonWidth, kButtonHeight));
    connect(CloseForm_, &QPushButton::clicked, this, &frmStatusAnalysis::CloseForm_Click);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &frmStatusAnalysis::CloseForm_Click);

    refresh_.setSingleShot(true);
    connect(&refresh_, &QTimer::timeout, this, &frmStatusAnalysis::Refresh);
    clock_.setInterval(1000);
    connect(&clock_, &QTimer::timeout, this, &frmStatusAnalysis::Refresh);
    connect(&engine::Run_Notifier(), &engine::Run_Events::Run_Changed, this, &frmStatusAnalysis::Run_Changed);
    // Loaded again while a run goes on (the user closed the last window
    // between two databases): the run's next stage fills the bar.
    if (engine::Flags().Run_In_Progress)
        Run_Changed(true);

    // Beside Close; usable once a run has left its report.
    cmdReport_ = new QPushButton(QStringLiteral("&Report"), this);
    cmdReport_->setObjectName(QStringLiteral("cmdReport"));
    cmdReport_->setToolTip(QStringLiteral("What the run did, contact by contact and message by message"));
    cmdReport_->setGeometry(rect(reportLeft, bottom, kButtonWidth, kButtonHeight));
    cmdReport_->setEnabled(false);
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
    cmdReport_->setEnabled(false); // until this run has its report
    if (isVisible())
        raise(); // a run into a window left open brings it back to the front
    else
        Place_Beside(this, QApplication::activeWindow());
    show();
}

void frmStatusAnalysis::Add_Line(const QString& text)
{
    lines_->Append(text);
    Q_EMIT Line_Added(text);
    Schedule_Refresh();
}

const QStringList& frmStatusAnalysis::Lines() const
{
    return lines_->Lines();
}

void frmStatusAnalysis::Stage_Started(Run_Stage stage, qint64 total, const QString& name)
{
    stage_set_ = true;
    stage_ = stage;
    stage_name_ = name;
    total_ = std::max<qint64>(0, total);
    done_ = 0;
    // A stage may begin with a long step that does not yield (reading the
    // message table): it is shown before that.
    Refresh_Now();
}

void frmStatusAnalysis::Stage_Advanced(qint64 done)
{
    done_ = std::clamp<qint64>(done, 0, total_);
    Schedule_Refresh();
    // A stretch of work that does not yield (moving the returned messages)
    // still moves the bar.
    if (refresh_.isActive() && shown_.isValid() && shown_.elapsed() >= kStallMs)
        Refresh_Now();
}

void frmStatusAnalysis::Refresh_Now()
{
    Refresh();
    if (!isVisible())
        return;
    // Painted at once: no window events are let run here.
    for (QWidget* part : {static_cast<QWidget*>(ProgressBar_), static_cast<QWidget*>(lblStatus_),
                          static_cast<QWidget*>(lblElapsed_)})
        part->repaint();
}

void frmStatusAnalysis::Run_Finished(Run_Outcome outcome, const Run_Totals& totals)
{
    const QString how = outcome == Run_Outcome::Done      ? QStringLiteral("Done: ")
                        : outcome == Run_Outcome::Stopped ? QStringLiteral("Stopped: ")
                                                          : QStringLiteral("Ended by an error: ");
    finished_ = how + Totals_Text(totals);
    // The counts of a preview are what the run would do.
    if (outlook::Previewing())
        finished_ =
            (outcome == Run_Outcome::Done ? QStringLiteral("Preview, nothing changed. A run would do: ")
                                          : QStringLiteral("Preview ") + how.toLower()) +
            Totals_Text(totals);
    if (outcome == Run_Outcome::Done && stage_set_)
        done_ = total_;
    Refresh();
}

void frmStatusAnalysis::Run_Changed(bool running)
{
    running_ = running;
    if (running) {
        finished_.clear();
        stage_set_ = false;
        total_ = done_ = 0;
        CloseForm_->setToolTip(QStringLiteral("Stops the run under way"));
        clock_.start();
    } else {
        clock_.stop();
        CloseForm_->setToolTip(QString());
        // Operations that do not say how they ended simply ended.
        if (finished_.isEmpty()) {
            finished_ = QStringLiteral("Done");
            done_ = total_;
        }
    }
    Refresh();
}

void frmStatusAnalysis::Schedule_Refresh()
{
    if (refresh_.isActive())
        return;
    const qint64 since = shown_.isValid() ? shown_.elapsed() : kRefreshMs;
    refresh_.start(static_cast<int>(std::max<qint64>(0, kRefreshMs - since)));
}

void frmStatusAnalysis::Refresh()
{
    refresh_.stop();
    shown_.start();
    if (lines_->Publish())
        ListContacts_->scrollToBottom();

    const bool full = !finished_.isEmpty() && done_ >= total_;
    const int maximum = static_cast<int>(std::min<qint64>(std::max<qint64>(total_, 1), INT_MAX));
    const int value = full ? maximum : static_cast<int>(std::min<qint64>(done_, maximum));
    if (ProgressBar_->maximum() != maximum)
        ProgressBar_->setRange(0, maximum);
    ProgressBar_->setValue(value);

    QString status = finished_;
    if (status.isEmpty() && running_)
        status = stage_set_ ? Stage_Text() : QStringLiteral("Starting ...");
    lblStatus_->setText(status);
    lblElapsed_->setText(running_ || !finished_.isEmpty() ? Elapsed_Text(engine::Run_Notifier().Elapsed_Ms())
                                                          : QString());
}

QString frmStatusAnalysis::Stage_Text() const
{
    const QString counts = Number(done_) + QStringLiteral(" of ") + Number(total_);
    switch (stage_) {
    case Run_Stage::Reading_Messages:
        return QStringLiteral("Reading the input folder ...");
    case Run_Stage::Scanning_Messages:
        return QStringLiteral("Scanning messages: ") + counts;
    case Run_Stage::Checking_Contacts:
        return QStringLiteral("Checking contacts in ") + stage_name_ + QStringLiteral(": ") + counts;
    case Run_Stage::Moving_Messages:
        return QStringLiteral("Moving returned messages: ") + counts;
    case Run_Stage::Deleting_Messages:
        return QStringLiteral("Deleting returned messages: ") + counts;
    }
    return counts;
}

void frmStatusAnalysis::Report_Ready(const QString& path, const QString& text)
{
    reportPath_ = path;
    reportText_ = text;
    cmdReport_->setEnabled(true);
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
