#pragma once
// A task kept as one iCalendar file holding a VTODO, as todoman and khal keep
// them: SUMMARY is the subject, DESCRIPTION the body (read with CR LF line
// breaks), PRIORITY the importance (High 1, Normal 5, Low 9), DTSTART a DATE
// value. A linked contact is a CONTACT property whose value is the contact's
// name and whose X-BRINDLECAST-UID parameter holds its vCard UID
// (percent-encoded); a UUID is also given as ALTREP="urn:uuid:..." for other
// programs. Properties the program does not know are kept.

#include "outlook/Item_Files.h"
#include "outlook/Object_Model.h"

#include <memory>

namespace bc::outlook {

class Ical_Task final : public Task_Item
{
public:
    struct Impl;
    explicit Ical_Task(std::unique_ptr<Impl> impl);
    ~Ical_Task() override;

    QString EntryID() const override;
    QString MessageClass() const override;

    void Set_Subject(const QString& subject) override;
    void Set_Body(const QString& body) override;
    void Set_Importance(int importance) override;
    void Set_StartDate(const QDate& date) override;
    void Add_Link(const Contact_Item& contact) override;
    void Set_UID(const QString& uid) override;
    QString UID() const;
    // A new task is written as <uid>.ics into its folder, never over another
    // file; when the folder already holds a task of its UID, that one stands
    // and nothing is written. An existing task is saved in place, unless
    // another program changed it since it was read, nor when it has lines
    // libical could not read (they would be lost). DTSTAMP and LAST-MODIFIED
    // are set to the time of saving.
    void Save() override;

    QString Subject() const override;
    QString Body() const override;
    int Importance() const override;
    QDate StartDate() const override;
    QStringList Linked_Contact_UIDs() const override;

private:
    std::unique_ptr<Impl> d;
};

} // namespace bc::outlook
