#pragma once
// One vCard file as its sequence of property lines. Lines the program does not
// change are written back byte for byte, with their folding, parameters and
// groups; only changed and new lines are composed afresh, in the style of the
// file's own vCard version and line ends.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace bc::outlook {

struct Vcard_Line
{
    quint64 Id = 0;       // stable while the document lives, for property handles
    QByteArray Raw;       // the bytes as read (folds and line end included); empty once changed
    QString Group;        // "item1" of "item1.EMAIL"
    QString Name;         // as written
    QStringList Params;   // each parameter as written, without its ';'
    QString Value;        // as written: escaped, maybe quoted-printable
    bool Blank = false;   // an empty line inside the card, kept as it is
    bool Decoded = false; // read from bytes that are not UTF-8 (Raw keeps them)
};

class Vcard_Document
{
public:
    // nullptr when the bytes are not exactly one well-formed vCard: empty,
    // binary, broken lines, several cards. Each line that is not UTF-8 is read
    // in the character set it names, else as Windows-1252, and keeps its
    // bytes until it is changed; changed lines are written in UTF-8. UTF-16
    // with a byte order mark is read as such and written back as UTF-8.
    static std::unique_ptr<Vcard_Document> Parse(const QByteArray& bytes);

    QByteArray Serialize() const;
    bool Is_Modified() const { return modified_; }
    // After a successful write: the current text becomes the one kept as is.
    void Mark_Saved();

    QString Version() const; // "2.1", "3.0", "4.0", or "" when the card has none

    int Count() const { return int(lines_.size()); }
    const Vcard_Line& Line(int index) const { return lines_[std::size_t(index)]; }
    int Index_Of(quint64 id) const; // -1 when gone
    // Lines of that property name (letter case ignored, any group), in file order.
    QList<int> Lines_Named(const QString& name) const;
    int First_Named(const QString& name) const; // -1 when none
    int End_Index() const;                      // the END:VCARD line

    // The decoded components of a line's value (split at unescaped ';').
    QStringList Values(int index) const;
    // The upper-case TYPE values of a line, 2.1 style bare types included.
    QStringList Types(int index) const;
    // The first value of a parameter, unquoted; `found` tells whether it exists.
    QString Param(int index, const QString& name, bool* found = nullptr) const;

    // Writes text components (escaped for the card's version, joined by
    // `separator`), dropping a stale ENCODING/CHARSET parameter.
    void Set_Values(int index, const QStringList& components, QChar separator = QLatin1Char(';'));
    // Writes a value that is already in its final encoded form.
    void Set_Encoded(int index, const QString& value);
    void Set_Params(int index, const QStringList& params);
    // A new line with an empty value before position `before`; returns its index.
    int Insert(int before, const QString& name, const QStringList& params);
    void Remove(int index);

private:
    Vcard_Document() = default;
    void Change(int index, const QStringList& params, const QString& value);
    QString Compose(const Vcard_Line& line) const;
    QByteArray Line_Bytes(const Vcard_Line& line) const;
    QByteArray Fold(const QString& text, bool quotedPrintable) const;

    std::vector<Vcard_Line> lines_; // BEGIN .. END, both included
    QByteArray preamble_;           // byte order mark and blank lines before BEGIN
    QByteArray trailer_;            // blank lines after END
    QByteArray line_break_ = "\r\n";
    quint64 next_id_ = 1;
    bool modified_ = false;
};

} // namespace bc::outlook
