#include "engine/Manual_Scan.h"

#include "config/App_State.h"
#include "config/Contact_Folder_List.h"
#include "config/Identifier_Lists.h"
#include "config/Registry_Routines.h"
#include "config/User_Messages.h"
#include "engine/Contact_Actions.h"
#include "engine/Disposal.h"
#include "engine/Error_Description.h"
#include "engine/Progress_Log.h"
#include "engine/Recognition.h"
#include "engine/Run.h"
#include "engine/Run_Journal.h"
#include "engine/Run_Progress.h"
#include "engine/Run_State.h"
#include "outlook/Outlook_Session.h"

#include <QSet>

#include <exception>

namespace bc::engine {

namespace {

const QString kClosingRule = QString(69, QLatin1Char('_'));

std::shared_ptr<outlook::Mapi_Folder> Folder_From_Id(const QString& entryId, const QString& storeId)
{
    try {
        return outlook::Session().Outlook_Namespace->GetFolderFromID(entryId, storeId);
    } catch (const std::exception&) {
        return nullptr;
    }
}

class Manual_Steps
{
public:
    explicit Manual_Steps(const Manual_Scan_Context& context) : context_(context) {}

    void Run()
    {
        // The progress window ends with what this processing changed.
        Start_Totals();
        State().Run_Failed = false;
        Run_Outcome outcome = Run_Outcome::Done;
        try {
            if (!Prepare()) {
                Report_Finished(Run_Outcome::Failed);
                return;
            }
            if (Scan_Picked()) {
                if (Process_Databases())
                    Dispose();
                else
                    outcome = Run_Outcome::Stopped;
            }
            Close();
        } catch (const std::exception& e) {
            // Lines already shown, contacts already changed and messages
            // already moved stay as they are.
            outcome = Run_Outcome::Failed;
            Messages().Show_Message(QStringLiteral("Error: ") + location_ +
                                    QStringLiteral(" on Convert Selected. Error: ") + Error_Description(e));
        }
        if (State().Run_Failed && outcome == Run_Outcome::Done)
            outcome = Run_Outcome::Failed;
        Report_Finished(outcome);
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
            return false;
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
        } else if (what == 2) {
            State().Destination_Folder =
                outlook::Session().Outlook_Namespace->GetDefaultFolder(outlook::olFolderDeletedItems);
        }
        location_ = QStringLiteral("60008");
        location_ = QStringLiteral("600010");
        State().Bounced_Emails.Clear();
        // The keys index the window's listing, not a table a run read since.
        State().Message_Rows = context_.List.Listed_Rows();
        State().Input_Store_ID = context_.List.Listed_Store_ID();
        return true;
    }

    // False when nothing was found to process.
    bool Scan_Picked()
    {
        const QStringList keys = context_.List.Selected_Keys();
        const auto& rows = State().Message_Rows;
        for (qsizetype k = keys.size() - 1; k >= 0; --k) {
            bool ok = false;
            const qint32 index = Get_Field(keys[k], 1).toInt(&ok);
            location_ = QStringLiteral("600011");
            if (!ok || index < 0 || index >= static_cast<qint32>(rows.size()))
                throw outlook::Outlook_Error(QStringLiteral("Subscript out of range"));
            const outlook::Message_Row& row = rows[index];
            if (!row.Subject)
                continue;
            const QString subject = *row.Subject;
            if (Contains_Return_Identifier(subject)) {
                Add_Item_To_List(QStringLiteral("Found Returned Email: ") + subject);
                // A delivery report is reported as found but has no body to scan.
                if (Is_Returned_Message(row)) {
                    Journal_Returned_Message(index);
                    Scan_Email_For_Return_Emails(index);
                }
            } else {
                Add_Item_To_List(QStringLiteral("Email Subject::: ") + subject +
                                 QStringLiteral(" ::: did not match a Returned Email ID."));
                Add_Item_To_List(QStringLiteral(
                    "Use the Tools option to add the identifier to the Returned Emails IDs List."));
            }
        }
        location_ = QStringLiteral("600022");
        Yield_To_Events();
        if (State().Num_Bounced_Emails() < 1) {
            Add_Item_To_List(QStringLiteral("No returned emails found. Processing done."));
            return false;
        }
        return true;
    }

    // False when the user stopped the processing.
    bool Process_Databases()
    {
        location_ = QStringLiteral("600023");
        if (!context_.Databases)
            return true;
        for (const Database_Row& row : context_.Databases->Rows()) {
            if (!row.Selected)
                continue;
            Add_Item_To_List(QStringLiteral("Scanning Database: ") + row.Folder_Name);
            // The key is "key" followed by the record's index.
            bool ok = false;
            const qint32 index = row.Key.mid(3).toInt(&ok);
            if (!Process_Contact_Folder(ok ? index : -1, context_.Choices)) {
                Journal_Stopped();
                return false;
            }
            Add_Item_To_List(QStringLiteral("Closing Database: ") + row.Folder_Name);
        }
        return true;
    }

    void Dispose()
    {
        location_ = QStringLiteral("600024");
        if (Setting_Number(choice_) <= 1)
            return;
        Add_Item_To_List(QStringLiteral("Post Email Action"));
        Add_Item_To_List(QStringLiteral("Moving/Deleting Email"));
        Yield_To_Events();
        // A message with several records is moved by its first; the later
        // ones would only find it gone, or take its row out a second time.
        QSet<qint32> handled;
        std::vector<qint32> rows;
        for (const Bounced_Email& record : State().Bounced_Emails.Records()) {
            if (!handled.contains(record.Message_Index))
                rows.push_back(record.Message_Index);
            handled.insert(record.Message_Index);
        }
        Dispose_Messages(rows, choice_, kSelectiveConversionTag);
    }

    void Close()
    {
        location_ = QStringLiteral("600025");
        Add_Item_To_List(
            QStringLiteral("Bounced Emails Scan is done. No more databases selected to process."));
        Add_Item_To_List(kClosingRule);
        Yield_To_Events();
    }

    const Manual_Scan_Context& context_;
    QString location_;
    QString choice_;
};

} // namespace

bool Manual_Scan(const Manual_Scan_Context& context)
{
    if (context.List.Listing_Active()) {
        Messages().Show_Message(kListingUnderWay);
        return false;
    }
    if (!context.List.Has_Selected_Row()) {
        Messages().Show_Message(kNoEmailPicked);
        return false;
    }
    Run_Guard guard;
    if (!guard.Acquired()) {
        Messages().Show_Message(kOtherRunUnderWay);
        return false;
    }
    Progress_Session session(context.Progress);
    Journal_Session journal(QStringLiteral("Process Manually"));
    if (!journal.Start())
        return false;
    Manual_Steps(context).Run();
    journal.Finish(context.Progress);
    return true;
}

} // namespace bc::engine
