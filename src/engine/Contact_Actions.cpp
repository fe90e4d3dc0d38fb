#include "engine/Contact_Actions.h"

#include "config/Address_Case.h"
#include "config/Contact_Folder_List.h"
#include "config/Registry_Routines.h"
#include "config/User_Messages.h"
#include "engine/Error_Description.h"
#include "engine/Processing_Flags.h"
#include "engine/Progress_Log.h"
#include "engine/Recognition.h"
#include "engine/Run_Journal.h"
#include "engine/Run_Progress.h"
#include "engine/Run_State.h"
#include "outlook/Contact_Fields.h"
#include "outlook/Item_File_IO.h"
#include "outlook/Mapi_Components.h"
#include "outlook/Outlook_Session.h"

#include <QDate>
#include <QSet>
#include <QUuid>

#include <exception>
#include <vector>

namespace bc::engine {

namespace {

using outlook::Contact_Item;
using outlook::Items_Collection;
using outlook::Mapi_Folder;
using outlook::QuorinContactItem;

const QString kContactError = QStringLiteral("Error on processing Returned emails. Error: ");

bool Checked(int value)
{
    return value == 1; // 2 is grayed and counts as unchecked
}

QString Email_Address(const QuorinContactItem& contact, int slot)
{
    switch (slot) {
    case 1:
        return contact.Email1Address();
    case 2:
        return contact.Email2Address();
    default:
        return contact.Email3Address();
    }
}

void Set_Email_Address(QuorinContactItem& contact, int slot, const QString& value)
{
    switch (slot) {
    case 1:
        contact.Set_Email1Address(value);
        break;
    case 2:
        contact.Set_Email2Address(value);
        break;
    default:
        contact.Set_Email3Address(value);
        break;
    }
}

QString Trim_Spaces(const QString& text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text.at(start) == QLatin1Char(' '))
        ++start;
    while (end > start && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(start, end - start);
}

// The first address slot (1..3) that is in the bounced list, or 0. A hit
// sets Found_Message_Index.
int Matching_Slot(const QuorinContactItem& contact)
{
    for (int slot = 1; slot <= 3; ++slot) {
        if (Find_Bounced_Email(Upper_Address(Trim_Spaces(Email_Address(contact, slot)))))
            return slot;
    }
    return 0;
}

// Lets the folder pass over, unread, the contacts that cannot hold a bounced
// address; only when every address in the list is of the plain kind that the
// folder can look for in a file's bytes. Asked for every address-like word of
// every contact, so a miss costs no allocation: a bit per hash, small enough
// to stay in the processor's cache, answers most of them before the set does.
class Bounced_Screen final : public outlook::Address_Screen
{
public:
    explicit Bounced_Screen(const Bounced_Email_List& list) : bits_(kBits / 64, 0)
    {
        for (const Bounced_Email& record : list.Records()) {
            if (record.Email_Address.isEmpty())
                continue;
            if (!Is_Plain(record.Email_Address)) {
                usable_ = false;
                continue;
            }
            const QByteArray key = record.Email_Address.toLatin1();
            const std::size_t bit = qHash(key) % kBits;
            bits_[bit / 64] |= quint64(1) << (bit % 64);
            addresses_.insert(key);
        }
    }
    bool Usable() const { return usable_; }
    bool Wanted(QLatin1StringView address) const override
    {
        const QByteArray key = QByteArray::fromRawData(address.data(), address.size());
        const std::size_t bit = qHash(key) % kBits;
        return (bits_[bit / 64] >> (bit % 64) & 1) != 0 && addresses_.contains(key);
    }

private:
    static constexpr std::size_t kBits = std::size_t(1) << 18;

    // What extraction gives: address characters around an '@', upper case.
    static bool Is_Plain(const QString& address)
    {
        for (const QChar c : address)
            if (c.isLower() || !(Is_Address_Character(c) || c == QLatin1Char('@')))
                return false;
        return address.contains(QLatin1Char('@'));
    }

    std::vector<quint64> bits_;
    QSet<QByteArray> addresses_;
    bool usable_ = true;
};

std::shared_ptr<Mapi_Folder> Open_Contact_Folder(qint32 index)
{
    const auto& list = Folders().Contact_Folder_List;
    if (index < 0 || index >= static_cast<qint32>(list.size()))
        return nullptr;
    try {
        return outlook::Session().Outlook_Namespace->GetFolderFromID(list[index].Entry_ID,
                                                                     list[index].Store_ID);
    } catch (const std::exception&) {
        return nullptr;
    }
}

// The tasks folder's items, looked up when the first task of a walk is made
// and kept for the rest of it.
class Task_Target
{
public:
    std::shared_ptr<Items_Collection> Items()
    {
        if (!looked_up_) {
            looked_up_ = true;
            items_ = Look_Up();
        }
        return items_;
    }

private:
    static std::shared_ptr<Items_Collection> Look_Up()
    {
        auto& ns = outlook::Session().Outlook_Namespace;
        std::shared_ptr<Mapi_Folder> folder;
        try {
            folder = ns->GetDefaultFolder(outlook::olFolderTasks);
            if (!folder) {
                if (auto user = ns->CurrentUser()) {
                    user->Resolve();
                    folder = ns->GetSharedDefaultFolder(*user, outlook::olFolderTasks);
                }
            }
        } catch (const std::exception&) {
            folder = nullptr;
        }
        return folder ? folder->Items() : nullptr;
    }

    bool looked_up_ = false;
    std::shared_ptr<Items_Collection> items_;
};

// Names a task by its contact and its returned message, so that a run cut
// short after the task was saved, before its contact was, makes no second
// one when it is run anew.
const QUuid kTaskNamespace = QUuid::fromString(QStringLiteral("{0f7e4b1a-6c3d-4e8f-9b2a-5d1c7e9f3a64}"));

void Make_Task(Task_Target& target, const Contact_Item& contact, const QString& body, qint32 messageRow)
{
    auto items = target.Items();
    if (!items)
        return; // no tasks folder: no task, nothing reported
    auto task = items->Add_Task();
    if (!task)
        throw outlook::Outlook_Error(QStringLiteral("The task could not be created."));
    const auto& rows = State().Message_Rows;
    const QByteArray message = messageRow >= 0 && messageRow < static_cast<qint32>(rows.size())
                                   ? rows[messageRow].Entry_ID
                                   : QByteArray();
    task->Set_UID(QUuid::createUuidV5(kTaskNamespace, contact.UID().toUtf8() + '\n' + message)
                      .toString(QUuid::WithoutBraces));
    const QString priority = Get_Setting(ToDo_Priority);
    if (priority == QLatin1String("High"))
        task->Set_Importance(outlook::olImportanceHigh);
    else if (priority == QLatin1String("Medium"))
        task->Set_Importance(outlook::olImportanceNormal);
    else if (priority == QLatin1String("Low"))
        task->Set_Importance(outlook::olImportanceLow);
    task->Set_StartDate(QDate::currentDate());
    task->Set_Subject(Get_Setting(ToDo_Regarding));
    task->Set_Body(body);
    // Every matching contact is linked, through its UID.
    task->Add_Link(contact);
    task->Save();
    ++Totals().Tasks_Made;
}

struct Walk
{
    const Contact_Action_Choices& choices;
    QuorinContactItem component;
    Task_Target tasks;
    qint32 matched = 0;
    QString lastNoteBody; // the task body: the last note attached in this walk
};

// The actions on one matching contact; failures throw to the caller, which
// skips the contact. Everything the contact gets (note, cleared address,
// field, and the UID its task points at) is written with one save, after
// the task: a kill at any moment leaves the contact either untouched, and
// found again by the next run, or finished.
void Handle_Match(Walk& walk, int slot, qint32 messageRow)
{
    QuorinContactItem& contact = walk.component;
    ++walk.matched;
    Add_Item_To_List(QStringLiteral("Found Matching Contact. Contact Name: ") + contact.FullName() +
                     QStringLiteral(" Email Address: ") + contact.Email1Address());
    Journal_Contact_Matched(contact.FullName(), contact.EntryID(), Email_Address(contact, slot), slot,
                            State().Found_Message_Index);
    Yield_To_Events();

    const Contact_Action_Choices& choices = walk.choices;
    if (Checked(choices.Contact_Delete())) {
        Add_Item_To_List(QStringLiteral("Deleted Contact. Contact Name: ") + contact.FullName());
        Journal_Contact_Action(kDoneDeleted);
        contact.Delete();
        ++Totals().Contacts_Deleted;
        return;
    }
    const bool note = Checked(choices.Create_A_Note());
    const bool clear = Checked(choices.Clear_Email_Address());
    const bool field = Checked(choices.Set_Field_In_Contact()) && choices.Field_To_Be_Set() != kNoField;
    const bool task = choices.Event_Text() == kTaskEvent;
    if (note)
        walk.lastNoteBody = outlook::Storable_Text(Message_Row_Body(messageRow));
    if (task)
        Make_Task(walk.tasks, *contact.Item(), walk.lastNoteBody, messageRow);
    if (note)
        contact.Set_Body(contact.Body() + QStringLiteral("\r\n") + kNoteSeparator +
                         QStringLiteral("\r\n\r\n") + walk.lastNoteBody);
    if (clear)
        Set_Email_Address(contact, slot, QString());
    if (field)
        outlook::Set_Contact_Field(choices.Field_To_Be_Set(), choices.Field_Value(), contact);
    // Recorded before the one save that makes them all.
    if (note)
        Journal_Contact_Action(kDoneNote);
    if (clear)
        Journal_Contact_Action(Done_Cleared(slot));
    if (field)
        Journal_Contact_Action(Done_Field(choices.Field_To_Be_Set(), choices.Field_Value()));
    if (task) // made above, first, so that the contact's one save is its last step
        Journal_Contact_Action(kDoneTask);
    if (note || clear || field || task)
        contact.Save();
    if (note || clear || field)
        ++Totals().Contacts_Changed;
}

// The name a skipped contact is reported by.
QString Contact_Name(const QuorinContactItem& contact)
{
    try {
        const QString name = contact.FullName();
        return name.isEmpty() ? contact.Email1Address() : name;
    } catch (const std::exception&) {
        return QString();
    }
}

void Finish_Flags()
{
    Flags().Abort_Requested = false;
    Flags().Processing_Active = false;
}

} // namespace

bool Process_Contact_Folder(qint32 index, const Contact_Action_Choices& choices)
{
    Add_Item_To_List(QStringLiteral("Opening the Outlook Contact Folder."));
    outlook::Start_Outlook();
    Flags().Abort_Requested = false;
    Flags().Processing_Active = true;
    bool result = true;

    if (!outlook::Session().Outlook_Namespace) {
        Messages().Show_Message(QStringLiteral("Failed to start Outlook Object."));
        Finish_Flags();
        return result;
    }
    const std::shared_ptr<Mapi_Folder> folder = Open_Contact_Folder(index);
    if (!folder) {
        Messages().Show_Message(QStringLiteral("Could not load contact folder."));
        Finish_Flags();
        return result;
    }
    // Kept now: the list may not be touched while the walk yields, but the
    // closing line must not depend on that.
    const QString folderName = Folders().Contact_Folder_List[index].Folder_Name;

    Walk walk{choices, {}, {}, 0, {}};
    try {
        // One listing for the whole walk: walking from the last item to the
        // first keeps the positions still to come valid when a contact is
        // deleted.
        const std::shared_ptr<Items_Collection> items = folder->Items();
        const Bounced_Screen screen(State().Bounced_Emails);
        bool aborted = false;
        const int count = items->Count();
        items->Expect_Walk(count, 1);
        Report_Stage(Run_Stage::Checking_Contacts, count, folderName);
        for (int position = count; position >= 1 && !aborted; --position) {
            std::shared_ptr<Contact_Item> contact;
            try {
                contact = std::dynamic_pointer_cast<Contact_Item>(
                    screen.Usable() ? items->Screened_Item(position, screen) : items->Item(position));
            } catch (const std::exception&) {
                contact = nullptr;
            }
            // Distribution lists, broken files and vanished items are passed over.
            if (contact) {
                walk.component.Set_Item(contact);
                if (const int slot = Matching_Slot(walk.component)) {
                    const qint32 messageRow = State().Found_Message_Index;
                    try {
                        Handle_Match(walk, slot, messageRow);
                    } catch (const std::exception& e) {
                        // Vanished, changed by another program or not
                        // writable: the walk goes on, and the message stays
                        // for a later run to find this contact again.
                        Add_Item_To_List(QStringLiteral("Skipped Contact. Contact Name: ") +
                                         Contact_Name(walk.component) + QStringLiteral(" Error: ") +
                                         Error_Description(e));
                        Journal_Contact_Failed(Error_Description(e));
                        State().Kept_Messages.insert(messageRow);
                    }
                }
            }
            Report_Advance(count - position + 1);
            Yield_To_Events();
            if (Flags().Abort_Requested) {
                Add_Item_To_List(QStringLiteral("Processing aborted and stopped."));
                result = false;
                aborted = true;
            }
        }
        if (!aborted) {
            Add_Item_To_List(walk.matched > 0 ? QStringLiteral("Found ") + QString::number(walk.matched) +
                                                    QStringLiteral(" contacts with returned email")
                                              : QStringLiteral("No Matching Contacts were found."));
        }
    } catch (const std::exception& e) {
        // The rest of the folder is skipped; the run goes on with the next
        // one but leaves the returned messages where they are.
        Journal_Contact_Failed(Error_Description(e));
        State().Walk_Failed = true;
        State().Run_Failed = true;
        Messages().Show_Message(kContactError + Error_Description(e));
    }

    Finish_Flags();
    Add_Item_To_List(QStringLiteral("Scan on database: ") + folderName + QStringLiteral(" is done."));
    return result;
}

} // namespace bc::engine
