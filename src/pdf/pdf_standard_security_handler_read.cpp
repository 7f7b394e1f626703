// Password validation and decryption of a document that was read.
#include <algorithm>

#include "pdf/errors.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_encodings.h"
#include "pdf/pdf_indirect_values.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_security_settings.h"
#include "pdf/pdf_standard_security_handler.h"
#include "pdf/pdf_string.h"
#include "pdf/pdf_trailer.h"
#include "pdf/rc4_cipher.h"

namespace ZavorPdf::Pdf {
namespace {

using Pad = std::array<std::uint8_t, 32>;
using Security::Rc4Cipher;

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

PasswordValidity PdfStandardSecurityHandler::ValidatePassword(std::u16string_view password) {
    std::string filter = Elements().GetName(Keys::Filter);
    int version = Elements().GetInteger(Keys::V);
    if (filter != "/Standard" || version < 1 || version > 3)
        throw PdfReaderException("The PDF document is protected with an encryption not supported by ZavorPdf.");
    PdfDocument *document = Owner();
    std::vector<std::uint8_t> documentID = document != nullptr ? document->Trailer().DocumentID(0)
                                                               : std::vector<std::uint8_t>{};
    std::vector<std::uint8_t> ownerKey = KeyBytes(*this, Keys::O);
    std::vector<std::uint8_t> userKey = KeyBytes(*this, Keys::U);
    std::int32_t permissions = Elements().GetInteger(Keys::P);
    int revision = Elements().GetInteger(Keys::R);
    // Revision 3 may carry a key shorter than 128 bits; it says so in
    // "/Length" (40 when absent).
    int keySize = 5;
    if (revision >= 3) {
        int bits = Elements().ContainsKey(Keys::Length) ? Elements().GetInteger(Keys::Length) : 40;
        keySize = (bits >= 40 && bits <= 128 && bits % 8 == 0) ? bits / 8 : 16;
    }

    if (!Internal::PdfDocEncodingHolds(password)) {
        // No file can hold such a password; nothing to try.
        hasOwnerPermissions_ = false;
        if (document != nullptr) document->SecuritySettings().SetHasOwnerPermissions(false);
        return PasswordValidity::Invalid;
    }
    Pad candidate = PadPassword(password);
    Pad userPad = RecoverUserPad(ownerKey, candidate, keySize, revision);
    if (UserKeyMatches(documentID, userPad, ownerKey, userKey, permissions, keySize, revision)) {
        hasOwnerPermissions_ = true;
        if (document != nullptr) document->SecuritySettings().SetHasOwnerPermissions(true);
        return PasswordValidity::OwnerPassword;
    }
    hasOwnerPermissions_ = false;
    if (document != nullptr) document->SecuritySettings().SetHasOwnerPermissions(false);
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
        if (PdfStream *stream = dictionary.Stream(); stream != nullptr && stream->Length() > 0) {
            std::vector<std::uint8_t> bytes = stream->Value();
            EncryptBytes(bytes);
            stream->SetValue(std::move(bytes));
        }
    } else if (object.IsArray()) {
        EncryptItems(static_cast<PdfArray &>(object), 0);
    } else if (auto *text = dynamic_cast<PdfStringObject *>(&object)) {
        std::vector<std::uint8_t> bytes = RawBytes(text->Value());
        EncryptBytes(bytes);
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
    EncryptBytes(bytes);
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

}  // namespace ZavorPdf::Pdf
