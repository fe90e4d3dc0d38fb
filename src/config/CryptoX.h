#pragma once
// Text encryption of stored values: MD5 of a pass phrase gives a 40-bit key for
// RC2 (CBC, zero IV, PKCS#5 padding) or RC4, and the ciphertext is written as
// upper-case hexadecimal. The bytes match what the Windows version stored, so
// its data files stay readable.
//
// CryptoX never throws: a failure returns the empty text and leaves its
// message in ErrorMsg.

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

namespace bc {

class CryptoX
{
public:
    enum Cipher_Method : qint32
    {
        RC2 = 1,
        RC4 = 2
    };

    // The automation error base 0x80040000 plus 1056 to 1064.
    static constexpr qint32 kErrContext = -2147220448;
    static constexpr qint32 kErrCreateHash = -2147220447;
    static constexpr qint32 kErrHashData = -2147220446;
    static constexpr qint32 kErrDeriveKey = -2147220445;
    static constexpr qint32 kErrEncrypt = -2147220444;
    static constexpr qint32 kErrDecrypt = -2147220443;
    static constexpr qint32 kErrNotHex = -2147220442;
    static constexpr qint32 kErrEmpty = -2147220441;
    static constexpr qint32 kErrMethod = -2147220440;

    // Loads the cipher providers into a private library context. When that
    // fails, Method stays 0 and every Encrypt and Decrypt is refused.
    CryptoX();
    ~CryptoX();
    CryptoX(const CryptoX&) = delete;
    CryptoX& operator=(const CryptoX&) = delete;

    QString ErrorMsg() const { return errorMsg_; }
    void Set_ErrorMsg(const QString& value) { errorMsg_ = value; }
    QString Keyword() const { return keyword_; }
    void Set_Keyword(const QString& value) { keyword_ = value; }
    QString Encrypted() const { return encrypted_; }
    void Set_Encrypted(const QString& value) { encrypted_ = value; }
    qint32 Method() const { return method_; }
    void Set_Method(qint32 value) { method_ = value; }
    bool AsHex() const { return asHex_; }
    void Set_AsHex(bool value) { asHex_ = value; }

    // Text to ciphertext under Keyword, Method and AsHex; also kept in
    // Encrypted. "" on failure.
    QString Encrypt(const QString& text);
    // Ciphertext (hexadecimal when AsHex) back to text. "" on failure.
    QString Decrypt(const QString& text);

    // The cipher itself on raw bytes, without the text checks of Encrypt and
    // Decrypt (so also for empty data). nullopt on failure, with ErrorMsg set.
    std::optional<QByteArray> Transform(const QByteArray& data, const QByteArray& passPhrase, bool encrypt,
                                        qint32 method);

    // Windows-1252, one byte per character. Unlike the data-file conversion it
    // keeps the five unassigned codes, so any ciphertext byte survives a trip
    // through text.
    static QByteArray Text_To_Bytes(const QString& text);
    static QString Bytes_To_Text(const QByteArray& bytes);

private:
    struct Impl;

    static QString ConvertStringToHex(const QByteArray& bytes);
    std::optional<QByteArray> ConvertStringFromHex(const QString& text);
    void Set_Error(qint32 code, const char* source, const char* message);

    std::unique_ptr<Impl> impl_;
    QString errorMsg_;
    QString keyword_;
    QString encrypted_;
    bool asHex_ = false;
    qint32 method_ = 0;
};

} // namespace bc
