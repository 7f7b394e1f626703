// The information texts of a saved document outside Latin-1: the bytes in
// the file, what pdfinfo shows, and what our reader reads back.
#include <string>

#include <gtest/gtest.h>

#include "pdf/io/pdf_reader.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_document_information.h"
#include "support/platform_support.h"
#include "support/test_output.h"
#include "test_document_support.h"

namespace ZavorPdf::Pdf {
namespace {

struct InfoCase {
    const char *field;  // as pdfinfo names it
    std::u16string (PdfDocumentInformation::*get)() const;
    void (PdfDocumentInformation::*set)(std::u16string);
    std::u16string text;
    std::string written;  // the entry as the file holds it
    std::string shown;    // UTF-8, as pdfinfo prints it
};

const InfoCase InfoCases[] = {
    // PDFDocEncoding holds every character: one byte each, the euro sign at
    // 0xA0 and the en dash at 0x85, where Latin-1 has neither.
    {"Title", &PdfDocumentInformation::Title, &PdfDocumentInformation::SetTitle,
     u"Preis 5 \u20AC \u2013 Gr\u00FC\u00DFe",
     "/Title(Preis 5 \xA0 \x85 Gr\xFC\xDF" "e)", "Preis 5 \xE2\x82\xAC \xE2\x80\x93 Gr\xC3\xBC\xC3\x9F" "e"},
    // Omega has no byte there: UTF-16 with its byte order mark.
    {"Author", &PdfDocumentInformation::Author, &PdfDocumentInformation::SetAuthor, u"\u03A9 \u20AC",
     "/Author<FEFF03A9002020AC>", "\xCE\xA9 \xE2\x82\xAC"},
    // The no-break space would read as the euro sign in PDFDocEncoding.
    {"Subject", &PdfDocumentInformation::Subject, &PdfDocumentInformation::SetSubject, u"1\u00A0kg",
     "/Subject<FEFF003100A0006B0067>", "1\xC2\xA0kg"},
    {"Keywords", &PdfDocumentInformation::Keywords, &PdfDocumentInformation::SetKeywords, u"\u201EZitat\u201C \u2026",
     "/Keywords(\x8CZitat\x8D \x83)", "\xE2\x80\x9EZitat\xE2\x80\x9C \xE2\x80\xA6"},
    // The code page's circumflex is one of PDFDocEncoding's accents.
    {"Creator", &PdfDocumentInformation::Creator, &PdfDocumentInformation::SetCreator, u"Skript \u02C6\u0160",
     "/Creator(Skript \x1A\x97)", "Skript \xCB\x86\xC5\xA0"},
};

TEST(DocumentInformation, TextsOutsideLatin1SurviveTheFileAndTheTools) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdfinfo");
    PdfDocument document;
    document.AddPage();
    for (const InfoCase &c : InfoCases) (document.Info().*c.set)(c.text);
    auto path = ZavorTest::OutputPath("document_information_texts.pdf");
    document.Save(path);

    std::string file = ZavorTest::ReadFileText(path);
    auto read = IO::PdfReader::Open(path, PdfDocumentOpenMode::Import);
    ASSERT_NE(read, nullptr);
    for (const InfoCase &c : InfoCases) {
        SCOPED_TRACE(c.field);
        EXPECT_NE(file.find(c.written), std::string::npos);
        EXPECT_EQ(ZavorTest::PdfInfoField(path, c.field), c.shown);
        EXPECT_EQ((read->Info().*c.get)(), c.text);
        EXPECT_EQ((document.Info().*c.get)(), c.text);
    }
}

}  // namespace
}  // namespace ZavorPdf::Pdf
