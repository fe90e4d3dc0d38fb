#pragma once
// The log viewer "Bounced Emails Log": the listed log lines, and a File menu
// with "Save As ..." (a copy of the log file) and "Exit". Closing it, by any
// means (Escape too), asks the operation in progress (the listing, or a run)
// to stop. Lines can be selected and copied.

#include "windows/class_Elastic.h"

#include <QMainWindow>

class QTreeView;

namespace bc::windows {

class Line_List_Model;

class frmViewLog final : public QMainWindow
{
    Q_OBJECT

public:
    // The open viewer, or nullptr.
    static frmViewLog* Loaded();
    // The open viewer, loading a new (hidden, empty) one when there is none.
    static frmViewLog& Instance(QWidget* parent = nullptr);

    // Adds a line after those listed so far; it shows at the next Show_Lines.
    void Append_Line(const QString& line);
    // Shows the lines added since the last call. The view follows the end
    // unless the user scrolled away from it.
    void Show_Lines();
    // Every line listed, shown or not yet.
    const QStringList& Lines() const;

    QTreeView* Text_Box() const { return txtBouncedEmails_; }
    int Line_Count() const { return static_cast<int>(Lines().size()); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    explicit frmViewLog(QWidget* parent);
    ~frmViewLog() override;
    void mnuSaveAs_Click();
    void Copy_Selection() const;
    void Size_Column();

    Line_List_Model* lines_ = nullptr;
    // A view of a model lays out only the lines in view, so a long log
    // opens as fast as a short one.
    QTreeView* txtBouncedEmails_ = nullptr;
    bool following_ = true; // the view shows the last line
    class_Elastic Elastic_;
};

} // namespace bc::windows
