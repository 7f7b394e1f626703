// The named paper sizes: every member with its exact dimensions in points.
#include <gtest/gtest.h>

#include "pdf/errors.h"
#include "pdf/page_size_converter.h"

namespace ZavorPdf::Pdf {
namespace {

struct SizeRow {
    PageSize size;
    const char *name;
    double width;
    double height;
};

const SizeRow kNamedSizes[] = {
    {PageSize::A0, "A0", 2380, 3368},
    {PageSize::A1, "A1", 1684, 2380},
    {PageSize::A2, "A2", 1190, 1684},
    {PageSize::A3, "A3", 842, 1190},
    {PageSize::A4, "A4", 595, 842},
    {PageSize::A5, "A5", 420, 595},
    {PageSize::RA0, "RA0", 2438, 3458},
    {PageSize::RA1, "RA1", 1729, 2438},
    {PageSize::RA2, "RA2", 1219, 1729},
    {PageSize::RA3, "RA3", 865, 1219},
    {PageSize::RA4, "RA4", 609, 865},
    {PageSize::RA5, "RA5", 343, 609},
    {PageSize::B0, "B0", 2835, 4008},
    {PageSize::B1, "B1", 2004, 2835},
    {PageSize::B2, "B2", 1417, 2004},
    {PageSize::B3, "B3", 1001, 1417},
    {PageSize::B4, "B4", 729, 1032},
    {PageSize::B5, "B5", 516, 729},
    {PageSize::Quarto, "Quarto", 576, 720},
    {PageSize::Foolscap, "Foolscap", 576, 936},
    {PageSize::Executive, "Executive", 540, 720},
    {PageSize::GovernmentLetter, "GovernmentLetter", 756, 576},
    {PageSize::Letter, "Letter", 612, 792},
    {PageSize::Legal, "Legal", 612, 1008},
    {PageSize::Ledger, "Ledger", 1224, 792},
    {PageSize::Tabloid, "Tabloid", 792, 1224},
    {PageSize::Post, "Post", 1126, 1386},
    {PageSize::Crown, "Crown", 1440, 1080},
    {PageSize::LargePost, "LargePost", 1188, 1512},
    {PageSize::Demy, "Demy", 1260, 1584},
    {PageSize::Medium, "Medium", 1296, 1656},
    {PageSize::Royal, "Royal", 1440, 1800},
    {PageSize::Elephant, "Elephant", 1565, 2016},
    {PageSize::DoubleDemy, "DoubleDemy", 1692, 2520},
    {PageSize::QuadDemy, "QuadDemy", 2520, 3240},
    {PageSize::STMT, "STMT", 396, 612},
    {PageSize::Folio, "Folio", 612, 936},
    {PageSize::Statement, "Statement", 396, 612},
    {PageSize::Size10x14, "Size10x14", 720, 1008},
};

TEST(PageSizeConverter, EveryNamedSizeHasItsDimensionsAndName) {
    for (const auto &row : kNamedSizes) {
        SCOPED_TRACE(row.name);
        PageDimensions size = PageSizeConverter::ToSize(row.size);
        EXPECT_EQ(size.width, row.width);
        EXPECT_EQ(size.height, row.height);
        EXPECT_TRUE(PageSizeConverter::IsDefined(row.size));
        EXPECT_EQ(PageSizeConverter::Name(row.size), row.name);
        EXPECT_EQ(PageSizeConverter::FromName(row.name), row.size);
    }
}

TEST(PageSizeConverter, UndefinedAndUnknownNumbersAreRefused) {
    for (int number : {0, -1, 19, 99, 118, 119, 123, 1000}) {
        SCOPED_TRACE(number);
        try {
            PageSizeConverter::ToSize(static_cast<PageSize>(number));
            FAIL() << "no exception";
        } catch (const ArgumentException &error) {
            EXPECT_STREQ(error.what(), "Invalid PageSize.");
            EXPECT_EQ(error.ParamName(), "value");
        }
    }
    EXPECT_TRUE(PageSizeConverter::IsDefined(PageSize::Undefined));
    EXPECT_FALSE(PageSizeConverter::IsDefined(static_cast<PageSize>(118)));
    EXPECT_FALSE(PageSizeConverter::Name(static_cast<PageSize>(99)).has_value());
}

TEST(PageSizeConverter, NamesAreFoundWithoutRegardToCase) {
    EXPECT_EQ(PageSizeConverter::FromName("a4"), PageSize::A4);
    EXPECT_EQ(PageSizeConverter::FromName("LETTER"), PageSize::Letter);
    EXPECT_FALSE(PageSizeConverter::FromName("A6").has_value());
    EXPECT_FALSE(PageSizeConverter::FromName("").has_value());
}

}  // namespace
}  // namespace ZavorPdf::Pdf
