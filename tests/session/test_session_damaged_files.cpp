// PDF files with damaged objects, imported as pages, placed as pictures and
// read for their text: a stream whose "/Length" is wrong is read up to its
// "endstream"; an object that does not parse fails the operation with its
// file error. Either way, what the session saves passes qpdf.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "pdf/pdf_document.h"
#include "plugin/exports.h"
#include "plugin/recording_host.h"
#include "plugin/sample_pdf.h"
#include "session/pdf.h"
#include "support/platform_support.h"
#include "support/test_output.h"

namespace {

using ZavorPlugin::PDF;

// Object 3 is the font of all pages, object 5 the first page, object 6 its
// content "BT /F1 12 Tf 72 720 Td (Eins) Tj ET" of 35 bytes; the file ends
// with object 10.
using Edit = ZavorTest::SamplePdfEdit;

Edit FirstContent(const std::string &from, const std::string &to) {
    return [from, to](std::vector<std::string> &objects) {
        objects[5] = std::regex_replace(objects[5], std::regex(from), to);
    };
}

Edit Appended(Edit edit, const std::string &object) {
    return [edit, object](std::vector<std::string> &objects) {
        edit(objects);
        objects.push_back(object);
    };
}

bool QpdfAccepts(const std::string &file) {
    return std::system(("qpdf --check " + file + " >/dev/null 2>&1").c_str()) == 0;
}

std::u16string Wide(const std::string &text) { return std::u16string(text.begin(), text.end()); }

std::string PageText(const std::string &file, int page) {
    std::string number = std::to_string(page);
    return ZavorTest::RunCommand("pdftotext -f " + number + " -l " + number + " " + file + " - 2>/dev/null");
}

struct DamagedCase {
    const char *name;
    Edit edit;
    bool recovered;  // otherwise importing and placing fail with their file error
    // What the text of page 1 reads: only the page's content matters to it.
    const char16_t *text;
};

const std::vector<DamagedCase> &Cases() {
    static const std::vector<DamagedCase> cases = {
        {"length_short", FirstContent("/Length 35", "/Length 31"), true, u"Eins\r\n"},
        {"length_long", FirstContent("/Length 35", "/Length 39"), true, u"Eins\r\n"},
        {"length_into_next_object", FirstContent("/Length 35", "/Length 90"), true, u"Eins\r\n"},
        {"length_beyond_file", FirstContent("/Length 35", "/Length 999999"), true, u"Eins\r\n"},
        {"length_indirect_wrong", Appended(FirstContent("/Length 35", "/Length 11 0 R"), "30"), true, u"Eins\r\n"},
        {"length_indirect_missing", FirstContent("/Length 35", "/Length 20 0 R"), true, u"Eins\r\n"},
        {"content_dictionary_garbage", FirstContent("/Length 35", "/Length 35 /Oops"), false, u""},
        {"content_broken_token", FirstContent("\\(Eins\\) Tj", "(Eins Tj"), false, u""},
        {"content_without_endstream", FirstContent("\nendstream", ""), false, u""},
        {"font_damaged", [](std::vector<std::string> &objects) { objects[2] = "<< /Type /Font /Subtype >>"; },
         false, u"Eins\r\n"},
        {"resources_damaged",
         [](std::vector<std::string> &objects) {
             objects[4] = std::regex_replace(objects[4], std::regex("/Resources << /Font << /F1 3 0 R >> >>"),
                                             "/Resources 11 0 R");
             objects.push_back("<< /Font << /F1 3 0 R >> /Broken >>");
         },
         false, u"Eins\r\n"},
    };
    return cases;
}

class SessionDamagedFiles : public testing::Test {
protected:
    void SetUp() override { host.StartDocument(); }
    PDF &Session() { return PDF::GetInstance(); }

    // The damaged input is no output of ours: it is kept from the folder's
    // qpdf check by its name.
    std::string Source(const DamagedCase &c) {
        std::string path = ZavorTest::OutputPath(std::string("damaged_") + c.name + ".in").string();
        ZavorTest::WriteSamplePdf(path, {{"Eins", "Zwei", "Drei"}, "/Title (Drei)"}, c.edit);
        return path;
    }
    std::string Saved(const DamagedCase &c, const char *operation) {
        std::string path = ZavorTest::OutputPath(std::string("damaged_") + c.name + "_" + operation + ".pdf").string();
        host.SaveTo(path);
        EXPECT_EQ(Session().fehlertext, u"");
        EXPECT_TRUE(QpdfAccepts(path)) << path;
        return path;
    }

    ZavorTest::RecordingHost host;
};

TEST_F(SessionDamagedFiles, ImportGivesTheRecoveredPagesOrTheFileError) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdftotext, qpdf");
    for (const DamagedCase &c : Cases()) {
        SCOPED_TRACE(c.name);
        std::string file = Source(c);
        host.StartDocument();
        ZavorTest::RecordedEvents().clear();
        QnD_SetVar("ExternePDFDatei_AlleSeitenHinzufuegen", file.c_str());
        if (c.recovered) {
            EXPECT_TRUE(host.Events().empty());
            ASSERT_EQ(Session().document->PageCount(), 3);
        } else {
            EXPECT_EQ(host.Events(), std::vector<std::string>{"ZAVOR_DateiFehler"});
            EXPECT_EQ(Session().fehlertext, u"Die Datei \"" + Wide(file) +
                                                u"\" konnte nicht eingelesen werden. Die Datei ist so besch\u00e4digt, "
                                                u"dass sie nicht repariert werden kann.");
            EXPECT_EQ(Session().document->PageCount(), 0);
            Session().fehlertext.clear();
            QnD_SetVar("NeueSeite", "A4");  // a document without pages is not saved
        }
        std::string saved = Saved(c, "import");
        if (c.recovered) {
            EXPECT_EQ(PageText(saved, 1), "Eins\n\n\f");
            EXPECT_EQ(PageText(saved, 3), "Drei\n\n\f");
        }
    }
}

TEST_F(SessionDamagedFiles, PictureOfThePageIsTheRecoveredPageOrTheFileError) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdftotext, qpdf");
    for (const DamagedCase &c : Cases()) {
        SCOPED_TRACE(c.name);
        std::string file = Source(c);
        host.StartDocument();
        ZavorTest::RecordedEvents().clear();
        QnD_SetVar("BildHinzufuegen", file.c_str());
        ASSERT_EQ(Session().document->PageCount(), 1);
        if (c.recovered) {
            EXPECT_TRUE(host.Events().empty());
        } else {
            EXPECT_EQ(host.Events(), std::vector<std::string>{"ZAVOR_DateiFehler"});
            EXPECT_EQ(Session().fehlertext,
                      u"Das Bild \"" + Wide(file) + u"\" konnte nicht eingelesen werden.");
            Session().fehlertext.clear();
        }
        std::string saved = Saved(c, "picture");
        EXPECT_EQ(PageText(saved, 1), c.recovered ? "Eins\n\n\f" : "\f");
    }
}

TEST_F(SessionDamagedFiles, TextIsTheRecoveredTextOrEmpty) {
    for (const DamagedCase &c : Cases()) {
        SCOPED_TRACE(c.name);
        std::string file = Source(c);
        std::u16string file16 = Wide(file);
        ZavorTest::RecordedEvents().clear();
        EXPECT_EQ(Session().GetPDFText(file16, 0), c.text);
        // A damaged first page's font costs no other page its text.
        EXPECT_EQ(Session().GetPDFText(file16, 2), u"Drei\r\n");
        EXPECT_TRUE(host.Events().empty());
    }
}

}  // namespace
