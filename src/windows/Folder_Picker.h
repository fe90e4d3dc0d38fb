#pragma once
// One of the main window's two mail folder pickers: a label, a read-only text
// box with the chosen folder's name, "Pick Folder" and "Clear". The folder is
// stored as three settings (name, EntryID, StoreID):
//
//   Input:       label "Inbox Input Folder" (lblInboxFolder), txtInboxFolder,
//                PickTheInboxFolder, ClearInboxFolder;
//                Email_Inbox_Folder, Email_Inbox_Entry_ID, Email_Inbox_StoreID
//   Destination: label "Destination Folder" (lblOutlookDestinationFolder),
//                txtOutlookDestinationFolder, PickDestFolder, ClearDestFolder;
//                Email_Destination_Folder, Email_Destination_EntryID,
//                Email_Destination_StoreID
//
// Both labels live here, so the main window's frames add no label of their
// own for the picker.

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace bc::windows {

class Folder_Picker : public QWidget
{
    Q_OBJECT

public:
    enum Kind
    {
        Input,
        Destination
    };

    explicit Folder_Picker(Kind kind, QWidget* parent = nullptr);

    Kind Picker_Kind() const { return kind_; }

    // Asks for a mail folder in the folder dialog ("Select Input Folder" or
    // "Select Destination Folder", opened on the stored folder or else the
    // Inbox); a mail folder ("IPM.Note") replaces the shown name and the
    // three settings, anything else keeps the old choice.
    void Pick_Folder();
    // Saves "" to the three settings, then empties the text box.
    void Clear_Folder();
    // Start-up: the text box shows the stored name setting.
    void Restore();

    // The label, text box and both buttons as one (the disposal choice
    // enables the destination only for "move").
    void Set_Controls_Enabled(bool enabled);

    QLabel* Label() const { return label_; }
    QLineEdit* Text_Box() const { return text_; }
    QPushButton* Pick_Button() const { return pick_; }
    QPushButton* Clear_Button() const { return clear_; }

Q_SIGNALS:
    // The shown folder changed (picked or cleared).
    void Folder_Changed();

private:
    Kind kind_;
    QLabel* label_ = nullptr;
    QLineEdit* text_ = nullptr;
    QPushButton* pick_ = nullptr;
    QPushButton* clear_ = nullptr;
};

} // namespace bc::windows
