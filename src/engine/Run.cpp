#include "engine/Run.h"

#include "config/App_State.h"
#include "config/Contact_Folder_List.h"
#include "config/Registry_Routines.h"
#include "config/User_Messages.h"
#include "engine/Contact_Actions.h"
#include "engine/Disposal.h"
#include "engine/Error_Description.h"
#include "engine/Processing_Flags.h"
#include "engine/Progress_Log.h"
#include "engine/Recognition.h"
#include "engine/Run_Journal.h"
#include "engine/Run_Progress.h"
#include "engine/Run_State.h"
#include "outlook/Mapi_Components.h"
#include "outlook/Outlook_Session.h"

#include <QSet>

#include <exception>
#include <vector>

namespace bc::engine {

namespace {

using outlook::Mapi_Folder;

const QString kClosingRule = QString(44, QLatin1Char('-'));

// Ends the run before its closing lines, as the two expected failures do.
struct Early_End
{
};

std::shared_ptr<Mapi_Folder> Folder_From_Id(const QString& entryId, const QString& storeId)
{
    try {
        return outlook::Session().Outlook_Namespace->GetFolderFromID(entryId, storeId);
    } catch (const std::exception&) {
        return nullptr;
    }
}

std::shared_ptr<Mapi_Folder> Default_Or_Shared_Folder(int kind)
{
    auto& ns = outlook::Session().Outlook_Namespace;
    try {
        if (auto folder = ns->GetDefaultFolder(kind))
            return folder;
        auto user = ns->CurrentUser();
        if (!user)
            return nullptr;
        user->Resolve();
        return ns->GetSharedDefaultFolder(*user, kind);
    } catch (const std::exception&) {
        return nullptr;
    }
}

std::shared_ptr<Mapi_Folder> Open_Input_Folder()
{
    const QString entryId = Get_Setting(Email_Inbox_Entry_ID);
    const QString storeId = Get_Setting(Email_Inbox_StoreID);
    if (entryId.isEmpty())
        return Default_Or_Shared_Folder(outlook::olFolderInbox);
    return Folder_From_Id(entryId, storeId);
}

void Read_Message_Table(Mapi_Folder& inbox)
{
    outlook::QuorinMAPITable table;
    table.Set_Item(inbox.Items());
    table.Set_Columns({outlook::PR_SUBJECT, outlook::PR_MESSAGE_DELIVERY_TIME, outlook::PR_ENTRYID,
                       outlook::PR_MESSAGE_CLASS});
    table.GoToFirst();
    State().Message_Rows = table.GetRows(table.RowCount());
    State().Input_Store_ID = inbox.StoreID();
}

class Run_Steps
{
public:
    Run_Steps(bool selectedOnly, const Run_Context& context) : selectedOnly_(selectedOnly), context_(context)
    {
    }

    void Run()
    {
        State().Run_Failed = false;
        Flags().Abort_Requested = false;
        Flags().Processing_Active = true;
        Start_Totals();
        try {
            if (Prepare() && Scan() && Process_Databases())
                Dispose();
        } catch (const Early_End&) {
            State().Run_Failed = true;
            Flags().Abort_Requested = false;
            Flags().Processing_Active = false;
            Report_Finished(Run_Outcome::Failed);
            return;
        } catch (const std::exception& e) {
            State().Run_Failed = true;
            Messages().Show_Message(QStringLiteral("Error: ") + location_ +
                                    QStringLiteral(" on Convert Current: ") + Error_Description(e));
        }
        // After an error, errors are ignored: the closing lines always come.
        for (const QString& line :
             {kClosingRule, QStringLiteral("Processing Done. No more emails to process.")}) {
            try {
                Add_Item_To_List(line);
            } catch (const std::exception&) {
            }
        }
        Flags().Abort_Requested = false;
        Flags().Processing_Active = false;
        // A walk that ended in an error fails the run without stopping it.
        if (State().Run_Failed && outcome_ == Run_Outcome::Done)
            outcome_ = Run_Outcome::Failed;
        Report_Finished(outcome_);
    }

private:
    bool Prepare()
    {
        location_ = QStringLiteral("60001");
        if (context_.Progress && !App().Auto_Run)
            context_.Progress->Show_Window();
        Yield_To_Events();
        location_ = QStringLiteral("60002");
        Add_Item_To_List(QStringLiteral("Logging into Outlook Mailbox"));
        location_ = QStringLiteral("60003");
        if (!outlook::Start_Outlook() || !outlook::Session().Outlook_Namespace) {
            Messages().Show_Message(QStringLiteral("Error Starting Outlook. Exiting ..."));
            throw Early_End{};
        }

        choice_ = Get_Setting(Email_What_To_Do);
        location_ = QStringLiteral("60004");
        const int what = Setting_Number(choice_);
        if (what == 3) {
            const QString entryId = Get_Setting(Email_Destination_EntryID);
            const QString storeId = Get_Setting(Email_Destination_StoreID);
            location_ = QStringLiteral("60005");
            if (entryId.isEmpty()) {
                choice_ = QStringLiteral("1");
            } else {
                location_ = QStringLiteral("60006");
                State().Destination_Folder = Folder_From_Id(entryId, storeId);
                location_ = QStringLiteral("60007");
                if (!State().Destination_Folder)
                    choice_ = QStringLiteral("1");
            }
        }
        if (what == 2)
            State().Destination_Folder =
                outlook::Session().Outlook_Namespace->GetDefaultFolder(outlook::olFolderDeletedItems);

        location_ = QStringLiteral("60008");
        const std::shared_ptr<Mapi_Folder> inbox = Open_Input_Folder();
        if (!inbox) {
            Messages().Show_Message(QStringLiteral("Could not map outlook input mail folder."));
            throw Early_End{};
        }
        Report_Stage(Run_Stage::Reading_Messages, 0);
        Read_Message_Table(*inbox);
        return true;
    }

    // False when the run goes straight to its closing lines.
    bool Scan()
    {
        location_ = QStringLiteral("600010");
        State().Bounced_Emails.Clear();
        State().Message_Bodies.Clear();
        State().Kept_Messages.clear();
        State().Walk_Failed = false;
        Add_Item_To_List(QStringLiteral("Scanning Inbox for Invalid Emails..."));
        const auto rowCount = static_cast<qint32>(State().Message_Rows.size());
        Report_Stage(Run_Stage::Scanning_Messages, rowCount);
        for (qint32 row = 0; row < rowCount; ++row) {
            Report_Advance(row);
            location_ = QStringLiteral("600011");
            if (!Is_Returned_Message(State().Message_Rows[row]))
                continue;
            Journal_Returned_Message(row);
            Scan_Email_For_Return_Emails(row);
            Add_Item_To_List(QStringLiteral("Bounced Email Found: ") + *State().Message_Rows[row].Subject);
            Yield_To_Events();
            if (Flags().Abort_Requested) {
                Stopped();
                Add_Item_To_List(QStringLiteral("Processing Aborted"));
                return false;
            }
        }
        Report_Advance(rowCount);
        location_ = QStringLiteral("600022");
        Yield_To_Events();
        if (State().Bounced_Emails.Empty()) {
            Add_Item_To_List(QStringLiteral("No returned emails found. Processing done."));
            location_ = QStringLiteral("600025");
            return false;
        }
        return true;
    }

    bool Process_Databases()
    {
        location_ = QStringLiteral("600023");
        if (!selectedOnly_) {
            for (qint32 index = 0; index < Folders().Contact_Folder_Count(); ++index) {
                Add_Item_To_List(QStringLiteral("Scanning Folder: ") +
                                 Folders().Contact_Folder_List[index].Folder_Name);
                if (!Process_Contact_Folder(index, context_.Choices))
                    return Stopped();
            }
            return true;
        }
        if (!context_.Databases)
            return true;
        for (const Database_Row& row : context_.Databases->Rows()) {
            if (!row.Selected)
                continue;
            Add_Item_To_List(QStringLiteral("Scanning Folder: ") + row.Folder_Name);
            // The key is "key" followed by the record's index.
            bool ok = false;
            const qint32 index = row.Key.mid(3).toInt(&ok);
            if (!Process_Contact_Folder(ok ? index : -1, context_.Choices))
                return Stopped();
        }
        return true;
    }

    void Dispose()
    {
        location_ = QStringLiteral("600024");
        if (Setting_Number(choice_) > 1 && State().Walk_Failed) {
            // Contacts the failed walk never reached would lose the only
            // messages that lead a later run to them.
            Add_Item_To_List(kMessagesLeftAfterError);
        } else if (Setting_Number(choice_) > 1) {
            Add_Item_To_List(QStringLiteral("Post Email Action"));
            Add_Item_To_List(QStringLiteral("Moving/Deleting Email"));
            // A message with several records is moved by its first; the later
            // ones would only find it gone. A message whose contact could not
            // be handled stays for a later run.
            QSet<qint32> handled;
            std::vector<qint32> messages;
            for (const Bounced_Email& record : State().Bounced_Emails.Records()) {
                if (handled.contains(record.Message_Index))
                    continue;
                handled.insert(record.Message_Index);
                messages.push_back(record.Message_Index);
            }
            std::vector<qint32> moving;
            for (const qint32 message : messages)
                if (!State().Kept_Messages.contains(message))
                    moving.push_back(message);
            Report_Stage(Setting_Number(choice_) == 2 ? Run_Stage::Deleting_Messages
                                                      : Run_Stage::Moving_Messages,
                         static_cast<qint64>(moving.size()));
            Yield_To_Events();
            Announce_Disposal(moving, choice_);
            qint64 done = 0;
            for (const qint32 message : messages) {
                if (State().Kept_Messages.contains(message)) {
                    const auto& subject = State().Message_Rows[message].Subject;
                    Add_Item_To_List(kMessageKept + subject.value_or(QString()));
                    continue;
                }
                Post_Email_Action(message, choice_, kRunCallerTag);
                Report_Advance(++done);
            }
            Disposal_Done();
        }
        location_ = QStringLiteral("600025");
    }

    bool Stopped()
    {
        outcome_ = Run_Outcome::Stopped;
        Journal_Stopped();
        return false;
    }

    const bool selectedOnly_;
    const Run_Context& context_;
    QString location_;
    QString choice_;
    Run_Outcome outcome_ = Run_Outcome::Done;
};

} // namespace

bool Check_Process_All(int databaseRowCount)
{
    if (databaseRowCount > 0)
        return true;
    Messages().Show_Message(kNoDatabaseSetUp);
    return false;
}

bool Check_Process_Selected(bool hasCurrentRow)
{
    if (hasCurrentRow)
        return true;
    Messages().Show_Message(kNoDatabaseSelected);
    return false;
}

bool Check_Process_Manually(bool anyRowSelected)
{
    if (anyRowSelected)
        return true;
    Messages().Show_Message(kNoDatabaseForManual);
    return false;
}

Run_Guard::Run_Guard() : acquired_(!Flags().Run_In_Progress)
{
    if (!acquired_)
        return;
    lock_ = std::make_unique<Run_Lock>();
    if (!lock_->Held()) {
        acquired_ = false;
        Messages().Show_Message(lock_->Problem());
        return;
    }
    Flags().Run_In_Progress = true;
}

Run_Guard::~Run_Guard()
{
    if (acquired_)
        Flags().Run_In_Progress = false;
}

bool ConvertCurrent(bool selectedOnly, const Run_Context& context)
{
    Run_Guard guard;
    if (!guard.Acquired())
        return false;
    Progress_Session session(context.Progress);
    Journal_Session journal(App().Auto_Run ? QStringLiteral("Process All Databases, unattended")
                            : selectedOnly ? QStringLiteral("Process Selected Databases")
                                           : QStringLiteral("Process All Databases"));
    if (!journal.Start())
        return false;
    Run_Steps(selectedOnly, context).Run();
    journal.Finish(context.Progress);
    return true;
}

bool Run_All_Unattended(const Contact_Action_Choices& choices)
{
    if (!Check_Process_All(Folders().Contact_Folder_Count()))
        return false;
    return ConvertCurrent(false, Run_Context{choices, nullptr, nullptr});
}

} // namespace bc::engine
