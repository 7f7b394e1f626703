// The standard security handler: password-based RC4 encryption with MD5 key
// derivation (revisions 2 and 3, 40- and 128-bit keys), which is also all it
// writes. Files read may also use crypt filters (revision 4: RC4 or AES-128)
// or AES-256 (revisions 5 and 6, SHA-2 key derivation). It is the
// "/Encrypt" dictionary itself, the writer's encryption hook while a
// document is saved, and the decryption of a document that was read.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/pdf_security_handler.h"
#include "pdf/pdf_security_hook.h"
#include "platform/md5_digest.h"

namespace ZavorPdf::Pdf {

enum class PdfDocumentSecurityLevel { None = 0, Encrypted40Bit = 1, Encrypted128Bit = 2 };

enum class PasswordValidity { Invalid = 0, UserPassword = 1, OwnerPassword = 2 };

// The bits of "/P".
enum class PdfUserAccessPermission : std::int32_t {
    PermitAll = -3,
    PermitPrint = 4,
    PermitModifyDocument = 8,
    PermitExtractContent = 16,
    PermitAnnotations = 32,
    PermitFormsFill = 256,
    PermitAccessibilityExtractContent = 512,
    PermitAssembleDocument = 1024,
    PermitFullQualityPrint = 2048,
};

class PdfStandardSecurityHandler : public PdfSecurityHandler, public IO::PdfSecurityHook {
public:
    struct Keys : PdfSecurityHandler::Keys {
        static constexpr const char *R = "/R";
        static constexpr const char *O = "/O";
        static constexpr const char *U = "/U";
        static constexpr const char *P = "/P";
        static constexpr const char *CF = "/CF";
        static constexpr const char *StmF = "/StmF";
        static constexpr const char *StrF = "/StrF";
        static constexpr const char *CFM = "/CFM";
        static constexpr const char *EncryptMetadata = "/EncryptMetadata";
        static constexpr const char *OE = "/OE";
        static constexpr const char *UE = "/UE";
        static const DictionaryMeta &Meta();
    };

    // The 32 bytes that pad every password.
    static const std::array<std::uint8_t, 32> PasswordPadding;
    // Passwords are PDFDocEncoding bytes, the form in which readers turn a
    // typed password into bytes; a character without such a byte could
    // never be typed to open the file.
    static constexpr const char *PasswordCharacterMessage =
        "A password may only contain characters that PDFDocEncoding can represent.";

    explicit PdfStandardSecurityHandler(PdfDocument *document = nullptr);
    // Takes over the "/Encrypt" dictionary of a file being read.
    explicit PdfStandardSecurityHandler(PdfDictionary &&dictionary);
    PdfStandardSecurityHandler(const PdfStandardSecurityHandler &other);

    const DictionaryMeta *Meta() const override { return &Keys::Meta(); }
    std::unique_ptr<PdfItem> Clone() const override;

    // Stored until the next PrepareEncryption; never written in clear. A
    // text with a character outside PDFDocEncoding fails with
    // PasswordCharacterMessage (argument "value") and changes nothing.
    void SetUserPassword(std::u16string value);
    void SetOwnerPassword(std::u16string value);
    const std::optional<std::u16string> &UserPassword() const { return userPassword_; }
    const std::optional<std::u16string> &OwnerPassword() const { return ownerPassword_; }

    // "/P"; a missing or zero value reads as PermitAll.
    std::int32_t Permission() const;
    void SetPermission(std::int32_t value) { Elements().SetInteger(Keys::P, value); }

    // Computes "/Filter" ... "/P" and the document key for the level of the
    // owner's security settings and the first "/ID" of its trailer.
    void PrepareEncryption();
    // The same for an explicit level and file identifier.
    void PrepareEncryption(PdfDocumentSecurityLevel level, const std::vector<std::uint8_t> &documentID);

    // How strings or streams of a file read are encrypted.
    enum class CryptMethod { Identity, Rc4, Aes128, Aes256 };

    // Checks a password against the dictionary of a file that was read and
    // keeps the document key it yields. A password that the file's
    // revision cannot hold (a character outside PDFDocEncoding up to
    // revision 4, one that SASLprep prohibits above) is invalid. Unknown
    // filters, versions or crypt filters fail with PdfReaderException
    // (UnsupportedEncryption, naming them).
    PasswordValidity ValidatePassword(std::u16string_view password);
    // Set by ValidatePassword: the password given was the owner's.
    bool HasOwnerPermissions() const { return hasOwnerPermissions_; }

    // Decrypts (RC4 is its own inverse) every indirect object of the owner
    // document except this dictionary; call once after ValidatePassword.
    void EncryptDocument();
    // The same for one object: its strings, nested ones included, and its
    // stream, with the key of its object ID. References are not followed.
    // AES data that is no whole number of blocks or badly padded fails with
    // PdfReaderException (Damaged).
    void EncryptObject(PdfObject &object);
    CryptMethod StringMethod() const { return stringMethod_; }
    CryptMethod StreamMethod() const { return streamMethod_; }

    // The key of one indirect object: MD5 of the document key, three bytes
    // of the object number and two of the generation.
    void SetHashKey(PdfObjectID id) override;
    // RC4 with the current object key, in place; empty input stays empty.
    void EncryptBytes(std::vector<std::uint8_t> &bytes);
    void EncryptString(std::vector<std::uint8_t> &bytes) override { EncryptBytes(bytes); }
    void EncryptStream(std::vector<std::uint8_t> &bytes) override { EncryptBytes(bytes); }

    // The document key (5, 16 or 32 bytes) and the usable part of the current
    // object key.
    std::span<const std::uint8_t> EncryptionKey() const { return {encryptionKey_.data(), keySize_}; }
    std::span<const std::uint8_t> ObjectKey() const { return {objectKey_.data(), objectKeySize_}; }

    // Written with the writer's encryption switched off: "/O" and "/U" must
    // stay readable.
    void WriteObject(IO::PdfWriter &writer) const override;

    // The key derivation steps, public for tests against known values.
    // Padding fails like the setters for a character outside PDFDocEncoding.
    static std::array<std::uint8_t, 32> PadPassword(std::u16string_view password);
    std::array<std::uint8_t, 32> ComputeOwnerKey(const std::array<std::uint8_t, 32> &userPad,
                                                 const std::array<std::uint8_t, 32> &ownerPad, int keySize,
                                                 int revision);
    void InitEncryptionKey(const std::vector<std::uint8_t> &documentID, const std::array<std::uint8_t, 32> &userPad,
                           std::span<const std::uint8_t> ownerKey, std::int32_t permissions, int keySize,
                           int revision);
    std::array<std::uint8_t, 32> ComputeUserKey(const std::vector<std::uint8_t> &documentID, int revision);

private:
    // The key derivation hash of revisions 5 (plain SHA-256) and 6.
    static std::array<std::uint8_t, 32> Aes256Hash(std::span<const std::uint8_t> password,
                                                   std::span<const std::uint8_t> salt,
                                                   std::span<const std::uint8_t> userKey, int revision);
    void ReadCryptFilters(int version);
    CryptMethod FilterMethod(const char *key, int version) const;
    PasswordValidity ValidateAes256(std::u16string_view password, int revision);
    void Decrypt(std::vector<std::uint8_t> &bytes, CryptMethod method);
    bool SkipsStream(const PdfDictionary &dictionary) const;
    void SetOwnerPermissions(bool owner);
    std::array<std::uint8_t, 32> RecoverUserPad(std::span<const std::uint8_t> ownerKey,
                                                const std::array<std::uint8_t, 32> &ownerPad, int keySize,
                                                int revision);
    bool UserKeyMatches(const std::vector<std::uint8_t> &documentID, const std::array<std::uint8_t, 32> &userPad,
                        std::span<const std::uint8_t> ownerKey, std::span<const std::uint8_t> userKey,
                        std::int32_t permissions, int keySize, int revision);
    void EncryptItems(PdfDictionary &dictionary, int depth);
    void EncryptItems(PdfArray &array, int depth);
    std::unique_ptr<PdfItem> EncryptedCopy(const PdfItem &item);

    std::optional<std::u16string> userPassword_;
    std::optional<std::u16string> ownerPassword_;
    bool hasOwnerPermissions_ = true;
    std::array<std::uint8_t, 32> encryptionKey_{};
    std::size_t keySize_ = 0;
    CryptMethod stringMethod_ = CryptMethod::Rc4;
    CryptMethod streamMethod_ = CryptMethod::Rc4;
    bool encryptMetadata_ = true;
    PdfObjectID currentId_{};
    std::array<std::uint8_t, 16> objectKey_{};
    std::size_t objectKeySize_ = 0;
    ZavorPlatform::Md5Digest md5_;
};

}  // namespace ZavorPdf::Pdf
