#include "outlook/Vcard_User_Properties.h"

#include "outlook/Vcard_Document.h"

#include <QUrl>

namespace bc::outlook {
namespace {

const QString kProperty = QStringLiteral("X-BRINDLECAST-USERPROP");
const QString kNameParam = QStringLiteral("X-NAME");

// Undoes vCard text escapes that another program may have added on rewrite.
QString Unescape(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar next = text[++i];
            out.append((next == QLatin1Char('n') || next == QLatin1Char('N')) ? QChar(QLatin1Char('\n'))
                                                                              : next);
        } else {
            out.append(text[i]);
        }
    }
    return out;
}

} // namespace

class Vcard_User_Property final : public User_Property
{
public:
    Vcard_User_Property(Vcard_Document& card, quint64 lineId, QString name, std::function<void()> check)
        : card_(card), line_(lineId), name_(std::move(name)), check_(std::move(check))
    {
    }

    bool Deleted() const { return card_.Index_Of(line_) < 0; }

    QString Name() const override { return name_; }

    QString Value() const override
    {
        const int index = card_.Index_Of(line_);
        return index < 0 ? QString() : Vcard_User_Properties::Decode_Value(card_.Line(index).Value);
    }

    void Set_Value(const QString& value) override
    {
        check_();
        card_.Set_Encoded(Index(), Vcard_User_Properties::Encode_Value(value));
    }

    void Delete() override
    {
        check_();
        card_.Remove(Index());
    }

private:
    int Index() const
    {
        const int index = card_.Index_Of(line_);
        if (index < 0)
            throw Outlook_Error(QStringLiteral("The user property \"%1\" has been deleted.").arg(name_));
        return index;
    }

    Vcard_Document& card_;
    quint64 line_;
    QString name_;
    std::function<void()> check_;
};

Vcard_User_Properties::Vcard_User_Properties(Vcard_Document& card, std::function<void()> checkUsable)
    : card_(card), check_(std::move(checkUsable))
{
    for (int index : card_.Lines_Named(kProperty)) {
        bool named = false;
        const QString encoded = card_.Param(index, kNameParam, &named);
        if (named)
            items_.push_back(std::make_unique<Vcard_User_Property>(
                card_, card_.Line(index).Id, QUrl::fromPercentEncoding(encoded.toUtf8()), check_));
    }
}

Vcard_User_Properties::~Vcard_User_Properties() = default;

int Vcard_User_Properties::Count() const
{
    int n = 0;
    for (const auto& item : items_)
        n += item->Deleted() ? 0 : 1;
    return n;
}

User_Property* Vcard_User_Properties::Find(const QString& name)
{
    for (const auto& item : items_)
        if (!item->Deleted() && item->Name() == name)
            return item.get();
    return nullptr;
}

User_Property* Vcard_User_Properties::Add(const QString& name, int type)
{
    check_();
    if (type != olText)
        throw Outlook_Error(QStringLiteral("Only text user properties can be added to a contact."));
    if (User_Property* existing = Find(name))
        return existing;
    const QList<int> lines = card_.Lines_Named(kProperty);
    const int position = lines.isEmpty() ? card_.End_Index() : lines.last() + 1;
    const QString param = kNameParam + QLatin1Char('=') + QString::fromLatin1(QUrl::toPercentEncoding(name));
    const int index = card_.Insert(position, kProperty, {param});
    items_.push_back(std::make_unique<Vcard_User_Property>(card_, card_.Line(index).Id, name, check_));
    return items_.back().get();
}

QString Vcard_User_Properties::Encode_Value(const QString& value)
{
    QString out;
    for (QChar c : value) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || u == '%' || u == '\\' || u == ',' || u == ';')
            out += QStringLiteral("%%1").arg(int(u), 2, 16, QLatin1Char('0')).toUpper();
        else
            out += c;
    }
    return out;
}

QString Vcard_User_Properties::Decode_Value(const QString& encoded)
{
    return QUrl::fromPercentEncoding(Unescape(encoded).toUtf8());
}

} // namespace bc::outlook
