// Preview, report and undo from the real main window on a temporary profile:
// "Preview Run" changes nothing and its report opens from the progress
// window; "Undo Last Run" says what it will restore, asks, and restores; the
// number of runs kept is a setting of the Log page.

#include "Main_Window_Support.h"
#include "engine/Engine_Test_Profile.h"
#include "windows/Processing_Entry.h"
#include "windows/frmRunReport.h"
#include "windows/frmStatusAnalysis.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

#include <memory>

using bc::test::Click;
using bc::test::Find;
using bc::windows::frmMain;
using bc::windows::frmRunReport;
using bc::windows::frmStatusAnalysis;
using bc::windows::Message_Box;

class Test_Run_Journal_Window : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<bc::test::Engine_Profile> profile_;
    std::unique_ptr<frmMain> window_;
    QString bob_;
    QByteArray bobBefore_;

    // A returned message for Bob, Bob's contact, the contact deleted and the
    // message moved to "Bounced" by a run.
    void Open_Window(const QStringList& settings = {})
    {
        profile_ = std::make_unique<bc::test::Engine_Profile>();
        bc::windows::Install_Message_Boxes();
        Message_Box::clearShown();
        if (!settings.isEmpty())
            bc::test::Write_Settings(profile_->home, settings);
        profile_->Add_Message(QStringLiteral("Undelivered Mail Returned to Sender"),
                              QStringLiteral("<bob@example.com>: 550 no such user\r\n"));
        bob_ = profile_->Add_Contact(QStringLiteral("a.vcf"), QStringLiteral("Bob Smith"),
                                     {QStringLiteral("bob@example.com")});
        bobBefore_ = profile_->home.Read(bob_);
        profile_->Add_Database(QStringLiteral("Contacts"));
        for (const char* sub : {"cur", "new", "tmp"})
            QDir().mkpath(profile_->Folder(QStringLiteral("Bounced/") + QLatin1String(sub)));
        bc::Save_Setting(bc::Email_What_To_Do, 3);
        bc::Save_Setting(bc::Email_Destination_EntryID, bc::outlook::Entry_ID_To_Hex("Bounced"));
        bc::Save_Setting(bc::Email_Destination_StoreID, profile_->storeId);
        QVERIFY(bc::Save_Contact_Folder_List());
        window_ = std::make_unique<frmMain>();
        bc::windows::Install_Processing(*window_);
        QVERIFY(window_->Load(QString()));
    }

    void Trigger(const char* action) { Find<QAction>(window_.get(), action)->trigger(); }
    QStringList Inbox() const { return profile_->Files(QStringLiteral("Inbox")); }

private Q_SLOTS:
    void cleanup()
    {
        if (frmRunReport* report = frmRunReport::Loaded())
            report->close();
        if (frmStatusAnalysis::Is_Loaded())
            frmStatusAnalysis::Instance().close();
        window_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        profile_.reset();
    }

    void preview_run_changes_nothing_and_its_report_opens()
    {
        Open_Window();
        Trigger("mnuPreviewRun");
        QCOMPARE(profile_->home.Read(bob_), bobBefore_);
        QCOMPARE(Inbox().size(), 1);
        QCOMPARE(Message_Box::shown(), QStringList());

        auto* report = Find<QPushButton>(&frmStatusAnalysis::Instance(), "cmdReport");
        QVERIFY(report->isVisible() && report->isEnabled());
        Click(report);
        QVERIFY(frmRunReport::Loaded() && frmRunReport::Loaded()->isVisible());
        const QString text = Find<QPlainTextEdit>(frmRunReport::Loaded(), "txtReport")->toPlainText();
        QVERIFY2(text.contains(QStringLiteral("This was a preview")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Matched:  bob@example.com in Email1Address")));
        QVERIFY(text.contains(QStringLiteral("Done:     deleted")));

        // The next run has the button wait for its own report.
        bool disabledDuringRun = false;
        connect(&frmStatusAnalysis::Instance(), &frmStatusAnalysis::Line_Added, report,
                [&] { disabledDuringRun = disabledDuringRun || !report->isEnabled(); });
        Click(Find<QPushButton>(window_.get(), "ScanEmails"));
        QVERIFY(!QFile::exists(bob_));
        QVERIFY(disabledDuringRun);
        QVERIFY(report->isEnabled());
        Click(report);
        QVERIFY(!Find<QPlainTextEdit>(frmRunReport::Loaded(), "txtReport")
                     ->toPlainText()
                     .contains(QStringLiteral("This was a preview")));
    }

    void undo_last_run_says_what_it_restores_and_asks()
    {
        Open_Window();
        Click(Find<QPushButton>(window_.get(), "ScanEmails"));
        QVERIFY(!QFile::exists(bob_));
        QVERIFY(Inbox().isEmpty());

        Message_Box::setNextAnswer(QMessageBox::No);
        Trigger("mnuUndoLastRun");
        QVERIFY(!QFile::exists(bob_));
        QCOMPARE(Message_Box::shown().size(), 1);
        const QString question = Message_Box::shown().first();
        QVERIFY2(question.startsWith(QStringLiteral("Undo the run started ")), qPrintable(question));
        QVERIFY2(
            question.contains(QStringLiteral("This will return 1 deleted contact to its folder and return 1 "
                                             "message to the input folder.")),
            qPrintable(question));

        Message_Box::setNextAnswer(QMessageBox::Yes);
        Message_Box::setNextAnswer(QMessageBox::Ok);
        Trigger("mnuUndoLastRun");
        QCOMPARE(profile_->home.Read(bob_), bobBefore_);
        QCOMPARE(Inbox().size(), 1);
        QVERIFY(Message_Box::shown().last().startsWith(
            QStringLiteral("The run was undone: returned 1 deleted contact")));

        Message_Box::setNextAnswer(QMessageBox::Ok);
        Trigger("mnuUndoLastRun");
        QVERIFY(Message_Box::shown().last().contains(QStringLiteral("has already been undone")));
    }

    void runs_to_keep_is_restored_and_saved()
    {
        Open_Window({QStringLiteral("\"Runs_To_Keep\"=dword:00000007")});
        auto* box = Find<QSpinBox>(window_.get(), "txtRunsToKeep");
        QCOMPARE(box->value(), 7);
        box->setValue(3);
        QCOMPARE(bc::test::Stored(bc::Runs_To_Keep), QStringLiteral("3"));
    }
};

QTEST_MAIN(Test_Run_Journal_Window)
#include "test_run_journal_window.moc"
