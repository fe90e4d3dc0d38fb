#include "windows/frmSelectOutlookField.h"

#include "config/User_Messages.h"
#include "windows/Message_Box.h"
#include "windows/Text_Row.h"
#include "windows/class_Elastic.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace bc::windows {
namespace {

// Window size in twips.
constexpr int kWidth = 4800;
constexpr int kHeight = 6000;

} // namespace

const QStringList& frmSelectOutlookField::Field_Names()
{
    // The standard contact fields that make sense as a status mark, and two
    // that the contact write stores as user-defined fields.
    static const QStringList names = {
        "Account",
        "AssistantName",
        "AssistantTelephoneNumber",
        "BillingInformation",
        "Business2TelephoneNumber",
        "BusinessAddressCity",
        "BusinessAddressCountry",
        "BusinessAddressPostalCode",
        "BusinessAddressPostOfficeBox",
        "BusinessAddressState",
        "BusinessAddressStreet",
        "BusinessFaxNumber",
        "BusinessHomePage",
        "BusinessTelephoneNumber",
        "CallbackTelephoneNumber",
        "CarTelephoneNumber",
        "Children",
        "Companies",
        "CompanyMainTelephoneNumber",
        "CompanyName",
        "ComputerNetworkName",
        "CustomerID",
        "Department",
        "Email1Address",
        "Email1AddressType",
        "Email2Address",
        "Email2AddressType",
        "Email3Address",
        "Email3AddressType",
        "FirstName",
        "FTPSite",
        "FullName",
        "Gender",
        "GovernmentIDNumber",
        "Hobby",
        "Home2TelephoneNumber",
        "HomeAddressCity",
        "HomeAddressCountry",
        "HomeAddressPostalCode",
        "HomeAddressPostOfficeBox",
        "HomeAddressState",
        "HomeAddressStreet",
        "HomeFaxNumber",
        "HomeTelephoneNumber",
        "Importance",
        "InternetFreeBusyAddress",
        "ISDNNumber",
        "JobTitle",
        "Language",
        "LastName",
        "MailingAddressCity",
        "MailingAddressCountry",
        "MailingAddressPostalCode",
        "MailingAddressPostOfficeBox",
        "MailingAddressState",
        "MailingAddressStreet",
        "ManagerName",
        "MiddleName",
        "Mileage",
        "MobileTelephoneNumber",
        "NetMeetingAlias",
        "NetMeetingServer",
        "NickName",
        "OfficeLocation",
        "OrganizationalIDNumber",
        "OtherAddressCity",
        "OtherAddressCountry",
        "OtherAddressPostalCode",
        "OtherAddressPostOfficeBox",
        "OtherAddressState",
        "OtherAddressStreet",
        "OtherFaxNumber",
        "OtherTelephoneNumber",
        "PagerNumber",
        "PersonalHomePage",
        "PrimaryTelephoneNumber",
        "Profession",
        "RadioTelephoneNumber",
        "ReferredBy",
        "Sensitivity",
        "Spouse",
        "Suffix",
        "TelexNumber",
        "Title",
        "TTYTDDTelephoneNumber",
        "User1",
        "User2",
        "User3",
        "User4",
        "WebPage",
    };
    return names;
}

frmSelectOutlookField::frmSelectOutlookField(QLineEdit* fieldBox, QWidget* parent)
    : QDialog(parent), fieldBox_(fieldBox)
{
    setObjectName(QStringLiteral("frmSelectOutlookField"));
    setWindowTitle(QStringLiteral("Select Standard Outlook Field"));
    setModal(true);

    ListFields_ = new QTreeWidget(this);
    ListFields_->setObjectName(QStringLiteral("ListFields"));
    ListFields_->setColumnCount(1);
    ListFields_->setHeaderLabels({QStringLiteral("Outlook Fields")});
    ListFields_->setRootIsDecorated(false);
    ListFields_->setUniformRowHeights(true);
    ListFields_->setSelectionMode(QAbstractItemView::SingleSelection);
    ListFields_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListFields_->header()->setStretchLastSection(true);
    ListFields_->header()->setSectionsClickable(false);
    for (const QString& name : Field_Names()) {
        auto* row = new Text_Row(name);
        row->setData(0, Qt::UserRole, name); // the row's key
        ListFields_->addTopLevelItem(row);
    }
    ListFields_->sortItems(0, Qt::AscendingOrder);
    ListFields_->setCurrentItem(ListFields_->topLevelItem(0));

    SelectField_ = new QPushButton(QStringLiteral("&Select"), this);
    SelectField_->setObjectName(QStringLiteral("SelectField"));
    SelectField_->setDefault(true);
    UserDefined_ = new QPushButton(QStringLiteral("&User Defined"), this);
    UserDefined_->setObjectName(QStringLiteral("UserDefined"));
    CancelSelection_ = new QPushButton(QStringLiteral("&Cancel"), this);
    CancelSelection_->setObjectName(QStringLiteral("CancelSelection"));

    // Tab goes through the buttons in the order they are shown.
    setTabOrder(ListFields_, UserDefined_);
    setTabOrder(UserDefined_, SelectField_);
    setTabOrder(SelectField_, CancelSelection_);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(UserDefined_);
    buttons->addStretch(1);
    buttons->addWidget(SelectField_);
    buttons->addWidget(CancelSelection_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListFields_, 1);
    layout->addLayout(buttons);

    connect(SelectField_, &QPushButton::clicked, this, &frmSelectOutlookField::SelectField_Click);
    connect(UserDefined_, &QPushButton::clicked, this, &frmSelectOutlookField::UserDefined_Click);
    connect(CancelSelection_, &QPushButton::clicked, this, &QDialog::reject);
    connect(ListFields_, &QTreeWidget::itemDoubleClicked, this, &frmSelectOutlookField::SelectField_Click);

    resize(Twips_To_Pixels(this, kWidth, Qt::Horizontal), Twips_To_Pixels(this, kHeight, Qt::Vertical));
    ListFields_->setFocus();
}

void frmSelectOutlookField::Pick(QLineEdit* fieldBox, QWidget* parent)
{
    frmSelectOutlookField picker(fieldBox, parent);
    picker.exec();
}

QTreeWidgetItem* frmSelectOutlookField::Current_Item() const
{
    return ListFields_->currentItem();
}

void frmSelectOutlookField::SelectField_Click()
{
    if (QTreeWidgetItem* row = Current_Item(); row && fieldBox_)
        fieldBox_->setText(row->text(0)); // the box saves it as the field to set
    accept();
}

void frmSelectOutlookField::UserDefined_Click()
{
    const QString name =
        Message_Box::Input_Box(this, QStringLiteral("Enter the name of the user defined property."),
                               QStringLiteral("User Defined Property"));
    // Blanks alone name nothing the user could find again in a contact.
    if (name.trimmed().isEmpty())
        return;
    // A name that differs from a listed one only in letter case would be a
    // second field beside it: the whole name is compared, case ignored.
    for (int i = 0; i < ListFields_->topLevelItemCount(); ++i) {
        if (ListFields_->topLevelItem(i)->text(0).compare(name, Qt::CaseInsensitive) == 0) {
            Messages().Show_Message(QStringLiteral("A field with the name: ") + name +
                                    QStringLiteral(" already exists."));
            return;
        }
    }
    auto* row = new Text_Row(name);
    ListFields_->addTopLevelItem(row);
    ListFields_->sortItems(0, Qt::AscendingOrder);
    ListFields_->setCurrentItem(row);
    ListFields_->scrollToItem(row);
    ListFields_->setFocus();
}

} // namespace bc::windows
