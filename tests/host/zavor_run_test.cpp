// The zavor binary against the fake plug-in: calls made, substitution,
// GET, event handlers, exit statuses and the run/show/vars outputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "host/zavor_process.h"
#include "plugin/exports.h"
#include "plugin/sample_pdf.h"
#include "support/test_output.h"

namespace ZavorHostTest {
namespace {

ProcessResult RunScript(const ScratchFolder &folder, const std::string &script, const std::string &extra = "") {
    folder.Write("s.zq", script);
    return RunZavor(folder, "--plugin " + Quote(FakePlugin()) + " run s.zq " + extra);
}

std::size_t CountLines(const std::string &text, const std::string &prefix) {
    std::size_t count = 0;
    for (std::size_t at = 0; (at = text.find(prefix, at)) != std::string::npos; at += prefix.size()) {
        if (at == 0 || text[at - 1] == '\n') ++count;
    }
    return count;
}

struct ExitCase {
    const char *script;
    int exitCode;
};

TEST(ZavorRun, ExitStatusTellsHowTheRunEnded) {
    const ExitCase cases[] = {
        {"PRINT hallo\n", 0},
        {"ZQ-PDF Typ=1 Format=A4\nSET Box = nur eine Meldung\n", 0},
        {"ZQ-PDF Typ=3 PDFDatei=x.pdf\n", 3},
        {"SET Raise = ZAVOR_ObjektFehler\nPRINT weiter\n", 3},
        {"PRINT a\nFOO\n", 2},
        {"ON ZAVOR_DateiFehler SET Raise = ZAVOR_DateiFehler\nSET Raise = ZAVOR_DateiFehler\n", 2},
    };
    for (const auto &c : cases) {
        ScratchFolder folder;
        EXPECT_EQ(RunScript(folder, c.script).exitCode, c.exitCode) << c.script;
    }
}

TEST(ZavorRun, PluginThatCannotBeLoadedGivesOne) {
    ScratchFolder folder;
    folder.Write("s.zq", "PRINT x\n");
    ProcessResult missing = RunZavor(folder, "--plugin ./fehlt.so run s.zq");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err.rfind("zavor: cannot load the plug-in ./fehlt.so: ", 0), 0u) << missing.err;
    EXPECT_EQ(missing.out, "");
    ProcessResult notLibrary = RunZavor(folder, "--plugin s.zq vars");
    EXPECT_EQ(notLibrary.exitCode, 1);
    ProcessResult noExports = RunZavor(folder, "--plugin libc.so.6 vars");
    EXPECT_EQ(noExports.exitCode, 1);
    EXPECT_EQ(noExports.err, "zavor: cannot load the plug-in libc.so.6: it lacks the export QnD_Initialize2\n");
    ProcessResult refused = RunZavor(folder, "--plugin " + Quote(FakePlugin()) + " run s.zq", "FAKE_PLUGIN_REFUSE=1");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "zavor: the plug-in " + FakePlugin().string() + " refused QnD_Initialize2\n");
    EXPECT_EQ(refused.out, "");
    // A faulty script is reported before the plug-in is even looked for.
    folder.Write("bad.zq", "FOO\n");
    EXPECT_EQ(RunZavor(folder, "--plugin ./fehlt.so run bad.zq").exitCode, 2);
}

TEST(ZavorRun, SyntaxErrorsAreListedWithLinesAndNothingRuns) {
    ScratchFolder folder;
    ProcessResult result = RunScript(folder, "PRINT a\nFOO bar\n# fine\nZQ-PDF Typ=1 Farbe=rot\r\nSET x\n");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
              "s.zq:2: unknown statement \"FOO\"\n"
              "s.zq:4: ZQ-PDF: Typ 1 has no element \"Farbe\" (elements: Format, Breite, Hoehe, Quer)\n"
              "s.zq:5: SET: expected Name = value\n");
    EXPECT_EQ(folder.Read("log"), "");
}

TEST(ZavorRun, CallsReachThePluginInOrderAndInWindows1252) {
    ScratchFolder folder;
    ProcessResult result = RunScript(folder,
                                     "ZQ-PDF Typ=1 Format=A4 Quer=true\n"
                                     "LET n = 1\n"
                                     "SET Text = Gr\xC3\xBC\xC3\x9F [n] [m]\n"
                                     "GET echo = Text\n"
                                     "PRINT [echo]\n");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Gr\xC3\xBC\xC3\x9F 1 [m]\n");
    const std::string record =
        "3c53657474696e67733e0d0a20203c7665723e3130303c2f7665723e0d0a20203c5479703e313c2f5479703e0d0a20203c466f"
        "726d61743e41343c2f466f726d61743e0d0a20203c4272656974653e3c2f4272656974653e0d0a20203c486f6568653e3c2f48"
        "6f6568653e0d0a20203c517565723e747275653c2f517565723e0d0a3c2f53657474696e67733e";
    EXPECT_EQ(folder.Read("log"), "Initialize2\nRunInit\nExecute " + record +
                                      "\nSetVar Text=Gr\xFC\xDF 1 [m]\nGetVar Text()\nStop\n");
}

TEST(ZavorRun, SubstAnswersAreSubstitutedAndTerminated) {
    ScratchFolder folder;
    // "[o]x]" leaves "[x]" after the host's single pass, so the plug-in gets
    // a reference to resolve through "Subst".
    ProcessResult result = RunScript(folder,
                                     "LET x = Gr\xC3\xBC\xC3\x9F\n"
                                     "LET o = [\n"
                                     "SET Subst = [o]x] and [o]unknown]\n"
                                     "GET r = Subst\n"
                                     "GET c = SubstCheck\n"
                                     "PRINT [r]|[c]\n"
                                     "LET big = " + std::string(120000, 'a') + "\n"
                                     "SET Subst = [o]big]\n"
                                     "GET c = SubstCheck\n"
                                     "PRINT [c]\n");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Gr\xC3\xBC\xC3\x9F and [unknown]|n=18 zero=18\nn=99999 zero=99999\n");
}

TEST(ZavorRun, GetFillsHostVariables) {
    ScratchFolder folder;
    ProcessResult result = RunScript(folder,
                                     "LET x = 1\n"
                                     "GET a = Args( [x];[y] )\n"
                                     "GET z = Zero\n"
                                     "GET k = Args(k)\n"
                                     "GET u = Unbekannt\n"
                                     "LET u = alt\n"
                                     "GET u = Unbekannt\n"
                                     "PRINT <[a]>|<[z]>|<[k]>|<[u]>|[who]|[scriptdir]\n",
                                     "-D who=Welt");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    std::string folderPath = std::filesystem::canonical(folder.Path()).string();
    // The buffer of a longer answer and of a refused one serves the next GET.
    EXPECT_EQ(result.out, "< 1;[y] >|<>|<k>|<>|Welt|" + folderPath + "\n");
    EXPECT_NE(folder.Read("log").find("GetVar Args( 1;[y] )\n"), std::string::npos);
}

TEST(ZavorRun, HandlersRunForEachEventFromTheirLineOn) {
    ScratchFolder folder;
    ProcessResult result = RunScript(folder,
                                     "LET n =\n"
                                     "SET Raise = ZAVOR_DateiFehler\n"
                                     "ON ZAVOR_DateiFehler LET n = [n]+\n"
                                     "ON ZAVOR_DateiFehler PRINT handler [n]\n"
                                     "ON ZAVOR_ObjektFehler GET f = Args(objekt)\n"
                                     "ZQ-PDF Typ=3 PDFDatei=a.pdf\n"
                                     "ZQ-PDF Typ=1\n"
                                     "SET Raise = ZAVOR_DateiFehler\n"
                                     "SET Raise = ZAVOR_ObjektFehler\n"
                                     "PRINT end [n] [f]\n");
    EXPECT_EQ(result.exitCode, 3) << result.err;
    EXPECT_EQ(result.out, "handler +\nhandler ++\nend ++ objekt\n");
}

TEST(ZavorRun, EndlessHandlerStopsAtTheDepthLimit) {
    ScratchFolder folder;
    ProcessResult result = RunScript(folder,
                                     "PRINT vorher\n"
                                     "ON ZAVOR_DateiFehler ZQ-PDF Typ=3 PDFDatei=x.pdf\n"
                                     "ZQ-PDF Typ=3 PDFDatei=x.pdf\n"
                                     "PRINT nachher\n");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "vorher\n");
    EXPECT_EQ(result.err,
              "s.zq:2: event handlers nested more than 16 deep: the handler of ZAVOR_DateiFehler keeps raising "
              "events\n");
    std::string log = folder.Read("log");
    EXPECT_EQ(CountLines(log, "Execute "), 17u);
    EXPECT_TRUE(log.ends_with("Stop\n"));
}

TEST(ZavorShow, EachPluginLineAsTheEditorShowsIt) {
    ScratchFolder folder;
    folder.Write("s.zq",
                 "PRINT x\n"
                 "ZQ-PDF Typ=1 Format=A4 Quer=true\n"
                 "ZQ-PDF Typ=0\n"
                 "ZQ-PDF hex:\n"
                 "ON ZAVOR_Fehler ZQ-PDF Typ=3 PDFDatei=[d]/a.pdf\n");
    ProcessResult result = RunZavor(folder, "--plugin " + Quote(FakePlugin()) + " show s.zq");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "2: ZQ-FAKE Typ 1 - Gr\xC3\xBC\xC3\x9F quer\n"
              "3: ZQ-FAKE Typ 0\n"
              "4: ZQ-FAKE Leer\n"
              "5: ZQ-FAKE Typ 3\n");
    EXPECT_EQ(folder.Read("log").find("Execute"), std::string::npos);
}

TEST(ZavorVars, CataloguesUntilTheFirstEmptyName) {
    ScratchFolder folder;
    ProcessResult result = RunZavor(folder, "vars --plugin " + Quote(FakePlugin()));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "category\tFAKE\n"
              "variable\tS:Eins\tErste Variable\n"
              "variable\tL:Zwei\tZweite f\xC3\xBCr Gr\xC3\xB6\xC3\x9F\n"
              "event\tZAVOR_Fehler\tInterner Fehler\n"
              "event\tZAVOR_DateiFehler\tPDFDatei konnte nicht erstellt werden\tPfad\n");

    ProcessResult endless = RunZavor(folder, "--plugin " + Quote(FakePlugin()) + " vars", "FAKE_PLUGIN_ENDLESS=1");
    EXPECT_EQ(endless.exitCode, 0);
    EXPECT_EQ(CountLines(endless.out, "variable\t"), 10000u);
    EXPECT_EQ(CountLines(endless.out, "event\t"), 10000u);
    EXPECT_EQ(endless.err,
              "zavor: the variable catalogue does not end within 10000 entries\n"
              "zavor: the event catalogue does not end within 10000 entries\n");
}

struct UsageCase {
    const char *arguments;
    const char *firstLine;
};

TEST(ZavorCommandLine, FaultyCommandLinesGiveTwo) {
    const UsageCase cases[] = {
        {"", "zavor: no command given"},
        {"drucke s.zq", "zavor: unknown command drucke"},
        {"run", "zavor: run needs a script"},
        {"vars extra", "zavor: too many arguments for vars"},
        {"show s.zq -D a=b", "zavor: -D belongs to run only"},
        {"run s.zq -D 1a=b", "zavor: -D expects var=value, not \"1a=b\""},
        {"run s.zq --plugin", "zavor: --plugin needs a value"},
        {"run s.zq -x", "zavor: unknown option -x"},
        {"run fehlt.zq", "zavor: cannot read the script fehlt.zq"},
        {"edit", "zavor: edit needs a script"},
        {"edit s.zq", "zavor: edit needs a line number"},
        {"edit s.zq 0", "zavor: the line number must be a whole number from 1, not \"0\""},
        {"edit s.zq +1", "zavor: the line number must be a whole number from 1, not \"+1\""},
        {"edit s.zq 1 2", "zavor: too many arguments for edit"},
        {"edit s.zq 1 -D a=b", "zavor: -D belongs to run only"},
        {"edit fehlt.zq 1", "zavor: cannot read the script fehlt.zq"},
        {"edit s.zq 1", "zavor: s.zq:1: only a ZQ-PDF command can be edited, this line is a PRINT statement"},
        {"edit s.zq 2", "zavor: s.zq has 1 line, no line 2"},
    };
    ScratchFolder folder;
    folder.Write("s.zq", "PRINT x\n");
    for (const auto &c : cases) {
        ProcessResult result = RunZavor(folder, c.arguments);
        EXPECT_EQ(result.exitCode, 2) << c.arguments;
        EXPECT_EQ(result.err.substr(0, result.err.find('\n')), c.firstLine) << c.arguments;
    }
}

TEST(ZavorRealPlugin, MessageBoxesAppearOnStandardError) {
    ScratchFolder folder;
    folder.Write("s.zq",
                 "SET Schriftart = Arial\n"
                 "SET Schriftart = Arial\n"
                 "ZQ-PDF hex:\n"
                 "ZQ-PDF hex:3c\n");
    ProcessResult result = RunZavor(folder, "run s.zq");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err,
              "[Das geht so nicht] PDF nicht initialisiert! Bitte zuerst den PDF Befehl nutzen\n"
              "[ZAVOR] Auswertung des ZQ-PDF Befehls fehlgeschlagen/Befehl nicht definiert (veraltetes Plugin?)\n"
              "[ ZAVOR Plugin - Daten zerst\xC3\xB6rt!] KRITISCH: Daten wurden besch\xC3\xA4" "digt, der Befehl muss "
              "erneut erstellt werden\n");
}

// The host's buffer is the plug-in's documented maximum: a page text longer
// than that arrives cut, and one with zero bytes arrives whole.
TEST(ZavorRealPlugin, PageTextsArriveWholeOrCutAtTheMaximum) {
    ScratchFolder folder;
    std::string longText;
    while (longText.size() < ZAVOR_GETVAR_RESULT_SIZE + 100) longText += "Zeile ";
    ZavorTest::WriteSamplePdf(folder.Path() / "texte.pdf", {{"minus \\000 1", longText}, ""});
    folder.Write("s.zq",
                 "ZQ-PDF Typ=0\n"
                 "GET kurz = ExternePDFDatei_Text(1;[scriptdir]/texte.pdf)\n"
                 "GET lang = ExternePDFDatei_Text(2;[scriptdir]/texte.pdf)\n"
                 "PRINT <[kurz]>\n"
                 "PRINT <[lang]>\n");
    ProcessResult result = RunZavor(folder, "run s.zq");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    ASSERT_EQ(result.out.size(), 14 + ZAVOR_GETVAR_RESULT_SIZE + 2);
    EXPECT_EQ(result.out.substr(0, 14), "<minus   1\r\n>\n");
    EXPECT_EQ(result.out.substr(14), "<" + longText.substr(0, ZAVOR_GETVAR_RESULT_SIZE - 1) + ">\n");
}

TEST(ZavorExample, HalloRunsAgainstTheRealPlugin) {
    ScratchFolder folder;
    std::filesystem::copy_file(ZavorTest::SourceDir() / "examples" / "hallo.zq", folder.Path() / "hallo.zq");
    ProcessResult shown = RunZavor(folder, "show hallo.zq");
    EXPECT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_EQ(std::count(shown.out.begin(), shown.out.end(), '\n'), 3);
    ProcessResult result = RunZavor(folder, "run hallo.zq");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    // Once the plug-in draws, its PDF joins the suite's qpdf check.
    if (std::filesystem::exists(folder.Path() / "hallo.pdf")) {
        std::filesystem::copy_file(folder.Path() / "hallo.pdf", ZavorTest::OutputPath("host_hallo.pdf"),
                                   std::filesystem::copy_options::overwrite_existing);
    }
}

}  // namespace
}  // namespace ZavorHostTest
