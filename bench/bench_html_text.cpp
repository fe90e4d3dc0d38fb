// Text out of HTML-only returned messages that anyone can send: each shape
// of 1 MB must take well under a second (the cost grows with the size, never
// with its square).
//
//   bench_html_text

#include "outlook/Mail_Message_Text.h"

#include <QElapsedTimer>

#include <cstdio>

using namespace bc::outlook;

int main()
{
    const qsizetype size = 1024 * 1024;
    const struct
    {
        const char* name;
        QByteArray html;
    } shapes[] = {
        {"'&' only", QByteArray(size, '&')},
        {"'&' and letters", QByteArray("&amp").repeated(size / 4)},
        {"'<' only", QByteArray(size, '<')},
        {"comments never closed", QByteArray("<!--").repeated(size / 4)},
        {"scripts never closed", QByteArray("<script>").repeated(size / 8)},
        {"cells", QByteArray("<td>x</td>").repeated(size / 10)},
    };
    bool ok = true;
    for (const auto& shape : shapes) {
        const QByteArray message = "From: a@example.org\r\nSubject: Undeliverable\r\n"
                                   "Content-Type: text/html; charset=utf-8\r\n\r\n" +
                                   shape.html;
        QElapsedTimer timer;
        timer.start();
        const mail_text::Message_Text text = mail_text::Parse_Message(message);
        const double seconds = timer.nsecsElapsed() / 1e9;
        std::printf("%-24s %8.3f s (%lld characters of text)\n", shape.name, seconds,
                    static_cast<long long>(text.Body.size()));
        ok = ok && seconds < 1.0;
    }
    std::printf("target (each under 1 s): %s\n", ok ? "met" : "NOT met");
    return ok ? 0 : 1;
}
