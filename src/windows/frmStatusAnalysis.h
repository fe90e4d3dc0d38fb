#pragma once
// The progress window "Identification Status Report": one row per progress
// line of a run, and the Close button that stops a run.
//
// There is one program-wide window. It is loaded (not shown) on first use;
// Close while no abortable operation is active unloads it, and the next use
// loads a fresh one with an empty list. Keep Progress_Window(), never the
// window itself, across a run: the user may unload the window at any yield.

#include "engine/Run_Interfaces.h"
#include "windows/class_Elastic.h"

#include <QWidget>

class QPushButton;
class QTreeWidget;

namespace bc::windows {

class frmStatusAnalysis final : public QWidget, public engine::Progress_View
{
    Q_OBJECT

public:
    // The loaded window, loading it (hidden, empty) when there is none.
    static frmStatusAnalysis& Instance();
    static bool Is_Loaded();

    void Show_Window() override;                 // shows it, not modal
    void Add_Line(const QString& text) override; // one row, scrolled into view; no yield
    // Shows the "Report" button, which opens this report.
    void Report_Ready(const QString& path, const QString& text) override;

    QTreeWidget* ListContacts() const { return ListContacts_; }

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

    QTreeWidget* ListContacts_ = nullptr;
    QPushButton* CloseForm_ = nullptr;
    QPushButton* cmdReport_ = nullptr;
    QString reportPath_;
    QString reportText_;
    class_Elastic Elastic_;
};

// The progress view the engine keeps for a whole run: it reaches whichever
// progress window is loaded, loading a fresh one after the user closed the
// last.
engine::Progress_View& Progress_Window();

} // namespace bc::windows
