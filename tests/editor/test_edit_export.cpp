// QnD_Edit as the host calls it: hex record in, hex record out.
#include <array>
#include <string>
#include <vector>

#include "editor_test_support.h"
#include "plugin/exports.h"

namespace {

using ZavorPlatform::FakeUiWindow;
using ZavorPlatform::MessageBoxMessage;

std::string HexOf(std::u16string_view text) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (char16_t character : text) {
        hex.push_back(digits[(character >> 4) & 15]);
        hex.push_back(digits[character & 15]);
    }
    return hex;
}

std::string Upper(std::string text) {
    for (char &c : text) c = static_cast<char>(c >= 'a' && c <= 'f' ? c - 'a' + 'A' : c);
    return text;
}

const std::u16string kSaveRecord = ZavorTest::RecordText(
    {u"<Settings>", u"  <ver>100</ver>", u"  <Typ>3</Typ>", u"  <PDFDatei>C:\\\u00C4.pdf</PDFDatei>",
     u"  <PDFstarten>false</PDFstarten>", u"</Settings>"});

class EditExportTest : public ZavorTest::EditorTest {
protected:
    std::string Edit(const std::string &in, FakeUiWindow::Script script) {
        windows.script = std::move(script);
        std::vector<char> out(in.size() + 1024, '#');
        EXPECT_EQ(QnD_Edit(in.c_str(), out.data()), 1);
        return out.data();
    }
};

void Confirm(FakeUiWindow &window) { window.Click("button_ok"); }
void Cancel(FakeUiWindow &window) { window.Click("button_abbruch"); }

TEST_F(EditExportTest, RecordGoesThroughTheEditor) {
    struct Case {
        std::string in;
        FakeUiWindow::Script script;
        std::string out;
    };
    const Case cases[] = {
        {"", Confirm, HexOf(ZavorTest::kNewDocumentRecord)},
        {"", Cancel, ""},
        {HexOf(kSaveRecord), Confirm, HexOf(kSaveRecord)},
        // Cancelled: the old record, encoded anew in lower case.
        {Upper(HexOf(kSaveRecord)), Cancel, HexOf(kSaveRecord)},
        {HexOf(kSaveRecord) + "3", Cancel, HexOf(kSaveRecord)},
        {HexOf(kSaveRecord),
         [](FakeUiWindow &window) {
             EXPECT_EQ(window.Text("tb_filename"), u"C:\\\u00C4.pdf");
             window.Choose("cb_aktion", 0);
             window.Click("button_ok");
         },
         HexOf(ZavorTest::kNewDocumentRecord)},
    };
    for (const Case &test : cases) EXPECT_EQ(Edit(test.in, test.script), test.out) << test.in;
    EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(EditExportTest, HexThatDoesNotDecodeIsReportedAndKept) {
    EXPECT_EQ(Edit("3c5z", Confirm), "3c5z");
    ASSERT_EQ(boxes.Messages().size(), 1u);
    EXPECT_EQ(boxes.Messages()[0].caption, u"Daten zerst\u00F6rt!");
    EXPECT_EQ(windows.WindowsBuilt(), 1);

    boxes.Clear();
    windows.noDisplay = true;
    EXPECT_EQ(Edit("3c5z", Confirm), "3c5z");
    EXPECT_EQ(Edit("3C", Confirm), "3c");
    EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(EditExportTest, DamagedRecordIsHandedBackUnchanged) {
    const std::string damaged = HexOf(u"<Settings><ver>100</ver><Typ>9</Typ></Settings>");
    EXPECT_EQ(Edit(damaged, Confirm), damaged);
    ASSERT_EQ(boxes.Messages().size(), 1u);
    EXPECT_EQ(boxes.Messages()[0].caption, u"Daten zerst\u00F6rt!");
}

}  // namespace
