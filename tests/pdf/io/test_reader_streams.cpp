// Streams whose "/Length" is wrong are read up to their "endstream".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pdf/errors.h"
#include "pdf/pdf_dictionary.h"
#include "pdf_text.h"

namespace {

using namespace ZavorPdf;
using namespace ZavorPdf::Pdf;
using ZavorTest::ParsedFile;

constexpr const char *Data = "BT (Hi) Tj ET";  // 13 bytes

// Object 1 is a stream with the given dictionary entries and text between
// "stream" and "endstream"; object 2 follows it.
std::string StreamFile(const std::string &entries, const std::string &body, const std::string &more = "") {
    return "%PDF-1.4\n1 0 obj\n<< " + entries + " /After 7 >>\nstream" + body + "endstream\nendobj\n" +
           "2 0 obj\n<< /Next true >>\nendobj\n" + more +
           "@xref\ntrailer\n<< /Size 9 >>\nstartxref\n@startxref\n%%EOF\n";
}

// The stream's data as text, or the failure of reading object 1.
std::string StreamOf(const std::string &text) {
    ParsedFile file(ZavorTest::BuildPdf(text));
    file.parser->ReadTrailer();
    try {
        auto *stream = dynamic_cast<PdfDictionary *>(file.parser->ReadObject(nullptr, PdfObjectID(1)));
        if (stream == nullptr || stream->Stream() == nullptr) return "no stream";
        const std::vector<std::uint8_t> &bytes = stream->Stream()->Value();
        std::string data(bytes.begin(), bytes.end());
        if (stream->Elements().GetInteger("/Length") != static_cast<int>(data.size())) return "length differs";
        if (stream->Elements().GetInteger("/After") != 7) return "entry lost";
        return data;
    } catch (const ZavorPdfException &error) {
        return error.what();
    }
}

TEST(ReaderStreams, WrongLengthIsTakenFromEndstream) {
    const std::string body = std::string("\n") + Data + "\n";
    const struct {
        const char *name;
        std::string text;
        std::string data;
    } cases[] = {
        {"right", StreamFile("/Length 13", body), Data},
        {"right, with white space before endstream", StreamFile("/Length 13", body + " \n"), Data},
        {"too short", StreamFile("/Length 10", body), Data},
        {"short by trailing blanks only", StreamFile("/Length 13", "\nBT (Hi) Tj ET  \n"), Data},
        {"too long", StreamFile("/Length 16", body), Data},
        {"into the next object", StreamFile("/Length 60", body), Data},
        {"beyond the file", StreamFile("/Length 99999", body), Data},
        {"negative", StreamFile("/Length -1", body), Data},
        {"missing", StreamFile("", body), Data},
        {"a name", StreamFile("/Length /Three", body), Data},
        {"indirect and right", StreamFile("/Length 3 0 R", body, "3 0 obj\n13\nendobj\n"), Data},
        {"indirect and wrong", StreamFile("/Length 3 0 R", body, "3 0 obj\n7\nendobj\n"), Data},
        {"indirect and no number", StreamFile("/Length 3 0 R", body, "3 0 obj\n(13)\nendobj\n"), Data},
        {"indirect and damaged", StreamFile("/Length 3 0 R", body, "3 0 obj\n13 14\nendobj\n"), Data},
        {"indirect and not in the file", StreamFile("/Length 5 0 R", body), Data},
        {"indirect to itself", StreamFile("/Length 1 0 R", body), Data},
        {"CR LF line ends", StreamFile("/Length 2", std::string("\r\n") + Data + "\r\n"), Data},
        {"no line end before endstream", StreamFile("/Length 99", std::string("\n") + Data), Data},
        {"a longer word first", StreamFile("/Length 1", "\n(endstreams)\n"), "(endstreams)"},
        {"no data", StreamFile("/Length 5", "\n"), ""},
        {"endobj before endstream", StreamFile("/Length 99", "\nBT ET\nendobj\n3 0 obj\n<< >>\nstream\n"),
         "Cannot retrieve stream length."},
        {"no endstream at all", "%PDF-1.4\n1 0 obj\n<< /Length 99 >>\nstream\nBT ET\nendobj\n@xref\ntrailer\n<< >>\n"
                                "startxref\n@startxref\n%%EOF\n",
         "Cannot retrieve stream length."},
    };
    for (const auto &c : cases) EXPECT_EQ(StreamOf(c.text), c.data) << c.name;
}

}  // namespace
