#include "engine/Run_Journal.h"

#include "config/App_State.h"
#include "config/Text_File.h"
#include "config/User_Messages.h"
#include "engine/Run_Interfaces.h"
#include "engine/Run_State.h"
#include "outlook/Outlook_Session.h"

#include <QDir>
#include <QFile>

namespace bc::engine {
namespace {

Run_Journal* g_active = nullptr;
int g_previews = 0;
bool g_enabled = true;

Finished_Report& Last()
{
    static Finished_Report report;
    return report;
}

QByteArray Move_Key(const QByteArray& fromDir, const QByteArray& unique)
{
    return fromDir + '/' + unique;
}

// The unique name a message's EntryID ends in (hex of "<folder>/<unique>").
QByteArray Unique_Of(const QString& entryId)
{
    const QByteArray path = QByteArray::fromHex(entryId.toLatin1());
    return path.mid(path.lastIndexOf('/') + 1);
}

void Keep_Newest_Runs()
{
    std::vector<Run_Folder> runs = List_Runs();
    const auto keep = static_cast<std::size_t>(Kept_Run_Count());
    for (std::size_t i = 0; i + keep < runs.size(); ++i)
        QDir(runs[i].Path).removeRecursively();
}

} // namespace

Run_Journal* Run_Journal::Active()
{
    return g_active;
}

Run_Journal::Run_Journal(const QString& kind, bool preview) : preview_(preview)
{
    report_.Kind = kind;
    report_.Preview = preview;
    report_.Started = QDateTime::currentDateTime();
}

Run_Journal::~Run_Journal() = default;

bool Run_Journal::Open(QString* error)
{
    if (preview_)
        return true;
    if (App().Data_Folder.isEmpty())
        Set_Data_Folder();
    const QString runs = Data_File(kRunsFolder);
    if (!QDir().mkpath(runs)) {
        *error = QStringLiteral("The folder %1 cannot be created.").arg(runs);
        return false;
    }
    const QString stamp = report_.Started.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    for (int n = 1; n < 1000 && folder_.isEmpty(); ++n) {
        const QString name = n == 1 ? stamp : stamp + QStringLiteral("_%1").arg(n);
        if (QDir(runs).mkdir(name))
            folder_ = QDir(runs).filePath(name);
    }
    if (folder_.isEmpty()) {
        *error = QStringLiteral("No folder for the run can be made in %1.").arg(runs);
        return false;
    }
    report_.Folder = folder_;
    const QByteArray header = "Kind: " + report_.Kind.toUtf8().toPercentEncoding(" ()") +
                              "\nStarted: " + report_.Started.toUTC().toString(Qt::ISODateWithMs).toLatin1() +
                              "\n";
    if (!Write_File_Atomically(QDir(folder_).filePath(kRunFile), header, error, Flush::To_System)) {
        QDir(folder_).removeRecursively();
        folder_.clear();
        return false;
    }
    Keep_Newest_Runs();
    return true;
}

QString Run_Journal::Report_Path() const
{
    return folder_.isEmpty() ? QString() : QDir(folder_).filePath(kReportFile);
}

void Run_Journal::Write(const Journal_Record& record)
{
    if (preview_)
        return;
    const QString path = QDir(folder_).filePath(QStringLiteral("%1.rec").arg(next_, 6, 10, QLatin1Char('0')));
    QString error;
    // Flushed to the system, not to the disk: a killed run keeps every record
    // written before its change, and a disk flush per change would double the
    // cost of a run's changes.
    if (!Write_File_Atomically(path, Serialize_Record(record), &error, Flush::To_System))
        throw outlook::Outlook_Error(QStringLiteral("The run's journal could not be written, so the change "
                                                    "was not made: %1")
                                         .arg(error));
    ++next_;
}

Contact_Context* Run_Journal::Current()
{
    return contactOpen_ && !report_.Contacts.empty() ? &report_.Contacts.back() : nullptr;
}

Report_Message* Run_Journal::Message(const QByteArray& unique)
{
    const auto it = messageAt_.constFind(unique);
    return it == messageAt_.constEnd() ? nullptr : &report_.Messages[*it];
}

void Run_Journal::Contact_Matched(const Contact_Context& contact)
{
    report_.Contacts.push_back(contact);
    contactOpen_ = true;
}

void Run_Journal::Contact_Action(const QString& done)
{
    if (Contact_Context* c = Current())
        c->Done.append(done);
}

void Run_Journal::Contact_Failed(const QString& error)
{
    if (Contact_Context* c = Current(); c && c->Error.isEmpty())
        c->Error = error;
    contactOpen_ = false;
}

void Run_Journal::Returned_Message(const QString& entryId, const QString& subject, const QDateTime& date)
{
    const QByteArray unique = Unique_Of(entryId);
    if (messageAt_.contains(unique))
        return;
    messageAt_.insert(unique, report_.Messages.size());
    report_.Messages.push_back({unique, subject, date, Message_Outcome::Left, {}});
}

void Run_Journal::Disposal_Target(const QString& folderName, bool deleting)
{
    target_ = folderName;
    deleting_ = deleting;
}

void Run_Journal::Disposal_Ended()
{
    for (Report_Message& m : report_.Messages)
        if (m.Outcome == Message_Outcome::Left && planned_.contains(m.Unique))
            m.Outcome = Message_Outcome::Not_Moved;
    if (movedTo_.empty())
        return;
    Journal_Record record;
    record.Kind = Change_Kind::Messages_Moved;
    record.Moves = std::move(movedTo_);
    movedTo_.clear();
    try {
        Write(record);
    } catch (const outlook::Outlook_Error&) {
        // Only a help for the undo, which also finds the messages by their names.
    }
}

void Run_Journal::Stopped()
{
    report_.Stopped = true;
}

QString Run_Journal::Finish()
{
    Disposal_Ended();
    report_.Ended = QDateTime::currentDateTime();
    report_.Finished = true;
    const QString text = Report_Text(report_);
    if (!preview_)
        Write_File_Atomically(Report_Path(), text.toUtf8(), nullptr, Flush::To_System);
    return text;
}

void Run_Journal::Contact_Saving(const outlook::Contact_Save& change)
{
    Contact_Context* c = Current();
    if (c)
        c->File = change.File;
    Journal_Record record;
    record.Kind = Change_Kind::Contact_Save;
    record.File = change.File;
    record.Before = change.Before;
    record.After_Hash = Content_Hash(change.After);
    record.Contact = c ? *c : Contact_Context{{}, change.File, {}, 0, {}, {}, {}, {}};
    Write(record);
}

void Run_Journal::Contact_Removing(const outlook::Contact_Removal& change)
{
    Contact_Context* c = Current();
    if (c)
        c->File = change.File;
    Journal_Record record;
    record.Kind = Change_Kind::Contact_Delete;
    record.File = change.File;
    record.Before = change.Bytes;
    record.After_Hash = Content_Hash(change.Bytes);
    record.Deleted_Folder = change.Deleted_Folder;
    record.Folder_Existed = change.Folder_Existed;
    record.Contact = c ? *c : Contact_Context{{}, change.File, {}, 0, {}, {}, {}, {}};
    Write(record);
}

void Run_Journal::Task_Creating(const outlook::Task_Creation& change)
{
    Journal_Record record;
    record.Kind = Change_Kind::Task_New;
    record.File = change.File;
    record.After_Hash = Content_Hash(change.Bytes);
    if (const Contact_Context* c = Current())
        record.Contact = *c;
    Write(record);
}

void Run_Journal::Messages_Moving(const std::vector<outlook::Message_Move>& batch)
{
    Journal_Record record;
    record.Kind = Change_Kind::Message_Moves;
    for (const outlook::Message_Move& move : batch) {
        const QByteArray key = Move_Key(move.From_Dir, move.Entry.Unique);
        if (planned_.contains(key))
            continue;
        Recorded_Move m;
        m.From_Dir = move.From_Dir;
        m.Entry = move.Entry;
        m.To_Dir = move.To_Dir;
        m.Size = move.Size;
        m.Mtime_Ns = move.Mtime_Ns;
        if (const Report_Message* message = Message(move.Entry.Unique)) {
            m.Subject = message->Subject;
            m.Date = message->Date;
        }
        m.Target = target_.isEmpty() ? QFile::decodeName(move.To_Dir.mid(move.To_Dir.lastIndexOf('/') + 1))
                                     : target_;
        record.Moves.push_back(std::move(m));
    }
    if (record.Moves.empty())
        return;
    Write(record);
    for (const Recorded_Move& m : record.Moves)
        planned_.insert(Move_Key(m.From_Dir, m.Entry.Unique));
}

void Run_Journal::Message_Moved(const outlook::Message_Move& change, const outlook::maildir::Entry& now)
{
    if (Report_Message* message = Message(change.Entry.Unique)) {
        message->Outcome = deleting_ ? Message_Outcome::Deleted : Message_Outcome::Moved;
        message->Target = target_.isEmpty()
                              ? QFile::decodeName(change.To_Dir.mid(change.To_Dir.lastIndexOf('/') + 1))
                              : target_;
    }
    if (preview_)
        return;
    Recorded_Move m;
    m.From_Dir = change.From_Dir;
    m.Entry = change.Entry;
    m.To_Dir = change.To_Dir;
    m.Size = change.Size;
    m.Mtime_Ns = change.Mtime_Ns;
    m.Now = now;
    movedTo_.push_back(std::move(m));
}

void Journal_Returned_Message(qint32 row)
{
    Run_Journal* journal = Run_Journal::Active();
    const auto& rows = State().Message_Rows;
    if (!journal || row < 0 || row >= qint32(rows.size()))
        return;
    const outlook::Message_Row& r = rows[std::size_t(row)];
    journal->Returned_Message(outlook::Entry_ID_To_Hex(r.Entry_ID), r.Subject.value_or(QString()),
                              r.Delivery_Time.value_or(QDateTime()));
}

void Journal_Contact_Matched(const QString& name, const QString& entryId, const QString& address, int slot,
                             qint32 messageRow)
{
    Run_Journal* journal = Run_Journal::Active();
    if (!journal)
        return;
    Contact_Context c;
    c.Name = name;
    c.File = QString::fromUtf8(QByteArray::fromHex(entryId.toLatin1())); // inside its store, until it changes
    c.Address = address;
    c.Slot = slot;
    const auto& rows = State().Message_Rows;
    if (messageRow >= 0 && messageRow < qint32(rows.size())) {
        c.Subject = rows[std::size_t(messageRow)].Subject.value_or(QString());
        c.Date = rows[std::size_t(messageRow)].Delivery_Time.value_or(QDateTime());
    }
    journal->Contact_Matched(c);
}

void Journal_Contact_Action(const QString& done)
{
    if (Run_Journal* journal = Run_Journal::Active())
        journal->Contact_Action(done);
}

void Journal_Contact_Failed(const QString& error)
{
    if (Run_Journal* journal = Run_Journal::Active())
        journal->Contact_Failed(error);
}

void Journal_Stopped()
{
    if (Run_Journal* journal = Run_Journal::Active())
        journal->Stopped();
}

Preview_Request::Preview_Request()
{
    ++g_previews;
}

Preview_Request::~Preview_Request()
{
    --g_previews;
}

bool Preview_Request::Active()
{
    return g_previews > 0;
}

const Finished_Report& Last_Finished_Report()
{
    return Last();
}

Journal_Session::Journal_Session(const QString& kind)
{
    const bool preview = Preview_Request::Active();
    journal_ =
        std::make_unique<Run_Journal>(preview ? QStringLiteral("Preview Run (%1)").arg(kind) : kind, preview);
}

Journal_Session::~Journal_Session()
{
    if (g_active == journal_.get()) {
        g_active = nullptr;
        outlook::Set_Write_Gate(nullptr);
    }
}

void Set_Journal_Enabled(bool enabled)
{
    g_enabled = enabled;
}

bool Journal_Session::Start()
{
    if (!g_enabled && !journal_->Preview())
        return true;
    QString error;
    if (!journal_->Open(&error)) {
        Messages().Show_Message(QStringLiteral("The run cannot keep its journal, so it does not start and "
                                               "nothing was changed. ") +
                                error);
        return false;
    }
    g_active = journal_.get();
    outlook::Set_Write_Gate(journal_.get());
    return true;
}

void Journal_Session::Finish(Progress_View* progress)
{
    if (finished_ || g_active != journal_.get())
        return;
    finished_ = true;
    const QString text = journal_->Finish();
    g_active = nullptr;
    outlook::Set_Write_Gate(nullptr);
    Last() = Finished_Report{journal_->Report_Path(), text, journal_->Preview()};
    if (progress)
        progress->Report_Ready(Last().Path, text);
}

} // namespace bc::engine
