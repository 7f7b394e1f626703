// Dates in PDF text form, with an injected clock.
#include <gtest/gtest.h>

#include "pdf/pdf_date.h"

namespace ZavorPdf::Pdf {
namespace {

LocalDateTime FixedClock() { return LocalDateTime{2024, 1, 31, 12, 0, 0, 60}; }

class PdfDateClock : public ::testing::Test {
protected:
    void TearDown() override { PdfDate::SetTimeSource(nullptr); }
};

TEST_F(PdfDateClock, NowUsesTheInjectedTimeSource) {
    PdfDate::SetTimeSource(&FixedClock);
    EXPECT_EQ(PdfDate::Now().ToString(), "D:20240131120000+01'00'");
    PdfDate::SetTimeSource(nullptr);
    LocalDateTime now = PdfDate::CurrentTime();
    EXPECT_GE(now.year, 2024);
}

TEST(PdfDateText, OffsetsAndPadding) {
    struct Case {
        LocalDateTime value;
        const char *text;
    };
    const Case cases[] = {
        {{2024, 1, 31, 12, 0, 0, 60}, "D:20240131120000+01'00'"},
        {{1999, 12, 5, 3, 4, 5, 0}, "D:19991205030405+00'00'"},
        {{2023, 7, 1, 23, 59, 59, -330}, "D:20230701235959-05'30'"},
        {{2023, 7, 1, 0, 0, 0, 345}, "D:20230701000000+05'45'"},
        {{987, 1, 1, 0, 0, 0, -45}, "D:09870101000000-00'45'"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(PdfDate::Format(c.value), c.text);
        EXPECT_EQ(PdfDate::Parse(c.text), c.value) << c.text;
    }
}

TEST(PdfDateText, ParsesShortAndLooseForms) {
    EXPECT_EQ(PdfDate::Parse("D:2023"), (LocalDateTime{2023, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(PdfDate::Parse("20230405"), (LocalDateTime{2023, 4, 5, 0, 0, 0, 0}));
    EXPECT_EQ(PdfDate::Parse("D:20230405060708Z"), (LocalDateTime{2023, 4, 5, 6, 7, 8, 0}));
    EXPECT_EQ(PdfDate::Parse("D:20230405060708+0130"), (LocalDateTime{2023, 4, 5, 6, 7, 8, 90}));
    EXPECT_EQ(PdfDate::Parse("D:20230405060708-02'00"), (LocalDateTime{2023, 4, 5, 6, 7, 8, -120}));
    for (const char *bad : {"", "D:", "D:20", "D:2023130100", "D:20230405x", "D:20230405+2", "hello"})
        EXPECT_FALSE(PdfDate::Parse(bad).has_value()) << bad;
}

}  // namespace
}  // namespace ZavorPdf::Pdf
