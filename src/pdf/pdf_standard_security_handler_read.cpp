// Password validation and decryption of a document that was read.
#include <algorithm>

#include "pdf/errors.h"
#include "pdf/messages.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_encodings.h"
#include "pdf/pdf_indirect_values.h"
#include "pdf/pdf_password_text.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_security_settings.h"
#include "pdf/pdf_standard_security_handler.h"
#include "pdf/pdf_string.h"
#include "pdf/pdf_trailer.h"
#include "pdf/rc4_cipher.h"
#include "platform/aes_cipher.h"

namespace ZavorPdf::Pdf {
namespace {

using Pad = std::array<std::uint8_t, 32>;
using Security::Rc4Cipher;
using CryptMethod = PdfStandardSecurityHandler::CryptMethod;
using ZavorPlatform::Sha2Variant;

// Nesting beyond this inside one object is not descended into; the parser
// caps nesting far below it.
constexpr int MaxDepth = 1000;

std::vector<std::uint8_t> RawBytes(const PdfString &value) {
    const std::u16string &text = value.Value();
    std::vector<std::uint8_t> bytes;
    if (value.Encoding() == PdfStringEncoding::Unicode) {
        // The lexer took bytes that began with FE FF for UTF-16 text; the
        // cipher needs them back as they stood in the file.
        bytes = {0xFE, 0xFF};
        for (char16_t unit : text) {
            bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
            bytes.push_back(static_cast<std::uint8_t>(unit));
        }
        return bytes;
    }
    bytes.reserve(text.size());
    for (char16_t c : text) bytes.push_back(static_cast<std::uint8_t>(c));
    return bytes;
}

// Clear text that begins with the byte order mark is UTF-16, as the lexer
// would have read it from an unencrypted file.
PdfString FromPlainBytes(const std::vector<std::uint8_t> &bytes, bool hex) {
    PdfStringFlags form = hex ? PdfStringFlags::HexLiteral : PdfStringFlags::RawEncoding;
    if (bytes.size() > 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
        std::u16string text;
        for (std::size_t i = 2; i < bytes.size(); i += 2) {
            unsigned low = i + 1 < bytes.size() ? bytes[i + 1] : 0;
            text.push_back(static_cast<char16_t>(bytes[i] << 8 | low));
        }
        return PdfString(std::move(text), PdfStringFlags::Unicode | form);
    }
    return PdfString::FromBytes(bytes, form);
}

std::vector<std::uint8_t> KeyBytes(const PdfDictionary &dictionary, const char *key) {
    const PdfItem *item = dictionary.Elements()[key];
    const auto *text = dynamic_cast<const PdfString *>(item);
    if (text == nullptr) {
        if (const auto *object = dynamic_cast<const PdfStringObject *>(item)) text = &object->Value();
    }
    return text != nullptr ? RawBytes(*text) : std::vector<std::uint8_t>{};
}

PdfReaderException Unsupported(const std::string &name) {
    return PdfReaderException("The PDF document is protected with an encryption not supported by ZavorPdf.",
                              PdfReadFailure::UnsupportedEncryption, name);
}

std::span<const std::uint8_t> Part(const std::vector<std::uint8_t> &bytes, std::size_t from, std::size_t count) {
    return std::span<const std::uint8_t>(bytes).subspan(from, count);
}

// A key shorter than 32 bytes is compared as far as it goes.
bool SameBytes(std::span<const std::uint8_t> computed, const std::vector<std::uint8_t> &stored, std::size_t count) {
    if (stored.size() < count) return false;
    return std::equal(computed.begin(), computed.begin() + static_cast<std::ptrdiff_t>(count), stored.begin());
}

}  // namespace

std::array<std::uint8_t, 32> PdfStandardSecurityHandler::RecoverUserPad(std::span<const std::uint8_t> ownerKey,
                                                                        const Pad &ownerPad, int keySize,
                                                                        int revision) {
    md5_.Update(ownerPad);
    ZavorPlatform::Md5Hash hash = md5_.Final();
    std::span<const std::uint8_t> key(hash.data(), static_cast<std::size_t>(keySize));
    Pad pad{};
    std::copy_n(ownerKey.begin(), std::min<std::size_t>(ownerKey.size(), 32), pad.begin());
    if (revision >= 3) {
        for (int i = 0; i < 50; ++i) {
            md5_.Update(key);
            hash = md5_.Final();
        }
        // The twenty rounds undone in reverse order; run forwards again
        // they would not give the user password back.
        for (int round = 19; round >= 0; --round) {
            std::array<std::uint8_t, 16> roundKey{};
            for (std::size_t i = 0; i < key.size(); ++i) roundKey[i] = static_cast<std::uint8_t>(key[i] ^ round);
            Rc4Cipher::Apply(std::span<const std::uint8_t>(roundKey.data(), key.size()), pad);
        }
    } else {
        Rc4Cipher::Apply(key, pad);
    }
    return pad;
}

bool PdfStandardSecurityHandler::UserKeyMatches(const std::vector<std::uint8_t> &documentID, const Pad &userPad,
                                                std::span<const std::uint8_t> ownerKey,
                                                std::span<const std::uint8_t> userKey, std::int32_t permissions,
                                                int keySize, int revision) {
    InitEncryptionKey(documentID, userPad, ownerKey, permissions, keySize, revision);
    Pad computed = ComputeUserKey(documentID, revision);
    std::vector<std::uint8_t> stored(userKey.begin(), userKey.end());
    return SameBytes(computed, stored, revision >= 3 ? 16 : 32);
}

void PdfStandardSecurityHandler::SetOwnerPermissions(bool owner) {
    hasOwnerPermissions_ = owner;
    if (PdfDocument *document = Owner()) document->SecuritySettings().SetHasOwnerPermissions(owner);
}

PasswordValidity PdfStandardSecurityHandler::ValidatePassword(std::u16string_view password) {
    std::string filter = Elements().GetName(Keys::Filter);
    int version = Elements().GetInteger(Keys::V);
    if (filter != "/Standard") throw Unsupported(filter.empty() ? std::string("?") : filter.substr(1));
    if (version < 1 || version == 3 || version > 5) {
        // Version 3 is an unpublished algorithm; nobody can read it.
        throw Unsupported("Standard V" + std::to_string(version));
    }
    int revision = Elements().GetInteger(Keys::R);
    ReadCryptFilters(version);
    if (version == 5) {
        if (revision != 5 && revision != 6) throw Unsupported("Standard R" + std::to_string(revision));
        return ValidateAes256(password, revision);
    }
    PdfDocument *document = Owner();
    std::vector<std::uint8_t> documentID = document != nullptr ? document->Trailer().DocumentID(0)
                                                               : std::vector<std::uint8_t>{};
    std::vector<std::uint8_t> ownerKey = KeyBytes(*this, Keys::O);
    std::vector<std::uint8_t> userKey = KeyBytes(*this, Keys::U);
    std::int32_t permissions = Elements().GetInteger(Keys::P);
    // Revision 3 may carry a key shorter than 128 bits; it says so in
    // "/Length" (40 when absent).
    int keySize = 5;
    if (revision >= 3) {
        int bits = Elements().ContainsKey(Keys::Length) ? Elements().GetInteger(Keys::Length) : 40;
        keySize = (bits >= 40 && bits <= 128 && bits % 8 == 0) ? bits / 8 : 16;
    }
    // AES-128 has no shorter key, whatever "/Length" says.
    if (stringMethod_ == CryptMethod::Aes128 || streamMethod_ == CryptMethod::Aes128) keySize = 16;

    if (!Internal::PdfDocEncodingHolds(password)) {
        // No file can hold such a password; nothing to try.
        SetOwnerPermissions(false);
        return PasswordValidity::Invalid;
    }
    Pad candidate = PadPassword(password);
    Pad userPad = RecoverUserPad(ownerKey, candidate, keySize, revision);
    if (UserKeyMatches(documentID, userPad, ownerKey, userKey, permissions, keySize, revision)) {
        SetOwnerPermissions(true);
        return PasswordValidity::OwnerPassword;
    }
    SetOwnerPermissions(false);
    if (UserKeyMatches(documentID, candidate, ownerKey, userKey, permissions, keySize, revision))
        return PasswordValidity::UserPassword;
    return PasswordValidity::Invalid;
}

void PdfStandardSecurityHandler::EncryptDocument() {
    PdfDocument *document = Owner();
    if (document == nullptr) return;
    for (PdfReference *reference : document->ReferenceTable().AllReferences()) {
        PdfObject *object = reference->Value();
        if (object == nullptr || object == this) continue;
        EncryptObject(*object);
    }
}

void PdfStandardSecurityHandler::EncryptObject(PdfObject &object) {
    SetHashKey(object.ObjectID());
    if (object.IsDictionary()) {
        auto &dictionary = static_cast<PdfDictionary &>(object);
        EncryptItems(dictionary, 0);
        if (PdfStream *stream = dictionary.Stream();
            stream != nullptr && stream->Length() > 0 && !SkipsStream(dictionary)) {
            std::vector<std::uint8_t> bytes = stream->Value();
            Decrypt(bytes, streamMethod_);
            stream->SetValue(std::move(bytes));
        }
    } else if (object.IsArray()) {
        EncryptItems(static_cast<PdfArray &>(object), 0);
    } else if (auto *text = dynamic_cast<PdfStringObject *>(&object)) {
        std::vector<std::uint8_t> bytes = RawBytes(text->Value());
        Decrypt(bytes, stringMethod_);
        // Indirect strings are immutable: a decrypted twin takes the place
        // of the old one behind the same reference.
        PdfDocument *document = object.Owner();
        if (document == nullptr || object.Reference() == nullptr) return;
        auto plain = std::make_unique<PdfStringObject>(FromPlainBytes(bytes, text->Value().IsHexLiteral()), document);
        document->ReferenceTable().ReplaceObject(*object.Reference(), std::move(plain));
    }
}

std::unique_ptr<PdfItem> PdfStandardSecurityHandler::EncryptedCopy(const PdfItem &item) {
    const auto &text = static_cast<const PdfString &>(item);
    std::vector<std::uint8_t> bytes = RawBytes(text);
    Decrypt(bytes, stringMethod_);
    return std::make_unique<PdfString>(FromPlainBytes(bytes, text.IsHexLiteral()));
}

void PdfStandardSecurityHandler::EncryptItems(PdfDictionary &dictionary, int depth) {
    if (depth > MaxDepth) return;
    std::vector<std::string> keys;
    for (const auto &entry : dictionary.Elements().Entries()) keys.push_back(entry.key);
    for (const std::string &key : keys) {
        PdfItem *item = dictionary.Elements()[key];
        if (item == nullptr || item->IsReference()) continue;
        if (dynamic_cast<PdfString *>(item) != nullptr)
            dictionary.Elements().SetValue(key, EncryptedCopy(*item));
        else if (item->IsDictionary())
            EncryptItems(static_cast<PdfDictionary &>(*item), depth + 1);
        else if (item->IsArray())
            EncryptItems(static_cast<PdfArray &>(*item), depth + 1);
    }
}

void PdfStandardSecurityHandler::EncryptItems(PdfArray &array, int depth) {
    if (depth > MaxDepth) return;
    for (int i = 0; i < array.Elements().Count(); ++i) {
        PdfItem *item = array.Elements()[i];
        if (item == nullptr || item->IsReference()) continue;
        if (dynamic_cast<PdfString *>(item) != nullptr)
            array.Elements().SetAt(i, EncryptedCopy(*item));
        else if (item->IsDictionary())
            EncryptItems(static_cast<PdfDictionary &>(*item), depth + 1);
        else if (item->IsArray())
            EncryptItems(static_cast<PdfArray &>(*item), depth + 1);
    }
}

// Versions 1 and 2 encrypt everything with RC4; from version 4 on strings
// and streams each name a crypt filter of "/CF", or "/Identity".
void PdfStandardSecurityHandler::ReadCryptFilters(int version) {
    stringMethod_ = streamMethod_ = CryptMethod::Rc4;
    encryptMetadata_ = true;
    if (version < 4) return;
    stringMethod_ = FilterMethod(Keys::StrF, version);
    streamMethod_ = FilterMethod(Keys::StmF, version);
    if (Elements().ContainsKey(Keys::EncryptMetadata)) encryptMetadata_ = Elements().GetBoolean(Keys::EncryptMetadata);
}

PdfStandardSecurityHandler::CryptMethod PdfStandardSecurityHandler::FilterMethod(const char *key,
                                                                                 int version) const {
    std::string name = Elements().ContainsKey(key) ? Elements().GetName(key) : std::string("/Identity");
    if (name == "/Identity") return CryptMethod::Identity;
    PdfDictionary *filters = Elements().GetDictionary(Keys::CF);
    PdfDictionary *filter = filters != nullptr ? filters->Elements().GetDictionary(name) : nullptr;
    if (filter == nullptr) throw Unsupported(name.substr(1));
    std::string method = filter->Elements().ContainsKey(Keys::CFM) ? filter->Elements().GetName(Keys::CFM) : "/None";
    if (method == "/None") return CryptMethod::Identity;
    if (method == "/V2" && version == 4) return CryptMethod::Rc4;
    if (method == "/AESV2" && version == 4) return CryptMethod::Aes128;
    if (method == "/AESV3" && version == 5) return CryptMethod::Aes256;
    throw Unsupported(method.substr(1));
}

std::array<std::uint8_t, 32> PdfStandardSecurityHandler::Aes256Hash(std::span<const std::uint8_t> password,
                                                                    std::span<const std::uint8_t> salt,
                                                                    std::span<const std::uint8_t> userKey,
                                                                    int revision) {
    std::vector<std::uint8_t> input(password.begin(), password.end());
    input.insert(input.end(), salt.begin(), salt.end());
    input.insert(input.end(), userKey.begin(), userKey.end());
    std::vector<std::uint8_t> hash = ZavorPlatform::Sha2Digest(Sha2Variant::Sha256, input);
    // Revision 6 hardens the hash with at least 64 rounds of AES and a
    // SHA-2 chosen by the data, until the last byte allows an end.
    for (int round = 0; revision >= 6; ++round) {
        std::vector<std::uint8_t> block(password.begin(), password.end());
        block.insert(block.end(), hash.begin(), hash.end());
        block.insert(block.end(), userKey.begin(), userKey.end());
        std::vector<std::uint8_t> repeated;
        repeated.reserve(block.size() * 64);
        for (int i = 0; i < 64; ++i) repeated.insert(repeated.end(), block.begin(), block.end());
        std::vector<std::uint8_t> sealed =
            ZavorPlatform::AesCbcEncrypt(Part(hash, 0, 16), Part(hash, 16, 16), repeated);
        unsigned sum = 0;
        for (std::size_t i = 0; i < 16; ++i) sum += sealed[i];
        Sha2Variant next = sum % 3 == 0   ? Sha2Variant::Sha256
                           : sum % 3 == 1 ? Sha2Variant::Sha384
                                          : Sha2Variant::Sha512;
        hash = ZavorPlatform::Sha2Digest(next, sealed);
        if (round >= 63 && sealed.back() <= round + 1 - 32) break;
    }
    std::array<std::uint8_t, 32> result{};
    std::copy_n(hash.begin(), 32, result.begin());
    return result;
}

// The password is checked against the hash in "/O" or "/U" (with its
// validation salt); the key salt then unlocks the document key from "/OE"
// or "/UE".
PasswordValidity PdfStandardSecurityHandler::ValidateAes256(std::u16string_view password, int revision) {
    SetOwnerPermissions(false);
    std::vector<std::uint8_t> ownerKey = KeyBytes(*this, Keys::O);
    std::vector<std::uint8_t> userKey = KeyBytes(*this, Keys::U);
    std::vector<std::uint8_t> ownerSealed = KeyBytes(*this, Keys::OE);
    std::vector<std::uint8_t> userSealed = KeyBytes(*this, Keys::UE);
    if (ownerKey.size() < 48 || userKey.size() < 48 || ownerSealed.size() < 32 || userSealed.size() < 32)
        throw PdfReaderException(ZavorPdf::Messages::InvalidPdf);
    std::optional<std::string> prepared = Internal::SaslPreparedPassword(password);
    if (!prepared) return PasswordValidity::Invalid;
    std::span<const std::uint8_t> typed(reinterpret_cast<const std::uint8_t *>(prepared->data()), prepared->size());
    std::span<const std::uint8_t> user48 = Part(userKey, 0, 48);
    const std::array<std::uint8_t, 16> zeroIv{};
    auto unlock = [&](std::span<const std::uint8_t> keySalt, std::span<const std::uint8_t> extra,
                      const std::vector<std::uint8_t> &sealed) {
        std::array<std::uint8_t, 32> intermediate = Aes256Hash(typed, keySalt, extra, revision);
        auto key = ZavorPlatform::AesCbcDecrypt(intermediate, zeroIv, Part(sealed, 0, 32), false);
        if (!key) throw PdfReaderException(ZavorPdf::Messages::InvalidPdf);
        std::copy_n(key->begin(), 32, encryptionKey_.begin());
        keySize_ = 32;
    };
    std::array<std::uint8_t, 32> ownerHash = Aes256Hash(typed, Part(ownerKey, 32, 8), user48, revision);
    if (std::equal(ownerHash.begin(), ownerHash.end(), ownerKey.begin())) {
        unlock(Part(ownerKey, 40, 8), user48, ownerSealed);
        SetOwnerPermissions(true);
        return PasswordValidity::OwnerPassword;
    }
    std::array<std::uint8_t, 32> userHash = Aes256Hash(typed, Part(userKey, 32, 8), {}, revision);
    if (std::equal(userHash.begin(), userHash.end(), userKey.begin())) {
        unlock(Part(userKey, 40, 8), {}, userSealed);
        return PasswordValidity::UserPassword;
    }
    return PasswordValidity::Invalid;
}

// Cross-reference streams are never encrypted, metadata streams not when
// the file says so: a reader without the password may index them.
bool PdfStandardSecurityHandler::SkipsStream(const PdfDictionary &dictionary) const {
    std::string type = dictionary.Elements().GetName("/Type");
    return type == "/XRef" || (type == "/Metadata" && !encryptMetadata_);
}

void PdfStandardSecurityHandler::Decrypt(std::vector<std::uint8_t> &bytes, CryptMethod method) {
    if (method == CryptMethod::Identity || bytes.empty()) return;
    if (method == CryptMethod::Rc4) {
        EncryptBytes(bytes);
        return;
    }
    std::array<std::uint8_t, 16> objectKey{};
    std::span<const std::uint8_t> key = EncryptionKey();
    if (method == CryptMethod::Aes128) {
        // The RC4 object key salted with "sAlT", all 16 bytes of it.
        auto number = static_cast<std::uint32_t>(currentId_.ObjectNumber());
        std::uint16_t generation = currentId_.GenerationNumber();
        const std::uint8_t salt[9] = {static_cast<std::uint8_t>(number),     static_cast<std::uint8_t>(number >> 8),
                                      static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(generation),
                                      static_cast<std::uint8_t>(generation >> 8), 's', 'A', 'l', 'T'};
        md5_.Update(key);
        md5_.Update(salt);
        objectKey = md5_.Final();
        key = objectKey;
    }
    std::optional<std::vector<std::uint8_t>> plain;
    if (bytes.size() == 16)
        plain.emplace();  // the IV alone: some writers seal an empty text so
    else if (bytes.size() > 16)
        plain = ZavorPlatform::AesCbcDecrypt(key, Part(bytes, 0, 16), Part(bytes, 16, bytes.size() - 16), true);
    if (!plain) throw PdfReaderException(ZavorPdf::Messages::DamagedObject(currentId_.ToString()));
    bytes = std::move(*plain);
}

}  // namespace ZavorPdf::Pdf
