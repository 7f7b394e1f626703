// Pages, information and page text of PDF files other than the document
// under construction, through the session's operations.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "pdf/pdf_document.h"
#include "plugin/exports.h"
#include "plugin/recording_host.h"
#include "plugin/sample_pdf.h"
#include "session/pdf.h"
#include "support/platform_support.h"
#include "support/test_output.h"

namespace {

using ZavorPlugin::PDF;

std::string PageText(const std::string &file, int page) {
    std::string command = "pdftotext -f " + std::to_string(page) + " -l " + std::to_string(page) + " " + file + " -";
    return ZavorTest::RunCommand(command);
}

class SessionExternalFiles : public testing::Test {
protected:
    void SetUp() override {
        host.StartDocument();
        ZavorTest::WriteSamplePdf(sample, {{"Eins", "", "Drei"}, "/Keywords (a, b)"});
    }
    PDF &Session() { return PDF::GetInstance(); }

    ZavorTest::RecordingHost host;
    std::string sample = ZavorTest::OutputPath("external_sample.pdf").string();
    std::u16string sample16 = std::u16string(sample.begin(), sample.end());
};

TEST_F(SessionExternalFiles, DrawingStaysOnThePageThatWasCurrent) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdftotext");
    QnD_SetVar("NeueSeite", "A4");
    QnD_SetVar("Schriftart", "Arial");
    QnD_SetVar("Schriftgroesse", "12");
    Session().AddPDF(sample16, 0, 0);
    EXPECT_EQ(Session().document->PageCount(), 4);
    QnD_SetVar("TextHinzufuegen", "Vorher");
    QnD_SetVar("AktiveSeiteFestlegen", "2");  // the first page appended
    QnD_SetVar("TextHinzufuegen", "Nachtrag");
    const std::string saved = ZavorTest::OutputPath("external_drawing.pdf").string();
    host.SaveTo(saved);
    ASSERT_EQ(Session().fehlertext, u"");
    EXPECT_NE(PageText(saved, 1).find("Vorher"), std::string::npos);
    std::string second = PageText(saved, 2);
    EXPECT_NE(second.find("Eins"), std::string::npos) << second;
    EXPECT_NE(second.find("Nachtrag"), std::string::npos) << second;
    EXPECT_NE(PageText(saved, 4).find("Drei"), std::string::npos);
    EXPECT_TRUE(host.Events().empty());
}

TEST_F(SessionExternalFiles, PageRangesAtTheIntegerLimitsFailWithoutImporting) {
    const std::int32_t min = std::numeric_limits<std::int32_t>::min();
    const std::int32_t max = std::numeric_limits<std::int32_t>::max();
    for (auto [from, to] : {std::pair{min, max}, std::pair{max, max}, std::pair{min, min}, std::pair{0, 2}}) {
        SCOPED_TRACE(std::to_string(from) + ".." + std::to_string(to));
        ZavorTest::RecordedEvents().clear();
        Session().AddPDF(sample16, from, to);
        EXPECT_EQ(Session().document->PageCount(), 0);
        EXPECT_EQ(host.Events(), std::vector<std::string>{"ZAVOR_DateiFehler"});
    }
    EXPECT_EQ(Session().fehlertext, u"Die Datei \"" + sample16 + u"\" konnte nicht eingelesen werden.");
}

TEST_F(SessionExternalFiles, InformationOfAFileThePlugInWrote) {
    QnD_SetVar("Info_Titel", "Jahresbericht \xE4");
    QnD_SetVar("Info_Autor", "Anna");
    QnD_SetVar("Info_Keywords", "Zahlen; Fakten");
    QnD_SetVar("NeueSeite", "");
    QnD_SetVar("NeueSeite", "");
    const std::string saved = ZavorTest::OutputPath("external_information.pdf").string();
    host.SaveTo(saved);
    ASSERT_EQ(Session().fehlertext, u"");
    const std::u16string file(saved.begin(), saved.end());
    struct Case {
        std::int32_t code;
        std::u16string value;
    };
    const Case cases[] = {
        {0, u"2"},
        {1, u"Anna"},
        {2, u"Jahresbericht \u00E4"},
        {3, u"Zahlen; Fakten"},
        {4, ZavorPdf::Pdf::PdfDocument::CreatorText},
        {5, ZavorPdf::Pdf::PdfDocument::ProducerText},
        {6, u""},
        {9, u""},
        {-1, u""},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.code);
        EXPECT_EQ(Session().GetPDFInfo(file, test.code), test.value);
    }
    EXPECT_TRUE(host.Events().empty());
}

}  // namespace
