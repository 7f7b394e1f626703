// Page sizes as scripts give them: numbers at the ends of the 32-bit range
// in size names, and sides that no viewer would show, through the page
// command and through the page variables.
#include "session/session_test_support.h"

#include "pdf/page_size.h"

namespace {

using ZavorPdf::Pdf::PageSize;

std::u16string Record(const std::string &fields) {
    return ZavorPlatform::Utf8ToUtf16("<Settings><ver>100</ver><Typ>1</Typ>" + fields + "</Settings>");
}

class SessionPageSizes : public ZavorTest::SessionTest {};

TEST_F(SessionPageSizes, SizeNumbersAtTheEndOfTheRangeGiveA4) {
    for (const char *name : {"X2147483647", "x2147483547", "A2147483647", "B2147483647", "X-2147483648"}) {
        SCOPED_TRACE(name);
        SetUp();
        Session().vpage->SetSize(PageSize::A0);
        Execute(Record("<Format>" + std::string(name) + "</Format>"));
        Set("NeueSeite", name);
        ASSERT_EQ(Session().document->PageCount(), 2);
        EXPECT_EQ(Session().document->Pages().PageAt(0).Size(), PageSize::A4);
        EXPECT_EQ(Session().document->Pages().PageAt(1).Size(), PageSize::A4);
        EXPECT_TRUE(Events().empty());
        EXPECT_TRUE(boxes.Messages().empty());
    }
}

}  // namespace
