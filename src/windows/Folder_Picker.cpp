#include "windows/Folder_Picker.h"

#include "config/Registry_Routines.h"
#include "config/User_Messages.h"
#include "outlook/Outlook_Session.h"
#include "windows/frmPickFolder.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <exception>

namespace bc::windows {
namespace {

struct Picker_Names
{
    const char* label_name;
    const char* label_text;
    const char* text_box;
    const char* pick;
    const char* clear;
    const char* title; // of the folder dialog
    Setting name_setting;
    Setting entry_setting;
    Setting store_setting;
};

const Picker_Names& Names(Folder_Picker::Kind kind)
{
    static const Picker_Names input{"lblInboxFolder",     "Inbox Input Folder", "txtInboxFolder",
                                    "PickTheInboxFolder", "ClearInboxFolder",   "Select Input Folder",
                                    Email_Inbox_Folder,   Email_Inbox_Entry_ID, Email_Inbox_StoreID};
    static const Picker_Names destination{"lblOutlookDestinationFolder",
                                          "Destination Folder",
                                          "txtOutlookDestinationFolder",
                                          "PickDestFolder",
                                          "ClearDestFolder",
                                          "Select Destination Folder",
                                          Email_Destination_Folder,
                                          Email_Destination_EntryID,
                                          Email_Destination_StoreID};
    return kind == Folder_Picker::Input ? input : destination;
}

} // namespace

Folder_Picker::Folder_Picker(Kind kind, QWidget* parent) : QWidget(parent), kind_(kind)
{
    const Picker_Names& names = Names(kind);
    setObjectName(QString::fromLatin1(names.text_box) + QStringLiteral("Picker"));

    label_ = new QLabel(QString::fromLatin1(names.label_text), this);
    label_->setObjectName(QString::fromLatin1(names.label_name));
    text_ = new QLineEdit(this);
    text_->setObjectName(QString::fromLatin1(names.text_box));
    // The box only shows the stored choice; typing into it would store nothing.
    text_->setReadOnly(true);
    label_->setBuddy(text_);
    pick_ = new QPushButton(QStringLiteral("Pic&k Folder"), this);
    pick_->setObjectName(QString::fromLatin1(names.pick));
    clear_ = new QPushButton(QStringLiteral("Cl&ear"), this);
    clear_->setObjectName(QString::fromLatin1(names.clear));

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label_, 0, 0, 1, 3);
    layout->addWidget(text_, 1, 0);
    layout->addWidget(pick_, 1, 1);
    layout->addWidget(clear_, 1, 2);
    layout->setColumnStretch(0, 1);

    connect(pick_, &QPushButton::clicked, this, &Folder_Picker::Pick_Folder);
    connect(clear_, &QPushButton::clicked, this, &Folder_Picker::Clear_Folder);
}

void Folder_Picker::Pick_Folder()
{
    const Picker_Names& names = Names(kind_);
    try {
        frmPickFolder::Request request;
        request.Title = QString::fromLatin1(names.title);
        request.Message_Class = QStringLiteral("IPM.Note");
        request.Entry_ID = Get_Setting(names.entry_setting);
        request.Store_ID = Get_Setting(names.store_setting);
        request.Default_Kind = outlook::olFolderInbox;
        const frmPickFolder::Folder folder = frmPickFolder::Pick_Folder_Of_Class(
            this, request, QStringLiteral("Choose an E-mail Folder Store"));
        if (!folder)
            return;
        // Read all three before storing any, so a failing call cannot pair
        // the new name with the old folder's identifiers.
        const QString name = folder->Name();
        const QString entry_id = folder->EntryID();
        const QString store_id = folder->StoreID();
        text_->setText(name);
        Save_Setting(names.name_setting, text_->text());
        Save_Setting(names.entry_setting, entry_id);
        Save_Setting(names.store_setting, store_id);
        Q_EMIT Folder_Changed();
    } catch (const outlook::Outlook_Error& error) {
        Messages().Show_Message(QStringLiteral("Failed setting up subfolders. Error: ") +
                                error.Description());
    } catch (const std::exception& error) {
        Messages().Show_Message(QStringLiteral("Failed setting up subfolders. Error: ") +
                                QString::fromLocal8Bit(error.what()));
    }
}

void Folder_Picker::Clear_Folder()
{
    const Picker_Names& names = Names(kind_);
    Save_Setting(names.name_setting, QString());
    Save_Setting(names.entry_setting, QString());
    Save_Setting(names.store_setting, QString());
    text_->clear();
    Q_EMIT Folder_Changed();
}

void Folder_Picker::Restore()
{
    text_->setText(Get_Setting(Names(kind_).name_setting));
}

void Folder_Picker::Set_Controls_Enabled(bool enabled)
{
    label_->setEnabled(enabled);
    text_->setEnabled(enabled);
    pick_->setEnabled(enabled);
    clear_->setEnabled(enabled);
}

} // namespace bc::windows
