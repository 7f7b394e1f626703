// Hostile PDF files given to the session's operations on external files:
// each is refused with the operation's file error, or read in time.
#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "drawing/x_graphics.h"
#include "drawing/x_graphics_pdf_renderer.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_reference_table.h"
#include "plugin/exports.h"
#include "plugin/recording_host.h"
#include "session/pdf.h"
#include "support/hostile_pdfs.h"
#include "support/test_output.h"

namespace {

using ZavorPlugin::PDF;

constexpr std::size_t MiB = std::size_t{1} << 20;

std::string Written(const std::string &name, const std::string &bytes) {
    const std::filesystem::path path = ZavorTest::OutputPath(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
}

std::u16string Wide(const std::string &text) { return std::u16string(text.begin(), text.end()); }

class SessionHostileFiles : public testing::Test {
protected:
    void SetUp() override {
        host.StartDocument();
        QnD_SetVar("NeueSeite", "A4");
    }
    PDF &Session() { return PDF::GetInstance(); }

    ZavorTest::RecordingHost host;
};

// Eight Flate streams of 2 MiB on one page: each within a stream's limit,
// together past what the small file may decode. Three of them place.
TEST_F(SessionHostileFiles, PageOfStreamBombsPlacedAsPictureIsAFileError) {
    const std::string bombs = Written("hostile_bomb_page.pdf", ZavorTest::Hostile::BombPage(8, 2 * MiB));
    const std::string drawn = Session().gfx->Renderer().Content();
    const int objects = Session().document->ReferenceTable().Count();
    QnD_SetVar("BildHinzufuegen", bombs.c_str());
    EXPECT_EQ(Session().fehlertext, u"Das Bild \"" + Wide(bombs) + u"\" konnte nicht eingelesen werden.");
    EXPECT_EQ(host.Events(), std::vector<std::string>{"ZAVOR_DateiFehler"});
    EXPECT_EQ(Session().gfx->Renderer().Content(), drawn);
    EXPECT_EQ(Session().document->ReferenceTable().Count(), objects);

    Session().fehlertext.clear();
    const std::string fewer = Written("hostile_three_streams.pdf", ZavorTest::Hostile::BombPage(3, 2 * MiB));
    QnD_SetVar("BildHinzufuegen", fewer.c_str());
    EXPECT_EQ(Session().fehlertext, u"");
    EXPECT_GT(Session().document->ReferenceTable().Count(), objects);
    EXPECT_EQ(host.Events().size(), 1u);
}

// The array is no part of any page: a page count never reads it, while an
// import reads the whole file and refuses it.
TEST_F(SessionHostileFiles, TooManyArrayItemsAreAFileErrorOfOperationsThatReadThem) {
    const std::string file = Written("hostile_long_array.pdf", ZavorTest::Hostile::LongArray(70000));
    const std::u16string message = u"Die Datei \"" + Wide(file) +
                                   u"\" konnte nicht eingelesen werden. Die Datei ist so besch\u00e4digt, dass sie "
                                   u"nicht repariert werden kann.";
    EXPECT_EQ(Session().GetPDFInfo(Wide(file), 0), u"0");
    EXPECT_EQ(Session().fehlertext, u"");
    Session().AddPDF(Wide(file), 0, 0);
    EXPECT_EQ(Session().fehlertext, message);
    EXPECT_EQ(host.Events(), (std::vector<std::string>{"ZAVOR_DateiFehler"}));
    EXPECT_EQ(Session().document->PageCount(), 1);
}

TEST_F(SessionHostileFiles, PageCountOfADictionaryOfTwoHundredThousandKeys) {
    const std::string file = Written("hostile_wide_dictionary.pdf", ZavorTest::Hostile::WideDictionary(200000));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Session().GetPDFInfo(Wide(file), 0), u"0");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(Session().fehlertext, u"");
    EXPECT_TRUE(host.Events().empty());
}

}  // namespace
