#include "windows/Contact_Action_Frame.h"

#include "config/Registry_Routines.h"
#include "windows/Option_Check_Box.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace bc::windows {
namespace {

// Contact_Action when neither the delete box nor the set-field box is checked.
constexpr int kNeitherBox = 2;

} // namespace

Contact_Action_Frame::Contact_Action_Frame(QWidget* parent)
    : QGroupBox(QStringLiteral("Action When a Contact is Found"), parent)
{
    setObjectName(QStringLiteral("FrameContactAction"));

    chkContactDelete_ = new Option_Check_Box(QStringLiteral("chkContactDelete"),
                                             QStringLiteral("&Delete Contact From Folder"), this);
    chkSet_Field_In_Contact_ = new Option_Check_Box(QStringLiteral("chkSet_Field_In_Contact"),
                                                    QStringLiteral("Set Field I&n Contact"), this);
    lblField_ = new QLabel(QStringLiteral("Field"), this);
    lblField_->setObjectName(QStringLiteral("lblField"));
    txtFieldToBeSet_ = new QLineEdit(this);
    txtFieldToBeSet_->setObjectName(QStringLiteral("txtFieldToBeSet"));
    SelectField_ = new QPushButton(QStringLiteral("..."), this);
    SelectField_->setObjectName(QStringLiteral("SelectField"));
    SelectField_->setToolTip(QStringLiteral("Pick a contact field"));
    SelectField_->setMaximumWidth(SelectField_->fontMetrics().horizontalAdvance(QStringLiteral("...")) * 4);
    lblFieldValue_ = new QLabel(QStringLiteral("Value"), this);
    lblFieldValue_->setObjectName(QStringLiteral("lblFieldValue"));
    txtValue_ = new QLineEdit(QStringLiteral("Returned Email"), this);
    txtValue_->setObjectName(QStringLiteral("txtValue"));
    lblField_->setBuddy(txtFieldToBeSet_);
    lblFieldValue_->setBuddy(txtValue_);
    chkClearEmailAddress_ = new Option_Check_Box(QStringLiteral("chkClearEmailAddress"),
                                                 QStringLiteral("Clear &Email Address"), this);
    chkCreateanote_ = new Option_Check_Box(QStringLiteral("chkCreateanote"),
                                           QStringLiteral("Attach a note to the contact &body text"), this);

    auto* fields = new QGridLayout;
    fields->setContentsMargins(24, 0, 0, 0); // indented under the set-field box it belongs to
    fields->addWidget(lblField_, 0, 0);
    fields->addWidget(txtFieldToBeSet_, 0, 1);
    fields->addWidget(SelectField_, 0, 2);
    fields->addWidget(lblFieldValue_, 1, 0);
    fields->addWidget(txtValue_, 1, 1, 1, 2);
    fields->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chkContactDelete_);
    layout->addWidget(chkSet_Field_In_Contact_);
    layout->addLayout(fields);
    layout->addWidget(chkClearEmailAddress_);
    layout->addWidget(chkCreateanote_);
    layout->addStretch(1);

    connect(chkContactDelete_, &Option_Check_Box::Value_Changed, this, &Contact_Action_Frame::Delete_Changed);
    connect(chkSet_Field_In_Contact_, &Option_Check_Box::Value_Changed, this,
            &Contact_Action_Frame::Set_Field_Changed);
    connect(chkClearEmailAddress_, &Option_Check_Box::Value_Changed, this,
            &Contact_Action_Frame::Clear_Address_Changed);
    connect(chkCreateanote_, &Option_Check_Box::Value_Changed, this, &Contact_Action_Frame::Note_Changed);
    connect(txtFieldToBeSet_, &QLineEdit::textChanged, this,
            [](const QString& text) { Save_Setting(Contact_Field_To_Set, text); });
    connect(txtValue_, &QLineEdit::textChanged, this,
            [](const QString& text) { Save_Setting(Contact_Value_To_Set, text); });
}

void Contact_Action_Frame::Restore_Create_A_Note()
{
    chkCreateanote_->Set_Value(Setting_Number(Get_Setting(CreateANote)));
}

void Contact_Action_Frame::Restore_Contact_Action()
{
    const QString stored = Get_Setting(Contact_Action);
    if (stored == QLatin1String("1")) {
        chkSet_Field_In_Contact_->Set_Value(1);
    } else if (stored == QString::number(kNeitherBox)) {
        // Neither box: the boxes keep their unchecked state, the texts still
        // show what is stored.
        Refill_Field_Texts();
    } else {
        chkContactDelete_->Set_Value(1);
    }
    chkClearEmailAddress_->Set_Value(Setting_Number(Get_Setting(Clear_Email_Address)));
}

void Contact_Action_Frame::Save_Contact_Action()
{
    // Deleting is the default for a missing value, so "neither box" needs a
    // value of its own: otherwise a user who only clears addresses would find
    // contacts deleted after the next start.
    if (chkSet_Field_In_Contact_->Value() == 1)
        Save_Setting(Contact_Action, 1);
    else if (chkContactDelete_->Value() == 1)
        Save_Setting(Contact_Action, 0);
    else
        Save_Setting(Contact_Action, kNeitherBox);
}

void Contact_Action_Frame::Delete_Changed(int value)
{
    Save_Contact_Action();
    if (value != 1) {
        Enable_Field_Controls(true);
        return;
    }
    chkSet_Field_In_Contact_->Set_Value(0);
    Enable_Field_Controls(false);
    chkCreateanote_->Set_Value(0);
    Refill_Field_Texts();
    chkClearEmailAddress_->Set_Value(0);
}

void Contact_Action_Frame::Set_Field_Changed(int value)
{
    Save_Contact_Action();
    if (value != 1) {
        Enable_Field_Controls(false);
        return;
    }
    Enable_Field_Controls(true);
    chkContactDelete_->Set_Value(0);
    Refill_Field_Texts();
}

void Contact_Action_Frame::Clear_Address_Changed(int value)
{
    Save_Setting(Clear_Email_Address, value);
    if (value == 1)
        chkContactDelete_->Set_Value(0);
}

void Contact_Action_Frame::Note_Changed(int value)
{
    Save_Setting(CreateANote, value == 1 ? 1 : 0);
    if (value == 1)
        chkContactDelete_->Set_Value(0);
}

void Contact_Action_Frame::Enable_Field_Controls(bool enabled)
{
    txtFieldToBeSet_->setEnabled(enabled);
    SelectField_->setEnabled(enabled); // it only fills the field box
    txtValue_->setEnabled(enabled);
    lblField_->setEnabled(enabled);
    lblFieldValue_->setEnabled(enabled);
}

void Contact_Action_Frame::Refill_Field_Texts()
{
    // Each setText saves its text again through the change handlers.
    txtFieldToBeSet_->setText(Get_Setting(Contact_Field_To_Set));
    txtValue_->setText(Get_Setting(Contact_Value_To_Set));
}

} // namespace bc::windows
