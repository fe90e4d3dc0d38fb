#include "engine/Journal_Records.h"

#include "config/App_State.h"
#include "config/Registry_Routines.h"
#include "config/Text_File.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace bc::engine {
namespace {

const char* const kKindNames[] = {"contact-save", "contact-delete", "task-new", "message-moves",
                                  "messages-moved"};

QByteArray Enc(const QByteArray& raw)
{
    return raw.toPercentEncoding("/@.-_~:,;()+=!'[]");
}
QByteArray Enc(const QString& text)
{
    return Enc(text.toUtf8());
}
QByteArray Dec(const QByteArray& value)
{
    return QByteArray::fromPercentEncoding(value);
}
QString Dec_Text(const QByteArray& value)
{
    return QString::fromUtf8(Dec(value));
}
QByteArray Date_Text(const QDateTime& date)
{
    return date.isValid() ? date.toUTC().toString(Qt::ISODateWithMs).toLatin1() : QByteArray();
}
QDateTime Date_From(const QByteArray& text)
{
    return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODateWithMs);
}

void Line(QByteArray& out, const char* key, const QByteArray& value)
{
    out += key;
    out += ": ";
    out += value;
    out += '\n';
}

QByteArray Move_Line(const Recorded_Move& m)
{
    const QByteArrayList fields = {Enc(m.From_Dir),
                                   Enc(m.Entry.Sub),
                                   Enc(m.Entry.File),
                                   Enc(m.Entry.Unique),
                                   Enc(m.To_Dir),
                                   QByteArray::number(m.Size),
                                   QByteArray::number(m.Mtime_Ns),
                                   Enc(m.Subject),
                                   Date_Text(m.Date),
                                   Enc(m.Target),
                                   Enc(m.Now.Sub),
                                   Enc(m.Now.File),
                                   Enc(m.Now.Unique)};
    return fields.join('\t');
}

std::optional<Recorded_Move> Parse_Move(const QByteArray& line)
{
    const QList<QByteArray> f = line.split('\t');
    if (f.size() != 13)
        return std::nullopt;
    Recorded_Move m;
    m.From_Dir = Dec(f[0]);
    m.Entry = {Dec(f[1]), Dec(f[2]), Dec(f[3])};
    m.To_Dir = Dec(f[4]);
    m.Size = f[5].toLongLong();
    m.Mtime_Ns = f[6].toLongLong();
    m.Subject = Dec_Text(f[7]);
    m.Date = Date_From(f[8]);
    m.Target = Dec_Text(f[9]);
    m.Now = {Dec(f[10]), Dec(f[11]), Dec(f[12])};
    return m;
}

std::optional<Change_Kind> Kind_From(const QByteArray& name)
{
    for (std::size_t i = 0; i < std::size(kKindNames); ++i)
        if (name == kKindNames[i])
            return Change_Kind(i);
    return std::nullopt;
}

Run_Folder Describe_Run(const QString& path)
{
    Run_Folder run;
    run.Path = path;
    QByteArray header;
    if (Read_Whole_File(QDir(path).filePath(kRunFile), header)) {
        for (const QByteArray& line : header.split('\n')) {
            const qsizetype colon = line.indexOf(": ");
            if (colon < 0)
                continue;
            const QByteArray key = line.left(colon);
            const QByteArray value = line.mid(colon + 2);
            if (key == "Kind")
                run.Kind = Dec_Text(value);
            else if (key == "Started")
                run.Started = Date_From(value);
        }
    }
    const QDir dir(path);
    run.Finished = dir.exists(kReportFile);
    run.Undone = dir.exists(kUndoReportFile);
    run.Has_Changes = !dir.entryList({QStringLiteral("*.rec")}, QDir::Files).isEmpty();
    return run;
}

} // namespace

QByteArray Content_Hash(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

QByteArray Serialize_Record(const Journal_Record& r)
{
    QByteArray out;
    Line(out, "Change", kKindNames[int(r.Kind)]);
    if (!r.File.isEmpty())
        Line(out, "File", Enc(r.File));
    if (!r.After_Hash.isEmpty())
        Line(out, "After-Hash", r.After_Hash);
    if (!r.Deleted_Folder.isEmpty()) {
        Line(out, "Deleted-Folder", Enc(r.Deleted_Folder));
        Line(out, "Folder-Existed", r.Folder_Existed ? "1" : "0");
    }
    const Contact_Context& c = r.Contact;
    if (!c.Name.isEmpty())
        Line(out, "Name", Enc(c.Name));
    if (!c.File.isEmpty())
        Line(out, "Contact-File", Enc(c.File));
    if (!c.Address.isEmpty())
        Line(out, "Address", Enc(c.Address));
    if (c.Slot)
        Line(out, "Slot", QByteArray::number(c.Slot));
    if (!c.Subject.isEmpty())
        Line(out, "Subject", Enc(c.Subject));
    if (c.Date.isValid())
        Line(out, "Date", Date_Text(c.Date));
    for (const QString& done : c.Done)
        Line(out, "Done", Enc(done));
    if (!c.Error.isEmpty())
        Line(out, "Error", Enc(c.Error));
    for (const Recorded_Move& m : r.Moves)
        Line(out, "Move", Move_Line(m));
    Line(out, "Payload", QByteArray::number(r.Before.size()));
    out += '\n';
    out += r.Before;
    return out;
}

std::optional<Journal_Record> Parse_Record(const QByteArray& bytes)
{
    Journal_Record r;
    bool haveKind = false;
    qsizetype payload = -1;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype end = bytes.indexOf('\n', pos);
        if (end < 0)
            return std::nullopt;
        const QByteArray line = bytes.mid(pos, end - pos);
        pos = end + 1;
        if (line.isEmpty())
            break;
        const qsizetype colon = line.indexOf(": ");
        if (colon < 0)
            return std::nullopt;
        const QByteArray key = line.left(colon);
        const QByteArray value = line.mid(colon + 2);
        if (key == "Change") {
            const auto kind = Kind_From(value);
            if (!kind)
                return std::nullopt;
            r.Kind = *kind;
            haveKind = true;
        } else if (key == "File") {
            r.File = Dec_Text(value);
        } else if (key == "After-Hash") {
            r.After_Hash = value;
        } else if (key == "Deleted-Folder") {
            r.Deleted_Folder = Dec_Text(value);
        } else if (key == "Folder-Existed") {
            r.Folder_Existed = value == "1";
        } else if (key == "Name") {
            r.Contact.Name = Dec_Text(value);
        } else if (key == "Contact-File") {
            r.Contact.File = Dec_Text(value);
        } else if (key == "Address") {
            r.Contact.Address = Dec_Text(value);
        } else if (key == "Slot") {
            r.Contact.Slot = value.toInt();
        } else if (key == "Subject") {
            r.Contact.Subject = Dec_Text(value);
        } else if (key == "Date") {
            r.Contact.Date = Date_From(value);
        } else if (key == "Done") {
            r.Contact.Done.append(Dec_Text(value));
        } else if (key == "Error") {
            r.Contact.Error = Dec_Text(value);
        } else if (key == "Move") {
            const auto move = Parse_Move(value);
            if (!move)
                return std::nullopt;
            r.Moves.push_back(*move);
        } else if (key == "Payload") {
            bool ok = false;
            payload = value.toLongLong(&ok);
            if (!ok)
                return std::nullopt;
        }
    }
    if (!haveKind || payload < 0 || bytes.size() - pos != payload)
        return std::nullopt;
    r.Before = bytes.mid(pos);
    return r;
}

std::vector<Run_Folder> List_Runs()
{
    if (App().Data_Folder.isEmpty())
        Set_Data_Folder();
    const QDir runs(Data_File(kRunsFolder));
    std::vector<Run_Folder> out;
    for (const QString& name : runs.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        Run_Folder run = Describe_Run(runs.filePath(name));
        if (run.Started.isValid()) // anything else there is not ours
            out.push_back(std::move(run));
    }
    // By the moment they started: local names repeat an hour when the clocks go back.
    std::stable_sort(out.begin(), out.end(),
                     [](const Run_Folder& a, const Run_Folder& b) { return a.Started < b.Started; });
    return out;
}

std::optional<Run_Folder> Last_Run()
{
    auto runs = List_Runs();
    if (runs.empty())
        return std::nullopt;
    return runs.back();
}

std::vector<Journal_Record> Read_Records(const QString& runFolder)
{
    const QDir dir(runFolder);
    std::vector<Journal_Record> out;
    for (const QString& name : dir.entryList({QStringLiteral("*.rec")}, QDir::Files, QDir::Name)) {
        QByteArray bytes;
        if (!Read_Whole_File(dir.filePath(name), bytes))
            continue;
        if (auto record = Parse_Record(bytes))
            out.push_back(std::move(*record));
    }
    return out;
}

int Kept_Run_Count()
{
    const QString text = Get_Setting(bc::Runs_To_Keep).trimmed();
    if (text.isEmpty())
        return kDefaultRunsToKeep;
    return std::max(1, Setting_Number(text));
}

} // namespace bc::engine
