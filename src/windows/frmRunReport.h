#pragma once
// The report of a run (or of a preview, which keeps no file), to read after
// the run: opened from the progress window's "Report" button. One window,
// showing the last report asked for.

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace bc::windows {

class frmRunReport final : public QWidget
{
    Q_OBJECT

public:
    // Shows the report (path empty for a preview), not modal.
    static frmRunReport& Open(const QString& path, const QString& text, QWidget* parent = nullptr);
    static frmRunReport* Loaded();

    QPlainTextEdit* Report_Text() const { return txtReport_; }

private:
    explicit frmRunReport(QWidget* parent);
    ~frmRunReport() override;

    QLabel* lblReportFile_ = nullptr;
    QPlainTextEdit* txtReport_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
};

} // namespace bc::windows
