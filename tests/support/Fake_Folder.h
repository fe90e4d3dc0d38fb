#pragma once
// A folder made up in memory for the failures a real profile cannot show on
// demand: each answer is a plain field, and the marked ones throw as a folder
// that vanished meanwhile would.

#include "outlook/Object_Model.h"

#include <memory>
#include <vector>

namespace bc::test {

class Fake_Folder : public outlook::Mapi_Folder
{
public:
    explicit Fake_Folder(QString folderName, std::vector<std::shared_ptr<Mapi_Folder>> subfolders = {})
        : name(std::move(folderName)), children(std::move(subfolders))
    {
    }
    QString EntryID() const override { return Fail_If(entryFails, entry); }
    QString StoreID() const override { return store; }
    QString Name() const override { return name; }
    QString DefaultMessageClass() const override { return messageClass; }
    std::shared_ptr<Mapi_Folder> Parent() const override { return Fail_If(parentFails, parent); }
    std::shared_ptr<outlook::Items_Collection> Items() override { return nullptr; }
    std::vector<std::shared_ptr<Mapi_Folder>> Folders() const override
    {
        return Fail_If(childrenFail, children);
    }

    QString name;
    QString entry = QStringLiteral("00");
    QString store;
    QString messageClass = QStringLiteral("IPM.Note");
    std::shared_ptr<Mapi_Folder> parent;
    std::vector<std::shared_ptr<Mapi_Folder>> children;
    bool entryFails = false;
    bool parentFails = false;
    bool childrenFail = false;
    QString failure = QStringLiteral("The folder is gone.");

private:
    template <typename T> const T& Fail_If(bool fails, const T& value) const
    {
        if (fails)
            throw outlook::Outlook_Error(failure);
        return value;
    }
};

} // namespace bc::test
