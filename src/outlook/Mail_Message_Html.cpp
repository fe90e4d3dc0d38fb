#include "outlook/Mail_Message_Text.h"

#include <QHash>
#include <QRegularExpression>

namespace bc::outlook::mail_text {
namespace {

QString Entity(const QString& name)
{
    static const QHash<QString, QString> named = {
        {QStringLiteral("amp"), QStringLiteral("&")},
        {QStringLiteral("lt"), QStringLiteral("<")},
        {QStringLiteral("gt"), QStringLiteral(">")},
        {QStringLiteral("quot"), QStringLiteral("\"")},
        {QStringLiteral("apos"), QStringLiteral("'")},
        {QStringLiteral("nbsp"), QStringLiteral(" ")},
        {QStringLiteral("copy"), QStringLiteral("\u00A9")},
        {QStringLiteral("reg"), QStringLiteral("\u00AE")},
        {QStringLiteral("ndash"), QStringLiteral("\u2013")},
        {QStringLiteral("mdash"), QStringLiteral("\u2014")},
        {QStringLiteral("hellip"), QStringLiteral("\u2026")},
        {QStringLiteral("laquo"), QStringLiteral("\u00AB")},
        {QStringLiteral("raquo"), QStringLiteral("\u00BB")},
        {QStringLiteral("euro"), QStringLiteral("\u20AC")},
    };
    if (name.startsWith(QLatin1Char('#'))) {
        bool ok = false;
        const uint code = name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive)
                              ? name.mid(2).toUInt(&ok, 16)
                              : name.mid(1).toUInt(&ok, 10);
        if (ok && code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF))
            return QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        return {};
    }
    return named.value(name.toLower());
}

// Elements whose content is never shown.
bool Is_Hidden(const QString& tag)
{
    return tag == QLatin1String("script") || tag == QLatin1String("style") || tag == QLatin1String("head") ||
           tag == QLatin1String("title");
}

bool Ends_Line(const QString& tag)
{
    static const QStringList blocks = {
        QStringLiteral("br"), QStringLiteral("p"),  QStringLiteral("div"), QStringLiteral("tr"),
        QStringLiteral("li"), QStringLiteral("ul"), QStringLiteral("ol"),  QStringLiteral("table"),
        QStringLiteral("h1"), QStringLiteral("h2"), QStringLiteral("h3"),  QStringLiteral("h4"),
        QStringLiteral("h5"), QStringLiteral("h6"), QStringLiteral("pre"), QStringLiteral("blockquote"),
        QStringLiteral("hr"), QStringLiteral("dt"), QStringLiteral("dd"),  QStringLiteral("address"),
    };
    return blocks.contains(tag);
}

} // namespace

QString Html_To_Text(const QString& html)
{
    QString out;
    out.reserve(html.size() / 2);
    bool pendingSpace = false;
    int pre = 0;
    const qsizetype n = html.size();
    auto newline = [&] {
        while (out.endsWith(QLatin1Char(' ')))
            out.chop(1);
        out.append(QLatin1Char('\n'));
        pendingSpace = false;
    };
    for (qsizetype i = 0; i < n;) {
        const QChar c = html[i];
        if (c == QLatin1Char('<')) {
            if (html.mid(i, 4) == QLatin1String("<!--")) {
                const qsizetype end = html.indexOf(QLatin1String("-->"), i + 4);
                i = end < 0 ? n : end + 3;
                continue;
            }
            const qsizetype close = html.indexOf(QLatin1Char('>'), i + 1);
            if (close < 0)
                break; // a cut-off tag at the end
            const QString inner = html.mid(i + 1, close - i - 1).trimmed();
            i = close + 1;
            const bool closing = inner.startsWith(QLatin1Char('/'));
            static const QRegularExpression nameEnd(QStringLiteral("[\\s/]"));
            QString tag = (closing ? inner.mid(1) : inner).section(nameEnd, 0, 0);
            tag = tag.toLower();
            if (!closing && Is_Hidden(tag)) {
                const qsizetype end = html.indexOf(QLatin1String("</") + tag, i, Qt::CaseInsensitive);
                if (end < 0) {
                    i = n;
                } else {
                    const qsizetype gt = html.indexOf(QLatin1Char('>'), end);
                    i = gt < 0 ? n : gt + 1;
                }
                continue;
            }
            if (tag == QLatin1String("pre"))
                pre = std::max(0, pre + (closing ? -1 : 1));
            if (Ends_Line(tag))
                newline();
            else if (tag == QLatin1String("td") || tag == QLatin1String("th"))
                pendingSpace = true;
            continue;
        }
        if (c == QLatin1Char('&')) {
            // Entity names are short: looking further for the ';' would make
            // a text of many '&' cost the square of its length.
            const qsizetype semi = QStringView(html).mid(i + 1, 12).indexOf(QLatin1Char(';')) + i + 1;
            if (semi > i + 1) {
                const QString decoded = Entity(html.mid(i + 1, semi - i - 1));
                if (!decoded.isEmpty()) {
                    if (pendingSpace && !out.isEmpty() && !out.endsWith(QLatin1Char('\n')))
                        out.append(QLatin1Char(' '));
                    pendingSpace = false;
                    out.append(decoded);
                    i = semi + 1;
                    continue;
                }
            }
        }
        if (c.isSpace() && pre == 0) {
            pendingSpace = true;
            ++i;
            continue;
        }
        if (pendingSpace && !out.isEmpty() && !out.endsWith(QLatin1Char('\n')))
            out.append(QLatin1Char(' '));
        pendingSpace = false;
        out.append(c);
        ++i;
    }
    // At most one empty line between blocks.
    static const QRegularExpression manyBreaks(QStringLiteral("\n{3,}"));
    out.replace(manyBreaks, QStringLiteral("\n\n"));
    return out.trimmed();
}

} // namespace bc::outlook::mail_text
