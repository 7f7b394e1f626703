// Links on the pages of an external PDF lead to the copies of their target
// pages after importing, whatever form the file gave their destinations,
// and links to pages left behind are gone rather than dead.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "pdf/io/pdf_reader.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"
#include "plugin/exports.h"
#include "plugin/recording_host.h"
#include "plugin/sample_pdf.h"
#include "session/pdf.h"
#include "support/platform_support.h"
#include "support/test_output.h"

namespace {

using namespace ZavorPdf::Pdf;
using ZavorPlugin::PDF;

std::string Narrow(const std::u16string &text) { return std::string(text.begin(), text.end()); }

// "/NM" of every annotation of the saved file → "page>target": the target
// is "page kind parameters" for a destination in the file (pages counted
// from 1), the action type for other actions, the subtype otherwise.
std::map<std::string, std::string> Targets(const std::string &file) {
    std::unique_ptr<PdfDocument> document = IO::PdfReader::Open(file, PdfDocumentOpenMode::ReadOnly);
    std::map<PdfObjectID, int> pageNumbers;
    for (int i = 0; i < document->PageCount(); ++i) pageNumbers[document->Pages()[i].ObjectID()] = i + 1;
    std::map<std::string, std::string> targets;
    for (int i = 0; i < document->PageCount(); ++i) {
        const PdfArray *annotations = document->Pages()[i].Elements().GetArray("/Annots");
        for (int j = 0; annotations != nullptr && j < annotations->Elements().Count(); ++j) {
            const PdfDictionary *annotation = annotations->Elements().GetDictionary(j);
            const PdfDictionary *action = annotation->Elements().GetDictionary("/A");
            const PdfArray *destination = annotation->Elements().GetArray("/Dest");
            if (action != nullptr && action->Elements().GetName("/S") == "/GoTo")
                destination = action->Elements().GetArray("/D");
            std::string target = action != nullptr ? action->Elements().GetName("/S")
                                                   : annotation->Elements().GetName("/Subtype");
            if (destination != nullptr) {
                const PdfReference *page = destination->Elements().GetReference(0);
                target = page != nullptr ? std::to_string(pageNumbers[page->ObjectID()]) : "none";
                for (int k = 1; k < destination->Elements().Count(); ++k)
                    target += " " + destination->Elements()[k]->ToString();
            }
            targets[Narrow(annotation->Elements().GetString("/NM"))] = std::to_string(i + 1) + ">" + target;
        }
    }
    return targets;
}

class SessionImportedLinks : public testing::Test {
protected:
    void SetUp() override {
        host.StartDocument();
        ZavorTest::WriteLinkedPdf(source);
    }
    PDF &Session() { return PDF::GetInstance(); }

    // The saved file passes the tools, and poppler follows every link
    // without complaint.
    std::string SaveAndCheck(const std::string &name) {
        const std::string saved = ZavorTest::OutputPath(name).string();
        host.SaveTo(saved);
        std::string check = ZavorTest::RunCommand("qpdf --check " + saved + " 2>&1");
        EXPECT_NE(check.find("No syntax or stream encoding errors found"), std::string::npos) << check;
        EXPECT_EQ(ZavorTest::RunCommand("pdftotext " + saved + " - 2>&1 >/dev/null"), "");
        EXPECT_TRUE(host.Events().empty());
        return saved;
    }

    ZavorTest::RecordingHost host;
    std::string source = ZavorTest::OutputPath("linked_source.pdf").string();
    std::u16string source16 = std::u16string(source.begin(), source.end());
};

TEST_F(SessionImportedLinks, AllPagesKeepEveryLinkThatLeadsSomewhere) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdftotext, qpdf");
    Session().AddPDF(source16, 0, 0);
    const std::map<std::string, std::string> expected{
        {"explicit", "1>2 /XYZ 0 100 0"},
        {"goto", "1>4 /Fit"},
        {"chapter", "1>3 /FitH 50"},
        {"sec.2", "1>2 /FitR 0 0 10 10"},
        {"appendix", "1>4 /XYZ null null null"},
        {"intro", "1>1 /Fit"},
        {"web", "1>/URI"},
        {"remote", "1>/GoToR"},
        {"note", "1>/Text"},
        {"back", "2>1 /Fit"},
    };
    EXPECT_EQ(Targets(SaveAndCheck("imported_links_all.pdf")), expected);
}

// Pages 1 and 2 after a page of the script's own: links to pages 3 and 4
// are gone, the others lead to the copies.
TEST_F(SessionImportedLinks, ARangeDropsTheLinksToPagesLeftBehind) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdftotext, qpdf");
    QnD_SetVar("NeueSeite", "A4");
    Session().AddPDF(source16, 1, 2);
    ASSERT_EQ(Session().document->PageCount(), 3);
    const std::map<std::string, std::string> expected{
        {"explicit", "2>3 /XYZ 0 100 0"},
        {"sec.2", "2>3 /FitR 0 0 10 10"},
        {"intro", "2>2 /Fit"},
        {"web", "2>/URI"},
        {"remote", "2>/GoToR"},
        {"note", "2>/Text"},
        {"back", "3>2 /Fit"},
    };
    EXPECT_EQ(Targets(SaveAndCheck("imported_links_range.pdf")), expected);
}

// A range running past the end imports the pages before the failure, and
// their links to each other still work.
TEST_F(SessionImportedLinks, PagesBeforeAFailureKeepTheirLinks) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdftotext, qpdf");
    Session().AddPDF(source16, 1, 9);
    ASSERT_EQ(Session().document->PageCount(), 4);
    EXPECT_EQ(host.Events(), std::vector<std::string>{"ZAVOR_DateiFehler"});
    ZavorTest::RecordedEvents().clear();
    std::map<std::string, std::string> targets = Targets(SaveAndCheck("imported_links_failure.pdf"));
    EXPECT_EQ(targets["goto"], "1>4 /Fit");
    EXPECT_EQ(targets["back"], "2>1 /Fit");
}

}  // namespace
