#include "engine/Run_Report.h"

#include "config/Text_File.h"

#include <QDir>
#include <QHash>

namespace bc::engine {
namespace {

QString When(const QDateTime& date)
{
    return date.isValid() ? date.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

QString Message_Name(const QString& subject, const QDateTime& date)
{
    QString text = QLatin1Char('"') + subject + QLatin1Char('"');
    if (date.isValid())
        text += QStringLiteral(" of ") + date.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    return text;
}

QString Outcome_Text(const Report_Message& m)
{
    switch (m.Outcome) {
    case Message_Outcome::Moved:
        return QStringLiteral("moved to ") + m.Target;
    case Message_Outcome::Deleted:
        return QStringLiteral("deleted (moved to ") + m.Target + QLatin1Char(')');
    case Message_Outcome::Not_Moved:
        return QStringLiteral("not moved: it was gone or could not be moved");
    case Message_Outcome::Left:
        break;
    }
    return QStringLiteral("left in the input folder");
}

bool Has(const Contact_Context& c, const QString& prefix)
{
    for (const QString& done : c.Done)
        if (done.startsWith(prefix))
            return true;
    return false;
}

// A run that never wrote its report: what its records say it began.
Run_Report From_Records(const Run_Folder& run)
{
    Run_Report report;
    report.Kind = run.Kind;
    report.Started = run.Started;
    report.Folder = run.Path;
    QHash<QString, std::size_t> contactAt;
    QHash<QByteArray, std::size_t> messageAt;
    for (const Journal_Record& r : Read_Records(run.Path)) {
        if (r.Kind == Change_Kind::Message_Moves || r.Kind == Change_Kind::Messages_Moved) {
            for (const Recorded_Move& m : r.Moves) {
                if (r.Kind == Change_Kind::Messages_Moved)
                    continue; // the plan already names them
                if (messageAt.contains(m.Entry.Unique))
                    continue;
                messageAt.insert(m.Entry.Unique, report.Messages.size());
                report.Messages.push_back(
                    {m.Entry.Unique, m.Subject, m.Date, Message_Outcome::Moved, m.Target});
            }
            continue;
        }
        const QString key = r.Contact.File.isEmpty() ? r.File : r.Contact.File;
        if (r.Kind == Change_Kind::Task_New && key.isEmpty())
            continue;
        const auto it = contactAt.constFind(key);
        if (it == contactAt.constEnd()) {
            contactAt.insert(key, report.Contacts.size());
            report.Contacts.push_back(r.Contact);
        } else {
            // Later records of a contact carry everything done to it so far.
            report.Contacts[*it] = r.Contact;
        }
    }
    return report;
}

} // namespace

QString Done_Cleared(int slot)
{
    return QStringLiteral("Email%1Address cleared").arg(slot);
}

QString Done_Field(const QString& field, const QString& value)
{
    return QStringLiteral("field \"%1\" set to \"%2\"").arg(field, value);
}

QString Report_Text(const Run_Report& r)
{
    QString t;
    t += QStringLiteral("Brindlecast run report\n\n");
    t += QStringLiteral("Run:      ") + r.Kind + QLatin1Char('\n');
    t += QStringLiteral("Started:  ") + When(r.Started) + QLatin1Char('\n');
    if (r.Finished)
        t += QStringLiteral("Ended:    ") + When(r.Ended) + QLatin1Char('\n');
    if (!r.Folder.isEmpty())
        t += QStringLiteral("Journal:  ") + QDir::toNativeSeparators(r.Folder) + QLatin1Char('\n');
    if (r.Preview)
        t += QStringLiteral(
            "\nThis was a preview: nothing was changed. This is what the run would have done.\n");
    if (r.Stopped)
        t += QStringLiteral("\nThe run was stopped before its end.\n");
    if (!r.Finished)
        t += QStringLiteral("\nThe run did not finish (it was ended from outside). This report is made from\n"
                            "its journal and lists the changes it began.\n");

    t += QStringLiteral("\nContacts (%1)\n").arg(r.Contacts.size());
    for (const Contact_Context& c : r.Contacts) {
        t += QStringLiteral("\n  ") + (c.Name.isEmpty() ? QStringLiteral("(no name)") : c.Name) +
             QLatin1Char('\n');
        t += QStringLiteral("    File:     ") + QDir::toNativeSeparators(c.File) + QLatin1Char('\n');
        if (c.Slot)
            t += QStringLiteral("    Matched:  %1 in Email%2Address\n").arg(c.Address).arg(c.Slot);
        if (!c.Subject.isEmpty() || c.Date.isValid())
            t += QStringLiteral("    Message:  ") + Message_Name(c.Subject, c.Date) + QLatin1Char('\n');
        t += QStringLiteral("    Done:     ") +
             (c.Done.isEmpty() ? QStringLiteral("nothing (no contact action chosen)")
                               : c.Done.join(QStringLiteral("; "))) +
             QLatin1Char('\n');
        if (!c.Error.isEmpty())
            t += QStringLiteral("    Error:    ") + c.Error + QLatin1Char('\n');
    }

    t += QStringLiteral("\nReturned messages (%1)\n\n").arg(r.Messages.size());
    int moved = 0, deleted = 0, left = 0, notMoved = 0;
    for (const Report_Message& m : r.Messages) {
        t += QStringLiteral("  ") + Message_Name(m.Subject, m.Date) + QStringLiteral(": ") + Outcome_Text(m) +
             QLatin1Char('\n');
        switch (m.Outcome) {
        case Message_Outcome::Moved:
            ++moved;
            break;
        case Message_Outcome::Deleted:
            ++deleted;
            break;
        case Message_Outcome::Not_Moved:
            ++notMoved;
            break;
        case Message_Outcome::Left:
            ++left;
            break;
        }
    }

    int contactsDeleted = 0, changed = 0, tasks = 0;
    for (const Contact_Context& c : r.Contacts) {
        contactsDeleted += Has(c, kDoneDeleted) ? 1 : 0;
        changed +=
            Has(c, kDoneNote) || Has(c, QStringLiteral("Email")) || Has(c, QStringLiteral("field")) ? 1 : 0;
        tasks += Has(c, kDoneTask) ? 1 : 0;
    }
    t += QStringLiteral("\nCounts\n");
    t += QStringLiteral("  Contacts matched:   %1 (deleted %2, changed %3, tasks made %4)\n")
             .arg(r.Contacts.size())
             .arg(contactsDeleted)
             .arg(changed)
             .arg(tasks);
    t += QStringLiteral("  Returned messages:  %1 (moved %2, deleted %3, left %4, not moved %5)\n")
             .arg(r.Messages.size())
             .arg(moved)
             .arg(deleted)
             .arg(left)
             .arg(notMoved);
    return t;
}

QString Kept_Report_Text(const Run_Folder& run)
{
    QByteArray bytes;
    if (Read_Whole_File(QDir(run.Path).filePath(kReportFile), bytes))
        return QString::fromUtf8(bytes);
    return Report_Text(From_Records(run));
}

} // namespace bc::engine
