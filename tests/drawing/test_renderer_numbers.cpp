// The number forms the operators use: the engine's rounding rule at 0, 2, 4
// and 6 decimals.
#include <gtest/gtest.h>

#include <limits>

#include "pdf/pdf_number_format.h"

using ZavorPdf::Pdf::FormatReal;

TEST(RendererNumbersTest, DecimalsRoundHalvesAwayFromZero) {
    struct Row {
        double value;
        int decimals;
        const char *text;
    };
    const Row rows[] = {
        {4.9, 0, "5"},          {-0.4, 0, "0"},           {2.675, 2, "2.68"},      {0.005, 2, "0.01"},
        {-0.004, 2, "0"},       {155.22847498, 4, "155.2285"}, {1.00005, 4, "1.0001"}, {0.8660254037844387, 6, "0.866025"},
        {-0.5, 6, "-0.5"},      {1e-7, 6, "0"},           {123456.1234565, 6, "123456.123457"},
        {std::numeric_limits<double>::infinity(), 4, "0"}, {12.5, 3, "12.5"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(FormatReal(row.value, row.decimals), row.text) << row.value << " at " << row.decimals;
}
