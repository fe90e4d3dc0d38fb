#include "engine/Disposal.h"

#include "config/Contact_Folder_List.h"
#include "config/Registry_Routines.h"
#include "config/User_Messages.h"
#include "engine/Error_Description.h"
#include "engine/Run_Journal.h"
#include "engine/Run_Progress.h"
#include "engine/Run_State.h"
#include "outlook/Write_Gate.h"

#include <exception>

namespace bc::engine {

namespace {

const QString kDisposalError = QStringLiteral("Error on Take Action On Invalid Emails. ");

Selective_Conversion_View*& Selective_View()
{
    static Selective_Conversion_View* view = nullptr;
    return view;
}

void Report(const std::exception& e)
{
    Messages().Show_Message(kDisposalError + Error_Description(e));
}

void Update_Manual_Scan_List(qint32 rowIndex)
{
    Selective_Conversion_View* view = Selective_View();
    try {
        if (!view)
            throw outlook::Outlook_Error(QStringLiteral("The manual scan window is not open."));
        if (!view->Remove_Row(Message_Row_Key(rowIndex)))
            throw outlook::Outlook_Error(QStringLiteral("Element not found"));
    } catch (const std::exception& e) {
        Report(e);
    }
    if (!view)
        return;
    try {
        view->Clear_Selected_Row();
    } catch (const std::exception& e) {
        Report(e);
    }
    try {
        view->Set_Status(QString::number(view->Row_Count()));
    } catch (const std::exception& e) {
        Report(e);
    }
}

} // namespace

void Set_Selective_Conversion_View(Selective_Conversion_View* view)
{
    Selective_View() = view;
}

Selective_Conversion_View* Installed_Selective_Conversion_View()
{
    return Selective_View();
}

QString Message_Row_Key(qint32 rowIndex)
{
    return kFieldSeparator + QString::number(rowIndex) + kFieldSeparator;
}

void Post_Email_Action(qint32 rowIndex, const QString& choice, const QString& callerTag)
{
    if (Setting_Number(choice) <= 1)
        return;
    std::shared_ptr<outlook::Mail_Item> message;
    try {
        message = Open_Message_Row(rowIndex);
    } catch (const std::exception&) {
        // Already moved by an earlier record of the same message, or gone.
        return;
    }
    try {
        const auto& destination = State().Destination_Folder;
        if (destination) {
            message->Move(*destination);
            Count_Message_Disposed(choice);
        }
    } catch (const std::exception&) {
        // A refused move leaves the message where it is.
    }
    if (callerTag == kSelectiveConversionTag)
        Update_Manual_Scan_List(rowIndex);
}

void Announce_Disposal(const std::vector<qint32>& rows, const QString& choice)
{
    Run_Journal* journal = Run_Journal::Active();
    const auto& destination = State().Destination_Folder;
    if (!journal || !destination || Setting_Number(choice) <= 1)
        return;
    journal->Disposal_Target(destination->Name(), Setting_Number(choice) == 2);
    std::vector<std::shared_ptr<outlook::Mail_Item>> messages;
    messages.reserve(rows.size());
    for (const qint32 row : rows) {
        try {
            messages.push_back(Open_Message_Row(row));
        } catch (const std::exception&) {
            // Gone already: nothing of it to record.
        }
    }
    try {
        outlook::Announce_Message_Moves(messages, *destination);
    } catch (const std::exception&) {
        // Each move then tries to record itself, and is not made when it cannot.
    }
}

void Disposal_Done()
{
    if (Run_Journal* journal = Run_Journal::Active())
        journal->Disposal_Ended();
}

void Dispose_Messages(const std::vector<qint32>& rows, const QString& choice, const QString& callerTag)
{
    Announce_Disposal(rows, choice);
    for (const qint32 row : rows)
        Post_Email_Action(row, choice, callerTag);
    Disposal_Done();
}

} // namespace bc::engine
