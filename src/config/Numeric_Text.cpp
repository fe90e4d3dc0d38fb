#include "config/Numeric_Text.h"

#include <cmath>

namespace bc {
namespace {

bool Is_Digit(QChar c)
{
    return c >= u'0' && c <= u'9';
}
bool Is_Blank(QChar c)
{
    return c == u' ' || c == u'\t';
}

int Digit_Value(QChar c)
{
    if (Is_Digit(c))
        return c.unicode() - u'0';
    const char16_t l = c.toLower().unicode();
    return l >= u'a' && l <= u'f' ? l - u'a' + 10 : -1;
}

double To_Double(const QString& cleaned)
{
    bool ok = false;
    // QString::toDouble reads "." as the decimal point whatever the locale.
    const double v = cleaned.toDouble(&ok);
    if (ok)
        return v;
    // Out of range: toDouble refuses, but the direction of the overflow matters.
    if (cleaned.contains(u"e-") || cleaned.contains(u"E-"))
        return 0.0;
    return cleaned.startsWith(u'-') ? -HUGE_VAL : HUGE_VAL;
}

} // namespace

std::optional<double> Numeric_Text_Value(const QString& text)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && Is_Blank(text[i]))
        ++i;

    QString cleaned;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        cleaned += text[i++];

    int mantissaDigits = 0;
    bool intDigits = false;
    while (i < n && (Is_Digit(text[i]) || (text[i] == u',' && intDigits))) {
        if (text[i] != u',') {
            cleaned += text[i];
            intDigits = true;
            ++mantissaDigits;
        }
        ++i;
    }
    if (i < n && text[i] == u'.') {
        cleaned += u'.';
        ++i;
        while (i < n && Is_Digit(text[i])) {
            cleaned += text[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return std::nullopt;

    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        cleaned += u'e';
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            cleaned += text[i++];
        int expDigits = 0;
        while (i < n && Is_Digit(text[i])) {
            cleaned += text[i++];
            ++expDigits;
        }
        if (expDigits == 0)
            return std::nullopt;
    }

    while (i < n && Is_Blank(text[i]))
        ++i;
    if (i != n)
        return std::nullopt;
    return To_Double(cleaned);
}

double Leading_Number(const QString& text)
{
    QString s;
    for (QChar c : text)
        if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r')
            s += c;
    const qsizetype n = s.size();

    if (n >= 2 && s[0] == u'&') {
        int base = 8;
        qsizetype i = 1;
        if (s[1] == u'H' || s[1] == u'h') {
            base = 16;
            i = 2;
        } else if (s[1] == u'O' || s[1] == u'o') {
            i = 2;
        }
        quint64 v = 0;
        for (; i < n; ++i) {
            const int d = Digit_Value(s[i]);
            if (d < 0 || d >= base)
                break;
            v = v * quint64(base) + quint64(d);
            if (v > 0xFFFFFFFFull)
                return 0.0; // overflows even a 32-bit number
        }
        // Like the Windows version, a literal that fits 16 bits is a 16-bit
        // number, so &HFFFF is -1.
        if (v <= 0xFFFF)
            return double(qint16(quint16(v)));
        return double(qint32(quint32(v)));
    }

    QString cleaned;
    qsizetype i = 0;
    if (i < n && (s[i] == u'+' || s[i] == u'-'))
        cleaned += s[i++];
    int digits = 0;
    while (i < n && Is_Digit(s[i])) {
        cleaned += s[i++];
        ++digits;
    }
    if (i < n && s[i] == u'.') {
        cleaned += s[i++];
        while (i < n && Is_Digit(s[i])) {
            cleaned += s[i++];
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    if (i < n && (s[i] == u'e' || s[i] == u'E' || s[i] == u'd' || s[i] == u'D')) {
        QString exponent = QStringLiteral("e");
        qsizetype j = i + 1;
        if (j < n && (s[j] == u'+' || s[j] == u'-'))
            exponent += s[j++];
        bool any = false;
        while (j < n && Is_Digit(s[j])) {
            exponent += s[j++];
            any = true;
        }
        if (any)
            cleaned += exponent;
    }
    return To_Double(cleaned);
}

std::optional<qint32> Round_To_Int32(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double down = std::floor(value);
    const double diff = value - down;
    double r = down;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(down, 2.0) != 0.0))
        r = down + 1.0;
    if (r < -2147483648.0 || r > 2147483647.0)
        return std::nullopt;
    return qint32(r);
}

} // namespace bc
