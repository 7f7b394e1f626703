// Figures, colour and effects through the drawing variables. Each figure is
// compared with the same engine call made directly on a page of the same
// size, so the test sees that the session passes the box, colour, width and
// angles as scripts expect.
#include "session/session_test_support.h"

#include <clocale>
#include <filesystem>
#include <fstream>
#include <functional>

#include "drawing/x_color.h"
#include "drawing/x_pen.h"
#include "drawing/x_solid_brush.h"
#include "support/damaged_pictures.h"
#include "support/platform_support.h"
#include "support/scoped_environment.h"
#include "support/test_output.h"

namespace {

using ZavorPdf::Drawing::XColor;
using ZavorPdf::Drawing::XGraphics;
using ZavorPdf::Drawing::XPen;
using ZavorPdf::Drawing::XPoint;
using ZavorPdf::Drawing::XSolidBrush;
using ZavorTest::RaisedEvent;

// The content that the drawing leaves on a fresh page of the given size.
std::string Reference(double width, double height, const std::function<void(XGraphics &)> &draw) {
    ZavorPdf::Pdf::PdfDocument document;
    ZavorPdf::Pdf::PdfPage &page = document.AddPage();
    page.SetWidth(width);
    page.SetHeight(height);
    auto gfx = XGraphics::FromPdfPage(&page);
    draw(*gfx);
    gfx->Dispose();
    const auto &bytes = page.Contents().ContentAt(0).Bytes();
    return std::string(bytes.begin(), bytes.end());
}

XPen Pen(double width, int a = 50, int r = 50, int g = 50, int b = 50) {
    XPen pen(XColor::FromArgb(a, r, g, b));
    pen.SetWidth(width);
    return pen;
}

const XSolidBrush kBrush(XColor::FromArgb(50, 50, 50, 50));

class SessionShapes : public ZavorTest::SessionTest {
protected:
    // Sets the variables in order on a fresh first page and returns what the
    // page shows.
    std::string Draw(const std::vector<std::pair<std::string, std::string>> &variables) {
        Set("NeueSeite", "A4");
        for (const auto &[name, value] : variables) EXPECT_EQ(Set(name, value), 1) << name;
        return Content(0);
    }
    std::string A4(const std::function<void(XGraphics &)> &draw) { return Reference(595, 842, draw); }
};

TEST_F(SessionShapes, FiguresAsTheEngineDrawsThem) {
    ZAVOR_SKIP_ON_WINDOWS("locales come from the environment (Windows reads the regional settings)");
    // The decimal rows are written with the point of the C locale.
    ZavorTest::ScopedEnvironment locale("LC_ALL", "C");
    struct Case {
        const char *name;
        std::vector<std::pair<std::string, std::string>> variables;
        std::function<void(XGraphics &)> expected;
    };
    const std::vector<XPoint> triangle{{10, 10}, {100, 10}, {50, 80}};
    const Case cases[] = {
        {"rectangle", {{"RechteckHinzufuegen", "1"}}, [](XGraphics &g) { g.DrawRectangle(Pen(1), 10, 10, 400, 200); }},
        {"filled rectangle",
         {{"ObjektFuellen", "ja"}, {"RechteckHinzufuegen", "1"}},
         [](XGraphics &g) { g.DrawRectangle(kBrush, 10, 10, 400, 200); }},
        {"line keeps stroking",
         {{"ObjektFuellen", ""}, {"Zielbox_X", "5"}, {"LinieHinzufuegen", "3"}},
         [](XGraphics &g) { g.DrawLine(Pen(3), 5, 10, 405, 210); }},
        {"ellipse", {{"EllipseHinzufuegen", "2"}}, [](XGraphics &g) { g.DrawEllipse(Pen(2), {10, 10, 400, 200}); }},
        {"pie sweeps from the start",
         {{"TorteHinzufuegen", "1;90;180"}},
         [](XGraphics &g) { g.DrawPie(Pen(1), 10, 10, 400, 200, 90, 180); }},
        {"filled pie",
         {{"ObjektFuellen", "1"}, {"TorteHinzufuegen", "1;0;90"}},
         [](XGraphics &g) { g.DrawPie(kBrush, 10, 10, 400, 200, 0, 90); }},
        {"arc never fills",
         {{"ObjektFuellen", "1"}, {"BogenHinzufuegen", "4;45;90"}},
         [](XGraphics &g) { g.DrawArc(Pen(4), 10, 10, 400, 200, 45, 90); }},
        {"rounded rectangle with blank corners",
         {{"RundesRechteckHinzufuegen", "2;;"}},
         [](XGraphics &g) { g.DrawRoundedRectangle(Pen(2), 10, 10, 400, 200, 100, 100); }},
        {"rounded rectangle missing corners",
         {{"RundesRechteckHinzufuegen", "2"}},
         [](XGraphics &g) { g.DrawRoundedRectangle(Pen(0), 10, 10, 400, 200, 100, 100); }},
        {"rounded rectangle in decimals",
         {{"RundesRechteckHinzufuegen", "3;20.5;1e1"}},
         [](XGraphics &g) { g.DrawRoundedRectangle(Pen(3), 10, 10, 400, 200, 20.5, 10); }},
        {"arc with a comma decimal falls back",
         {{"BogenHinzufuegen", "3;12,5;90"}},
         [](XGraphics &g) { g.DrawArc(Pen(0), 10, 10, 400, 200, 100, 100); }},
        {"polygon",
         {{"PolygonHinzufuegen", "2;10,10;100,10;50,80"}},
         [&](XGraphics &g) { g.DrawPolygon(Pen(2), triangle); }},
        {"polygon blank width and extra parts",
         {{"ObjektFuellen", "1"}, {"PolygonHinzufuegen", " ;10,10,7;100,10;50,80"}},
         [&](XGraphics &g) { g.DrawPolygon(kBrush, triangle, ZavorPdf::Drawing::XFillMode::Alternate); }},
        {"colour and box from the variables",
         {{"FarbeAlpha", "255"},
          {"FarbeRot", "255"},
          {"FarbeGruen", "0"},
          {"FarbeBlau", "0"},
          {"Zielbox_Y", "20"},
          {"Zielbox_Breite", "30"},
          {"Zielbox_Hoehe", "40"},
          {"RechteckHinzufuegen", "1"}},
         [](XGraphics &g) { g.DrawRectangle(Pen(1, 255, 255, 0, 0), 10, 20, 30, 40); }},
        {"scale then rectangle",
         {{"Skalieren", "50;50"}, {"RechteckHinzufuegen", "1"}},
         [](XGraphics &g) {
             g.ScaleTransform(0.5, 0.5);
             g.DrawRectangle(Pen(1), 10, 10, 400, 200);
         }},
        {"shear and rotation accumulate",
         {{"Schubeffekt", "10;"}, {"Drehung", "30"}, {"RechteckHinzufuegen", "1"}},
         [](XGraphics &g) {
             g.ShearTransform(0.1, 0);
             g.RotateTransform(30);
             g.DrawRectangle(Pen(1), 10, 10, 400, 200);
         }},
        {"unreadable shear and scale do nothing",
         {{"Schubeffekt", "1.5;2"}, {"Skalieren", "50"}, {"Skalieren", " "}, {"RechteckHinzufuegen", "1"}},
         [](XGraphics &g) { g.DrawRectangle(Pen(1), 10, 10, 400, 200); }},
        {"blank polygon values draw nothing", {{"PolygonHinzufuegen", ""}, {"PolygonHinzufuegen", "2; "}}, [](XGraphics &) {}},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.name);
        SetUp();
        EXPECT_EQ(Draw(test.variables), A4(test.expected));
        EXPECT_TRUE(Events().empty());
    }
}

TEST_F(SessionShapes, DecimalsFollowTheUserLocale) {
    ZAVOR_SKIP_ON_WINDOWS("locales come from the environment (Windows reads the regional settings)");
    struct Case {
        const char *lang;
        std::pair<std::string, std::string> variable;
        std::function<void(XGraphics &)> expected;
    };
    const Case cases[] = {
        {"de_DE.UTF-8", {"TorteHinzufuegen", "1;0;90,5"},
         [](XGraphics &g) { g.DrawPie(Pen(1), 10, 10, 400, 200, 0, 90.5); }},
        {"de_DE.UTF-8", {"RundesRechteckHinzufuegen", "3;20,5;1e1"},
         [](XGraphics &g) { g.DrawRoundedRectangle(Pen(3), 10, 10, 400, 200, 20.5, 10); }},
        {"de_DE.UTF-8", {"BogenHinzufuegen", "3;12.5;90"},
         [](XGraphics &g) { g.DrawArc(Pen(0), 10, 10, 400, 200, 100, 100); }},
        {"en_US.UTF-8", {"TorteHinzufuegen", "1;0;90.5"},
         [](XGraphics &g) { g.DrawPie(Pen(1), 10, 10, 400, 200, 0, 90.5); }},
        {"en_US.UTF-8", {"TorteHinzufuegen", "1;0;90,5"},
         [](XGraphics &g) { g.DrawPie(Pen(0), 10, 10, 400, 200, 100, 100); }},
    };
    ZavorTest::ScopedEnvironment all("LC_ALL", nullptr);
    ZavorTest::ScopedEnvironment numeric("LC_NUMERIC", nullptr);
    const std::string processNumeric = std::setlocale(LC_NUMERIC, nullptr);
    for (const Case &test : cases) {
        SCOPED_TRACE(std::string(test.lang) + ": " + test.variable.second);
        ZavorTest::ScopedEnvironment lang("LANG", test.lang);
        SetUp();
        EXPECT_EQ(Draw({test.variable}), A4(test.expected));
        EXPECT_TRUE(Events().empty());
        EXPECT_EQ(std::setlocale(LC_NUMERIC, nullptr), processNumeric);
    }
}

TEST_F(SessionShapes, EachFigureFailsWithItsOwnMessage) {
    struct Case {
        const char *name;
        const char *value;
        std::u16string message;
    };
    const Case cases[] = {
        {"LinieHinzufuegen", "1", u"Die Linie konnte wegen fehlerhafter Werte nicht erstellt werden."},
        {"RechteckHinzufuegen", "1", u"Das Rechteck konnte wegen fehlerhafter Werte nicht erstellt werden."},
        {"RundesRechteckHinzufuegen", "",
         u"Das Rechteck mit runden Ecken konnte wegen fehlerhafter Werte nicht erstellt werden."},
        {"EllipseHinzufuegen", "1", u"Die Ellipse konnte wegen fehlerhafter Werte nicht erstellt werden."},
        {"TorteHinzufuegen", "1;0;90",
         u"Der Kuchen konnte wegen fehlerhafter Werte nicht gebacken werden. Ich hoffe Sie sind kein B\u00e4cker ;-)"},
        {"BogenHinzufuegen", "1;0;90", u"Der Bogen konnte wegen fehlerhafter Werte nicht erstellt werden."},
        {"PolygonHinzufuegen", "1;1,1;5,5", u"Polygon konnte wegen fehlerhafter Werte nicht erstellt werden."},
        {"TextHinzufuegen", "abc", u"Der Text konnte wegen fehlerhafter Werte nicht erstellt werden."},
    };
    const std::u16string colourMessage =
        u"Die Farbe konnte wegen fehlerhafter Werte nicht erstellt werden. (0-255 !!!!!!!)";
    for (const char *component : {"FarbeRot", "FarbeAlpha"}) {
        for (const char *bad : {"256", "-1"}) {
            SetUp();
            Set("Schriftgroesse", "10");
            Set(component, bad);
            ASSERT_EQ(Events(), (std::vector<RaisedEvent>{{"ZAVOR_ObjektFehler", colourMessage}}));
            for (const Case &test : cases) {
                Set(test.name, test.value);
                EXPECT_EQ(Events().back(), (RaisedEvent{"ZAVOR_ObjektFehler", test.message})) << test.name;
            }
            EXPECT_EQ(Events().size(), 1 + std::size(cases));
            EXPECT_EQ(Content(0), A4([](XGraphics &) {}));
        }
    }
}

TEST_F(SessionShapes, PolygonPointsMustBeWholeNumbers) {
    const char *bad[] = {"2;10.5,10;100,10", "2;10,10", "2;10;20,20", "2;10,x;20,20", "2;10,10;20,20;30"};
    for (const char *value : bad) {
        SetUp();
        Set("PolygonHinzufuegen", value);
        EXPECT_EQ(Events(), (std::vector<RaisedEvent>{{"ZAVOR_ObjektFehler",
                                                       u"Polygon konnte wegen fehlerhafter Werte nicht erstellt werden."}}))
            << value;
    }
    SetUp();
    std::string many = "1";
    for (int i = 0; i < 50001; ++i) many += ";1,2";
    Set("PolygonHinzufuegen", many);
    EXPECT_EQ(Events().size(), 1u);
    // A width that is no whole number ends the row before anything is drawn.
    SetUp();
    Set("PolygonHinzufuegen", "x;1,1;2,2");
    EXPECT_TRUE(Events().empty());
    EXPECT_EQ(Content(0), A4([](XGraphics &) {}));
}

TEST_F(SessionShapes, LineEffectsClipToTheFigure) {
    std::string lines = Draw({{"Zielbox_Hoehe", "200"}, {"EffektTemplate_Horizontal", "0;5"}, {"RechteckHinzufuegen", "1"}});
    EXPECT_EQ(Session().effect_mod1, 1);
    EXPECT_EQ(CountOf(lines, " l\nS\n"), 200u);
    EXPECT_TRUE(Contains(lines, "q\n10 10 m\n410 10 l\n410 210 l\n10 210 l\nh\nW* n\n")) << lines;

    SetUp();
    std::string spaced = Draw({{"EffektTemplate_Horizontal", "50;5"}, {"RechteckHinzufuegen", "1"}});
    EXPECT_EQ(CountOf(spaced, " l\nS\n"), 4u);
    for (const char *y : {"10", "60", "110", "160"})
        EXPECT_TRUE(Contains(spaced, std::string("10 ") + y + " m\n410 " + y + " l\nS\n")) << y;

    SetUp();
    std::string grid = Draw({{"Zielbox_Breite", "100"}, {"Zielbox_Hoehe", "100"}, {"EffektTemplate_Gitter", "50;25;5"},
                             {"EllipseHinzufuegen", "1"}});
    std::size_t firstVertical = grid.find("10 10 m\n10 110 l\nS\n");
    std::size_t firstHorizontal = grid.find("10 10 m\n110 10 l\nS\n");
    ASSERT_NE(firstVertical, std::string::npos) << grid;
    ASSERT_NE(firstHorizontal, std::string::npos) << grid;
    EXPECT_LT(firstVertical, firstHorizontal);
    EXPECT_EQ(CountOf(grid, " l\nS\n"), 4u + 2u);
    // The clip ends with the figure: the state is saved and restored.
    EXPECT_EQ(CountOf(grid, "q\n"), CountOf(grid, "Q\n"));
}

TEST_F(SessionShapes, RadialEffectRefusesAZeroDivisor) {
    std::string radial = Draw({{"EffektTemplate_Radius", "1;1;5"}, {"RechteckHinzufuegen", "1"}});
    EXPECT_EQ(CountOf(radial, " l\nS\n"), 181u);
    EXPECT_TRUE(Contains(radial, "10 10 m\n410 0 l\nS\n")) << radial;  // t = 0

    SetUp();
    std::string refused = Draw({{"EffektTemplate_Radius", "0;1;5"}, {"RechteckHinzufuegen", "1"}});
    EXPECT_EQ(Events(), (std::vector<RaisedEvent>{{"ZAVOR_ObjektFehler",
                                                   u"Das Rechteck konnte wegen fehlerhafter Werte nicht erstellt werden."}}));
    EXPECT_FALSE(Contains(refused, "nan"));
    EXPECT_FALSE(Contains(refused, "inf"));
    EXPECT_FALSE(Contains(refused, " l\nS\n"));
}

TEST_F(SessionShapes, LineEffectsRefuseBoxesThatWouldNeedMillionsOfLines) {
    std::string refused = Draw({{"Zielbox_Hoehe", "2000000000"}, {"EffektTemplate_Horizontal", "1;5"},
                                {"RechteckHinzufuegen", "1"}});
    EXPECT_EQ(Events(), (std::vector<RaisedEvent>{{"ZAVOR_ObjektFehler",
                                                   u"Das Rechteck konnte wegen fehlerhafter Werte nicht erstellt werden."}}));
    EXPECT_FALSE(Contains(refused, " l\nS\n"));

    // The grid checks both directions before it draws its first line.
    SetUp();
    std::string grid = Draw({{"Zielbox_Breite", "100"}, {"Zielbox_Hoehe", "2000000000"},
                             {"EffektTemplate_Gitter", "1;50;5"}, {"EllipseHinzufuegen", "1"}});
    EXPECT_FALSE(Contains(grid, " l\nS\n"));
    EXPECT_EQ(CountOf(grid, "q\n"), CountOf(grid, "Q\n"));
}

TEST_F(SessionShapes, FailedEffectDoesNotLeaveItsClipBehind) {
    std::string content = Draw({{"EffektTemplate_Bild", "/nicht/da.png"},
                                {"RechteckHinzufuegen", "1"},
                                {"EffektTemplate_Bild", "0"},
                                {"EllipseHinzufuegen", "1"}});
    EXPECT_EQ(Events(), (std::vector<RaisedEvent>{{"ZAVOR_ObjektFehler",
                                                   u"Das Rechteck konnte wegen fehlerhafter Werte nicht erstellt werden."}}));
    std::size_t ellipse = content.find(" c\n");
    ASSERT_NE(ellipse, std::string::npos);
    std::string before = content.substr(0, ellipse);
    EXPECT_EQ(CountOf(before, "q\n") - CountOf(before, "Q\n"), 2u) << content;  // page and world levels only
}

// A 24-bit bitmap of one colour, written by hand (rows bottom-up, padded
// to four bytes).
void WriteBitmap(const std::filesystem::path &file, int width, int height) {
    const int row = (width * 3 + 3) / 4 * 4;
    const int size = 54 + row * height;
    auto le = [](std::string &out, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    std::string bytes = "BM";
    le(bytes, size, 4);
    le(bytes, 0, 4);
    le(bytes, 54, 4);
    le(bytes, 40, 4);
    le(bytes, width, 4);
    le(bytes, height, 4);
    le(bytes, 1, 2);
    le(bytes, 24, 2);
    for (int i = 0; i < 6; ++i) le(bytes, 0, 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) bytes += std::string("\x20\x80\xF0", 3);
        bytes.append(row - width * 3, '\0');
    }
    std::ofstream(file, std::ios::binary) << bytes;
}

TEST_F(SessionShapes, PictureEffectFillsTheFigure) {
    const std::filesystem::path picture = ZavorTest::OutputPath("effect_picture.bmp");
    WriteBitmap(picture, 4, 2);
    std::string content = Draw({{"EffektTemplate_Bild", picture.string()}, {"EllipseHinzufuegen", "1"}});
    EXPECT_TRUE(Events().empty()) << ZavorPlatform::Utf16ToUtf8(Session().fehlertext);
    // Clipped to the ellipse, the picture stretched into the box, then the
    // clip's own level ends.
    std::size_t clip = content.find("h\nW* n\nq 400 0 0 -200 10 210 cm /I0 Do Q\nQ\n");
    EXPECT_NE(clip, std::string::npos) << content;
}

// A damaged picture fails the figure as a missing one does: the picture
// is not placed and the figure's clip ends with it.
TEST_F(SessionShapes, DamagedEffectPictureFailsTheFigure) {
    for (const ZavorTest::NamedPicture &picture : ZavorTest::DamagedPictures()) {
        SCOPED_TRACE(picture.name);
        SetUp();
        std::string content = Draw({{"EffektTemplate_Bild", ZavorTest::WriteNamedPicture(picture, "effect_").string()},
                                    {"RechteckHinzufuegen", "1"}});
        EXPECT_EQ(Events(), (std::vector<RaisedEvent>{{"ZAVOR_ObjektFehler",
                                                       u"Das Rechteck konnte wegen fehlerhafter Werte nicht erstellt werden."}}));
        EXPECT_FALSE(Contains(content, " Do ")) << content;
        EXPECT_TRUE(Contains(content, "W* n\nQ\n")) << content;
    }
}

TEST_F(SessionShapes, EffectOnALineShowsNothing) {
    std::string content = Draw({{"EffektTemplate_Vertikal", "10;1"}, {"LinieHinzufuegen", "1"}});
    EXPECT_TRUE(Contains(content, "q\n10 10 m\n410 210 l\nW* n\n")) << content;
    EXPECT_TRUE(Events().empty());
}

}  // namespace
