#pragma once
// The REGEDIT4 text that holds the settings, read and rewritten so that every
// line the program does not change comes out byte for byte as it went in:
// other programs' keys, comments, and even damaged lines survive a save.

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace bc::reg {

inline constexpr quint32 kRegSz = 1;
inline constexpr quint32 kRegExpandSz = 2;
inline constexpr quint32 kRegBinary = 3;
inline constexpr quint32 kRegDword = 4;

// A value as the registry holds it: its type and its bytes (a REG_SZ ends in
// a NUL, a REG_DWORD is four bytes, little-endian).
struct Stored_Value
{
    quint32 type = 0;
    QByteArray data;

    static Stored_Value Text(const QString& text); // REG_SZ: UTF-8 bytes and a closing NUL
    static Stored_Value Dword(qint32 number);
    bool operator==(const Stored_Value&) const = default;
};

class Reg_Document
{
public:
    // Never fails: lines that cannot be understood are kept as they are and
    // take no part in lookups.
    static Reg_Document Parse(const QByteArray& bytes);
    QByteArray Serialize() const;

    // Section and value names compare case-insensitively; a value given more
    // than once counts with its last occurrence, as an import would leave it.
    std::optional<Stored_Value> Find(const QString& section, const QString& name) const;
    // Replaces the value (keeping the spelling of its name), or adds it to the
    // section, or adds the section at the end.
    void Set(const QString& section, const QString& name, const Stored_Value& value);

private:
    enum class Kind
    {
        Other,
        Section,
        Value,
        Unreadable_Value
    };
    struct Line
    {
        Kind kind = Kind::Other;
        QByteArray raw; // one or more physical lines, with their line ends
        QString name;   // section name, or value name ("" is the default value)
        Stored_Value value;
    };

    bool Ends_Without_Line_End(std::size_t index) const;
    QByteArray Line_End() const { return crlf_ ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n"); }

    std::vector<Line> lines_;
    bool crlf_ = false;
    bool bom_ = false;
};

// The .reg form of a value line without its line end, continuations of long
// hex data included.
QByteArray Format_Value_Line(const QString& name, const Stored_Value& value, const QByteArray& lineEnd);

} // namespace bc::reg
