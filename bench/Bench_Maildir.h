#pragma once
// A generated Maildir inbox for the benchmarks: ordinary mail of a few
// kilobytes with long header sections, one message in fifty with a larger
// attachment, and one in a hundred a returned message (a delivery report
// whose subject is "Undelivered Mail Returned to Sender").

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cstdio>
#include <iterator>

#include <fcntl.h>
#include <unistd.h>

namespace bc::bench {

inline const char* const kWords[] = {"meeting", "report",   "quarter",  "budget",   "project",
                                     "review",  "draft",    "please",   "attached", "thanks",
                                     "update",  "schedule", "numbers",  "team",     "customer",
                                     "invoice", "shipping", "question", "tomorrow", "agenda"};

inline QByteArray Text(QRandomGenerator& gen, int bytes)
{
    QByteArray out;
    int line = 0;
    while (out.size() < bytes) {
        const QByteArray w = kWords[gen.bounded(int(std::size(kWords)))];
        out += w;
        line += int(w.size()) + 1;
        if (line > 70) {
            out += "\r\n";
            line = 0;
        } else {
            out += ' ';
        }
    }
    return out + "\r\n";
}

inline QByteArray Headers(QRandomGenerator& gen, int i, const QByteArray& from, const QByteArray& subject)
{
    QByteArray h = "Return-Path: <" + from + ">\r\n";
    for (int r = 0; r < 3; ++r)
        h += "Received: from mx" + QByteArray::number(r) + ".example.net (mx" + QByteArray::number(r) +
             ".example.net [192.0.2." + QByteArray::number(gen.bounded(250)) +
             "])\r\n\tby mail.example.com (Postfix) with ESMTPS id " +
             QByteArray::number(gen.generate(), 16) +
             "\r\n\tfor <jane.doe@example.com>; Mon, 13 Nov 2023 10:0" + QByteArray::number(r) +
             ":00 +0000\r\n";
    h += "DKIM-Signature: v=1; a=rsa-sha256; c=relaxed/relaxed; d=example.net; s=mail;\r\n\tb=";
    for (int k = 0; k < 6; ++k)
        h += QByteArray::number(gen.generate64(), 36) + QByteArray::number(gen.generate64(), 36) + "\r\n\t ";
    h += "x\r\nDate: Mon, 13 Nov 2023 10:00:00 +0000\r\nFrom: " + from +
         "\r\nTo: Jane Doe <jane.doe@example.com>\r\n";
    h += "Subject: " + subject + "\r\nMessage-ID: <" + QByteArray::number(i) +
         "@example.net>\r\nMIME-Version: 1.0\r\n";
    return h;
}

inline QByteArray Make_Message(QRandomGenerator& gen, int i)
{
    if (i % 100 == 0) { // 1% returned mail
        const QByteArray to = "user" + QByteArray::number(i) + "@example.org";
        return Headers(gen, i, "MAILER-DAEMON@example.com", "Undelivered Mail Returned to Sender") +
               "Content-Type: multipart/report; report-type=delivery-status; boundary=\"R\"\r\n\r\n--R\r\n"
               "Content-Type: text/plain\r\n\r\n<" +
               to +
               ">: host mx.example.org said: 550 5.1.1 unknown user\r\n--R\r\n"
               "Content-Type: message/delivery-status\r\n\r\nFinal-Recipient: rfc822; " +
               to + "\r\nAction: failed\r\nStatus: 5.1.1\r\n--R\r\nContent-Type: message/rfc822\r\n\r\n" +
               "From: jane.doe@example.com\r\nTo: " + to + "\r\nSubject: hello\r\n\r\n" + Text(gen, 1500) +
               "--R--\r\n";
    }
    const QByteArray subject =
        "Re: " + QByteArray(kWords[gen.bounded(int(std::size(kWords)))]) + " " + QByteArray::number(i);
    QByteArray m =
        Headers(gen, i, "Colleague <colleague" + QByteArray::number(i % 500) + "@example.net>", subject);
    if (i % 50 == 7) { // 2% with a larger attachment
        QByteArray blob(40000 + gen.bounded(100000), Qt::Uninitialized);
        for (char& c : blob)
            c = char(gen.bounded(256));
        return m +
               "Content-Type: multipart/mixed; boundary=\"M\"\r\n\r\n--M\r\nContent-Type: "
               "text/plain\r\n\r\n" +
               Text(gen, 800) +
               "--M\r\nContent-Type: application/pdf\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
               blob.toBase64() + "\r\n--M--\r\n";
    }
    return m + "Content-Type: text/plain; charset=utf-8\r\n\r\n" + Text(gen, 1000 + gen.bounded(5000));
}

inline bool Generate_Maildir(const QByteArray& maildir, int messages)
{
    std::printf("Generating %d messages in %s ...\n", messages, maildir.constData());
    for (const char* sub : {"cur", "new", "tmp"})
        QDir().mkpath(QFile::decodeName(maildir + "/" + sub));
    QRandomGenerator gen(2024);
    for (int i = 0; i < messages; ++i) {
        const QByteArray name = maildir + "/cur/" + QByteArray::number(1600000000 + i) + ".M" +
                                QByteArray::number(i) + "P1.bench:2,S";
        const QByteArray data = Make_Message(gen, i);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0 || ::write(fd, data.constData(), size_t(data.size())) != data.size()) {
            std::perror(name.constData());
            return false;
        }
        ::close(fd);
    }
    return true;
}

} // namespace bc::bench
