// Variables that scripts read through QnD_GetVar: the page count, the error
// text and the page count, information and page text of other PDF files.
#include <gtest/gtest.h>

#include <string>

#include "plugin/exports.h"
#include "recording_host.h"
#include "sample_pdf.h"
#include "support/test_output.h"

namespace {

using ZavorTest::HostBuffer;

class VariableReading : public testing::Test {
protected:
    void SetUp() override {
        host.StartDocument();
        ZavorTest::WriteSamplePdf(sample, {{"Erste Seite", "", "Dritte (3) Seite"},
                                           "/Author (Anna \\344rger) /Title (Bericht) /Creator (Hand) "
                                           "/Producer (\\376\\377\\000T\\000e\\000s\\000t\\040\\254) "
                                           "/Keywords (5 \\240 \\205 \\032)"});
    }
    // The value as the script gets it, with the result; nothing written
    // reads as nullopt.
    std::optional<std::string> Read(const std::string &name, const std::string &argument, std::int32_t &length) {
        HostBuffer result;
        length = QnD_GetVar(name.c_str(), argument.c_str(), 0, result.data());
        if (result.Untouched()) return std::nullopt;
        EXPECT_EQ(static_cast<std::size_t>(length), result.Text().size()) << name;
        return result.Text();
    }
    std::optional<std::string> Read(const std::string &name, const std::string &argument = "") {
        std::int32_t length = 0;
        return Read(name, argument, length);
    }

    ZavorTest::RecordingHost host;
    std::string sample = ZavorTest::OutputPath("reading_sample.pdf").string();
};

TEST_F(VariableReading, PageCountOfTheDocument) {
    std::int32_t length = 0;
    EXPECT_EQ(Read("AnzahlSeiten", "", length), "0");
    EXPECT_EQ(length, 1);
    QnD_SetVar("NeueSeite", "");
    QnD_SetVar("NeueSeite", "A5");
    EXPECT_EQ(Read("aNZAHLsEITEN", "ignored"), "2");
}

TEST_F(VariableReading, InformationOfAnotherFile) {
    struct Case {
        const char *name;
        std::string value;
    };
    const Case cases[] = {
        {"ExternePDFDatei_Info_AnzahlSeiten", "3"},
        {"ExternePDFDatei_Info_Autor", "Anna \xE4rger"},
        {"ExternePDFDatei_Info_Titel", "Bericht"},
        // PDFDocEncoding (euro sign, en dash, circumflex) and UTF-16 in a
        // literal string come to the host in its code page.
        {"ExternePDFDatei_Info_Keywords", "5 \x80 \x96 \x88"},
        {"ExternePDFDatei_Info_Ersteller", "Hand"},
        {"externepdfdatei_info_erstelltmit", "Test\x80"},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.name);
        std::int32_t length = -1;
        EXPECT_EQ(Read(test.name, sample, length), test.value);
        EXPECT_EQ(length, static_cast<std::int32_t>(test.value.size()));
    }
    EXPECT_TRUE(host.Events().empty());
    EXPECT_EQ(Read("Fehler"), "");
}

TEST_F(VariableReading, UnreadableFileReadsEmptyAndIsReported) {
    const std::string missing = ZavorTest::OutputPath("fehlt.pdf").string();
    std::filesystem::remove(missing);
    std::int32_t length = -1;
    EXPECT_EQ(Read("ExternePDFDatei_Info_Autor", missing, length), "");
    EXPECT_EQ(length, 0);
    EXPECT_EQ(host.Events(), std::vector<std::string>{"ZAVOR_DateiFehler"});
    const std::string message =
        "Die Datei \"" + missing +
        "\" konnte nicht eingelesen werden. Die Datei existiert nicht oder ist nicht lesbar.";
    EXPECT_EQ(Read("Fehler", "", length), message);
    EXPECT_EQ(length, static_cast<std::int32_t>(message.size()));
    EXPECT_TRUE(host.Boxes().empty());
}

TEST_F(VariableReading, PageTextOfAnotherFile) {
    struct Case {
        std::string argument;
        std::optional<std::string> value;  // nothing: no value, buffer untouched
    };
    const Case cases[] = {
        {"1;" + sample, "Erste Seite\r\n"},
        {" 3 ;" + sample, "Dritte (3) Seite\r\n"},
        {"2;" + sample, "\r\n"},  // a page without text
        {";" + sample, ""},       // page index -1
        {"4;" + sample, ""},
        {"1;" + sample + ".fehlt", ""},
        {sample, std::nullopt},  // no page field
        {"1;", std::nullopt},
        {"1; ", std::nullopt},
        {"eins;" + sample, std::nullopt},
        {"1.0;" + sample, std::nullopt},
        {"-2147483648;" + sample, std::nullopt},
        {"2147483648;" + sample, std::nullopt},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.argument);
        EXPECT_EQ(Read("ExternePDFDatei_Text", test.argument), test.value);
    }
    // The text is best effort: no failure is reported for it.
    EXPECT_TRUE(host.Events().empty());
    EXPECT_EQ(Read("Fehler"), "");
}

// The host reads a C string: a zero byte (pdfTeX's math fonts show the
// minus sign as code 0, two-byte codes start with it) would end the text
// there while the answer counted the bytes after it.
TEST_F(VariableReading, PageTextReachesTheHostWithoutControlCharacters) {
    struct Case {
        const char *shown;  // the string's body in the content stream
        std::string text;
    };
    const Case cases[] = {
        {"1 \\000 2", "1   2"},
        {"\\000A\\000B\\000-", " A B -"},
        {"a\\001b\\010c\\013d\\014e\\033f\\037g", "a b c d e f g"},
        {"Tab\\tCR\\rLF\\nEnde", "Tab\tCR\rLF\nEnde"},
    };
    const std::string path = ZavorTest::OutputPath("reading_controls.pdf").string();
    for (const Case &test : cases) {
        SCOPED_TRACE(test.shown);
        ZavorTest::WriteSamplePdf(path, {{test.shown}, ""});
        HostBuffer result;
        std::int32_t length = QnD_GetVar("ExternePDFDatei_Text", ("1;" + path).c_str(), 0, result.data());
        EXPECT_TRUE(result.Holds(test.text + "\r\n"));
        EXPECT_EQ(length, static_cast<std::int32_t>(test.text.size() + 2));
    }
}

// The host passes no size; the plug-in writes no more than the documented
// maximum, cut and terminated, and answers the length it wrote.
TEST_F(VariableReading, PageTextIsCutAtTheDocumentedMaximum) {
    constexpr std::size_t kMaximum = ZAVOR_GETVAR_RESULT_SIZE;
    static_assert(kMaximum == 1024 * 1024);
    struct Case {
        std::size_t shown;  // characters on the page; CR LF follows them
        std::size_t written;
    };
    const Case cases[] = {
        {kMaximum - 3, kMaximum - 1},  // fits with its line end
        {kMaximum - 2, kMaximum - 1},  // the LF is cut
        {kMaximum + 5000, kMaximum - 1},
    };
    const std::string path = ZavorTest::OutputPath("reading_long_text.pdf").string();
    for (const Case &test : cases) {
        SCOPED_TRACE(test.shown);
        std::string shown;
        for (std::size_t i = 0; shown.size() < test.shown; ++i) shown += std::to_string(i % 10);
        ZavorTest::WriteSamplePdf(path, {{shown}, ""});
        HostBuffer result(kMaximum + 64);
        std::int32_t length = QnD_GetVar("ExternePDFDatei_Text", ("1;" + path).c_str(), 0, result.data());
        EXPECT_EQ(length, static_cast<std::int32_t>(test.written));
        EXPECT_TRUE(result.Holds((shown + "\r\n").substr(0, test.written)));
    }
}

TEST_F(VariableReading, CatalogueAndReadableNamesAgree) {
    // Every name marked readable gives a value (if only an empty one);
    // every name that scripts set gives none.
    for (std::int32_t index = 0; index < 57; ++index) {
        HostBuffer entry, description;
        QnD_ExtraVarName(index, entry.data(), description.data());
        const std::string marked = entry.Text();
        SCOPED_TRACE(marked);
        std::optional<std::string> value = Read(marked.substr(2), "1;" + sample);
        EXPECT_EQ(value.has_value(), marked.starts_with("L:"));
    }
    EXPECT_EQ(Read("Unbekannt"), std::nullopt);
    EXPECT_EQ(Read("L:Fehler"), std::nullopt);
}

TEST_F(VariableReading, NothingBeforeTheFirstCommand) {
    QnD_Stop();
    EXPECT_EQ(Read("AnzahlSeiten"), std::nullopt);
    EXPECT_EQ(Read("ExternePDFDatei_Info_AnzahlSeiten", sample), std::nullopt);
}

}  // namespace
