#pragma once
// User-defined contact fields kept in a vCard, one extension property each:
//
//   X-BRINDLECAST-USERPROP;X-NAME=<name>:<value>
//
// The name is percent-encoded UTF-8 (only letters, digits and "-._~" stay as
// they are), so any name - blanks, quotes, colons, line breaks, "" - fits in
// a parameter. The value keeps its characters except '%', '\', ',', ';' and
// control characters, which are percent-encoded: the text stays readable, and
// no vCard escaping by another program can change it. Both round-trip exactly.

#include "outlook/Object_Model.h"

#include <functional>
#include <memory>
#include <vector>

namespace bc::outlook {

class Vcard_Document;
class Vcard_User_Property;

class Vcard_User_Properties final : public User_Properties
{
public:
    // `checkUsable` throws when the contact can no longer be changed.
    Vcard_User_Properties(Vcard_Document& card, std::function<void()> checkUsable);
    ~Vcard_User_Properties() override;

    int Count() const override;
    User_Property* Add(const QString& name, int type = olText) override;
    User_Property* Find(const QString& name) override;

    static QString Encode_Value(const QString& value);
    static QString Decode_Value(const QString& encoded);

private:
    Vcard_Document& card_;
    std::function<void()> check_;
    std::vector<std::unique_ptr<Vcard_User_Property>> items_; // deleted ones stay, marked
};

} // namespace bc::outlook
