// The writer's encryption hook: which bytes it sees, under which object
// key, and that the stored values stay as they were.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_security_hook.h"
#include "pdf/pdf_string.h"
#include "pdf/pdf_writer.h"

namespace ZavorPdf::Pdf {
namespace {

// Adds the object number to every byte, so that the key in force shows in
// the output.
class ShiftingHook final : public IO::PdfSecurityHook {
public:
    void SetHashKey(PdfObjectID id) override {
        key = static_cast<std::uint8_t>(id.ObjectNumber());
        keys.push_back(id);
    }
    void EncryptString(std::vector<std::uint8_t> &bytes) override { Shift(bytes); }
    void EncryptStream(std::vector<std::uint8_t> &bytes) override {
        Shift(bytes);
        ++streams;
    }

    std::uint8_t key = 0;
    std::vector<PdfObjectID> keys;
    int streams = 0;

private:
    void Shift(std::vector<std::uint8_t> &bytes) const {
        for (auto &b : bytes) b = static_cast<std::uint8_t>(b + key);
    }
};

TEST(WriterSecurity, StringsAndStreamsUseTheKeyOfTheirObject) {
    PdfDocument document(DocumentSetup::Empty);
    auto &table = document.ReferenceTable();
    table.GetNewObjectNumber();  // the object gets number 2
    auto *dictionary = static_cast<PdfDictionary *>(table.Add(std::make_unique<PdfDictionary>())->Value());
    dictionary->Elements().SetValue("/T", std::make_unique<PdfString>(u"ab"));
    dictionary->Elements().SetValue("/H", std::make_unique<PdfString>(u"a", PdfStringFlags::HexLiteral));
    dictionary->Elements().SetValue("/U", std::make_unique<PdfString>(u"\u00E4", PdfStringEncoding::Unicode));
    dictionary->CreateStream({'x', 'y'});

    ShiftingHook hook;
    std::vector<std::uint8_t> bytes;
    IO::PdfWriter writer(bytes, &hook);
    dictionary->WriteObject(writer);

    // Each byte grows by 2; the Unicode string's byte order mark is part of
    // what is encrypted and written without a clear-text prefix.
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "2 0 obj\n<<\n/T(cd)\n/H<63>\n/U<000102E6>\n/Length 2\n>>\nstream\nz{\nendstream\nendobj\n");
    EXPECT_EQ(hook.keys, std::vector<PdfObjectID>{PdfObjectID(2, 0)});
    EXPECT_EQ(hook.streams, 1);
    EXPECT_EQ(dictionary->Elements().GetString("/T"), u"ab");
    EXPECT_EQ(dictionary->Stream()->Value(), (std::vector<std::uint8_t>{'x', 'y'}));
}

TEST(WriterSecurity, TrailerAndEmptyStringsStayClear) {
    ShiftingHook hook;
    hook.key = 1;
    std::vector<std::uint8_t> bytes;
    IO::PdfWriter writer(bytes, &hook);
    PdfDictionary trailer;
    trailer.Elements().SetValue("/ID", std::make_unique<PdfString>(u"id", PdfStringFlags::HexLiteral));
    writer.WriteTrailer(trailer);
    writer.Write(PdfString(u""));
    writer.WriteDocString(u"a");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "trailer\n<<\n/ID<6964>\n>>\n()(b)");
    EXPECT_EQ(writer.SecurityHandler(), &hook);
}

}  // namespace
}  // namespace ZavorPdf::Pdf
