#pragma once
// The contact field picker "Select Standard Outlook Field": the contact
// field names the "Set Field In Contact" action can write, sorted, plus
// names of user-defined fields typed by the user. "Select" writes the
// current row into the main window's field box; nothing else is returned.

#include <QDialog>
#include <QStringList>

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace bc::windows {

class frmSelectOutlookField final : public QDialog
{
    Q_OBJECT

public:
    // `fieldBox` is the box that "Select" writes into.
    frmSelectOutlookField(QLineEdit* fieldBox, QWidget* parent = nullptr);

    // Opens the picker modally over `parent`.
    static void Pick(QLineEdit* fieldBox, QWidget* parent);

    // The 90 names offered, in the order they are added.
    static const QStringList& Field_Names();

    QTreeWidget* List() const { return ListFields_; }
    // The row that "Select" takes.
    QTreeWidgetItem* Current_Item() const;

private:
    void SelectField_Click();
    void UserDefined_Click();

    QLineEdit* fieldBox_ = nullptr;
    QTreeWidget* ListFields_ = nullptr;
    QPushButton* SelectField_ = nullptr;
    QPushButton* UserDefined_ = nullptr;
    QPushButton* CancelSelection_ = nullptr;
};

} // namespace bc::windows
