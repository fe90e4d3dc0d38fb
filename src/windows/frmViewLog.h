#pragma once
// The log viewer "Bounced Emails Log": the listed log text, and a File menu
// with "Save As ..." (a copy of the log file) and "Exit". Closing it, by any
// means, asks the operation in progress (the listing, or a run) to stop.

#include "windows/class_Elastic.h"

#include <QMainWindow>

class QTextEdit;

namespace bc::windows {

class frmViewLog final : public QMainWindow
{
    Q_OBJECT

public:
    // The open viewer, or nullptr.
    static frmViewLog* Loaded();
    // The open viewer, loading a new (hidden, empty) one when there is none.
    static frmViewLog& Instance(QWidget* parent = nullptr);

    // Adds one line, and its line end, after the text listed so far.
    void Append_Line(const QString& line);
    QTextEdit* Text_Box() const { return txtBouncedEmails_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    explicit frmViewLog(QWidget* parent);
    ~frmViewLog() override;
    void mnuSaveAs_Click();

    QTextEdit* txtBouncedEmails_ = nullptr;
    class_Elastic Elastic_;
};

} // namespace bc::windows
