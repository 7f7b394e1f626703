// Stream data that its own filters refuse is found before a copy of it is
// made; data of filters we do not decode passes as it is.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pdf/errors.h"
#include "pdf/io/pdf_reader.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"
#include "pdf/pdf_reference_table.h"
#include "pdf/stream_data_check.h"
#include "platform/flate_codec.h"
#include "support/damaged_pictures.h"

namespace {

using namespace ZavorPdf;
using namespace ZavorPdf::Pdf;
using Bytes = std::vector<std::uint8_t>;

Bytes Text(const std::string &text) { return {text.begin(), text.end()}; }

Bytes Flate(const Bytes &data) { return ZavorPlatform::Deflate(data); }

// The last byte of the Adler-32 sum changed: every byte inflates, and
// readers take the data as it is.
Bytes WrongChecksum(Bytes data) {
    data.back() ^= 0x55;
    return data;
}

// A byte in the middle of the coded data changed.
Bytes Scrambled(Bytes data) {
    for (std::size_t i = data.size() / 3; i < data.size() / 3 + 8; ++i) data[i] ^= 0xA5;
    return data;
}

Bytes Cut(Bytes data) {
    data.resize(data.size() / 2);
    return data;
}

std::string CheckOutcome(const std::vector<std::string> &filters, const Bytes &data) {
    PdfDocument document;
    auto stream = std::make_unique<PdfDictionary>(&document);
    if (filters.size() == 1) {
        stream->Elements().SetName("/Filter", filters[0]);
    } else {
        auto array = std::make_unique<PdfArray>(&document);
        for (const std::string &filter : filters) array->Elements().Add(std::make_unique<PdfName>(filter));
        stream->Elements().SetValue("/Filter", std::move(array));
    }
    stream->CreateStream(data);
    PdfDictionary &filed = *stream;
    document.ReferenceTable().Add(std::move(stream));
    try {
        CheckStreamData(filed);
        return "passes";
    } catch (const PdfReaderException &error) {
        // The number the document gives the stream is no matter here.
        std::string message = error.what();
        std::string id = filed.ObjectID().ToString();
        if (std::size_t at = message.find(id); at != std::string::npos) message.replace(at, id.size(), "n g");
        return message;
    }
}

TEST(StreamDataCheck, DataItsFiltersRefuseIsDamaged) {
    const Bytes content = Text(std::string(4000, 'x') + " BT (Hi) Tj ET");
    const Bytes jpeg = ZavorTest::PictureParts::Jpeg();
    const std::string damaged = "The stream of object n g of the file is damaged and cannot be read.";
    const struct {
        const char *name;
        std::vector<std::string> filters;
        Bytes data;
        std::string outcome;
    } cases[] = {
        {"flate", {"/FlateDecode"}, Flate(content), "passes"},
        {"flate, abbreviated", {"/Fl"}, Flate(content), "passes"},
        {"flate with a wrong checksum", {"/FlateDecode"}, WrongChecksum(Flate(content)), "passes"},
        {"flate scrambled", {"/FlateDecode"}, Scrambled(Flate(content)), damaged},
        {"flate cut short", {"/FlateDecode"}, Cut(Flate(content)), damaged},
        {"no flate at all", {"/FlateDecode"}, content, damaged},
        {"hex, then flate", {"/AHx", "/FlateDecode"}, Text("789c 03 00 00 00 00 01>"), "passes"},
        {"hex, then no flate", {"/ASCIIHexDecode", "/FlateDecode"}, Text("0102>"), damaged},
        // Picture data is not judged: viewers show what a damaged one holds.
        {"jpeg cut short", {"/DCTDecode"}, Cut(jpeg), "passes"},
        {"no jpeg at all", {"/DCTDecode"}, content, "passes"},
        {"flate around a cut jpeg", {"/FlateDecode", "/DCTDecode"}, Flate(Cut(jpeg)), "passes"},
        {"flate around a cut jpeg, cut short", {"/FlateDecode", "/DCTDecode"}, Cut(Flate(jpeg)), damaged},
        {"not decoded here", {"/CCITTFaxDecode"}, content, "passes"},
        {"flate after one not decoded here", {"/RunLengthDecode", "/FlateDecode"}, content, "passes"},
        {"lzw refused", {"/LZWDecode"}, Text("\xff\xff\xff\xff"), damaged},
        {"unknown filter", {"/Whatever"}, content, "passes"},
    };
    for (const auto &c : cases) EXPECT_EQ(CheckOutcome(c.filters, c.data), c.outcome) << c.name;
}

// The output is not kept, but its size is still bounded.
TEST(StreamDataCheck, InflatingStopsAtTheLimit) {
    Bytes large = Flate(Bytes(std::size_t{4} << 20, 'a'));
    EXPECT_EQ(CheckOutcome({"/FlateDecode"}, large), "passes");
    try {
        ZavorPlatform::CheckInflate(large, std::size_t{1} << 20);
        ADD_FAILURE() << "no limit";
    } catch (const ZavorPlatform::FlateError &error) {
        EXPECT_EQ(error.GetKind(), ZavorPlatform::FlateError::Kind::LimitExceeded);
    }
}

}  // namespace
