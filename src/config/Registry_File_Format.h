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
    // take no part in lookups. CR LF, LF and a lone CR each end a line.
    // regedit 5 exports (UTF-16 little-endian) are decoded and written back
    // in UTF-16, so that regedit can still import them.
    static Reg_Document Parse(const QByteArray& bytes);
    QByteArray Serialize() const;
    // False for a UTF-16 file that would not come back byte for byte (a
    // damaged character, an odd byte at the end): it may be read, but
    // replacing it would change what the program does not own.
    bool Rewritable() const { return rewritable_; }

    // Section and value names compare case-insensitively; a value given more
    // than once counts with its last occurrence, as an import would leave it.
    std::optional<Stored_Value> Find(const QString& section, const QString& name) const;
    // Replaces the value (keeping the spelling of its name), or adds it to the
    // section, or adds the section at the end. True when the text changed.
    bool Set(const QString& section, const QString& name, const Stored_Value& value);

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
    // Calls visit(header, end) for the lines of every section of that name:
    // a large file is mostly other programs' keys, which lookups skip.
    template <typename Visit> void For_Each_Section(const QString& section, Visit&& visit) const;
    void Index_Sections();
    QByteArray Format_Value_Line(const QString& name, const Stored_Value& value) const;
    QByteArray Serialize_Text(const QByteArray& utf8) const; // in the file's own encoding
    const QByteArray& Line_End() const { return line_end_; }

    std::vector<Line> lines_;
    std::vector<std::size_t> sections_;             // indices of the section lines
    QByteArray line_end_ = QByteArrayLiteral("\n"); // the file's own, from its first line
    bool bom_ = false;
    bool utf16_ = false;
    bool rewritable_ = true;
};

} // namespace bc::reg
