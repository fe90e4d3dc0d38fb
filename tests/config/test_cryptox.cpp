#include "config/CryptoX.h"
#include "config/Data_Strings.h"
#include "support/Temp_Home.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace bc;

namespace {

struct Vector
{
    int line = 0;
    qint32 method = 0;
    QString passPhrase;
    QByteArray plain;
    QString plainText; // the unescaped text column
    QString cipherHex;
};

QString Unescape(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar c = text[++i];
            out += c == QLatin1Char('r')   ? QStringLiteral("\r")
                   : c == QLatin1Char('n') ? QStringLiteral("\n")
                   : c == QLatin1Char('t') ? QStringLiteral("\t")
                                           : QString(c);
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<Vector> Read_Vectors()
{
    std::vector<Vector> vectors;
    QFile file(test::Testdata_Dir() + QStringLiteral("/cryptox-vectors.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        return vectors;
    int lineNo = 0;
    while (!file.atEnd()) {
        QByteArray raw = file.readLine();
        ++lineNo;
        if (lineNo == 1)
            continue; // column names
        while (raw.endsWith('\n') || raw.endsWith('\r'))
            raw.chop(1);
        if (raw.isEmpty())
            continue;
        const QList<QByteArray> cols = raw.split('\t');
        if (cols.size() != 5) {
            ADD_FAILURE() << "malformed vector line " << lineNo;
            continue;
        }
        Vector v;
        v.line = lineNo;
        v.method = cols[0] == "RC2" ? CryptoX::RC2 : cols[0] == "RC4" ? CryptoX::RC4 : 0;
        v.passPhrase = QString::fromUtf8(cols[1]);
        v.plain = QByteArray::fromHex(cols[2]);
        v.plainText = Unescape(QString::fromUtf8(cols[3]));
        v.cipherHex = QString::fromLatin1(cols[4]);
        vectors.push_back(v);
    }
    return vectors;
}

} // namespace

TEST(CryptoX, ReproducesEveryReferenceVectorInBothDirections)
{
    const std::vector<Vector> vectors = Read_Vectors();
    ASSERT_EQ(vectors.size(), 45u);
    CryptoX crypto;
    for (const Vector& v : vectors) {
        SCOPED_TRACE(testing::Message() << "vector line " << v.line);
        ASSERT_NE(v.method, 0);
        const QString plain = CryptoX::Bytes_To_Text(v.plain);
        ASSERT_EQ(plain, v.plainText); // our Windows-1252 reading agrees with the text column
        crypto.Set_Method(v.method);
        crypto.Set_Keyword(v.passPhrase);

        const auto raw = crypto.Transform(v.plain, CryptoX::Text_To_Bytes(v.passPhrase), true, v.method);
        ASSERT_TRUE(raw.has_value());
        EXPECT_EQ(QString::fromLatin1(raw->toHex().toUpper()), v.cipherHex);
        const auto back = crypto.Transform(QByteArray::fromHex(v.cipherHex.toLatin1()),
                                           CryptoX::Text_To_Bytes(v.passPhrase), false, v.method);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, v.plain);

        if (plain.isEmpty()) {
            // The text operations refuse empty input; decrypting gives the
            // empty text back without an error.
            EXPECT_EQ(crypto.Decrypt(v.cipherHex), QString());
            EXPECT_EQ(crypto.ErrorMsg(), QString());
            continue;
        }
        EXPECT_EQ(crypto.Encrypt(plain), v.cipherHex);
        EXPECT_EQ(crypto.Encrypted(), v.cipherHex);
        EXPECT_EQ(crypto.Decrypt(v.cipherHex), plain);
        EXPECT_EQ(crypto.ErrorMsg(), QString());
    }
}

// Every refusal gives empty text and names its reason; unknown methods are
// refused before the text is looked at.
TEST(CryptoX, RefusalsGiveEmptyTextAndTheirReason)
{
    const QString empty = QStringLiteral("-2147220441: Crypto.%1 - Both a string and a key are required");
    const QString method = QStringLiteral("-2147220440: Crypto.%1 - Invalid encryption type specified");
    const QString notHex =
        QStringLiteral("-2147220442: Crypto.ConvertStringFromHex - Not a valid hex string");
    const QString notHexSpaced =
        QStringLiteral("-2147220442: Crypo.ConvertStringFromHex - Not a valid hex string");
    const QString notOurs = QStringLiteral("-2147220443: Crypto.EncryptDecrypt - Could not decrypt data");
    const char* const key = "qwpeh5170k8836";
    struct Case
    {
        const char* keyword;
        qint32 method;
        bool encrypt;
        const char* text;
        QString error;
    };
    const Case cases[] = {
        {"secret", CryptoX::RC2, true, "", empty.arg("Encrypt")},
        {"secret", CryptoX::RC2, false, "", empty.arg("Decrypt")},
        {"", CryptoX::RC2, true, "a", empty.arg("Encrypt")},
        {"", CryptoX::RC2, false, "5D3FFC7369EA1E9E", empty.arg("Decrypt")},
        {key, 0, true, "a", method.arg("Encrypt")},
        {key, 3, true, "", method.arg("Encrypt")},
        {key, -1, false, "5D3FFC7369EA1E9E", method.arg("Decrypt")},
        {key, CryptoX::RC2, false, "5d3ffc7369ea1e9e", notHex}, // lower case
        {key, CryptoX::RC2, false, "5D3FFC7369EA1E9G", notHex},
        {key, CryptoX::RC2, false, "5D3FFC73 69EA1E9E", notHexSpaced},
        {key, CryptoX::RC2, false, "5D3", notHexSpaced}, // odd length
        {key, CryptoX::RC2, false, "5D3FFC73", notOurs}, // whole hexadecimal, but a short block
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.keyword << " " << c.method << " " << c.text);
        CryptoX crypto;
        crypto.Set_Keyword(QString::fromLatin1(c.keyword));
        crypto.Set_Method(c.method);
        const QString text = QString::fromLatin1(c.text);
        EXPECT_EQ(c.encrypt ? crypto.Encrypt(text) : crypto.Decrypt(text), QString());
        EXPECT_EQ(crypto.ErrorMsg(), c.error);
    }

    // The last result does not linger, and a later success clears the message.
    CryptoX crypto;
    crypto.Set_Keyword(QString::fromLatin1(key));
    ASSERT_FALSE(crypto.Encrypt(QStringLiteral("a")).isEmpty());
    EXPECT_EQ(crypto.Encrypt(QString()), QString());
    EXPECT_EQ(crypto.Encrypted(), QString());
    EXPECT_EQ(crypto.Decrypt(QStringLiteral("5D3FFC7369EA1E9E")), QStringLiteral("a"));
    EXPECT_EQ(crypto.ErrorMsg(), QString());
}

TEST(CryptoX, WrongPassPhraseDoesNotGiveThePlainTextBack)
{
    CryptoX crypto;
    crypto.Set_Keyword(QStringLiteral("qwpeh5170k8836"));
    const QString cipher = crypto.Encrypt(QStringLiteral("me@example.com"));
    ASSERT_EQ(cipher, QStringLiteral("CBA9FF1E8D3E4BBA54FEFA510F00CE85"));

    crypto.Set_Keyword(QStringLiteral("secret"));
    EXPECT_EQ(crypto.Decrypt(cipher), QString());
    EXPECT_EQ(crypto.ErrorMsg(),
              QStringLiteral("-2147220443: Crypto.EncryptDecrypt - Could not decrypt data"));

    // Across many texts, another pass phrase never yields the original: it
    // fails the padding check or, rarely, gives other text.
    for (int i = 0; i < 200; ++i) {
        const QString plain = QStringLiteral("user%1@example.org").arg(i);
        crypto.Set_Keyword(QStringLiteral("qwpeh5170k8836"));
        const QString encrypted = crypto.Encrypt(plain);
        crypto.Set_Keyword(QStringLiteral("qwpeh5170k8837"));
        const QString decrypted = crypto.Decrypt(encrypted);
        EXPECT_NE(decrypted, plain);
        if (decrypted.isEmpty()) {
            EXPECT_EQ(crypto.ErrorMsg(),
                      QStringLiteral("-2147220443: Crypto.EncryptDecrypt - Could not decrypt data"));
        }
    }
}

TEST(CryptoX, RawTextModeCarriesEveryByteThroughText)
{
    CryptoX crypto;
    crypto.Set_Keyword(QStringLiteral("qwpeh5170k8836"));
    crypto.Set_AsHex(false);
    const QString raw = crypto.Encrypt(QStringLiteral("a"));
    EXPECT_EQ(CryptoX::Text_To_Bytes(raw), QByteArray::fromHex("5D3FFC7369EA1E9E"));
    EXPECT_EQ(crypto.Decrypt(raw), QStringLiteral("a"));

    // Ciphertexts holding the five bytes that Windows-1252 leaves unassigned
    // must still decrypt from their text form.
    int covered = 0;
    for (int i = 0; i < 2000 && covered < 5; ++i) {
        const QString plain = QStringLiteral("entry %1").arg(i);
        const QString text = crypto.Encrypt(plain);
        const QByteArray bytes = CryptoX::Text_To_Bytes(text);
        if (!bytes.contains('\x81') && !bytes.contains('\x8D') && !bytes.contains('\x8F') &&
            !bytes.contains('\x90') && !bytes.contains('\x9D'))
            continue;
        ++covered;
        EXPECT_EQ(crypto.Decrypt(text), plain);
    }
    EXPECT_EQ(covered, 5);

    crypto.Set_Method(CryptoX::RC4);
    const QString stream = crypto.Encrypt(QStringLiteral("abcdefgh"));
    EXPECT_EQ(CryptoX::Text_To_Bytes(stream), QByteArray::fromHex("914CC7478BB366A1"));
    EXPECT_EQ(crypto.Decrypt(stream), QStringLiteral("abcdefgh"));
}

TEST(CryptoX, TextOutsideWindows1252IsEncryptedAsQuestionMarks)
{
    CryptoX crypto;
    crypto.Set_Keyword(QStringLiteral("qwpeh5170k8836"));
    const QString omega = crypto.Encrypt(QStringLiteral("\u03A9mega"));
    EXPECT_EQ(omega, crypto.Encrypt(QStringLiteral("?mega")));
    EXPECT_EQ(crypto.Decrypt(omega), QStringLiteral("?mega"));
}

TEST(CryptoX, WithoutItsCipherProvidersEveryOperationIsRefused)
{
    // The legacy ciphers live in a loadable module; point the loader at an
    // empty folder so that it cannot be found.
    QTemporaryDir empty;
    const QByteArray saved = qgetenv("OPENSSL_MODULES");
    const bool hadValue = qEnvironmentVariableIsSet("OPENSSL_MODULES");
    qputenv("OPENSSL_MODULES", empty.path().toLocal8Bit());
    CryptoX crypto;
    if (hadValue)
        qputenv("OPENSSL_MODULES", saved);
    else
        qunsetenv("OPENSSL_MODULES");

    EXPECT_EQ(crypto.ErrorMsg(),
              QStringLiteral("-2147220448: Crypto.Class_Initialize - Could not acquire context"));
    EXPECT_EQ(crypto.Method(), 0);
    EXPECT_FALSE(crypto.AsHex());
    crypto.Set_Keyword(QStringLiteral("qwpeh5170k8836"));
    EXPECT_EQ(crypto.Encrypt(QStringLiteral("a")), QString());
    EXPECT_EQ(crypto.ErrorMsg(),
              QStringLiteral("-2147220440: Crypto.Encrypt - Invalid encryption type specified"));

    // Forcing a method does not get past the missing context.
    crypto.Set_Method(CryptoX::RC2);
    EXPECT_EQ(crypto.Encrypt(QStringLiteral("a")), QString());
    EXPECT_EQ(crypto.ErrorMsg(), QStringLiteral("-2147220447:Crypto.EncryptDecrypt - Could not create hash"));

    // Other instances are not affected.
    CryptoX working;
    working.Set_Keyword(QStringLiteral("qwpeh5170k8836"));
    EXPECT_EQ(working.Encrypt(QStringLiteral("a")), QStringLiteral("5D3FFC7369EA1E9E"));
}

TEST(DataStrings, UseTheFixedPassPhraseWhateverTheSharedInstanceHolds)
{
    EXPECT_EQ(Encrypt_Data_String(QStringLiteral("me@example.com")),
              QStringLiteral("CBA9FF1E8D3E4BBA54FEFA510F00CE85"));
    Data_Crypto().Set_Keyword(QStringLiteral("something else"));
    EXPECT_EQ(Decrypt_Data_String(QStringLiteral("CBA9FF1E8D3E4BBA54FEFA510F00CE85")),
              QStringLiteral("me@example.com"));
    EXPECT_EQ(Data_Crypto().Keyword(), kDataPassPhrase);

    const QString name = QStringLiteral("Müller Café €");
    EXPECT_EQ(Encrypt_Data_String(name), QStringLiteral("A1F353C28151D1938C7352FDFEABFDE9"));
    EXPECT_EQ(Decrypt_Data_String(Encrypt_Data_String(name)), name);
}

TEST(DataStrings, FailuresGiveEmptyTextWithAReason)
{
    EXPECT_EQ(Encrypt_Data_String(QString()), QString());
    EXPECT_EQ(Data_String_Error(),
              QStringLiteral("-2147220441: Crypto.Encrypt - Both a string and a key are required"));
    EXPECT_EQ(Decrypt_Data_String(QStringLiteral("CBA9FF1E8D3E4BBA54FEFA510F00CE8")), QString());
    EXPECT_EQ(Data_String_Error(),
              QStringLiteral("-2147220442: Crypo.ConvertStringFromHex - Not a valid hex string"));
    EXPECT_EQ(Decrypt_Data_String(QStringLiteral("CBA9FF1E8D3E4BBA54FEFA510F00CE8E")), QString());
    EXPECT_FALSE(Data_String_Error().isEmpty());
}
