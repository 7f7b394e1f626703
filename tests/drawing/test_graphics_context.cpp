// Graphics state tracking, levels, transformations, clipping, opacity and
// the life of a graphics object on its page.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "drawing/x_colors.h"
#include "drawing/x_graphics.h"
#include "drawing/x_solid_brush.h"
#include "geometry_test_support.h"
#include "pdf/errors.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_ext_gstate.h"
#include "pdf/pdf_reference.h"
#include "support/test_output.h"
#include "test_graphics_support.h"

using namespace ZavorPdf::Drawing;
using ZavorPdf::ArgumentException;
using ZavorPdf::InvalidOperationException;
using ZavorPdf::Pdf::PdfColorMode;
using ZavorTest::ExpectFailure;
using ZavorTest::GraphicsPage;
using ZavorTest::kBlackPen;
using ZavorTest::kPageEnd;
using ZavorTest::kPageStart;

namespace {

std::size_t Count(const std::string &text, const std::string &what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

// "q" and "Q" operators as whole lines, in order; the depth never drops
// below zero and ends at zero.
bool Balanced(const std::string &content) {
    int depth = 0;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        std::string line = content.substr(start, end - start);
        if (line == "q")
            ++depth;
        if (line == "Q" && --depth < 0)
            return false;
        start = end == std::string::npos ? content.size() : end + 1;
    }
    return depth == 0;
}

}  // namespace

TEST(GraphicsStateTest, PenStateIsWrittenOnlyWhenItChanges) {
    GraphicsPage page;
    XPen pen(XColor::FromArgb(0, 0, 255));
    page.gfx->DrawRectangle(pen, 0, 0, 10, 10);
    page.gfx->DrawRectangle(pen, 20, 0, 10, 10);
    XPen wide(XColor::FromArgb(0, 0, 255), 3);
    page.gfx->DrawRectangle(wide, 40, 0, 10, 10);
    EXPECT_EQ(page.Finish(), kPageStart +
                                 "1 w\n0 J\n0 j\n[]0 d\n0 0 1 RG\n0 0 10 10 re\nS\n"
                                 "20 0 10 10 re\nS\n"
                                 "3 w\n40 0 10 10 re\nS\n" +
                                 kPageEnd);
}

TEST(GraphicsStateTest, CapsJoinsMiterAndDashes) {
    struct Row {
        const char *name;
        std::function<void(XPen &)> setup;
        std::string state;
    };
    const std::vector<Row> rows = {
        {"round cap, bevel join", [](XPen &p) { p.SetLineCap(XLineCap::Round), p.SetLineJoin(XLineJoin::Bevel); },
         "2 w\n1 J\n2 j\n[]0 d\n"},
        {"miter limit truncated", [](XPen &p) { p.SetMiterLimit(4.9); }, "2 w\n0 J\n0 j\n4 M\n[]0 d\n"},
        {"miter limit needs a miter join",
         [](XPen &p) { p.SetMiterLimit(4), p.SetLineJoin(XLineJoin::Round); }, "2 w\n0 J\n1 j\n[]0 d\n"},
        {"dash", [](XPen &p) { p.SetDashStyle(XDashStyle::Dash); }, "2 w\n0 J\n0 j\n[6 2]0 d\n"},
        {"dot", [](XPen &p) { p.SetDashStyle(XDashStyle::Dot); }, "2 w\n0 J\n0 j\n[2]0 d\n"},
        {"dash dot", [](XPen &p) { p.SetDashStyle(XDashStyle::DashDot); }, "2 w\n0 J\n0 j\n[6 2 2 2]0 d\n"},
        {"dash dot dot", [](XPen &p) { p.SetDashStyle(XDashStyle::DashDotDot); },
         "2 w\n0 J\n0 j\n[6 2 2 2 2 2]0 d\n"},
        {"custom, odd count", [](XPen &p) { p.SetDashPattern({1, 2.5, 3}), p.SetDashOffset(0.5); },
         "2 w\n0 J\n0 j\n[2 5 6 0.4]1 d\n"},
        {"hairline dashes are solid", [](XPen &p) { p.SetWidth(0), p.SetDashStyle(XDashStyle::Dash); },
         "0 w\n0 J\n0 j\n[]0 d\n"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        GraphicsPage page;
        XPen pen(XColor::FromArgb(0, 0, 0), 2);
        row.setup(pen);
        page.gfx->DrawLine(pen, 0, 0, 1, 1);
        EXPECT_EQ(page.Finish(), kPageStart + row.state + "0 0 0 RG\n0 0 m\n1 1 l\nS\n" + kPageEnd);
    }
}

TEST(GraphicsStateTest, DashPatternFollowsTheWidth) {
    GraphicsPage page;
    XPen thin(XColor::FromArgb(0, 0, 0), 1);
    thin.SetDashStyle(XDashStyle::Dash);
    XPen thick = thin;
    thick.SetWidth(2);
    page.gfx->DrawLine(thin, 0, 0, 1, 1);
    page.gfx->DrawLine(thin, 0, 0, 1, 1);
    page.gfx->DrawLine(thick, 0, 0, 1, 1);
    std::string content = page.Finish();
    EXPECT_EQ(Count(content, "[3 1]0 d\n"), 1u);
    EXPECT_EQ(Count(content, "[6 2]0 d\n"), 1u);
}

TEST(GraphicsStateTest, CmykModeWritesCmykOperators) {
    GraphicsPage page(PdfColorMode::Cmyk);
    XPen pen(XColor::FromArgb(255, 0, 0));
    XSolidBrush brush(XColor::FromCmyk(0.1, 0.2, 0.3, 0.4));
    page.gfx->DrawRectangle(&pen, &brush, XRect(0, 0, 1, 1));
    // White is CMYK zero; it must still be written over the initial black.
    page.gfx->DrawRectangle(XBrushes::White(), XRect(0, 0, 1, 1));
    EXPECT_EQ(page.Finish(), kPageStart +
                                 "1 w\n0 J\n0 j\n[]0 d\n0 1 1 0 K\n0.1 0.2 0.3 0.4 k\n0 0 1 1 re\nB\n"
                                 "0 0 0 0 k\n0 0 1 1 re\nf\n" +
                                 kPageEnd);
}

TEST(GraphicsStateTest, OpacityUsesSharedGraphicsStates) {
    GraphicsPage page;
    XSolidBrush half(XColor::FromArgb(128, 255, 0, 0));
    XSolidBrush halfBlue(XColor::FromArgb(128, 0, 0, 255));
    XPen halfPen(XColor::FromArgb(128, 0, 0, 0));
    page.gfx->DrawRectangle(half, 0, 0, 10, 10);
    page.gfx->DrawRectangle(halfBlue, 0, 0, 10, 10);
    page.gfx->DrawRectangle(halfPen, 0, 0, 10, 10);
    page.gfx->DrawRectangle(XBrushes::Red(), 0, 0, 10, 10);
    page.gfx->DrawRectangle(half, 0, 0, 10, 10);  // back to the page's first state
    std::string content = page.Finish();
    EXPECT_EQ(content, kPageStart +
                           "1 0 0 rg\n/GS0 gs\n0 0 10 10 re\nf\n"
                           "0 0 1 rg\n0 0 10 10 re\nf\n"
                           "1 w\n0 J\n0 j\n[]0 d\n0 0 0 RG\n/GS1 gs\n0 0 10 10 re\nS\n"
                           "1 0 0 rg\n/GS2 gs\n0 0 10 10 re\nf\n"
                           "/GS0 gs\n0 0 10 10 re\nf\n" +
                           kPageEnd);
    // The page names the states in its resources, beside the usual ProcSet.
    auto *resources = page.page->Elements().GetDictionary("/Resources");
    ASSERT_NE(resources, nullptr);
    EXPECT_EQ(resources->Elements().GetArray("/ProcSet")->ToString(), "[/PDF /Text /ImageB /ImageC /ImageI]");
    auto *states = resources->Elements().GetDictionary("/ExtGState");
    ASSERT_NE(states, nullptr);
    EXPECT_EQ(states->Elements().Count(), 3);
    EXPECT_EQ(states->Elements().GetDictionary("/GS1")->Elements().GetReal("/CA"), 0.501);
    // The document keeps one state per alpha and kind, shared by all pages.
    using ZavorPdf::Pdf::PdfExtGState;
    auto &fill = PdfExtGState::ForAlpha(page.document, PdfExtGState::AlphaKind::NonStroke, 128 / 255.0);
    EXPECT_EQ(fill.Elements().GetReal("/ca"), 0.501);
    EXPECT_EQ(&fill, &PdfExtGState::ForAlpha(page.document, PdfExtGState::AlphaKind::NonStroke, 0.5019));
    auto &stroke = PdfExtGState::ForAlpha(page.document, PdfExtGState::AlphaKind::Stroke, 128 / 255.0);
    EXPECT_NE(&fill, &stroke);
    EXPECT_EQ(stroke.Elements().GetName("/Type"), "/ExtGState");
    // A state that left the table, or was changed, is not handed out again;
    // a state another document part made later is found.
    page.document.ReferenceTable().Remove(fill.ObjectID());
    auto &again = PdfExtGState::ForAlpha(page.document, PdfExtGState::AlphaKind::NonStroke, 128 / 255.0);
    EXPECT_TRUE(again.IsIndirect());
    EXPECT_EQ(again.Elements().GetReal("/ca"), 0.501);
    stroke.Elements().SetReal("/CA", 0.25);
    EXPECT_NE(&stroke, &PdfExtGState::ForAlpha(page.document, PdfExtGState::AlphaKind::Stroke, 128 / 255.0));
    auto made = std::make_unique<PdfExtGState>(&page.document);
    made->Elements().SetReal("/CA", 0.75);
    PdfExtGState &madeState = *made;
    page.document.ReferenceTable().Add(std::move(made));
    EXPECT_EQ(&madeState, &PdfExtGState::ForAlpha(page.document, PdfExtGState::AlphaKind::Stroke, 0.75));
}

TEST(GraphicsStateTest, OpacityNeedsPdf14) {
    GraphicsPage page;
    page.document.SetVersion(13);
    page.gfx->DrawRectangle(XSolidBrush(XColor::FromArgb(128, 255, 0, 0)), 0, 0, 1, 1);
    EXPECT_EQ(Count(page.Finish(), " gs\n"), 0u);
}

TEST(GraphicsTransformTest, RotationIsWrittenOnceBeforeTheNextDrawing) {
    GraphicsPage page;
    XPen pen(XColor::FromArgb(0, 0, 0));
    page.gfx->RotateTransform(30);
    page.gfx->DrawLine(pen, 0, 0, 10, 0);
    page.gfx->DrawLine(pen, 0, 0, 0, 10);
    EXPECT_EQ(page.Finish(), kPageStart + "0.866025 0.5 -0.5 0.866025 0 0 cm\n" + kBlackPen +
                                 "0 0 m\n10 0 l\nS\n0 0 m\n0 10 l\nS\n" + kPageEnd);
}

TEST(GraphicsTransformTest, StepsAccumulateAndOnlyTheDifferenceIsWritten) {
    GraphicsPage page;
    XPen pen(XColor::FromArgb(0, 0, 0));
    page.gfx->TranslateTransform(10, 20);
    page.gfx->DrawLine(pen, 0, 0, 1, 0);
    page.gfx->ScaleTransform(0.5);
    page.gfx->DrawLine(pen, 0, 0, 1, 0);
    page.gfx->ShearTransform(0.1, 0);
    page.gfx->DrawLine(pen, 0, 0, 1, 0);
    EXPECT_EQ(page.gfx->Transform(), XMatrix(0.5, 0, 0.05, 0.5, 10, 20));
    std::string content = page.Finish();
    EXPECT_NE(content.find("1 0 0 1 10 20 cm\n"), std::string::npos);
    EXPECT_NE(content.find("0.5 0 0 0.5 0 0 cm\n"), std::string::npos);
    EXPECT_NE(content.find("1 0 0.1 1 0 0 cm\n"), std::string::npos);
    EXPECT_EQ(Count(content, " cm\n"), 3u);  // the steps only; the page's matrix ends in "cm -100 Tz"
}

TEST(GraphicsTransformTest, WorldToDefaultPageFlipsAndBoundsTheCorners) {
    GraphicsPage page;
    EXPECT_EQ(page.gfx->WorldToDefaultPage(XRect(10, 20, 100, 50)), XRect(10, 772, 100, 50));
    page.gfx->RotateTransform(90);
    XRect turned = page.gfx->WorldToDefaultPage(XRect(0, 0, 100, 50));
    EXPECT_NEAR(turned.X(), -50, 1e-9);
    EXPECT_NEAR(turned.Y(), 742, 1e-9);
    EXPECT_NEAR(turned.Width(), 50, 1e-9);
    EXPECT_NEAR(turned.Height(), 100, 1e-9);
}

TEST(GraphicsLevelsTest, SaveRestoreWritesMatchingLevels) {
    GraphicsPage page;
    XPen pen(XColor::FromArgb(0, 0, 0));
    XGraphicsState state = page.gfx->Save();
    page.gfx->RotateTransform(90);
    page.gfx->DrawLine(pen, 0, 0, 1, 0);
    page.gfx->Restore(state);
    EXPECT_TRUE(page.gfx->Transform().IsIdentity());
    page.gfx->DrawLine(pen, 0, 0, 1, 0);
    // After the restore the viewer's state is back to the saved one: the
    // pen is written again, the rotation is gone.
    EXPECT_EQ(page.Finish(), kPageStart + "q\n0 1 -1 0 0 0 cm\n" + kBlackPen + "0 0 m\n1 0 l\nS\nQ\n" + kBlackPen +
                                 "0 0 m\n1 0 l\nS\n" + kPageEnd);
}

TEST(GraphicsLevelsTest, RestoringAnOuterStateClosesTheInnerOnes) {
    GraphicsPage page;
    XPen pen(XColor::FromArgb(0, 0, 0));
    XGraphicsState outer = page.gfx->Save();
    page.gfx->TranslateTransform(5, 5);
    XGraphicsState inner = page.gfx->Save();
    page.gfx->ScaleTransform(2);
    page.gfx->DrawLine(pen, 0, 0, 1, 0);
    page.gfx->Restore(outer);
    ExpectFailure<ArgumentException>([&] { page.gfx->Restore(inner); }, "State already restored.");
    ExpectFailure<ArgumentException>([&] { page.gfx->Restore(outer); }, "State already restored.");
    ExpectFailure<InvalidOperationException>([&] { page.gfx->Restore(); },
                                             "Cannot restore without preceding save operation.");
    ExpectFailure<ZavorPdf::ArgumentNullException>([&] { page.gfx->Restore(nullptr); },
                                                   "Value cannot be null. (Parameter 'state')");
    GraphicsPage other;
    XGraphicsState foreign = other.gfx->Save();
    ExpectFailure<ArgumentException>([&] { page.gfx->Restore(foreign); }, "State not on stack.");
    std::string finished = page.Finish();
    EXPECT_EQ(Count(finished, "Q\n"), 4u);
    EXPECT_TRUE(Balanced(finished));
}

TEST(GraphicsLevelsTest, ContentIsBalancedWhenTheCallerForgetsToRestore) {
    GraphicsPage page;
    XPen pen(XColor::FromArgb(0, 0, 0));
    page.gfx->Save();
    page.gfx->Save();
    page.gfx->BeginContainer();
    page.gfx->DrawLine(pen, 0, 0, 1, 1);
    std::string content = page.Finish();
    EXPECT_TRUE(Balanced(content)) << content;
    EXPECT_EQ(Count(content, "Q\n"), 5u);
}

TEST(GraphicsLevelsTest, ContainersMapRectanglesAndEndLikeRestore) {
    GraphicsPage page;
    XGraphicsContainer container =
        page.gfx->BeginContainer(XRect(100, 100, 200, 100), XRect(0, 0, 100, 100), XGraphicsUnit::Point);
    EXPECT_EQ(page.gfx->Transform(), XMatrix(2, 0, 0, 1, 100, 100));
    page.gfx->EndContainer(container);
    EXPECT_TRUE(page.gfx->Transform().IsIdentity());
    ExpectFailure<ArgumentException>(
        [&] { page.gfx->BeginContainer(XRect(0, 0, 1, 1), XRect(0, 0, 1, 1), XGraphicsUnit::Inch); },
        "The current implementation supports XGraphicsUnit.Point only.");
    ExpectFailure<ZavorPdf::ArgumentNullException>([&] { page.gfx->EndContainer(nullptr); },
                                                   "Value cannot be null. (Parameter 'container')");
    EXPECT_TRUE(Balanced(page.Finish()));
}

TEST(GraphicsClipTest, ClipWritesThePathAndItsRule) {
    GraphicsPage page;
    XGraphicsPath triangle;
    const XPoint points[] = {{0, 0}, {10, 0}, {0, 10}};
    triangle.AddPolygon(points);
    XGraphicsState state = page.gfx->Save();
    page.gfx->IntersectClip(triangle);
    page.gfx->Restore(state);
    XGraphicsPath winding(XFillMode::Winding);
    winding.AddRectangle(1, 2, 3, 4);
    page.gfx->IntersectClip(winding);
    EXPECT_EQ(page.Finish(), kPageStart + "q\n0 0 m\n10 0 l\n0 10 l\nh\nW* n\nQ\n1 2 m\n4 2 l\n4 6 l\n1 6 l\nh\nW n\n" +
                                 kPageEnd);
}

TEST(GraphicsClipTest, ObsoleteCallsFail) {
    GraphicsPage page;
    ExpectFailure<InvalidOperationException>([&] { page.gfx->SetClip(XRect(0, 0, 1, 1)); },
                                             "Function is obsolete. Use IntersectClip.");
    ExpectFailure<InvalidOperationException>([&] { page.gfx->ResetClip(); },
                                             "ResetClip is obsolete. Use Save/Restore instead.");
    ExpectFailure<InvalidOperationException>([&] { page.gfx->SetTransform(XMatrix()); },
                                             "The function is obsolete and must not be called.");
    ExpectFailure<InvalidOperationException>([&] { page.gfx->ResetTransform(); },
                                             "The function is obsolete and must not be called.");
    ExpectFailure<InvalidOperationException>([&] { page.gfx->SetPageOrigin(XPoint(1, 1)); },
                                             "PageOrigin cannot be modified in current implementation.");
    ExpectFailure<InvalidOperationException>([&] { page.gfx->SetPageDirection(XPageDirection::Upwards); },
                                             "PageDirection must be XPageDirection.Downwards in current implementation.");
    ExpectFailure<ZavorPdf::ArgumentNullException>([&] { page.gfx->IntersectClip(nullptr); },
                                                   "Value cannot be null. (Parameter 'path')");
    page.gfx->RotateTransform(1);
    ExpectFailure<InvalidOperationException>([&] { page.gfx->Clear(XColors::White()); },
                                             "Transform must be identity to clear the canvas.");
    EXPECT_EQ(page.Finish(), "");
}
