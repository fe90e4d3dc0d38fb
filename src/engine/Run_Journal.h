#pragma once
// The journal of the run under way. It is the profile's write gate for the
// run's length: each change to a contact, task or message is recorded in the
// run's folder, flushed, before it is made (a preview records nothing on disk
// and lets nothing be written). The engine tells it, beside, what the report
// needs: which contact matched on which address and message, what it is
// doing to it, and which returned messages the run found.

#include "engine/Run_Report.h"
#include "outlook/Write_Gate.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <memory>

namespace bc::engine {

class Progress_View;

class Run_Journal final : public outlook::Write_Gate
{
public:
    // The journal of the run under way; nullptr between runs.
    static Run_Journal* Active();

    // What the report calls the run ("Process All Databases", ...).
    Run_Journal(const QString& kind, bool preview);
    ~Run_Journal() override;
    // Makes the run's folder and keeps only the newest runs. False, with
    // *error, when the journal cannot be kept: the run must not start.
    bool Open(QString* error);

    // What the engine tells.
    void Contact_Matched(const Contact_Context& contact);
    void Contact_Action(const QString& done); // before the action is carried out
    void Contact_Failed(const QString& error);
    void Returned_Message(const QString& entryId, const QString& subject, const QDateTime& date);
    void Disposal_Target(const QString& folderName, bool deleting);
    void Disposal_Ended(); // records where the moved messages went
    void Stopped();

    // Ends the run: writes its report (not for a preview) and gives its text.
    QString Finish();
    const QString& Folder() const { return folder_; }
    QString Report_Path() const;

    // outlook::Write_Gate
    bool Preview() const override { return preview_; }
    void Contact_Saving(const outlook::Contact_Save& change) override;
    void Contact_Removing(const outlook::Contact_Removal& change) override;
    void Task_Creating(const outlook::Task_Creation& change) override;
    void Messages_Moving(const std::vector<outlook::Message_Move>& batch) override;
    void Message_Moved(const outlook::Message_Move& change, const outlook::maildir::Entry& now) override;

private:
    void Write(const Journal_Record& record);
    Contact_Context* Current();
    Report_Message* Message(const QByteArray& unique);

    const bool preview_;
    QString folder_;
    int next_ = 1;
    Run_Report report_;
    bool contactOpen_ = false;
    QHash<QByteArray, std::size_t> messageAt_; // unique name -> index in report_.Messages
    QSet<QByteArray> planned_;                 // moves already recorded: From_Dir + '/' + unique
    QString target_;
    bool deleting_ = false;
    std::vector<Recorded_Move> movedTo_; // where the moved messages are now
};

// The engine's notes to the journal of the run under way; nothing between
// runs. Each is made right before what it tells.
void Journal_Returned_Message(qint32 row); // a row of Message_Rows
void Journal_Contact_Matched(const QString& name, const QString& entryId, const QString& address, int slot,
                             qint32 messageRow);
void Journal_Contact_Action(const QString& done);
void Journal_Contact_Failed(const QString& error);
void Journal_Stopped();

// A preview asked for: the runs started while one exists change nothing.
class Preview_Request
{
public:
    Preview_Request();
    ~Preview_Request();
    Preview_Request(const Preview_Request&) = delete;
    Preview_Request& operator=(const Preview_Request&) = delete;
    static bool Active();
};

// Whether runs keep a journal (they do); off only to measure what the
// journal costs (bench_run).
void Set_Journal_Enabled(bool enabled);

// The finished run's report, kept until the next run ends.
struct Finished_Report
{
    QString Path; // empty for a preview
    QString Text;
    bool Preview = false;
};
const Finished_Report& Last_Finished_Report();

// The journal for the length of one run or manual processing: installed as
// the write gate from Start() until Finish() or its end.
class Journal_Session
{
public:
    explicit Journal_Session(const QString& kind);
    ~Journal_Session();
    Journal_Session(const Journal_Session&) = delete;
    Journal_Session& operator=(const Journal_Session&) = delete;

    // False (and the message shown) when the journal cannot be kept.
    bool Start();
    // Writes the report and offers it on `progress` (may be nullptr).
    void Finish(Progress_View* progress);

private:
    std::unique_ptr<Run_Journal> journal_;
    bool finished_ = false;
};

} // namespace bc::engine
