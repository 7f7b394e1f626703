// The external file kept open between a script's read operations: when it
// is reused, and when the file or the request has changed so that it must
// be read again.
#include <gtest/gtest.h>

#include <string>

#include "pdf/content/pdf_text_extractor.h"
#include "pdf/errors.h"
#include "pdf/io/pdf_reader.h"
#include "pdf/pdf_document.h"
#include "pdf/read_budget.h"
#include "plugin/exports.h"
#include "plugin/recording_host.h"
#include "plugin/sample_pdf.h"
#include "session/external_file_cache.h"
#include "session/pdf.h"
#include "support/test_output.h"

namespace {

using ZavorPdf::Pdf::PdfDocument;
using ZavorPdf::Pdf::PdfDocumentOpenMode;
using ZavorPlugin::ExternalFileCache;

int opened = 0;

std::unique_ptr<PdfDocument> CountingOpener(std::u16string_view file, PdfDocumentOpenMode mode,
                                            const std::u16string &) {
    ++opened;
    return ZavorPdf::Pdf::IO::PdfReader::Open(std::filesystem::path(std::u16string(file)), mode);
}

std::unique_ptr<PdfDocument> FailingOpener(std::u16string_view, PdfDocumentOpenMode, const std::u16string &) {
    ++opened;
    throw ZavorPdf::InvalidOperationException("refused");
}

std::u16string Wide(const std::string &text) { return {text.begin(), text.end()}; }

TEST(ExternalFileCache, ReusesTheFileUntilItOrTheRequestChanges) {
    const std::string first = ZavorTest::OutputPath("cache_first.pdf").string();
    const std::string second = ZavorTest::OutputPath("cache_second.pdf").string();
    ZavorTest::WriteSamplePdf(first, {{"Eins", "Zwei"}, ""});
    ZavorTest::WriteSamplePdf(second, {{"Drei"}, ""});
    const auto info = PdfDocumentOpenMode::InformationOnly;
    ExternalFileCache cache;
    opened = 0;

    PdfDocument &kept = cache.Open(Wide(first), info, u"", &CountingOpener);
    kept.Budget().ChargeDecoded(kept.Budget().DecodedRoom() - 1);
    // The same file through another spelling of its path, with its budget
    // whole again.
    const std::string dotted = ZavorTest::OutputPath(".").string() + "/./cache_first.pdf";
    EXPECT_EQ(&cache.Open(Wide(dotted), info, u"", &CountingOpener), &kept);
    EXPECT_EQ(kept.Budget().DecodedRoom(), kept.Budget().DecodedLimit());
    EXPECT_EQ(opened, 1);
    // An operation that ran out of budget leaves objects damaged that were
    // not: the next one reads the file again.
    EXPECT_THROW(kept.Budget().ChargeItems(kept.Budget().ItemLimit() + 1), ZavorPdf::Pdf::ReadBudgetExceededException);
    cache.Open(Wide(first), info, u"", &CountingOpener);
    EXPECT_EQ(opened, 2);

    struct Case {
        const char *what;
        std::string file;
        PdfDocumentOpenMode mode;
        std::u16string password;
        int pages;
    };
    const Case cases[] = {
        {"another password", first, info, u"geheim", 2},
        {"another mode", first, PdfDocumentOpenMode::ReadOnly, u"geheim", 2},
        {"another file", second, PdfDocumentOpenMode::ReadOnly, u"geheim", 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        int before = opened;
        EXPECT_EQ(cache.Open(Wide(c.file), c.mode, c.password, &CountingOpener).PageCount(), c.pages);
        EXPECT_EQ(opened, before + 1);
    }

    // Rewritten with the same size: only its time of change tells.
    ZavorTest::WriteSamplePdf(second, {{"Vier"}, ""});
    PdfDocument &reread = cache.Open(Wide(second), PdfDocumentOpenMode::ReadOnly, u"geheim", &CountingOpener);
    EXPECT_EQ(opened, 6);
    EXPECT_EQ(ZavorPdf::Pdf::Content::PdfTextExtractor::GetText(reread, 0), u"Vier\r\n");

    // Replaced by a file of the same size that is given the old time of
    // change: only the file behind the name tells.
    const auto stamp = std::filesystem::last_write_time(second);
    const std::string replacement = ZavorTest::OutputPath("cache_replacement.pdf").string();
    ZavorTest::WriteSamplePdf(replacement, {{"Acht"}, ""});
    std::filesystem::rename(replacement, second);
    std::filesystem::last_write_time(second, stamp);
    PdfDocument &replaced = cache.Open(Wide(second), PdfDocumentOpenMode::ReadOnly, u"geheim", &CountingOpener);
    EXPECT_EQ(opened, 7);
    EXPECT_EQ(ZavorPdf::Pdf::Content::PdfTextExtractor::GetText(replaced, 0), u"Acht\r\n");

    // Asking for another file drops the kept one; a failing open keeps none.
    cache.KeepOnly(Wide(second));
    cache.Open(Wide(second), PdfDocumentOpenMode::ReadOnly, u"geheim", &CountingOpener);
    EXPECT_EQ(opened, 7);
    cache.KeepOnly(Wide(first));
    EXPECT_THROW(cache.Open(Wide(second), PdfDocumentOpenMode::ReadOnly, u"geheim", &FailingOpener),
                 ZavorPdf::InvalidOperationException);
    cache.Open(Wide(second), PdfDocumentOpenMode::ReadOnly, u"geheim", &CountingOpener);
    EXPECT_EQ(opened, 9);
}

// Through the script's variables: a file changed or deleted between two
// reads is seen as it is now.
TEST(ExternalFileCache, ScriptsSeeTheFileAsItIsNow) {
    ZavorTest::RecordingHost host;
    host.StartDocument();
    const std::string file = ZavorTest::OutputPath("cache_script.pdf").string();
    ZavorTest::WriteSamplePdf(file, {{"Eins", "Zwei"}, ""});
    EXPECT_EQ(ZavorTest::ReadVariable("ExternePDFDatei_Info_AnzahlSeiten", file), "2");
    EXPECT_EQ(ZavorTest::ReadVariable("ExternePDFDatei_Text", "1;" + file), "Eins\r\n");
    ZavorTest::WriteSamplePdf(file, {{"Acht", "Zwei", "Drei"}, ""});
    EXPECT_EQ(ZavorTest::ReadVariable("ExternePDFDatei_Text", "1;" + file), "Acht\r\n");
    EXPECT_EQ(ZavorTest::ReadVariable("ExternePDFDatei_Info_AnzahlSeiten", file), "3");
    std::filesystem::remove(file);
    EXPECT_EQ(ZavorTest::ReadVariable("ExternePDFDatei_Info_AnzahlSeiten", file), "");
    EXPECT_EQ(host.Events(), std::vector<std::string>{"ZAVOR_DateiFehler"});
}

// A kept file is read where it lies mapped: shortened by another program,
// whether between two reads or while the kept document still reads from
// it, it gives the file error or a damaged result, never a crash.
TEST(ExternalFileCache, AKeptFileShortenedUnderItDoesNotCrash) {
    ZavorTest::RecordingHost host;
    host.StartDocument();
    const std::string file = ZavorTest::OutputPath("cache_shortened.pdf").string();
    ZavorTest::WriteSamplePdf(file, {{"Eins", "Zwei"}, ""});
    EXPECT_EQ(ZavorTest::ReadVariable("ExternePDFDatei_Info_AnzahlSeiten", file), "2");
    std::filesystem::resize_file(file, 8);
    EXPECT_EQ(ZavorTest::ReadVariable("ExternePDFDatei_Info_AnzahlSeiten", file), "");
    EXPECT_EQ(host.Events(), std::vector<std::string>{"ZAVOR_DateiFehler"});

    ZavorTest::WriteSamplePdf(file, {{"Eins", "Zwei"}, ""});
    auto document = ZavorPdf::Pdf::IO::PdfReader::Open(std::filesystem::path(file), PdfDocumentOpenMode::ReadOnly);
    std::filesystem::resize_file(file, 0);
    // What the lost bytes give is not to be trusted; the process lives on.
    try {
        static_cast<void>(ZavorPdf::Pdf::Content::PdfTextExtractor::GetText(*document, 1));
    } catch (const ZavorPdf::ZavorPdfException &) {
    }
    // Not a PDF any more: the check of what the tests wrote must not see it.
    document.reset();
    std::filesystem::remove(file);
}

}  // namespace
