#include "engine/Recognition.h"

#include "config/Address_Case.h"
#include "config/Identifier_Lists.h"
#include "config/User_Messages.h"
#include "engine/Error_Description.h"
#include "engine/Run_State.h"

#include <exception>

namespace bc::engine {

namespace {

const QString kScanError = QStringLiteral("Error on Scan Email For Return Emails. ");

} // namespace

bool Is_Address_Character(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'_' ||
           u == u'-' || u == u'.';
}

bool Is_Returned_Message(const outlook::Message_Row& row)
{
    if (!row.Subject)
        return false;
    if (!Contains_Return_Identifier(*row.Subject))
        return false;
    return row.Message_Class && *row.Message_Class == kReturnedMessageClass;
}

QString Extract_Email_Address(const QString& text, int position)
{
    const qsizetype at = position - 1;
    if (at < 0 || at >= text.size())
        return QString();
    qsizetype start = at;
    while (start > 0 && Is_Address_Character(text.at(start - 1)))
        --start;
    qsizetype end = at + 1;
    while (end < text.size() && Is_Address_Character(text.at(end)))
        ++end;
    QString address = text.mid(start, end - start);
    // A full stop ending a sentence; only one, as the address may end in dots.
    if (address.endsWith(QLatin1Char('.')))
        address.chop(1);
    return address.trimmed();
}

void Scan_Email_For_Return_Emails(qint32 rowIndex)
{
    QString body;
    try {
        body = Message_Row_Body(rowIndex);
    } catch (const std::exception& e) {
        // A message that cannot be read has no addresses; the run goes on.
        Messages().Show_Message(kScanError + Error_Description(e));
        return;
    }
    qsizetype at = body.indexOf(QLatin1Char('@'));
    while (at >= 0) {
        QString address = Upper_Address(Extract_Email_Address(body, static_cast<int>(at + 1)));
        address.remove(QLatin1Char(' '));
        if (!Is_No_Check_String(address))
            Add_Bounced_Email(address, rowIndex);
        at = body.indexOf(QLatin1Char('@'), at + 1);
    }
}

} // namespace bc::engine
