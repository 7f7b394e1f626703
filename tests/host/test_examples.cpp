// The shipped example script run by the real zavor host with the real
// plug-in, checked with independent PDF tools.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/zavor_process.h"
#include "support/test_output.h"

namespace ZavorHostTest {
namespace {

TEST(Examples, HalloBecomesOneA4PageWithTextInABox) {
    ScratchFolder folder;
    std::filesystem::copy_file(ZavorTest::SourceDir() / "examples" / "hallo.zq", folder.Path() / "hallo.zq");
    ProcessResult run = RunZavor(folder, "run hallo.zq");
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(run.out.find("Fehler:"), std::string::npos) << run.out;

    const std::filesystem::path pdf = ZavorTest::OutputPath("hallo.pdf");
    std::filesystem::copy_file(folder.Path() / "hallo.pdf", pdf, std::filesystem::copy_options::overwrite_existing);
    std::string info = ZavorTest::RunCommand("pdfinfo " + Quote(pdf) + " 2>&1");
    EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << info;
    EXPECT_NE(info.find("Page size:       595 x 842 pts (A4)"), std::string::npos) << info;

    std::string text = ZavorTest::RunCommand("pdftotext -layout " + Quote(pdf) + " - 2>&1");
    EXPECT_NE(text.find("Hallo Welt!"), std::string::npos) << text;
    EXPECT_NE(text.find("Kasten."), std::string::npos) << text;

    // The box drawn around the text, in the page's top-down coordinates.
    std::string content = ZavorTest::RunCommand("qpdf --qdf --object-streams=disable " + Quote(pdf) + " - 2>&1");
    EXPECT_NE(content.find("72 72 450 120 re\nS\n"), std::string::npos);
    EXPECT_NE(content.find("2 w\n"), std::string::npos);
}

// The richer examples: each runs without an event, and what it promises can
// be read back with independent tools.
struct ExampleExpectation {
    const char *script;
    const char *pageSize;
    std::vector<const char *> texts;
    std::vector<const char *> infoLines;
};

TEST(Examples, InvoiceAndPosterRunCleanAndReadBack) {
    const std::vector<ExampleExpectation> examples = {
        {"rechnung", "Page size:       595 x 842 pts (A4)",
         {"Beispiel GmbH", "Heidestraße 17", "Summe: 2.300,00 €", "Zahlbar innerhalb von 14 Tagen."},
         {"Title:           Rechnung 2026-0815", "Author:          Beispiel GmbH"}},
        {"plakat", "Page size:       1190 x 842 pts (A3)", {"Samstag, 18. Juli 2026, ab 15 Uhr", "Eintritt frei!"},
         {"Title:           Sommerfest"}},
    };
    for (const ExampleExpectation &example : examples) {
        SCOPED_TRACE(example.script);
        ScratchFolder folder;
        const std::string script = std::string(example.script) + ".zq";
        std::filesystem::copy_file(ZavorTest::SourceDir() / "examples" / script, folder.Path() / script);
        ProcessResult run = RunZavor(folder, "run " + script);
        ASSERT_EQ(run.exitCode, 0) << run.out << run.err;

        const std::filesystem::path pdf = ZavorTest::OutputPath(std::string(example.script) + ".pdf");
        std::filesystem::copy_file(folder.Path() / (std::string(example.script) + ".pdf"), pdf,
                                   std::filesystem::copy_options::overwrite_existing);
        std::string info = ZavorTest::RunCommand("pdfinfo " + Quote(pdf) + " 2>&1");
        EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << info;
        EXPECT_NE(info.find(example.pageSize), std::string::npos) << info;
        for (const char *line : example.infoLines) EXPECT_NE(info.find(line), std::string::npos) << line << info;

        std::string text = ZavorTest::RunCommand("pdftotext -layout " + Quote(pdf) + " - 2>&1");
        for (const char *piece : example.texts) EXPECT_NE(text.find(piece), std::string::npos) << piece << text;
    }
}

}  // namespace
}  // namespace ZavorHostTest
