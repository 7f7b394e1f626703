#include <gtest/gtest.h>

#include "pdf/errors.h"
#include "pdf/io/shift_stack.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_number.h"

namespace {

using namespace ZavorPdf;
using namespace ZavorPdf::Pdf;
using namespace ZavorPdf::Pdf::IO;

TEST(ShiftStack, IndexesFromBothEndsAndReduces) {
    ShiftStack stack;
    stack.Shift(std::make_unique<PdfInteger>(1));
    stack.Shift(std::make_unique<PdfInteger>(2));
    stack.Shift(std::make_unique<PdfName>("/N"));
    EXPECT_EQ(stack.SP(), 3);
    EXPECT_EQ(stack.GetInteger(0), 1);
    EXPECT_EQ(stack.GetInteger(-2), 2);
    EXPECT_EQ(stack.GetItem(-1)->ToString(), "/N");
    EXPECT_THROW(stack.GetInteger(-1), InvalidCastException);

    stack.Reduce(std::make_unique<PdfInteger>(9), 2);
    EXPECT_EQ(stack.SP(), 2);
    EXPECT_EQ(stack.GetInteger(-1), 9);

    std::vector<ShiftStack::Entry> moved = stack.ToArray(0, 2);
    EXPECT_EQ(moved[0].Get()->ToString(), "1");
    EXPECT_EQ(moved[1].Get()->ToString(), "9");
    stack.Reduce(2);
    EXPECT_EQ(stack.SP(), 0);
}

TEST(ShiftStack, OutOfRangeAndUnderflowFailWithTheirMessages) {
    ShiftStack stack;
    stack.Shift(std::make_unique<PdfInteger>(1));
    for (int index : {1, -2, 5}) {
        try {
            stack.GetItem(index);
            ADD_FAILURE() << index;
        } catch (const ArgumentOutOfRangeException &error) {
            EXPECT_STREQ(error.what(), "Value out of stack range.");
        }
    }
    try {
        stack.Reduce(2);
        FAIL();
    } catch (const ArgumentOutOfRangeException &error) {
        EXPECT_STREQ(error.what(), "count causes stack underflow.");
    }
    EXPECT_EQ(stack.SP(), 1);
}

}  // namespace
