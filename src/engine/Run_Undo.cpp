#include "engine/Run_Undo.h"

#include "config/Text_File.h"
#include "engine/Run.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace bc::engine {
namespace {

using outlook::maildir::Entry;

enum class Step_Kind
{
    Contact_Back,
    Contact_Restore,
    Task_Remove,
    Message_Back
};

struct Step
{
    Step_Kind Kind;
    QString Label; // who or what, for the report
    std::function<bool(QString* error)> Apply;
};

struct Assessment
{
    std::vector<Step> Steps;
    QStringList Not_Restored;
};

QString When(const QDateTime& date)
{
    return date.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString Contact_Label(const Journal_Record& r)
{
    const QString file = QDir::toNativeSeparators(r.File);
    return r.Contact.Name.isEmpty() ? file : r.Contact.Name + QStringLiteral(" (") + file + QLatin1Char(')');
}

QString Message_Label(const Recorded_Move& m)
{
    QString label = QLatin1Char('"') + m.Subject + QLatin1Char('"');
    if (m.Date.isValid())
        label += QStringLiteral(" of ") + m.Date.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    return QStringLiteral("message ") + label;
}

QString Folder_Name(const QByteArray& dir)
{
    return QFile::decodeName(dir.mid(dir.lastIndexOf('/') + 1));
}

std::optional<QByteArray> Current_Bytes(const QString& file)
{
    QByteArray bytes;
    if (!QFileInfo(file).isFile() || !Read_Whole_File(file, bytes))
        return std::nullopt;
    return bytes;
}

// Renames without ever replacing a file; across file systems a copy that
// never replaces, then the source goes.
bool Move_File_Back(const QString& from, const QString& to, QString* error)
{
    const QByteArray src = QFile::encodeName(from);
    const QByteArray dst = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0)
        return true;
    const int code = errno;
    if (code == EXDEV || code == EINVAL || code == ENOSYS) {
        // QFile::copy never replaces a file.
        if (QFile::copy(from, to)) {
            if (QFile::remove(from))
                return true;
            QFile::remove(to);
        }
        *error = QStringLiteral("it could not be moved back");
        return false;
    }
    *error = code == EEXIST ? QStringLiteral("another contact file has its name")
                            : QString::fromLocal8Bit(std::strerror(code));
    return false;
}

// Where a deleted contact went: a file of its name, or its name numbered,
// holding exactly its bytes.
QString Find_Deleted(const Journal_Record& r)
{
    const QDir folder(r.Deleted_Folder);
    const QFileInfo original(r.File);
    const QString stem =
        original.completeBaseName().isEmpty() ? original.fileName() : original.completeBaseName();
    for (const QString& name : folder.entryList(QDir::Files)) {
        if (!name.startsWith(stem))
            continue;
        const auto bytes = Current_Bytes(folder.filePath(name));
        if (bytes && Content_Hash(*bytes) == r.After_Hash)
            return folder.filePath(name);
    }
    return {};
}

void Assess_Contact(const std::vector<const Journal_Record*>& chain, Assessment& out)
{
    const Journal_Record& first = *chain.front();
    const Journal_Record& last = *chain.back();
    const QString file = first.File;
    const QByteArray before = first.Before;
    const QString label = Contact_Label(last);
    QSet<QByteArray> runStates;
    for (const Journal_Record* r : chain) {
        runStates.insert(Content_Hash(r->Before));
        runStates.insert(r->After_Hash);
    }

    const auto current = Current_Bytes(file);
    if (!current && last.Kind == Change_Kind::Contact_Delete) {
        const QString found = Find_Deleted(last);
        if (found.isEmpty()) {
            out.Not_Restored << label + QStringLiteral(": no longer in the deleted contacts folder");
            return;
        }
        const QString deletedFolder = last.Deleted_Folder;
        const bool folderExisted = last.Folder_Existed;
        out.Steps.push_back({Step_Kind::Contact_Back, label, [=](QString* error) {
                                 if (!Move_File_Back(found, file, error))
                                     return false;
                                 const auto now = Current_Bytes(file);
                                 if (now != before && !Write_File_Atomically(file, before, error))
                                     return false;
                                 if (!folderExisted)
                                     QDir().rmdir(deletedFolder); // only when it is empty
                                 return true;
                             }});
        return;
    }
    if (!current) {
        out.Not_Restored << label + QStringLiteral(": the contact no longer exists");
        return;
    }
    if (*current == before)
        return; // never changed, or already restored
    if (!runStates.contains(Content_Hash(*current))) {
        out.Not_Restored << label + QStringLiteral(": changed since the run, left as it is");
        return;
    }
    out.Steps.push_back({Step_Kind::Contact_Restore, label,
                         [=](QString* error) { return Write_File_Atomically(file, before, error); }});
}

void Assess_Task(const Journal_Record& r, Assessment& out)
{
    const auto current = Current_Bytes(r.File);
    if (!current)
        return; // never written, or removed already
    const QString label = QStringLiteral("task ") + QDir::toNativeSeparators(r.File) +
                          (r.Contact.Name.isEmpty() ? QString() : QStringLiteral(" for ") + r.Contact.Name);
    if (Content_Hash(*current) != r.After_Hash) {
        out.Not_Restored << label + QStringLiteral(": changed since the run, left as it is");
        return;
    }
    const QString file = r.File;
    out.Steps.push_back({Step_Kind::Task_Remove, label, [file](QString* error) {
                             if (QFile::remove(file) || !QFileInfo::exists(file))
                                 return true;
                             *error = QStringLiteral("it cannot be removed");
                             return false;
                         }});
}

bool Same_Message(const QByteArray& path, const Recorded_Move& m)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == m.Size &&
           qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec == m.Mtime_Ns;
}

void Assess_Message(const Recorded_Move& m, const std::optional<Entry>& movedTo, Assessment& out)
{
    namespace maildir = outlook::maildir;
    if (maildir::Find(m.From_Dir, m.Entry.Unique))
        return; // never moved, or back already
    std::optional<Entry> now;
    if (movedTo && Same_Message(maildir::File_Path(m.To_Dir, *movedTo), m))
        now = movedTo;
    if (!now) {
        // A message whose move was not confirmed (the run was killed), or that
        // a mail program has marked since: found by its name, and checked to
        // be the same message, not a namesake.
        const QByteArray unique = movedTo ? movedTo->Unique : m.Entry.Unique;
        if (auto found = maildir::Find(m.To_Dir, unique);
            found && Same_Message(maildir::File_Path(m.To_Dir, *found), m))
            now = found;
    }
    const QString label = Message_Label(m);
    if (!now) {
        out.Not_Restored << label + QStringLiteral(": no longer in ") + Folder_Name(m.To_Dir);
        return;
    }
    const Entry at = *now;
    out.Steps.push_back({Step_Kind::Message_Back, label, [m, at](QString* error) {
                             return maildir::Move_Back(m.To_Dir, at, m.From_Dir, m.Entry, error);
                         }});
}

Assessment Assess(const std::vector<Journal_Record>& records)
{
    Assessment out;
    QHash<QString, std::vector<const Journal_Record*>> chains;
    QStringList order;
    QHash<QByteArray, Entry> movedTo;
    for (const Journal_Record& r : records) {
        if (r.Kind == Change_Kind::Contact_Save || r.Kind == Change_Kind::Contact_Delete) {
            if (!chains.contains(r.File))
                order << r.File;
            chains[r.File].push_back(&r);
        } else if (r.Kind == Change_Kind::Messages_Moved) {
            for (const Recorded_Move& m : r.Moves)
                movedTo.insert(m.From_Dir + '/' + m.Entry.Unique, m.Now);
        }
    }
    for (const QString& file : order)
        Assess_Contact(chains[file], out);
    QSet<QByteArray> seen;
    for (const Journal_Record& r : records) {
        if (r.Kind == Change_Kind::Task_New) {
            Assess_Task(r, out);
        } else if (r.Kind == Change_Kind::Message_Moves) {
            for (const Recorded_Move& m : r.Moves) {
                const QByteArray key = m.From_Dir + '/' + m.Entry.Unique;
                if (seen.contains(key))
                    continue;
                seen.insert(key);
                const auto it = movedTo.constFind(key);
                Assess_Message(m, it == movedTo.constEnd() ? std::nullopt : std::optional<Entry>(*it), out);
            }
        }
    }
    return out;
}

void Count(const Step& step, Undo_Counts& counts)
{
    switch (step.Kind) {
    case Step_Kind::Contact_Back:
        ++counts.Contacts_Back;
        break;
    case Step_Kind::Contact_Restore:
        ++counts.Contacts_Restored;
        break;
    case Step_Kind::Task_Remove:
        ++counts.Tasks_Removed;
        break;
    case Step_Kind::Message_Back:
        ++counts.Messages_Back;
        break;
    }
}

QString Step_Text(Step_Kind kind)
{
    switch (kind) {
    case Step_Kind::Contact_Back:
        return QStringLiteral("returned from the deleted contacts folder");
    case Step_Kind::Contact_Restore:
        return QStringLiteral("its earlier version restored");
    case Step_Kind::Task_Remove:
        return QStringLiteral("removed");
    case Step_Kind::Message_Back:
        break;
    }
    return QStringLiteral("returned to the input folder");
}

QString Plural(int n, const char* one, const char* many)
{
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

// "return 2 deleted contacts to their folder, ... and remove 1 task the run
// made", in the future or, when done, the past.
QString Counts_Sentence(const Undo_Counts& c, bool done)
{
    QStringList parts;
    const QString back = done ? QStringLiteral("returned ") : QStringLiteral("return ");
    if (c.Contacts_Back)
        parts << back + Plural(c.Contacts_Back, "deleted contact", "deleted contacts") +
                     (c.Contacts_Back == 1 ? QStringLiteral(" to its folder")
                                           : QStringLiteral(" to their folder"));
    if (c.Contacts_Restored)
        parts << QStringLiteral("put back the earlier version of ") +
                     Plural(c.Contacts_Restored, "changed contact", "changed contacts");
    if (c.Tasks_Removed)
        parts << (done ? QStringLiteral("removed ") : QStringLiteral("remove ")) +
                     Plural(c.Tasks_Removed, "task", "tasks") + QStringLiteral(" the run made");
    if (c.Messages_Back)
        parts << back + Plural(c.Messages_Back, "message", "messages") +
                     QStringLiteral(" to the input folder");
    QString text;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            text += i + 1 == parts.size() ? QStringLiteral(" and ") : QStringLiteral(", ");
        text += parts[i];
    }
    return text;
}

std::optional<Run_Folder> Run_To_Undo(QString* refusal)
{
    const std::vector<Run_Folder> runs = List_Runs();
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
        if (!it->Has_Changes)
            continue;
        if (it->Undone) {
            *refusal =
                QStringLiteral("The last run that changed something (started %1) has already been undone.")
                    .arg(When(it->Started));
            return std::nullopt;
        }
        return *it;
    }
    *refusal = kNothingToUndo;
    return std::nullopt;
}

} // namespace

QString Undo_Plan::Question() const
{
    if (!Run)
        return Refusal;
    QString text = QStringLiteral("Undo the run started %1 (%2)?\n\n").arg(When(Run->Started), Run->Kind);
    const QString sentence = Counts_Sentence(Counts, false);
    text += sentence.isEmpty()
                ? QStringLiteral("Nothing it changed is still as it left it, so nothing will be "
                                 "restored; the run will be marked as undone.")
                : QStringLiteral("This will ") + sentence + QLatin1Char('.');
    if (!Counts.Not_Restored.isEmpty())
        text += QStringLiteral("\n\n") + Plural(int(Counts.Not_Restored.size()), "item has", "items have") +
                QStringLiteral(" changed since the run and will be left as they are.");
    return text;
}

QString Undo_Result::Summary() const
{
    if (!Done)
        return Refusal;
    const QString sentence = Counts_Sentence(Counts, true);
    QString text = sentence.isEmpty() ? QStringLiteral("The run was undone; nothing had to be restored.")
                                      : QStringLiteral("The run was undone: ") + sentence + QLatin1Char('.');
    if (!Counts.Not_Restored.isEmpty()) {
        text += QStringLiteral("\n\nNot restored, because they changed since the run:\n");
        const qsizetype shown = std::min<qsizetype>(Counts.Not_Restored.size(), 10);
        for (qsizetype i = 0; i < shown; ++i)
            text += QStringLiteral("  ") + Counts.Not_Restored[i] + QLatin1Char('\n');
        if (Counts.Not_Restored.size() > shown)
            text += QStringLiteral("  ... and %1 more.\n").arg(Counts.Not_Restored.size() - shown);
    }
    if (!Report_Path.isEmpty())
        text += QStringLiteral("\n\nThe undo report: ") + QDir::toNativeSeparators(Report_Path);
    return text;
}

Undo_Plan Plan_Undo_Last_Run()
{
    Undo_Plan plan;
    plan.Run = Run_To_Undo(&plan.Refusal);
    if (!plan.Run)
        return plan;
    const Assessment assessment = Assess(Read_Records(plan.Run->Path));
    for (const Step& step : assessment.Steps)
        Count(step, plan.Counts);
    plan.Counts.Not_Restored = assessment.Not_Restored;
    return plan;
}

Undo_Result Undo_Last_Run()
{
    Undo_Result result;
    Run_Guard guard;
    if (!guard.Acquired()) {
        result.Locked = true;
        result.Refusal = QStringLiteral("A run is under way. Undo the last run when it has finished.");
        return result;
    }
    const std::optional<Run_Folder> run = Run_To_Undo(&result.Refusal);
    if (!run)
        return result;
    const QDir folder(run->Path);
    const QDateTime started = QDateTime::currentDateTime();
    QString error;
    if (!Write_File_Atomically(folder.filePath(kUndoStartedFile),
                               "Started: " + started.toUTC().toString(Qt::ISODateWithMs).toLatin1() + "\n",
                               &error)) {
        result.Refusal = QStringLiteral("The undo cannot be recorded, so nothing was undone. ") + error;
        return result;
    }

    const Assessment assessment = Assess(Read_Records(run->Path));
    QStringList restored;
    result.Counts.Not_Restored = assessment.Not_Restored;
    for (const Step& step : assessment.Steps) {
        QString why;
        if (step.Apply(&why)) {
            Count(step, result.Counts);
            restored << step.Label + QStringLiteral(": ") + Step_Text(step.Kind);
        } else {
            result.Counts.Not_Restored << step.Label + QStringLiteral(": ") + why;
        }
    }

    QString text = QStringLiteral("Brindlecast undo report\n\n");
    text += QStringLiteral("Run undone:  %1, started %2\n").arg(run->Kind, When(run->Started));
    text += QStringLiteral("Undone:      ") + When(started) + QLatin1Char('\n');
    text += QStringLiteral("Journal:     ") + QDir::toNativeSeparators(run->Path) + QLatin1Char('\n');
    text += QStringLiteral("\nRestored (%1)\n").arg(restored.size());
    for (const QString& line : restored)
        text += QStringLiteral("  ") + line + QLatin1Char('\n');
    text += QStringLiteral("\nNot restored (%1)\n").arg(result.Counts.Not_Restored.size());
    for (const QString& line : result.Counts.Not_Restored)
        text += QStringLiteral("  ") + line + QLatin1Char('\n');
    result.Report_Path = folder.filePath(kUndoReportFile);
    result.Report_Text = text;
    if (!Write_File_Atomically(result.Report_Path, text.toUtf8(), &error))
        result.Report_Path.clear();
    result.Done = true;
    return result;
}

} // namespace bc::engine
