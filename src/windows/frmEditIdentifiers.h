#pragma once
// The editors of the two identifier lists: the return identifiers
// (frmEditReturn) and the no-check addresses (frmEditNoCheck). Both are the
// same window; what differs is data (Identifier_Editor_Kind). The rows are a
// working copy: the program-wide list and its file change only through Save
// (after Yes) and Reset To Default. Close drops the working copy.

#include <QDialog>
#include <QPointer>
#include <QStringList>

#include <functional>

class QLabel;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace bc::windows {

class Row_Editor_Delegate;

struct Identifier_Editor_Kind
{
    const char* Object_Name;
    QString Caption;
    QString Label;
    QString New_Row_Text;
    // The rows a fill shows: the program-wide list as the editor presents it.
    std::function<QStringList()> Rows;
    // Stores the rows as the new list (showing its own error message).
    std::function<bool(const QStringList& rows)> Save;
    // Resets the list; on success `rows` holds what the editor shows next.
    std::function<bool(QStringList& rows)> Reset;
};

class frmEditIdentifiers : public QDialog
{
    Q_OBJECT

public:
    // The rows in their shown order.
    QStringList Rows() const;
    QTreeWidget* List() const { return ListReturns_; }

    // The Reset To Default button: resets the list without asking and shows
    // the new rows.
    void Reset_To_Default_Strings();

protected:
    frmEditIdentifiers(const Identifier_Editor_Kind& kind, QWidget* parent);
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Opens the editor held in `slot`, creating it with `make` when none is
    // open; an open one is raised with its working copy.
    static frmEditIdentifiers& Open(QPointer<frmEditIdentifiers>& slot,
                                    const std::function<frmEditIdentifiers*()>& make);

private:
    void Fill(const QStringList& rows);
    void Fit_Column();
    QTreeWidgetItem* Add_Row(const QString& text);
    QTreeWidgetItem* Selected_Row() const;
    void Column_Click(int column);
    void Insert_Click();
    void Delete_Click();
    void SaveAndClose_Click();
    bool Refused_During_Run() const;

    const Identifier_Editor_Kind& kind_;
    QLabel* Label1_ = nullptr;
    QTreeWidget* ListReturns_ = nullptr;
    Row_Editor_Delegate* delegate_ = nullptr;
    QPushButton* ResetToDefaults_ = nullptr;
    QPushButton* SaveAndClose_ = nullptr;
    QPushButton* Close_ = nullptr;
    QMenu* PopupReturn_ = nullptr;
    // The column the heading clicks sort by; none right after a fill, so
    // the first click keeps the ascending order of the fill.
    int click_sort_column_ = -1;
    Qt::SortOrder sort_order_ = Qt::AscendingOrder;
};

// The return identifier editor, "Edit Return Search Strings".
class frmEditReturn final : public frmEditIdentifiers
{
    Q_OBJECT

public:
    static const Identifier_Editor_Kind& Kind();
    // Opens the editor, or raises the one already open.
    static frmEditIdentifiers& Open(QWidget* parent);
    static frmEditIdentifiers* Loaded();

private:
    explicit frmEditReturn(QWidget* parent);
};

// The no-check address editor, "Edit No Check Email Addresses".
class frmEditNoCheck final : public frmEditIdentifiers
{
    Q_OBJECT

public:
    static const Identifier_Editor_Kind& Kind();
    static frmEditIdentifiers& Open(QWidget* parent);
    static frmEditIdentifiers* Loaded();

private:
    explicit frmEditNoCheck(QWidget* parent);
};

} // namespace bc::windows
