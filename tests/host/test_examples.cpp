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

// GTK and the libraries it brings are mapped only when a window is to be
// shown: not for a script that shows none, even with a display named. A
// display that cannot be opened leaves the message on standard error.
TEST(Examples, WindowLibrariesAreLoadedOnlyToShowAWindow) {
    ScratchFolder folder;
    std::filesystem::copy_file(ZavorTest::SourceDir() / "examples" / "hallo.zq", folder.Path() / "hallo.zq");
    ProcessResult quiet = RunZavor(folder, "run hallo.zq", "LD_DEBUG=files DISPLAY=:4321");
    ASSERT_EQ(quiet.exitCode, 0) << quiet.err;
    EXPECT_NE(quiet.err.find("libzavor.so"), std::string::npos) << "the loader's trace is missing";
    EXPECT_EQ(quiet.err.find("libgtk-3"), std::string::npos);
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "GTK under the leak checker";
#endif
    folder.Write("warn.zq", "SET Schriftart = Arial\n");
    ProcessResult warned = RunZavor(folder, "run warn.zq", "LD_DEBUG=files DISPLAY=:4321 ZAVOR_MESSAGE_BOXES=dialog");
    EXPECT_NE(warned.err.find("libzavor_gtk.so"), std::string::npos);
    EXPECT_NE(warned.err.find("\n[Das geht so nicht] PDF nicht initialisiert! Bitte zuerst den PDF Befehl nutzen\n"),
              std::string::npos)
        << warned.err;
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

// Handlers that start a new document inside the event of a failing
// operation, as users write them: run by the real host, where the handler
// runs inside the plug-in's callback (the sanitizer build checks memory).
TEST(Examples, HandlerStartsANewDocumentInsideAnEvent) {
    ScratchFolder folder;
    folder.Write("text.zq",
                 "ON ZAVOR_ObjektFehler GET fehler = Fehler\n"
                 "ON ZAVOR_ObjektFehler PRINT [fehler]\n"
                 "ON ZAVOR_ObjektFehler ZQ-PDF Typ=0\n"
                 "ZQ-PDF Typ=0\n"
                 "SET NeueSeite = A4\n"
                 "SET Schriftart = Arial\n"
                 "SET TextHinzufuegen = Hallo\n"
                 "GET seiten = AnzahlSeiten\n"
                 "PRINT Seiten: [seiten]\n");
    ProcessResult text = RunZavor(folder, "run text.zq");
    EXPECT_EQ(text.exitCode, 3) << text.err;
    EXPECT_EQ(text.out, "Die Schriftart konnte wegen fehlerhafter Werte nicht erzeugt werden.\nSeiten: 0\n");

    folder.Write("save.zq",
                 "ON ZAVOR_DateiFehler GET fehler = Fehler\n"
                 "ON ZAVOR_DateiFehler PRINT [fehler]\n"
                 "ON ZAVOR_DateiFehler ZQ-PDF Typ=0\n"
                 "ZQ-PDF Typ=0\n"
                 "ZQ-PDF Typ=3 PDFDatei=\"/nonexistent-dir/x.pdf\" PDFstarten=true\n");
    ProcessResult save = RunZavor(folder, "run save.zq");
    EXPECT_EQ(save.exitCode, 3) << save.err;
    EXPECT_EQ(save.out.find("Die PDF-Datei \"/nonexistent-dir/x.pdf\" konnte nicht gespeichert werden.\n"), 0u)
        << save.out;
}

}  // namespace
}  // namespace ZavorHostTest
