#include "config/Address_Case.h"

namespace bc {

QString Upper_Address(const QString& address)
{
    QString out;
    out.reserve(address.size());
    const qsizetype n = address.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = address[i].unicode();
        if (u < 0x80) {
            out.append(QChar(u >= u'a' && u <= u'z' ? char16_t(u - 32) : u));
            continue;
        }
        char32_t c = u;
        if (QChar::isHighSurrogate(c) && i + 1 < n && address[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(u, address[++i].unicode());
        const char32_t upper = QChar::toUpper(c);
        const char32_t mapped = QChar::toLower(upper) == c ? upper : c;
        if (QChar::requiresSurrogates(mapped))
            out.append(QChar(QChar::highSurrogate(mapped))).append(QChar(QChar::lowSurrogate(mapped)));
        else
            out.append(QChar(char16_t(mapped)));
    }
    return out;
}

} // namespace bc
