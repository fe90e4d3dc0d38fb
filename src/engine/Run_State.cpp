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

namespace {

// Far above the text of any returned message; a run over many huge ones
// reads the later ones again rather than holding them all.
constexpr qint64 kMaxKeptBodyChars = 64 * 1024 * 1024;

} // namespace

void Message_Body_Cache::Clear()
{
    bodies_.clear();
    size_ = 0;
}

void Message_Body_Cache::Keep(const QByteArray& entryId, const QString& body)
{
    if (size_ + body.size() > kMaxKeptBodyChars || bodies_.contains(entryId))
        return;
    bodies_.insert(entryId, body);
    size_ += body.size();
}

const QString* Message_Body_Cache::Find(const QByteArray& entryId) const
{
    const auto found = bodies_.constFind(entryId);
    return found == bodies_.cend() ? nullptr : &found.value();
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

namespace bc::engine {

QString Message_Row_Body(qint32 rowIndex)
{
    Run_State& state = State();
    if (rowIndex >= 0 && rowIndex < static_cast<qint32>(state.Message_Rows.size())) {
        if (const QString* kept = state.Message_Bodies.Find(state.Message_Rows[rowIndex].Entry_ID))
            return *kept;
    }
    const QString body = Open_Message_Row(rowIndex)->Body();
    state.Message_Bodies.Keep(state.Message_Rows[rowIndex].Entry_ID, body);
    return body;
}

} // namespace bc::engine
