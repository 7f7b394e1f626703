#include "pdf/pdf_standard_security_handler.h"

#include <algorithm>

#include "pdf/errors.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_encodings.h"
#include "pdf/pdf_security_settings.h"
#include "pdf/pdf_string.h"
#include "pdf/pdf_trailer.h"
#include "pdf/pdf_writer.h"
#include "pdf/rc4_cipher.h"

namespace ZavorPdf::Pdf {
namespace {

using Pad = std::array<std::uint8_t, 32>;
using Security::Rc4Cipher;

// The 16-byte key of one of the twenty RC4 rounds of revision 3.
std::array<std::uint8_t, 16> RoundKey(std::span<const std::uint8_t> key, int round) {
    std::array<std::uint8_t, 16> result{};
    for (std::size_t i = 0; i < key.size(); ++i) result[i] = static_cast<std::uint8_t>(key[i] ^ round);
    return result;
}

}  // namespace

const std::array<std::uint8_t, 32> PdfStandardSecurityHandler::PasswordPadding = {
    0x28, 0xBF, 0x4E, 0x5E, 0x4E, 0x75, 0x8A, 0x41, 0x64, 0x00, 0x4E, 0x56, 0xFF, 0xFA, 0x01, 0x08,
    0x2E, 0x2E, 0x00, 0xB6, 0xD0, 0x68, 0x3E, 0x80, 0x2F, 0x0C, 0xA9, 0xFE, 0x64, 0x53, 0x69, 0x7A};

const DictionaryMeta &PdfStandardSecurityHandler::Keys::Meta() {
    static const DictionaryMeta meta({
        KeyDescriptor(Filter, KeyType::Name | KeyType::Required),
        KeyDescriptor(SubFilter, KeyType::Name | KeyType::Optional),
        KeyDescriptor(V, KeyType::Integer | KeyType::Optional),
        KeyDescriptor(Length, KeyType::Integer | KeyType::Optional),
        KeyDescriptor(R, KeyType::Integer | KeyType::Required),
        KeyDescriptor(O, KeyType::String | KeyType::Required),
        KeyDescriptor(U, KeyType::String | KeyType::Required),
        KeyDescriptor(P, KeyType::Integer | KeyType::Required),
    });
    return meta;
}

PdfStandardSecurityHandler::PdfStandardSecurityHandler(PdfDocument *document) : PdfSecurityHandler(document) {}

PdfStandardSecurityHandler::PdfStandardSecurityHandler(PdfDictionary &&dictionary)
    : PdfSecurityHandler(std::move(dictionary)) {}

PdfStandardSecurityHandler::PdfStandardSecurityHandler(const PdfStandardSecurityHandler &other)
    : PdfSecurityHandler(other),
      userPassword_(other.userPassword_),
      ownerPassword_(other.ownerPassword_),
      hasOwnerPermissions_(other.hasOwnerPermissions_),
      encryptionKey_(other.encryptionKey_),
      keySize_(other.keySize_),
      stringMethod_(other.stringMethod_),
      streamMethod_(other.streamMethod_),
      encryptMetadata_(other.encryptMetadata_) {}

std::unique_ptr<PdfItem> PdfStandardSecurityHandler::Clone() const {
    return std::make_unique<PdfStandardSecurityHandler>(*this);
}

std::int32_t PdfStandardSecurityHandler::Permission() const {
    std::int32_t value = Elements().GetInteger(Keys::P);
    return value == 0 ? static_cast<std::int32_t>(PdfUserAccessPermission::PermitAll) : value;
}

void PdfStandardSecurityHandler::SetUserPassword(std::u16string value) {
    if (!Internal::PdfDocEncodingHolds(value)) throw ArgumentException(PasswordCharacterMessage, "value");
    userPassword_ = std::move(value);
}

void PdfStandardSecurityHandler::SetOwnerPassword(std::u16string value) {
    if (!Internal::PdfDocEncodingHolds(value)) throw ArgumentException(PasswordCharacterMessage, "value");
    ownerPassword_ = std::move(value);
}

std::array<std::uint8_t, 32> PdfStandardSecurityHandler::PadPassword(std::u16string_view password) {
    Pad pad{};
    std::size_t length = std::min<std::size_t>(password.size(), 32);
    for (std::size_t i = 0; i < length; ++i) {
        std::optional<std::uint8_t> byte = Internal::TryPdfDocByte(password[i]);
        if (!byte) throw ArgumentException(PasswordCharacterMessage, "password");
        pad[i] = *byte;
    }
    std::copy_n(PasswordPadding.begin(), 32 - length, pad.begin() + static_cast<std::ptrdiff_t>(length));
    return pad;
}

std::array<std::uint8_t, 32> PdfStandardSecurityHandler::ComputeOwnerKey(const Pad &userPad, const Pad &ownerPad,
                                                                         int keySize, int revision) {
    md5_.Update(ownerPad);
    ZavorPlatform::Md5Hash hash = md5_.Final();
    auto key = std::span<const std::uint8_t>(hash.data(), static_cast<std::size_t>(keySize));
    Pad result = userPad;
    if (revision >= 3) {
        for (int i = 0; i < 50; ++i) {
            md5_.Update(key);
            hash = md5_.Final();
        }
        for (int round = 0; round < 20; ++round)
            Rc4Cipher::Apply(std::span<const std::uint8_t>(RoundKey(key, round).data(), key.size()), result);
    } else {
        Rc4Cipher::Apply(key, result);
    }
    return result;
}

void PdfStandardSecurityHandler::InitEncryptionKey(const std::vector<std::uint8_t> &documentID, const Pad &userPad,
                                                   std::span<const std::uint8_t> ownerKey, std::int32_t permissions,
                                                   int keySize, int revision) {
    auto p = static_cast<std::uint32_t>(permissions);
    const std::uint8_t permissionBytes[4] = {static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 8),
                                             static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 24)};
    md5_.Update(userPad);
    md5_.Update(ownerKey);
    md5_.Update(permissionBytes);
    md5_.Update(documentID);
    // Revision 4 keys a file with clear metadata differently, so that the
    // same passwords cannot unlock the same file with metadata encrypted.
    const std::uint8_t clearMetadata[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    if (revision >= 4 && !encryptMetadata_) md5_.Update(clearMetadata);
    ZavorPlatform::Md5Hash hash = md5_.Final();
    keySize_ = static_cast<std::size_t>(keySize);
    if (revision >= 3) {
        for (int i = 0; i < 50; ++i) {
            md5_.Update(std::span<const std::uint8_t>(hash.data(), keySize_));
            hash = md5_.Final();
        }
    }
    encryptionKey_ = {};
    std::copy_n(hash.begin(), keySize_, encryptionKey_.begin());
}

std::array<std::uint8_t, 32> PdfStandardSecurityHandler::ComputeUserKey(const std::vector<std::uint8_t> &documentID,
                                                                        int revision) {
    Pad userKey{};
    std::span<const std::uint8_t> key = EncryptionKey();
    if (revision >= 3) {
        md5_.Update(PasswordPadding);
        md5_.Update(documentID);
        ZavorPlatform::Md5Hash hash = md5_.Final();
        std::span<std::uint8_t> head(userKey.data(), 16);
        std::copy(hash.begin(), hash.end(), head.begin());
        for (int round = 0; round < 20; ++round)
            Rc4Cipher::Apply(std::span<const std::uint8_t>(RoundKey(key, round).data(), key.size()), head);
    } else {
        userKey = PasswordPadding;
        Rc4Cipher::Apply(key, userKey);
    }
    return userKey;
}

void PdfStandardSecurityHandler::PrepareEncryption() {
    PdfDocument *document = Owner();
    if (document == nullptr) throw InvalidOperationException("The security handler belongs to no document.");
    PrepareEncryption(document->SecuritySettings().DocumentSecurityLevel(), document->Trailer().DocumentID(0));
}

void PdfStandardSecurityHandler::PrepareEncryption(PdfDocumentSecurityLevel level,
                                                   const std::vector<std::uint8_t> &documentID) {
    bool strong = level == PdfDocumentSecurityLevel::Encrypted128Bit;
    int revision = strong ? 3 : 2;
    int keySize = strong ? 16 : 5;
    std::u16string user = userPassword_.value_or(u"");
    std::u16string owner = ownerPassword_.value_or(u"");
    if (owner.empty()) owner = user;

    auto p = static_cast<std::uint32_t>(Permission());
    p |= strong ? 0xFFFFF0C0u : 0xFFFFFFC0u;
    p &= 0xFFFFFFFCu;
    auto permissions = static_cast<std::int32_t>(p);

    // Whatever a file read used, the document is written with RC4 alone.
    stringMethod_ = streamMethod_ = CryptMethod::Rc4;
    encryptMetadata_ = true;
    for (const char *key : {Keys::CF, Keys::StmF, Keys::StrF, Keys::EncryptMetadata, Keys::OE, Keys::UE, "/Perms"})
        Elements().Remove(key);

    Pad userPad = PadPassword(user);
    Pad ownerKey = ComputeOwnerKey(userPad, PadPassword(owner), keySize, revision);
    InitEncryptionKey(documentID, userPad, ownerKey, permissions, keySize, revision);
    Pad userKey = ComputeUserKey(documentID, revision);

    Elements().SetName(Keys::Filter, "/Standard");
    Elements().SetInteger(Keys::V, strong ? 2 : 1);
    Elements().SetInteger(Keys::Length, strong ? 128 : 40);
    Elements().SetInteger(Keys::R, revision);
    Elements().SetValue(Keys::O, std::make_unique<PdfString>(PdfString::FromBytes({ownerKey.begin(), ownerKey.end()})));
    Elements().SetValue(Keys::U, std::make_unique<PdfString>(PdfString::FromBytes({userKey.begin(), userKey.end()})));
    Elements().SetInteger(Keys::P, permissions);
}

void PdfStandardSecurityHandler::SetHashKey(PdfObjectID id) {
    currentId_ = id;
    auto number = static_cast<std::uint32_t>(id.ObjectNumber());
    std::uint16_t generation = id.GenerationNumber();
    const std::uint8_t salt[5] = {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
                                  static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(generation),
                                  static_cast<std::uint8_t>(generation >> 8)};
    md5_.Update(EncryptionKey());
    md5_.Update(salt);
    objectKey_ = md5_.Final();
    objectKeySize_ = std::min<std::size_t>(keySize_ + 5, 16);
}

void PdfStandardSecurityHandler::EncryptBytes(std::vector<std::uint8_t> &bytes) {
    if (bytes.empty()) return;
    Rc4Cipher::Apply(ObjectKey(), bytes);
}

void PdfStandardSecurityHandler::WriteObject(IO::PdfWriter &writer) const {
    // Restores the writer's handler also when writing fails.
    struct Suspend {
        IO::PdfWriter &writer;
        IO::PdfSecurityHook *saved;
        explicit Suspend(IO::PdfWriter &w) : writer(w), saved(w.SecurityHandler()) { w.SetSecurityHandler(nullptr); }
        ~Suspend() { writer.SetSecurityHandler(saved); }
        Suspend(const Suspend &) = delete;
        Suspend &operator=(const Suspend &) = delete;
    } suspend(writer);
    PdfDictionary::WriteObject(writer);
}

}  // namespace ZavorPdf::Pdf
