// The cipher and the key derivation of the standard security handler
// against values computed independently, and the password check and
// decryption that the reader relies on.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pdf/errors.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_security_settings.h"
#include "pdf/pdf_standard_security_handler.h"
#include "pdf/pdf_string.h"
#include "pdf/pdf_trailer.h"
#include "pdf/pdf_writer.h"
#include "pdf/rc4_cipher.h"
#include "platform/aes_cipher.h"
#include "platform/md5_digest.h"

namespace ZavorPdf::Pdf {
namespace {

std::string Hex(std::span<const std::uint8_t> bytes) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t b : bytes) {
        text += Digits[b >> 4];
        text += Digits[b & 15];
    }
    return text;
}

std::vector<std::uint8_t> Bytes(const std::string &text) { return {text.begin(), text.end()}; }

std::string StringHex(const PdfDictionary &dictionary, const char *key) {
    std::u16string text = dictionary.Elements().GetString(key);
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    return Hex(bytes);
}

const std::vector<std::uint8_t> FixedID = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

TEST(Rc4Cipher, PublishedVectors) {
    struct Row {
        std::string key, plain, cipher;
    };
    for (const Row &row : std::vector<Row>{{"Key", "Plaintext", "BBF316E8D940AF0AD3"},
                                           {"Wiki", "pedia", "1021BF0420"},
                                           {"Secret", "Attack at dawn", "45A01F645FC35B383552544B9BF5"}}) {
        std::vector<std::uint8_t> data = Bytes(row.plain);
        Security::Rc4Cipher::Apply(Bytes(row.key), data);
        EXPECT_EQ(Hex(data), row.cipher) << row.key;
        Security::Rc4Cipher::Apply(Bytes(row.key), data);
        EXPECT_EQ(std::string(data.begin(), data.end()), row.plain) << "RC4 undoes itself";
    }
}

TEST(SecurityHandler, PasswordPadding) {
    auto none = PdfStandardSecurityHandler::PadPassword(u"");
    EXPECT_EQ(Hex(none), Hex(PdfStandardSecurityHandler::PasswordPadding));
    auto abc = PdfStandardSecurityHandler::PadPassword(u"abc");
    EXPECT_EQ(Hex(abc), "616263" + Hex(PdfStandardSecurityHandler::PasswordPadding).substr(0, 58));
    // Only 32 characters count; each character is one byte.
    std::u16string longer(40, u'x');
    longer[0] = u'\u00E4';
    auto cut = PdfStandardSecurityHandler::PadPassword(longer);
    std::string expected = "E4";
    for (int i = 0; i < 31; ++i) expected += "78";
    EXPECT_EQ(Hex(cut), expected);
}

struct KeyCase {
    const char *name;
    PdfDocumentSecurityLevel level;
    const char16_t *user;
    const char16_t *owner;
    const char *o, *u, *key, *objectKey, *hallo;
    int v, length, r;
};

const KeyCase KeyCases[] = {
    {"128 bit", PdfDocumentSecurityLevel::Encrypted128Bit, u"user", u"owner",
     "0BA3835F88F90388E74E54584125CE142BE0DE24C6B0D37746E075B891756671",
     "B5EEEE15D9561A1FAD6C9D5A195DDE3300000000000000000000000000000000", "4C8652A72175CEF37E14C485B59602D2",
     "2C512D4188CCDEB82837F37EE8D33A2D", "8EFACCF0D9", 2, 128, 3},
    {"40 bit, owner only", PdfDocumentSecurityLevel::Encrypted40Bit, nullptr, u"owner",
     "C92422687FACEE686E373F10B5C7D04738053152F7E2EE30E11C69EC442576AB",
     "19794F9D50EBC9182F8A72BB20274501272FE2BEE8BBE219D98CB9360BA26BE1", "1F26E168EC", "D97AD5E457AEE4E4C79D",
     "EF01F25860", 1, 40, 2},
};

TEST(SecurityHandler, EncryptionDictionaryAndKeys) {
    for (const KeyCase &c : KeyCases) {
        SCOPED_TRACE(c.name);
        PdfStandardSecurityHandler handler;
        if (c.user) handler.SetUserPassword(c.user);
        handler.SetOwnerPassword(c.owner);
        handler.PrepareEncryption(c.level, FixedID);
        EXPECT_EQ(handler.Elements().GetName("/Filter"), "/Standard");
        EXPECT_EQ(handler.Elements().GetInteger("/V"), c.v);
        EXPECT_EQ(handler.Elements().GetInteger("/Length"), c.length);
        EXPECT_EQ(handler.Elements().GetInteger("/R"), c.r);
        EXPECT_EQ(handler.Elements().GetInteger("/P"), -4);
        EXPECT_EQ(StringHex(handler, "/O"), c.o);
        EXPECT_EQ(StringHex(handler, "/U"), c.u);
        EXPECT_EQ(Hex(handler.EncryptionKey()), c.key);
        // Object 7, generation 0: MD5 of the key and 07 00 00 00 00.
        handler.SetHashKey(PdfObjectID(7, 0));
        EXPECT_EQ(Hex(handler.ObjectKey()), c.objectKey);
        std::vector<std::uint8_t> text = Bytes("Hallo");
        handler.EncryptBytes(text);
        EXPECT_EQ(Hex(text), c.hallo);
        std::vector<std::uint8_t> empty;
        handler.EncryptBytes(empty);
        EXPECT_TRUE(empty.empty());
    }
}

TEST(SecurityHandler, PermissionBitsAreForcedByRevision) {
    struct Row {
        PdfDocumentSecurityLevel level;
        std::int32_t given, written;
    };
    for (const Row &row : std::vector<Row>{
             {PdfDocumentSecurityLevel::Encrypted128Bit, -3, -4},
             {PdfDocumentSecurityLevel::Encrypted128Bit, 4, static_cast<std::int32_t>(0xFFFFF0C4)},
             {PdfDocumentSecurityLevel::Encrypted40Bit, 4, static_cast<std::int32_t>(0xFFFFFFC4)},
             {PdfDocumentSecurityLevel::Encrypted40Bit, 0, -4},
         }) {
        PdfStandardSecurityHandler handler;
        handler.SetUserPassword(u"x");
        handler.SetPermission(row.given);
        handler.PrepareEncryption(row.level, FixedID);
        EXPECT_EQ(handler.Elements().GetInteger("/P"), row.written) << row.given;
    }
}

// A dictionary as a reader would have it: the entries of a prepared
// handler in a document whose trailer carries the same identifier.
class ReadHandler {
public:
    ReadHandler(const PdfStandardSecurityHandler &written, std::vector<std::uint8_t> id = FixedID)
        : document_(DocumentSetup::Empty) {
        auto ids = std::make_unique<PdfArray>();
        ids->Elements().Add(std::make_unique<PdfString>(PdfString::FromBytes(id, PdfStringFlags::HexLiteral)));
        ids->Elements().Add(std::make_unique<PdfString>(PdfString::FromBytes(id, PdfStringFlags::HexLiteral)));
        document_.Trailer().Elements().SetObject("/ID", std::move(ids));
        PdfDictionary generic(&document_);
        for (const auto &entry : written.Elements().Entries())
            generic.Elements().SetValue(entry.key, entry.value.Get()->Clone());
        PdfReference *reference = document_.ReferenceTable().Add(std::make_unique<PdfDictionary>(generic));
        document_.Trailer().Elements().SetReference("/Encrypt", reference);
        handler_ = document_.Trailer().ExistingSecurityHandler();
    }
    PdfDocument &Document() { return document_; }
    PdfStandardSecurityHandler &Handler() { return *handler_; }

private:
    PdfDocument document_;
    PdfStandardSecurityHandler *handler_;
};

TEST(SecurityHandler, ValidatePasswordForEachRevision) {
    struct Row {
        PdfDocumentSecurityLevel level;
        const char16_t *user, *owner, *tried;
        PasswordValidity expected;
    };
    const std::vector<Row> rows = {
        {PdfDocumentSecurityLevel::Encrypted128Bit, u"user", u"owner", u"owner", PasswordValidity::OwnerPassword},
        {PdfDocumentSecurityLevel::Encrypted128Bit, u"user", u"owner", u"user", PasswordValidity::UserPassword},
        {PdfDocumentSecurityLevel::Encrypted128Bit, u"user", u"owner", u"", PasswordValidity::Invalid},
        {PdfDocumentSecurityLevel::Encrypted128Bit, u"user", u"owner", u"wrong", PasswordValidity::Invalid},
        {PdfDocumentSecurityLevel::Encrypted128Bit, u"", u"owner", u"", PasswordValidity::UserPassword},
        // A user password alone serves as owner password too.
        {PdfDocumentSecurityLevel::Encrypted128Bit, u"user", u"", u"user", PasswordValidity::OwnerPassword},
        {PdfDocumentSecurityLevel::Encrypted40Bit, u"user", u"owner", u"owner", PasswordValidity::OwnerPassword},
        {PdfDocumentSecurityLevel::Encrypted40Bit, u"user", u"owner", u"user", PasswordValidity::UserPassword},
        {PdfDocumentSecurityLevel::Encrypted40Bit, u"user", u"owner", u"nope", PasswordValidity::Invalid},
    };
    for (const Row &row : rows) {
        PdfStandardSecurityHandler written;
        written.SetUserPassword(row.user);
        written.SetOwnerPassword(row.owner);
        written.PrepareEncryption(row.level, FixedID);
        ReadHandler read(written);
        std::u16string tried = row.tried;
        EXPECT_EQ(read.Handler().ValidatePassword(tried), row.expected)
            << std::string(tried.begin(), tried.end()) << " level " << static_cast<int>(row.level);
        EXPECT_EQ(read.Handler().HasOwnerPermissions(), row.expected == PasswordValidity::OwnerPassword);
        EXPECT_EQ(read.Document().SecuritySettings().HasOwnerPermissions(),
                  row.expected == PasswordValidity::OwnerPassword);
        if (row.expected != PasswordValidity::Invalid) {
            EXPECT_EQ(Hex(read.Handler().EncryptionKey()), Hex(written.EncryptionKey()));
        }
    }
}

TEST(SecurityHandler, RevisionThreeWithFortyBitKeyUsesItsLength) {
    // Other producers write revision 3 with shorter keys; "/Length" says so.
    PdfStandardSecurityHandler written;
    written.SetUserPassword(u"user");
    written.PrepareEncryption(PdfDocumentSecurityLevel::Encrypted40Bit, FixedID);
    auto userPad = PdfStandardSecurityHandler::PadPassword(u"user");
    auto ownerKey = written.ComputeOwnerKey(userPad, userPad, 5, 3);
    written.InitEncryptionKey(FixedID, userPad, ownerKey, -4, 5, 3);
    auto userKey = written.ComputeUserKey(FixedID, 3);
    written.Elements().SetInteger("/R", 3);
    written.Elements().SetInteger("/V", 2);
    auto bytes = [](const auto &key) {
        return std::make_unique<PdfString>(PdfString::FromBytes({key.begin(), key.end()}));
    };
    written.Elements().SetValue("/O", bytes(ownerKey));
    written.Elements().SetValue("/U", bytes(userKey));
    ReadHandler read(written);
    EXPECT_EQ(read.Handler().ValidatePassword(u"user"), PasswordValidity::OwnerPassword);
    EXPECT_EQ(read.Handler().EncryptionKey().size(), 5u);
}

TEST(SecurityHandler, UnsupportedEncryptionIsRefused) {
    const std::string message = "The PDF document is protected with an encryption not supported by ZavorPdf.";
    const std::vector<std::pair<const char *, int>> refused = {
        {"/Standard", 3}, {"/Standard", 6}, {"/Other", 2}, {"/Standard", 0}};
    for (auto [filter, v] : refused) {
        PdfStandardSecurityHandler written;
        written.SetUserPassword(u"u");
        written.PrepareEncryption(PdfDocumentSecurityLevel::Encrypted128Bit, FixedID);
        written.Elements().SetName("/Filter", filter);
        written.Elements().SetInteger("/V", v);
        ReadHandler read(written);
        try {
            read.Handler().ValidatePassword(u"u");
            ADD_FAILURE() << filter << " " << v;
        } catch (const PdfReaderException &e) {
            EXPECT_EQ(e.what(), message);
        }
    }
}

TEST(SecurityHandler, EncryptDocumentDecryptsStringsAndStreamsButNotItself) {
    PdfStandardSecurityHandler written;
    written.SetUserPassword(u"");
    written.SetOwnerPassword(u"owner");
    written.PrepareEncryption(PdfDocumentSecurityLevel::Encrypted128Bit, FixedID);
    ReadHandler read(written);
    ASSERT_EQ(read.Handler().ValidatePassword(u""), PasswordValidity::UserPassword);

    // Encrypt an object with the writer's path, then decrypt it as read.
    PdfDocument &document = read.Document();
    auto object = std::make_unique<PdfDictionary>();
    object->Elements().SetValue("/T", std::make_unique<PdfString>(u"Titel"));
    auto nested = std::make_unique<PdfArray>();
    nested->Elements().Add(std::make_unique<PdfString>(u"innen", PdfStringFlags::HexLiteral));
    object->Elements().SetObject("/A", std::move(nested));
    object->CreateStream(Bytes("BT ET"));
    PdfReference *reference = document.ReferenceTable().Add(std::move(object));
    auto &dictionary = static_cast<PdfDictionary &>(*reference->Value());

    read.Handler().EncryptObject(dictionary);
    EXPECT_NE(dictionary.Elements().GetString("/T"), u"Titel");
    read.Handler().SetHashKey(reference->ObjectID());
    std::vector<std::uint8_t> expected = Bytes("BT ET");
    read.Handler().EncryptBytes(expected);
    EXPECT_EQ(dictionary.Stream()->Value(), expected);

    read.Handler().EncryptDocument();
    EXPECT_EQ(dictionary.Elements().GetString("/T"), u"Titel");
    EXPECT_EQ(dictionary.Elements().GetArray("/A")->Elements().GetString(0), u"innen");
    EXPECT_EQ(dictionary.Stream()->Value(), Bytes("BT ET"));
    EXPECT_EQ(dictionary.Elements().GetInteger("/Length"), 5);
    // The handler's own /O stays as it was.
    EXPECT_EQ(StringHex(read.Handler(), "/O"), StringHex(written, "/O"));
}

// Revision 4 keys as revision 3 does; its crypt filters choose per kind.
PdfStandardSecurityHandler CryptFilterHandler(const char *stringFilter, const char *streamFilter,
                                              const char *aesMethod) {
    PdfStandardSecurityHandler written;
    written.SetUserPassword(u"");
    written.SetOwnerPassword(u"owner");
    written.PrepareEncryption(PdfDocumentSecurityLevel::Encrypted128Bit, FixedID);
    written.Elements().SetInteger("/V", 4);
    written.Elements().SetInteger("/R", 4);
    auto aes = std::make_unique<PdfDictionary>();
    aes->Elements().SetName("/CFM", aesMethod);
    auto rc4 = std::make_unique<PdfDictionary>();
    rc4->Elements().SetName("/CFM", "/V2");
    auto filters = std::make_unique<PdfDictionary>();
    filters->Elements().SetObject("/StdCF", std::move(aes));
    filters->Elements().SetObject("/RC", std::move(rc4));
    written.Elements().SetObject("/CF", std::move(filters));
    if (stringFilter != nullptr) written.Elements().SetName("/StrF", stringFilter);
    if (streamFilter != nullptr) written.Elements().SetName("/StmF", streamFilter);
    return written;
}

TEST(SecurityHandler, CryptFiltersChooseTheMethodOfStringsAndStreams) {
    using Method = PdfStandardSecurityHandler::CryptMethod;
    struct Row {
        const char *strings, *streams;
        Method stringMethod, streamMethod;
    };
    const Row rows[] = {
        {"/StdCF", "/StdCF", Method::Aes128, Method::Aes128},
        {"/StdCF", "/Identity", Method::Aes128, Method::Identity},
        {nullptr, "/RC", Method::Identity, Method::Rc4},
    };
    for (const Row &row : rows) {
        ReadHandler read(CryptFilterHandler(row.strings, row.streams, "/AESV2"));
        ASSERT_EQ(read.Handler().ValidatePassword(u""), PasswordValidity::UserPassword);
        EXPECT_EQ(read.Handler().StringMethod(), row.stringMethod);
        EXPECT_EQ(read.Handler().StreamMethod(), row.streamMethod);
    }
    for (auto [method, stream] : {std::pair{"/AESV3", "/StdCF"}, {"/AESV2", "/Missing"}}) {
        ReadHandler read(CryptFilterHandler("/StdCF", stream, method));
        try {
            read.Handler().ValidatePassword(u"");
            ADD_FAILURE() << method;
        } catch (const PdfReaderException &e) {
            EXPECT_EQ(e.Reason(), PdfReadFailure::UnsupportedEncryption);
            EXPECT_EQ(e.Detail(), std::string(stream) == "/Missing" ? "Missing" : "AESV3");
        }
    }
}

// An AES string: IV first, then CBC under MD5(key, object, generation,
// "sAlT") with PKCS#5 padding; a stream under /Identity stays as it is.
TEST(SecurityHandler, AesStringsDecryptAndBadPaddingIsDamage) {
    ReadHandler read(CryptFilterHandler("/StdCF", "/Identity", "/AESV2"));
    ASSERT_EQ(read.Handler().ValidatePassword(u""), PasswordValidity::UserPassword);
    auto sealed = [&](PdfObjectID id, std::vector<std::uint8_t> plain) {
        std::vector<std::uint8_t> key(read.Handler().EncryptionKey().begin(), read.Handler().EncryptionKey().end());
        auto number = static_cast<std::uint8_t>(id.ObjectNumber());
        key.insert(key.end(), {number, 0, 0, 0, 0, 's', 'A', 'l', 'T'});
        ZavorPlatform::Md5Hash objectKey = ZavorPlatform::Md5Digest::Compute(key);
        std::vector<std::uint8_t> iv(16, 7);
        std::vector<std::uint8_t> data = ZavorPlatform::AesCbcEncrypt(objectKey, iv, plain);
        iv.insert(iv.end(), data.begin(), data.end());
        return std::make_unique<PdfString>(PdfString::FromBytes(iv));
    };
    PdfDocument &document = read.Document();
    PdfReference *reference = document.ReferenceTable().Add(std::make_unique<PdfDictionary>());
    auto &dictionary = static_cast<PdfDictionary &>(*reference->Value());
    std::vector<std::uint8_t> padded = Bytes("Titel");
    padded.resize(16, 11);
    dictionary.Elements().SetValue("/T", sealed(reference->ObjectID(), padded));
    dictionary.CreateStream(Bytes("BT ET"));
    read.Handler().EncryptObject(dictionary);
    EXPECT_EQ(dictionary.Elements().GetString("/T"), u"Titel");
    EXPECT_EQ(dictionary.Stream()->Value(), Bytes("BT ET"));

    padded.back() = 12;
    dictionary.Elements().SetValue("/T", sealed(reference->ObjectID(), padded));
    try {
        read.Handler().EncryptObject(dictionary);
        ADD_FAILURE();
    } catch (const PdfReaderException &e) {
        EXPECT_EQ(e.Reason(), PdfReadFailure::Damaged);
        EXPECT_EQ(std::string(e.what()), "Object " + reference->ObjectID().ToString() +
                                             " of the file is damaged and cannot be read.");
    }
}

TEST(SecurityHandler, WritesItselfInClearEvenWhileEncrypting) {
    PdfDocument document(DocumentSetup::Empty);
    auto &handler = document.Trailer().SecurityHandler();
    handler.SetUserPassword(u"u");
    handler.PrepareEncryption(PdfDocumentSecurityLevel::Encrypted40Bit, FixedID);
    handler.Elements().SetValue("/O", std::make_unique<PdfString>(u"clear"));
    std::vector<std::uint8_t> bytes;
    IO::PdfWriter writer(bytes, &handler);
    handler.WriteObject(writer);
    std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("/O(clear)"), std::string::npos) << text;
    EXPECT_EQ(writer.SecurityHandler(), &handler);
}

}  // namespace
}  // namespace ZavorPdf::Pdf
