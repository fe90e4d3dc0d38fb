#include "demo/Demo_Profile_Messages.h"

#include <QDateTime>
#include <QLocale>

namespace bc::outlook::demo {
namespace {

QByteArray Date(qint64 when)
{
    const QDateTime t = QDateTime::fromSecsSinceEpoch(when, Qt::UTC);
    return QLocale::c().toString(t, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss")).toLatin1() + " +0000";
}

QByteArray Id(qint64 when, const char* host)
{
    return "<" + QByteArray::number(when, 36) + ".demo@" + host + ">";
}

QByteArray A(const QString& address)
{
    return address.toUtf8();
}

// The message Jane sent, as the bounce quotes it.
QByteArray Original(const QStringList& to, const QByteArray& subject, qint64 when, bool withBody)
{
    // No Message-ID: in a quoted copy it would read as one more address.
    QByteArray out = "Return-Path: <jane.doe@example.com>\r\nDate: " + Date(when - 60) +
                     "\r\nFrom: Jane Doe <jane.doe@example.com>\r\nTo: ";
    for (qsizetype i = 0; i < to.size(); ++i)
        out += (i ? ", " : "") + A(to[i]);
    out += "\r\nSubject: " + subject + "\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=utf-8\r\n";
    if (withBody)
        out += "\r\nHello,\r\n\r\njust checking in about next week. Let me know what suits you.\r\n\r\n"
               "Best regards,\r\nJane\r\n";
    return out;
}

QByteArray Head(const QByteArray& from, const QByteArray& subject, qint64 when, const QByteArray& extra = {})
{
    return "Return-Path: <>\r\nDate: " + Date(when) + "\r\nFrom: " + from +
           "\r\nTo: Jane Doe <jane.doe@example.com>\r\nSubject: " + subject +
           "\r\nMessage-ID: " + Id(when, "mail.example.com") + "\r\n" + extra;
}

QByteArray Report_Head(const QByteArray& from, const QByteArray& subject, qint64 when, const char* boundary)
{
    return Head(from, subject, when,
                "Auto-Submitted: auto-replied\r\nMIME-Version: 1.0\r\n"
                "Content-Type: multipart/report; report-type=delivery-status;\r\n\tboundary=\"" +
                    QByteArray(boundary) + "\"\r\n");
}

QByteArray Status(const QStringList& failed, const QByteArray& mta, const QByteArray& code)
{
    QByteArray out = "Reporting-MTA: dns; " + mta + "\r\n\r\n";
    for (const QString& f : failed)
        out += "Final-Recipient: rfc822; " + A(f) + "\r\nAction: failed\r\nStatus: " + code + "\r\n\r\n";
    return out;
}

QByteArray Postfix(const Returned_Message& m, qint64 when, bool attachOriginal)
{
    const QByteArray to = A(m.Failed[0]);
    const char* b = "4F2A1C0012.1764576842/mail.example.com";
    QByteArray out = Report_Head("MAILER-DAEMON@mail.example.com (Mail Delivery System)",
                                 "Undelivered Mail Returned to Sender", when, b);
    out += "\r\nThis is a MIME-encapsulated message.\r\n\r\n--" + QByteArray(b) +
           "\r\nContent-Description: Notification\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\n"
           "This is the mail system at host mail.example.com.\r\n\r\n"
           "I'm sorry to have to inform you that your message could not\r\n"
           "be delivered to one or more recipients. It's attached below.\r\n\r\n"
           "For further assistance, please send mail to postmaster.\r\n\r\n"
           "If you do so, please include this problem report. You can\r\n"
           "delete your own text from the attached returned message.\r\n\r\n"
           "                   The mail system\r\n\r\n<" +
           to + ">: host mx.example.net[192.0.2.25] said: 550 5.1.1\r\n    <" + to +
           ">: Recipient address rejected: User unknown in virtual mailbox\r\n"
           "    table (in reply to RCPT TO command)\r\n\r\n--" +
           b + "\r\nContent-Description: Delivery report\r\nContent-Type: message/delivery-status\r\n\r\n" +
           Status(m.Failed, "mail.example.com", "5.1.1") + "--" + b;
    if (attachOriginal)
        out += "\r\nContent-Description: Undelivered Message\r\nContent-Type: message/rfc822\r\n\r\n" +
               Original(m.Failed, "Dinner on Saturday", when, true);
    else
        out += "\r\nContent-Description: Undelivered Message Headers\r\nContent-Type: "
               "text/rfc822-headers\r\n\r\n" +
               Original(m.Failed, "Minutes of the meeting", when, false);
    return out + "\r\n--" + b + "--\r\n";
}

QByteArray Exim_Failed_List(const QStringList& failed)
{
    QByteArray out;
    for (const QString& f : failed)
        out += "  " + A(f) +
               "\r\n    host mx.example.de [192.0.2.80]\r\n"
               "    SMTP error from remote mail server after RCPT TO:<" +
               A(f) +
               ">:\r\n"
               "    550 5.1.1 <" +
               A(f) + ">: Recipient address rejected: User unknown\r\n";
    return out;
}

const QByteArray kExim_Intro =
    "This message was created automatically by mail delivery software.\r\n\r\n"
    "A message that you sent could not be delivered to one or more of its\r\n"
    "recipients. This is a permanent error. The following address(es) failed:\r\n\r\n";

QByteArray Exim_Plain(const Returned_Message& m, qint64 when)
{
    return Head("Mail Delivery System <Mailer-Daemon@mail.example.com>",
                "Mail delivery failed: returning message to sender", when,
                "X-Failed-Recipients: " + A(m.Failed.join(", ")) + "\r\nAuto-Submitted: auto-replied\r\n") +
           "\r\n" + kExim_Intro + Exim_Failed_List(m.Failed) +
           "\r\n------ This is a copy of the message, including all the headers. ------\r\n\r\n" +
           Original(m.Failed, "Invoice 2291", when, true);
}

QByteArray Exim_Mime(const Returned_Message& m, qint64 when)
{
    const char* b = "1764576842-eximdsn-1804289383";
    return Report_Head("Mail Delivery System <Mailer-Daemon@mail.example.com>",
                       "=?utf-8?Q?Mail_delivery_failed=3A_returning_message_to_sender?=", when, b) +
           "\r\n--" + b + "\r\nContent-type: text/plain; charset=us-ascii\r\n\r\n" + kExim_Intro +
           Exim_Failed_List(m.Failed) + "\r\n--" + b + "\r\nContent-type: message/delivery-status\r\n\r\n" +
           Status(m.Failed, "mail.example.com", "5.0.0") + "--" + b +
           "\r\nContent-type: message/rfc822\r\n\r\n" + Original(m.Failed, "Price list 2026", when, true) +
           "\r\n--" + b + "--\r\n";
}

QByteArray Qmail(const Returned_Message& m, qint64 when, bool copy)
{
    QByteArray out = Head("MAILER-DAEMON@mail.example.com", "failure notice", when) +
                     "\r\nHi. This is the qmail-send program at mail.example.com.\r\n"
                     "I'm afraid I wasn't able to deliver your message to the following addresses.\r\n"
                     "This is a permanent error; I've given up. Sorry it didn't work out.\r\n\r\n";
    for (const QString& f : m.Failed)
        out += "<" + A(f) + ">:\r\n192.0.2.135 does not like recipient.\r\nRemote host said: 550 5.1.1 <" +
               A(f) + ">... User unknown\r\nGiving up on 192.0.2.135.\r\n\r\n";
    if (copy)
        out += "--- Below this line is a copy of the message.\r\n\r\n" +
               Original(m.Failed, "Photos from the trip", when, true);
    return out;
}

QByteArray Sendmail_Transcript(const QStringList& failed)
{
    QByteArray out = "   ----- The following addresses had permanent fatal errors -----\r\n";
    for (const QString& f : failed)
        out += "<" + A(f) + ">\r\n    (reason: 550 5.1.1 <" + A(f) + ">... User unknown)\r\n";
    out += "\r\n   ----- Transcript of session follows -----\r\n... while talking to mx.example.fr.:\r\n"
           ">>> DATA\r\n";
    for (const QString& f : failed)
        out += "<<< 550 5.1.1 <" + A(f) + ">... User unknown\r\n550 5.1.1 <" + A(f) + ">... User unknown\r\n";
    return out + "<<< 503 5.0.0 Need RCPT (recipient)\r\n";
}

QByteArray Sendmail_Mime(const Returned_Message& m, qint64 when)
{
    const char* b = "5B2AEh0C013388.1764576842/relay.example.com";
    return Report_Head("Mail Delivery Subsystem <MAILER-DAEMON@relay.example.com>",
                       "Returned mail: see transcript for details", when, b) +
           "\r\nThis is a MIME-encapsulated message\r\n\r\n--" + b +
           "\r\n\r\nThe original message was received at " + Date(when - 60) +
           "\r\nfrom [192.0.2.10]\r\n\r\n" + Sendmail_Transcript(m.Failed) + "\r\n--" + b +
           "\r\nContent-Type: message/delivery-status\r\n\r\n" +
           Status(m.Failed, "relay.example.com", "5.1.1") + "--" + b +
           "\r\nContent-Type: message/rfc822\r\n\r\n" + Original(m.Failed, "Contract draft", when, true) +
           "\r\n--" + b + "--\r\n";
}

QByteArray Sendmail_Plain(const Returned_Message& m, qint64 when)
{
    return Head("Mail Delivery Subsystem <MAILER-DAEMON@relay.example.com>",
                "=?US-ASCII?B?UmV0dXJuZWQgbWFpbDogc2VlIHRyYW5zY3JpcHQgZm9yIGRldGFpbHM=?=", when) +
           "\r\nThe original message was received at " + Date(when - 60) + "\r\nfrom [192.0.2.10]\r\n\r\n" +
           Sendmail_Transcript(m.Failed) + "\r\n   ----- Original message follows -----\r\n\r\n" +
           Original(m.Failed, "Board games night", when, true);
}

QByteArray Exchange(const Returned_Message& m, qint64 when)
{
    const QByteArray to = A(m.Failed[0]);
    const char* b = "_000_report_exch01";
    const char* alt = "_001_alt_exch01";
    return Report_Head("postmaster@corp.example.com", "Undeliverable: Project kickoff", when, b) +
           "Content-Language: en-US\r\n\r\n--" + b + "\r\nContent-Type: multipart/alternative; boundary=\"" +
           alt + "\"\r\n\r\n--" + alt +
           "\r\nContent-Type: text/plain; charset=\"us-ascii\"\r\nContent-Transfer-Encoding: "
           "quoted-printable\r\n\r\n"
           "Delivery has failed to these recipients or groups:\r\n\r\n" +
           to +
           "\r\nThe e-mail address you entered couldn't be found. Please check the recipient's e-mail "
           "addre=\r\n"
           "ss and try to resend the message. If the problem continues, please contact your helpdesk.\r\n\r\n"
           "Diagnostic information for administrators:\r\n\r\nGenerating server: "
           "EXCH01.corp.example.com\r\n\r\n" +
           to +
           "\r\n#550 5.1.1 RESOLVER.ADR.RecipNotFound; not found ##\r\n\r\nOriginal message "
           "headers:\r\n\r\n" +
           "From: Jane Doe <jane.doe@example.com>\r\nTo: " + to +
           "\r\nSubject: Project kickoff\r\nDate: " + Date(when - 60) + "\r\n\r\n--" + alt +
           "\r\nContent-Type: text/html; charset=\"us-ascii\"\r\n\r\n<html><body><p>Delivery has failed to "
           "these "
           "recipients or groups:</p><p><a href=\"mailto:" +
           to + "\">" + to + "</a></p></body></html>\r\n\r\n--" + alt + "--\r\n\r\n--" + b +
           "\r\nContent-Type: message/delivery-status\r\n\r\n" +
           Status(m.Failed, "EXCH01.corp.example.com", "5.1.1") + "--" + b +
           "\r\nContent-Type: text/rfc822-headers\r\n\r\n" +
           Original(m.Failed, "Project kickoff", when, false) + "\r\n--" + b + "--\r\n";
}

QByteArray Office365(const Returned_Message& m, qint64 when)
{
    const QByteArray to = A(m.Failed[0]);
    const char* b = "_002_o365_report";
    return Report_Head("Microsoft Outlook "
                       "<MicrosoftExchange329e71ec88ae4615bbc36ab6ce41109e@example.onmicrosoft.com>",
                       "=?utf-8?Q?Undeliverable=3A_Gr=C3=BC=C3=9Fe_aus_Berlin?=", when, b) +
           "\r\n--" + b +
           "\r\nContent-Type: text/html; charset=\"utf-8\"\r\nContent-Transfer-Encoding: "
           "quoted-printable\r\n\r\n"
           "<html><head><style>p{font-family:Segoe UI}</style></head><body>\r\n"
           "<p><b>Your message to " +
           to + " couldn't be delivered.</b></p>\r\n<p>" + to +
           " wasn't found at example.de.</p>\r\n<table><tr><td>Jane</td><td>Office 365</td><td>" +
           to.left(to.indexOf('@')) +
           "</td></tr><tr><td>Action Required</td><td></td><td>Recipient</td></tr></table>\r\n"
           "<p>Unknown To address</p><p>Gr=C3=BC=C3=9Fe &amp; thanks</p></body></html>\r\n\r\n--" +
           b + "\r\nContent-Type: message/delivery-status\r\n\r\n" +
           Status(m.Failed, "AM0PR01MB1234.eurprd01.prod.example.com", "5.1.10") + "--" + b +
           "\r\nContent-Type: message/rfc822\r\n\r\n" +
           Original(m.Failed, "=?utf-8?Q?Gr=C3=BC=C3=9Fe_aus_Berlin?=", when, true) + "\r\n--" + b + "--\r\n";
}

QByteArray Gmail(const Returned_Message& m, qint64 when, bool attachOriginal)
{
    const QByteArray to = A(m.Failed[0]);
    const char* b = "000000000000a1b2c3d4e5f60789";
    const char* alt = "000000000000a1b2c3d4e5f60790";
    QByteArray out = Report_Head("Mail Delivery Subsystem <mailer-daemon@googlemail.com>",
                                 "Delivery Status Notification (Failure)", when, b);
    out += "\r\n--" + QByteArray(b) + "\r\nContent-Type: multipart/related; boundary=\"" + alt +
           "\"\r\n\r\n--" + alt + "\r\nContent-Type: multipart/alternative; boundary=\"" + alt +
           "x\"\r\n\r\n--" + alt +
           "x\r\nContent-Type: text/plain; charset=\"UTF-8\"\r\n\r\n\r\n** Address not found **\r\n\r\n"
           "Your message wasn't delivered to " +
           to +
           " because the address couldn't be found, or is unable to receive mail.\r\n\r\n"
           "Learn more here: https://support.google.com/mail/?p=NoSuchUser\r\n\r\nThe response was:\r\n\r\n"
           "550 5.1.1 The email account that you tried to reach does not exist. Please try\r\n"
           "5.1.1 double-checking the recipient's email address for typos or\r\n"
           "5.1.1 unnecessary spaces. Learn more at https://support.google.com/mail/?p=NoSuchUser\r\n\r\n--" +
           alt +
           "x\r\nContent-Type: text/html; charset=\"UTF-8\"\r\n\r\n<html><body><h2>Address not found</h2><p>"
           "Your message wasn't delivered to <b>" +
           to + "</b>.</p></body></html>\r\n--" + alt + "x--\r\n--" + alt + "--\r\n--" + b +
           "\r\nContent-Type: message/delivery-status\r\n\r\n" +
           Status(m.Failed, "mail.gmail.example", "5.1.1") + "--" + b;
    if (attachOriginal)
        out +=
            "\r\nContent-Type: message/rfc822\r\n\r\n" + Original(m.Failed, "Coffee next week?", when, true);
    else
        out +=
            "\r\nContent-Type: text/rfc822-headers\r\n\r\n" + Original(m.Failed, "Newsletter", when, false);
    return out + "\r\n--" + b + "--\r\n";
}

QByteArray Filed_Report(const Returned_Message& m, qint64 when)
{
    return Head("System Administrator <postmaster@corp.example.com>", "Undeliverable: Old report", when,
                "X-Message-Class: " + A(m.Message_Class) +
                    "\r\nContent-Type: text/plain; charset=us-ascii\r\n") +
           "\r\nYour message did not reach some or all of the intended recipients.\r\n\r\n"
           "      Subject:  Old report\r\n\r\nThe following recipient(s) cannot be reached:\r\n\r\n      " +
           A(m.Failed[0]) + "\r\n            The e-mail account does not exist at the organization.\r\n";
}

} // namespace

QByteArray Returned_Message_Text(int form, const Returned_Message& m, qint64 when)
{
    switch (form) {
    case 0:
        return Postfix(m, when, true);
    case 1:
        return Postfix(m, when, false);
    case 2:
        return Exim_Plain(m, when);
    case 3:
        return Exim_Mime(m, when);
    case 4:
        return Qmail(m, when, true);
    case 5:
        return Qmail(m, when, false);
    case 6:
        return Sendmail_Mime(m, when);
    case 7:
        return Sendmail_Plain(m, when);
    case 8:
        return Exchange(m, when);
    case 9:
        return Office365(m, when);
    case 10:
        return Gmail(m, when, true);
    case 11:
        return Gmail(m, when, false);
    default:
        return Filed_Report(m, when);
    }
}

std::vector<QByteArray> Ordinary_Message_Texts(qint64 first, qint64 step)
{
    struct Plain
    {
        const char* From;
        const char* Subject;
        const char* Body;
    };
    static const Plain kPlain[] = {
        {"Mark Otto <mark.otto@example.org>", "Re: Quarterly report draft",
         "Hi Jane,\r\n\r\nthe numbers look fine to me. I am moving to a new team; from Monday you can\r\n"
         "reach me at mark.otto@example.org as before.\r\n\r\nMark"},
        {"Acme Tools <orders@acme-tools.example>", "Your order 48213 has shipped",
         "Your parcel is on its way and should arrive within three working days.\r\n"
         "Questions? Write to support@acme-tools.example."},
        {"Community Team <events@example.org>", "Invitation: Spring meetup",
         "Join us on 14 March at the old library. Please RSVP to events@example.org."},
        {"Facilities <facilities@example.com>", "Mail delivery schedule for the holidays",
         "The post room closes at noon on 24 December. Parcels arriving later wait until January."},
        {"Tom Baker <tom.baker@example.net>", "Lunch on Friday?", "Shall we try the new Thai place? 12:30?"},
        {"Rosa Alvarez <rosa.personal@example.com>", "Photos", "Here are the photos from Saturday."},
        {"Priya Raman <priya.raman@example.org>", "Re: Budget 2026",
         "Approved, with the changes we discussed."},
        {"IT Service Desk <servicedesk@example.com>", "Password expiry reminder",
         "Your password expires in 7 days. Change it in the self-service portal."},
        {"Lena Fischer <lena.f@example.de>", "Neue Adresse", "Ich bin umgezogen, die neue Adresse folgt."},
        {"Oliver Grant <oliver.grant@example.co.uk>", "Slides for Tuesday", "Attached tomorrow, promise."},
        {"Chen Wei <chen.wei@example.cn>", "Re: Shipping schedule",
         "The container leaves Ningbo on the 3rd."},
        {"Sofia Lindqvist <sofia.lindqvist@example.se>", "Conference hotel",
         "Booked two nights, see you there."},
        {"Newsletter <news@example.org>", "This week in gardening", "Winter pruning: what to cut and when."},
        {"Daniel Brooks <d.brooks@example.com>", "Re: Re: Contract draft", "Clause 7 still needs a look."},
        {"Aiko Tanaka <aiko.tanaka@example.jp>", "Thank you", "Thank you for the warm welcome last week."},
        {"Mark Otto <mark.otto@example.org>", "Re: Lunch on Friday?", "Count me in."},
        {"Billing <billing@example.net>", "Invoice 2291", "Your invoice for November is ready."},
        {"Grace Mensah <grace.mensah@example.com>", "Re: Project kickoff", "Great meeting, notes to follow."},
        {"Hugo Martin <hugo.martin@example.fr>", "Rendez-vous", "Mardi 10h, cela te convient ?"},
        {"Nina Petrova <nina.petrova@example.org>", "Book club", "Next book: The Remains of the Day."},
        {"Carlos Silva <carlos.silva@example.com.br>", "Re: Photos", "Beautiful, thanks for sharing!"},
        {"Ahmed Khan <ahmed.khan@example.pk>", "Travel plans", "Landing Thursday evening."},
        {"Eva Novak <eva.novak@example.cz>", "Draft agenda", "1. Welcome 2. Budget 3. Any other business"},
        {"Library <library@example.org>", "Your reservation is ready", "Pick it up within 7 days."},
    };
    std::vector<QByteArray> out;
    qint64 when = first;
    for (const Plain& p : kPlain) {
        out.push_back("Return-Path: <x@example.org>\r\nDate: " + Date(when) + "\r\nFrom: " + p.From +
                      "\r\nTo: Jane Doe <jane.doe@example.com>\r\nSubject: " + p.Subject +
                      "\r\nMessage-ID: " + Id(when, "example.org") +
                      "\r\nMIME-Version: 1.0\r\n"
                      "Content-Type: text/plain; charset=utf-8\r\n\r\n" +
                      p.Body + "\r\n");
        when += step;
    }
    const QByteArray to = "To: Jane Doe <jane.doe@example.com>\r\nMIME-Version: 1.0\r\n";
    // An HTML-only newsletter, a Latin-1 message, one with an attachment, an encoded subject.
    out.push_back(
        "Date: " + Date(when) + "\r\nFrom: Garden Shop <offers@garden.example>\r\n" + to +
        "Subject: Winter sale\r\nContent-Type: text/html; charset=utf-8\r\n\r\n"
        "<html><body><h1>Winter sale</h1><p>Up to 30% off &ndash; this week only.</p></body></html>\r\n");
    when += step;
    out.push_back(
        "Date: " + Date(when) + "\r\nFrom: =?iso-8859-1?Q?Jos=E9_Garc=EDa?= <jose.garcia@example.es>\r\n" +
        to +
        "Subject: =?iso-8859-1?Q?Reuni=F3n_del_lunes?=\r\n"
        "Content-Type: text/plain; charset=iso-8859-1\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
        "Hola Jane, la reuni=F3n es el lunes a las 9.\r\n");
    when += step;
    out.push_back(
        "Date: " + Date(when) + "\r\nFrom: Priya Raman <priya.raman@example.org>\r\n" + to +
        "Subject: Signed contract\r\nContent-Type: multipart/mixed; boundary=\"mix\"\r\n\r\n--mix\r\n"
        "Content-Type: text/plain\r\n\r\nSigned copy attached.\r\n--mix\r\nContent-Type: application/pdf; "
        "name=contract.pdf\r\nContent-Disposition: attachment; filename=contract.pdf\r\n"
        "Content-Transfer-Encoding: base64\r\n\r\nJVBERi0xLjQKJcOkw7zDtsOfCg==\r\n--mix--\r\n");
    when += step;
    out.push_back("Date: " + Date(when) + "\r\nFrom: Aiko Tanaka <aiko.tanaka@example.jp>\r\n" + to +
                  "Subject: =?UTF-8?B?44GC44KK44GM44Go44GG?= (thank you)\r\n"
                  "Content-Type: text/plain; charset=utf-8\r\n\r\nAgain, many thanks.\r\n");
    return out;
}

} // namespace bc::outlook::demo
