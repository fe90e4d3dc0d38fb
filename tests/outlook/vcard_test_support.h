#pragma once
// Contact files in a temporary folder for the contact and task tests.

#include "outlook/Item_Files.h"
#include "support/Qt_Print.h"
#include "support/Temp_Home.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

namespace bc::test {

// Joins lines with CR LF after each, as most vCard writers do.
inline QByteArray Crlf(std::initializer_list<const char*> lines)
{
    QByteArray out;
    for (const char* line : lines)
        out += QByteArray(line) + "\r\n";
    return out;
}

class Contact_Folder
{
public:
    QString Folder() const { return home_.Path() + QStringLiteral("/contacts"); }
    QString Deleted() const { return home_.Path() + QStringLiteral("/deleted"); }
    QString Path(const QString& name) const { return Folder() + QLatin1Char('/') + name; }

    QString Write(const QString& name, const QByteArray& bytes) const
    {
        return home_.Write(QStringLiteral("contacts/") + name, bytes);
    }
    QByteArray Read(const QString& name) const { return home_.Read(Path(name)); }

    bc::outlook::Contact_File_Context Context(const QString& name) const
    {
        return {Path(name), QStringLiteral("ENTRY-") + name, Deleted()};
    }
    std::shared_ptr<bc::outlook::Contact_Item> Load(const QString& name) const
    {
        return bc::outlook::Load_Contact_File(Context(name));
    }
    // Writes the file and loads it; fails the test when it does not load.
    std::shared_ptr<bc::outlook::Contact_Item> Make(const QString& name, const QByteArray& bytes) const
    {
        Write(name, bytes);
        auto contact = Load(name);
        EXPECT_TRUE(contact) << name.toStdString();
        return contact;
    }
    // Every file name in the folder (temporary leftovers would show here).
    QStringList Files() const { return QDir(Folder()).entryList(QDir::Files | QDir::Hidden); }

    const Temp_Home& Home() const { return home_; }

private:
    Temp_Home home_;
};

} // namespace bc::test
