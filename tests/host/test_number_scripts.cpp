// Numbers in scripts run by the real zavor host with the real plug-in:
// decimals in the user's locale, and page sizes the plug-in refuses.
#include <gtest/gtest.h>

#include <string>

#include "host/zavor_process.h"
#include "support/test_output.h"

namespace ZavorHostTest {
namespace {

// The environment of a user who chose only LANG.
std::string Lang(const std::string &locale) { return "LC_ALL= LC_NUMERIC= LANG=" + locale; }

// The content stream of the first page of the PDF that a one-pie script
// writes, with the pie's fields as given.
std::string PieContent(const std::string &fields, const std::string &environment, const std::string &name) {
    ScratchFolder folder;
    folder.Write("torte.zq", "ZQ-PDF Typ=0\nZQ-PDF Typ=1 Format=A4\nSET TorteHinzufuegen = " + fields +
                                 "\nZQ-PDF Typ=3 PDFDatei=torte.pdf PDFstarten=false\n");
    ProcessResult run = RunZavor(folder, "run torte.zq", environment);
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    const std::filesystem::path pdf = ZavorTest::OutputPath(name);
    std::filesystem::copy_file(folder.Path() / "torte.pdf", pdf, std::filesystem::copy_options::overwrite_existing);
    std::string qdf = ZavorTest::RunCommand("qpdf --qdf --object-streams=disable " + Quote(pdf) + " - 2>&1");
    std::size_t start = qdf.find("%% Contents for page 1");
    std::size_t end = qdf.find("endstream", start);
    EXPECT_NE(end, std::string::npos) << qdf;
    return start == std::string::npos || end == std::string::npos ? "" : qdf.substr(start, end - start);
}

TEST(NumberScripts, PieAnglesInTheUsersLocale) {
    const std::string german = PieContent("1;0;90,5", Lang("de_DE.UTF-8"), "locale_pie_de.pdf");
    const std::string english = PieContent("1;0;90.5", Lang("en_US.UTF-8"), "locale_pie_en.pdf");
    const std::string fallback = PieContent("1;0;90.5", Lang("de_DE.UTF-8"), "locale_pie_fallback.pdf");
    ASSERT_FALSE(german.empty());
    EXPECT_EQ(german, english);
    EXPECT_NE(german, fallback);
}

TEST(NumberScripts, PageOutsideTheViewableSizesIsReported) {
    ScratchFolder folder;
    folder.Write("seite.zq",
                 "ON ZAVOR_ObjektFehler GET f = Fehler\nZQ-PDF Typ=0\nZQ-PDF Typ=1 Breite=-100 Hoehe=-100\n"
                 "PRINT [f]\nGET n = AnzahlSeiten\nPRINT [n]\n");
    ProcessResult run = RunZavor(folder, "run seite.zq");
    EXPECT_EQ(run.exitCode, 3) << run.err;
    EXPECT_EQ(run.out, "Die Seite konnte wegen fehlerhafter Werte nicht erstellt werden.\n0\n");
    EXPECT_EQ(run.err, "");
}

}  // namespace
}  // namespace ZavorHostTest
