#pragma once
// How the engine meets the windows. The main window, the progress window and
// tests implement these; the engine never sees a widget.

#include <QString>

#include <vector>

namespace bc::engine {

// The contact-action choices, read from the main window's controls at the
// moment each matching contact is handled (a setting changed during a run
// takes effect at the next contact). Check box values: 0 unchecked,
// 1 checked, 2 grayed (counts as unchecked).
class Contact_Action_Choices
{
public:
    virtual ~Contact_Action_Choices() = default;
    virtual int Contact_Delete() const = 0;       // chkContactDelete
    virtual int Create_A_Note() const = 0;        // chkCreateanote
    virtual int Clear_Email_Address() const = 0;  // chkClearEmailAddress
    virtual int Set_Field_In_Contact() const = 0; // chkSet_Field_In_Contact
    virtual QString Field_To_Be_Set() const = 0;  // txtFieldToBeSet
    virtual QString Field_Value() const = 0;      // txtValue
    virtual QString Event_Text() const = 0;       // ComboEvent text
};

// One row of the main window's database list, in display order.
struct Database_Row
{
    QString Key;         // "key" followed by the record's index
    QString Folder_Name; // the "Folder" column
    bool Selected = false;
};

class Database_List_View
{
public:
    virtual ~Database_List_View() = default;
    virtual std::vector<Database_Row> Rows() const = 0;
};

// The stages of a run, each counted from 0 to its total.
enum class Run_Stage
{
    Reading_Messages,  // the input folder's message table, in one step (no counts)
    Scanning_Messages, // the input folder's messages
    Checking_Contacts, // the contacts of one database
    Moving_Messages,   // the returned messages, to the chosen folder
    Deleting_Messages  // the returned messages, to the deleted items folder
};

enum class Run_Outcome
{
    Done,
    Stopped, // by the user
    Failed   // ended by an error
};

// What a run changed.
struct Run_Totals
{
    qint32 Contacts_Deleted = 0;
    qint32 Contacts_Changed = 0; // a note attached, an address cleared or a field written
    qint32 Tasks_Made = 0;
    qint32 Messages_Moved = 0;
    qint32 Messages_Deleted = 0;
};

// Where a run stands, for a progress bar and a status text. The engine
// reports at the points where it yields; a view that has no use for them
// leaves them out.
class Progress_Counts
{
public:
    virtual ~Progress_Counts() = default;
    // `name` is the database for Checking_Contacts, else empty.
    virtual void Stage_Started(Run_Stage, qint64 /*total*/, const QString& /*name*/) {}
    virtual void Stage_Advanced(qint64 /*done*/) {}
    virtual void Run_Finished(Run_Outcome, const Run_Totals&) {}
};

// The progress window. Add_Line shows one line; the engine's progress log
// decides whether to call it (not in an unattended run) and yields itself.
class Progress_View : public Progress_Counts
{
public:
    virtual ~Progress_View() = default;
    virtual void Show_Window() = 0; // show (not modal), loading it if needed
    virtual void Add_Line(const QString& text) = 0;
    // The run has ended and left its report: its file (empty for a preview,
    // which keeps nothing) and its text.
    virtual void Report_Ready(const QString& path, const QString& text)
    {
        (void)path;
        (void)text;
    }
};

} // namespace bc::engine
