#include <gtest/gtest.h>

#include <vector>

#include "pdf/errors.h"
#include "pdf/filters/predictor.h"
#include "pdf/pdf_dictionary.h"

namespace {

using namespace ZavorPdf;
using namespace ZavorPdf::Pdf;
using Bytes = std::vector<std::uint8_t>;

PdfDictionary Parms(std::int32_t predictor, std::int32_t columns, std::int32_t bits = 8) {
    PdfDictionary parms;
    parms.Elements().SetInteger("/Predictor", predictor);
    parms.Elements().SetInteger("/Columns", columns);
    parms.Elements().SetInteger("/BitsPerComponent", bits);
    return parms;
}

// One row of each PNG type over two one-byte columns, then a row cut short.
TEST(Predictor, PngRowsOfEveryTypeAndTiffRows) {
    PdfDictionary png = Parms(12, 2);
    Bytes rows{0, 10, 20, 1, 5, 3, 2, 1, 2, 3, 4, 4, 4, 1, 1, 2, 9};
    EXPECT_EQ(Filters::Predictor::Undo(rows, &png), (Bytes{10, 20, 5, 8, 6, 10, 7, 12, 8, 13}));
    PdfDictionary tiff = Parms(2, 3);
    EXPECT_EQ(Filters::Predictor::Undo({1, 1, 1, 5, 250, 10}, &tiff), (Bytes{1, 2, 3, 5, 255, 9}));
    PdfDictionary wide = Parms(15, 1 << 20);
    EXPECT_EQ(Filters::Predictor::Undo({2, 1, 2}, &wide), Bytes{});
    PdfDictionary none = Parms(1, 2);
    EXPECT_EQ(Filters::Predictor::Undo({7, 8, 9}, &none), (Bytes{7, 8, 9}));
    EXPECT_EQ(Filters::Predictor::Undo({7, 8, 9}, nullptr), (Bytes{7, 8, 9}));
}

TEST(Predictor, ParametersOutOfRangeAreRefused) {
    const PdfDictionary cases[] = {Parms(12, 0), Parms(12, 1 << 21), Parms(12, 2, 3), Parms(2, 2, 4), Parms(7, 2)};
    for (const PdfDictionary &parms : cases) {
        try {
            Filters::Predictor::Undo({0, 1, 2}, &parms);
            ADD_FAILURE() << parms.ToString();
        } catch (const PdfReaderException &error) {
            EXPECT_STREQ(error.what(), "Unsupported predictor parameters.");
        }
    }
    PdfDictionary png = Parms(10, 1);
    EXPECT_THROW(Filters::Predictor::Undo({5, 1}, &png), PdfReaderException);  // no such row type
}

}  // namespace
