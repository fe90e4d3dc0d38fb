#pragma once
// The progress window "Identification Status Report": one row per progress
// line of a run, a bar and a status text that say where the run stands, and
// the Close button that stops a run (Escape does the same).
//
// There is one program-wide window. It is loaded (not shown) on first use;
// Close while no abortable operation is active unloads it, and the next use
// loads a fresh one with an empty list. Keep Progress_Window(), never the
// window itself, across a run: the user may unload the window at any yield.
//
// Lines and counts are kept as they come and shown at most about 30 times a
// second, when the run yields; the end of a run shows everything at once.

#include "engine/Run_Interfaces.h"
#include "windows/class_Elastic.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QTreeView;

namespace bc::windows {

class Line_List_Model;

class frmStatusAnalysis final : public QWidget, public engine::Progress_View
{
    Q_OBJECT

public:
    // The loaded window, loading it (hidden, empty) when there is none.
    static frmStatusAnalysis& Instance();
    static bool Is_Loaded();

    void Show_Window() override;                 // shows it, not modal
    void Add_Line(const QString& text) override; // one row, scrolled into view; no yield
    // Makes the "Report" button usable; it opens this report.
    void Report_Ready(const QString& path, const QString& text) override;

    void Stage_Started(engine::Run_Stage stage, qint64 total, const QString& name) override;
    void Stage_Advanced(qint64 done) override;
    void Run_Finished(engine::Run_Outcome outcome, const engine::Run_Totals& totals) override;

    QTreeView* ListContacts() const { return ListContacts_; }
    // Every line so far, including those not shown yet.
    const QStringList& Lines() const;

Q_SIGNALS:
    // Each line as it is added.
    void Line_Added(const QString& text);

Q_SIGNALS:
    // The "Report" button: the run's report (path empty for a preview).
    void Report_Requested(const QString& path, const QString& text);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    frmStatusAnalysis();
    ~frmStatusAnalysis() override;

    // The stop protocol: true when the window may go, else the running
    // operation has been asked to stop.
    bool May_Close();
    void CloseForm_Click();
    void Unload();

    void Run_Changed(bool running);
    void Schedule_Refresh();
    void Refresh();
    void Refresh_Now();
    QString Stage_Text() const;

    Line_List_Model* lines_ = nullptr;
    QTreeView* ListContacts_ = nullptr;
    QProgressBar* ProgressBar_ = nullptr;
    QLabel* lblStatus_ = nullptr;
    QLabel* lblElapsed_ = nullptr;
    QPushButton* CloseForm_ = nullptr;
    QPushButton* cmdReport_ = nullptr;
    QString reportPath_;
    QString reportText_;
    class_Elastic Elastic_;

    QTimer refresh_;       // the next showing of what came in
    QTimer clock_;         // the elapsed time while a run goes on
    QElapsedTimer shown_;  // since the last showing
    bool running_ = false; // a run or manual processing is under way
    bool stage_set_ = false;
    engine::Run_Stage stage_ = engine::Run_Stage::Scanning_Messages;
    QString stage_name_;
    qint64 total_ = 0;
    qint64 done_ = 0;
    QString finished_; // the closing status text, once the run said how it ended
};

// The progress view the engine keeps for a whole run: it reaches whichever
// progress window is loaded, loading a fresh one after the user closed the
// last.
engine::Progress_View& Progress_Window();

} // namespace bc::windows
