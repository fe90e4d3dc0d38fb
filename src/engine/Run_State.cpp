#include "engine/Run_State.h"

#include "outlook/Outlook_Session.h"

namespace bc::engine {

void Bounced_Email_List::Clear()
{
    records_.clear();
    first_.clear();
}

void Bounced_Email_List::Add(const QString& address, qint32 rowIndex)
{
    const auto found = first_.constFind(address);
    if (found == first_.cend()) {
        records_.push_back({address, rowIndex});
        first_.insert(address, rowIndex);
        return;
    }
    // Same message again: one record is enough.
    if (found.value() == rowIndex)
        return;
    records_.push_back({QString(), rowIndex});
    // The first empty record stays the one an empty address refers to.
    if (!first_.contains(QString()))
        first_.insert(QString(), rowIndex);
}

bool Bounced_Email_List::Find(const QString& address, qint32* messageIndex) const
{
    if (address.isEmpty())
        return false;
    const auto found = first_.constFind(address);
    if (found == first_.cend())
        return false;
    if (messageIndex)
        *messageIndex = found.value();
    return true;
}

Run_State& State()
{
    static Run_State state;
    return state;
}

void Add_Bounced_Email(const QString& address, qint32 rowIndex)
{
    State().Bounced_Emails.Add(address, rowIndex);
}

bool Find_Bounced_Email(const QString& address)
{
    return State().Bounced_Emails.Find(address, &State().Found_Message_Index);
}

std::shared_ptr<outlook::Mail_Item> Open_Message_Row(qint32 rowIndex)
{
    const Run_State& state = State();
    if (rowIndex < 0 || rowIndex >= static_cast<qint32>(state.Message_Rows.size()))
        throw outlook::Outlook_Error(QStringLiteral("Subscript out of range"));
    const auto& ns = outlook::Session().Outlook_Namespace;
    if (!ns)
        throw outlook::Outlook_Error(QStringLiteral("The mail session is not open."));
    const QString entryId = outlook::Entry_ID_To_Hex(state.Message_Rows[rowIndex].Entry_ID);
    auto item = ns->GetItemFromID(entryId, state.Input_Store_ID);
    auto mail = std::dynamic_pointer_cast<outlook::Mail_Item>(item);
    if (!mail)
        throw outlook::Outlook_Error(item ? QStringLiteral("The item is not a mail message.")
                                          : QStringLiteral("The message could not be found."));
    return mail;
}

} // namespace bc::engine
