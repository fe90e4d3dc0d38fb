#include "outlook/Mapi_Components.h"

#include "outlook/Mail_Message_Text.h"
#include "outlook/Maildir.h"
#include "outlook/Parallel_Reads.h"
#include "outlook/Profile_Folder.h"
#include "outlook/Profile_Items.h"

#include <algorithm>

#include <fcntl.h>
#include <unistd.h>

namespace bc::outlook {
namespace {

const std::vector<quint32> kTable_Columns = {PR_SUBJECT, PR_MESSAGE_DELIVERY_TIME, PR_ENTRYID,
                                             PR_MESSAGE_CLASS};

QString Tag_Text(quint32 tag)
{
    return QString::number(tag, 16).toUpper().rightJustified(8, QLatin1Char('0'));
}

// The folder's cur/ and new/ opened once: each file is then opened by its
// name alone, without walking the whole path again.
struct Maildir_Fds
{
    explicit Maildir_Fds(const QByteArray& dir)
        : Cur(::open(maildir::Join(dir, "cur").constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
          New(::open(maildir::Join(dir, "new").constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
    }
    ~Maildir_Fds()
    {
        if (Cur >= 0)
            ::close(Cur);
        if (New >= 0)
            ::close(New);
    }
    Maildir_Fds(const Maildir_Fds&) = delete;
    Maildir_Fds& operator=(const Maildir_Fds&) = delete;
    int For(const QByteArray& sub) const { return sub == "new" ? New : Cur; }
    int Cur;
    int New;
};

// One message's row from its header section; nullopt when the file is gone.
std::optional<Message_Row> Header_Row(const Maildir_Fds& fds, const QByteArray& folderPath,
                                      const maildir::Entry& entry)
{
    const auto stamp = maildir::Name_Timestamp(entry.File);
    const int dirFd = fds.For(entry.Sub);
    if (dirFd < 0)
        return std::nullopt;
    const mail_text::Header_Summary h = mail_text::Read_Header_Summary(entry.File, 256 * 1024, !stamp, dirFd);
    if (!h.Read)
        return std::nullopt;
    Message_Row row;
    row.Subject = h.Subject;
    row.Message_Class =
        h.Message_Class && !h.Message_Class->isEmpty() ? *h.Message_Class : QStringLiteral("IPM.Note");
    row.Delivery_Time = maildir::From_Seconds(stamp ? *stamp : h.Modified);
    row.Entry_ID = folderPath + '/' + entry.Unique;
    return row;
}

std::vector<Message_Row> Maildir_Rows(const Maildir_Items& items, std::size_t first, std::size_t last)
{
    const QByteArray& dir = items.Folder().Directory();
    const QByteArray& folderPath = items.Folder().Path();
    const auto& entries = items.Entries();
    const std::size_t n = last - first;
    // Filled in place and closed up after: a million rows are not built
    // twice over.
    std::vector<Message_Row> rows(n);
    std::vector<char> found(n, 0);
    const Maildir_Fds fds(dir);

    const auto read = [&](std::size_t i, const maildir::Entry& entry) {
        if (auto row = Header_Row(fds, folderPath, entry)) {
            rows[i] = std::move(*row);
            found[i] = 1;
        }
    };
    Read_In_Parallel(n, [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i)
            read(i, entries[first + i]);
    });

    std::size_t kept = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!found[i]) {
            // Renamed by another program (a flag change) since the listing, or gone.
            if (auto now = maildir::Find(dir, entries[first + i].Unique))
                read(i, *now);
        }
        if (!found[i])
            continue;
        if (kept != i)
            rows[kept] = std::move(rows[i]);
        ++kept;
    }
    rows.resize(kept);
    return rows;
}

// Any other collection: through the object model, item by item.
std::vector<Message_Row> Item_Rows(Items_Collection& items, std::size_t first, std::size_t last)
{
    std::vector<Message_Row> out;
    for (std::size_t i = first; i < last; ++i) {
        auto item = items.Item(int(i + 1));
        if (!item)
            continue;
        Message_Row row;
        row.Entry_ID = QByteArray::fromHex(item->EntryID().toLatin1());
        row.Message_Class = item->MessageClass();
        if (auto* mail = dynamic_cast<const Mail_Item*>(item.get())) {
            row.Subject = mail->Subject();
            row.Delivery_Time = mail->Delivery_Time();
        }
        out.push_back(std::move(row));
    }
    return out;
}

} // namespace

struct QuorinMAPITable::Impl
{
    std::shared_ptr<Items_Collection> Items;
    std::size_t Position = 0;
};

QuorinMAPITable::QuorinMAPITable() : d(std::make_unique<Impl>()) {}
QuorinMAPITable::~QuorinMAPITable() = default;

void QuorinMAPITable::Set_Item(std::shared_ptr<Items_Collection> items)
{
    d->Items = std::move(items);
    d->Position = 0;
}

void QuorinMAPITable::Set_Columns(const std::vector<quint32>& tags)
{
    for (std::size_t i = 0; i < tags.size(); ++i)
        if (i >= kTable_Columns.size() || tags[i] != kTable_Columns[i])
            throw Outlook_Error(QStringLiteral("Column 0x%1 is not supported.").arg(Tag_Text(tags[i])));
    if (tags.size() != kTable_Columns.size())
        throw Outlook_Error(
            QStringLiteral("The table needs the subject, delivery time, entry id and class columns."));
}

void QuorinMAPITable::GoToFirst()
{
    d->Position = 0;
}

int QuorinMAPITable::RowCount() const
{
    return d->Items ? d->Items->Count() : 0;
}

std::vector<Message_Row> QuorinMAPITable::GetRows(int count)
{
    if (!d->Items)
        throw Outlook_Error(QStringLiteral("The table has no folder."));
    const std::size_t total = std::size_t(std::max(0, d->Items->Count()));
    const std::size_t first = std::min(d->Position, total);
    const std::size_t last = std::min(total, first + std::size_t(std::max(0, count)));
    d->Position = last;
    if (auto* maildirItems = dynamic_cast<Maildir_Items*>(d->Items.get()))
        return Maildir_Rows(*maildirItems, first, last);
    return Item_Rows(*d->Items, first, last);
}

void QuorinContactItem::Set_Item(std::shared_ptr<Contact_Item> contact)
{
    contact_ = std::move(contact);
}

Contact_Item& QuorinContactItem::Contact() const
{
    if (!contact_)
        throw Outlook_Error(QStringLiteral("No contact item is set."));
    return *contact_;
}

QString QuorinContactItem::Email1Address() const
{
    return Contact().Email_Address(1);
}
QString QuorinContactItem::Email2Address() const
{
    return Contact().Email_Address(2);
}
QString QuorinContactItem::Email3Address() const
{
    return Contact().Email_Address(3);
}
void QuorinContactItem::Set_Email1Address(const QString& value)
{
    Contact().Set_Email_Address(1, value);
}
void QuorinContactItem::Set_Email2Address(const QString& value)
{
    Contact().Set_Email_Address(2, value);
}
void QuorinContactItem::Set_Email3Address(const QString& value)
{
    Contact().Set_Email_Address(3, value);
}
QString QuorinContactItem::FullName() const
{
    return Contact().FullName();
}
QString QuorinContactItem::EntryID() const
{
    return Contact().EntryID();
}
QString QuorinContactItem::Body() const
{
    return Contact().Body();
}
void QuorinContactItem::Set_Body(const QString& body)
{
    Contact().Set_Body(body);
}
User_Properties& QuorinContactItem::UserProperties()
{
    return Contact().UserProperties();
}
void QuorinContactItem::Set_Property(const QString& standardName, const QString& value)
{
    Contact().Set_Standard_Field(standardName, value);
}
void QuorinContactItem::Save()
{
    Contact().Save();
}
void QuorinContactItem::Delete()
{
    Contact().Delete();
}

QString Corvel2MAPIUtils::HrGetOneProp(const Outlook_Item& item, quint32 tag) const
{
    if (tag != PR_DISPLAY_TO)
        throw Outlook_Error(QStringLiteral("Property 0x%1 is not supported.").arg(Tag_Text(tag)));
    const auto* mail = dynamic_cast<const Mail_Item*>(&item);
    if (!mail)
        throw Outlook_Error(QStringLiteral("The item has no recipients."));
    return mail->Display_To();
}

} // namespace bc::outlook
