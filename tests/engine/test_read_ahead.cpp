// The contact walk reads its files ahead from other threads; what it does
// must be exactly what the walk does without that: the same lines and the
// same files, also when contacts vanish or change under it and when the user
// stops it half-way.

#include "Engine_Test_Profile.h"
#include "engine/Contact_Actions.h"
#include "outlook/Parallel_Reads.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>
#include <map>

using namespace bc;
using namespace bc::engine;

namespace {

constexpr int kContacts = 400;

QString Card_Name(int i)
{
    return QStringLiteral("c%1.vcf").arg(i, 3, 10, QLatin1Char('0'));
}

// Calls `hook` with the number of contacts walked so far, after each.
class Hooked_Progress : public test::Recorded_Progress
{
public:
    void Stage_Advanced(qint64 done) override
    {
        if (hook)
            hook(done);
    }
    std::function<void(qint64)> hook;
};

struct Walk_Result
{
    QStringList lines;
    std::map<QString, QByteArray> files; // every file of the profile but the data folder's
};

// One walk over a fresh profile; `during` may change the profile while it runs.
Walk_Result Walk(bool readAhead, const std::function<void(test::Engine_Profile&, qint64)>& during)
{
    test::Engine_Profile profile;
    for (int i = 0; i < kContacts; ++i) {
        QStringList emails{QStringLiteral("person%1@example.org").arg(i)};
        if (i % 10 == 3)
            emails << QStringLiteral("gone%1@example.com").arg(i);
        profile.Add_Contact(Card_Name(i), QStringLiteral("Person %1").arg(i), emails);
    }
    QString body;
    for (int i = 3; i < kContacts; i += 10)
        body += QStringLiteral("<gone%1@example.com>: user unknown\r\n").arg(i);
    // A contact the walk will meet only if it changes in time.
    body += QStringLiteral("<late@example.com>: user unknown\r\n");
    profile.Add_Message(QStringLiteral("Undeliverable: Offer"), body);
    profile.Scan_Inbox();
    const qint32 database = profile.Add_Database(QStringLiteral("Business"));

    Hooked_Progress progress;
    progress.hook = [&](qint64 done) { during(profile, done); };
    Set_Progress_View(&progress);
    test::Fixed_Choices choices;
    choices.clearAddress = 1;
    choices.setField = 1;
    choices.field = QStringLiteral("JobTitle");
    choices.value = QStringLiteral("Bounced");

    outlook::Set_Read_Ahead_Enabled(readAhead);
    Process_Contact_Folder(database, choices);
    outlook::Set_Read_Ahead_Enabled(true);
    Set_Progress_View(nullptr);

    Walk_Result result{progress.lines, {}};
    const QDir root(profile.Root());
    for (const QString& folder : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        for (const QString& name : QDir(root.filePath(folder)).entryList(QDir::Files)) {
            QFile f(root.filePath(folder + QLatin1Char('/') + name));
            if (f.open(QIODevice::ReadOnly))
                result.files[folder + QLatin1Char('/') + name] = f.readAll();
        }
    return result;
}

struct Case
{
    const char* name;
    std::function<void(test::Engine_Profile&, qint64)> during;
    int changed; // contacts holding "Bounced" afterwards
};

TEST(Read_Ahead, WalkGivesTheLinesAndChangesOfTheWalkWithoutIt)
{
    const auto contactPath = [](test::Engine_Profile& p, int i) {
        return p.Folder(QStringLiteral("Contacts/") + Card_Name(i));
    };
    const Case cases[] = {
        {"nothing happens", [](test::Engine_Profile&, qint64) {}, kContacts / 10},
        // The walk goes from the last file to the first: at 20 contacts walked,
        // c379 down to c000 are still to come and read ahead.
        {"contacts vanish under it",
         [&](test::Engine_Profile& p, qint64 done) {
             if (done == 20)
                 for (int i = 303; i >= 3; i -= 50)
                     QFile::remove(contactPath(p, i));
         },
         kContacts / 10 - 7},
        {"a contact changes under it",
         [&](test::Engine_Profile& p, qint64 done) {
             if (done == 20) {
                 p.Add_Contact(Card_Name(200), QStringLiteral("Late Person"),
                               {QStringLiteral("late@example.com")});
                 p.Add_Contact(Card_Name(103), QStringLiteral("Person 103"),
                               {QStringLiteral("person103@example.org")});
             }
         },
         kContacts / 10},
        {"the user stops it half-way",
         [](test::Engine_Profile&, qint64 done) {
             if (done == kContacts / 2)
                 Flags().Abort_Requested = true;
         },
         kContacts / 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Walk_Result plain = Walk(false, c.during);
        const Walk_Result ahead = Walk(true, c.during);
        EXPECT_EQ(ahead.lines, plain.lines);
        EXPECT_EQ(ahead.files, plain.files);
        int changed = 0;
        for (const auto& [name, bytes] : ahead.files)
            changed += name.startsWith(QLatin1String("Contacts/")) && bytes.contains("TITLE:Bounced");
        EXPECT_EQ(changed, c.changed);
    }
}

} // namespace
