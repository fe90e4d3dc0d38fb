#pragma once
// Readable Qt strings in GoogleTest's failure messages and streams.

#include <QByteArray>
#include <QString>

#include <ostream>

inline std::ostream& operator<<(std::ostream& os, const QString& s)
{
    return os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << s;
}

inline void PrintTo(const QByteArray& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
