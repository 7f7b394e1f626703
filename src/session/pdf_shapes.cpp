// Colour, pen and the figures of the session, with the effects that clip to
// a figure and fill it with a line pattern or a picture.
#include <cmath>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>

#include "drawing/fonts/x_font.h"
#include "drawing/x_color.h"
#include "drawing/x_graphics.h"
#include "drawing/x_graphics_path.h"
#include "drawing/x_image.h"
#include "drawing/x_pen.h"
#include "drawing/x_point.h"
#include "drawing/x_rect.h"
#include "drawing/x_solid_brush.h"
#include "pdf/errors.h"
#include "plugin/number_text.h"
#include "session/pdf.h"

namespace ZavorPlugin {
namespace {

using ZavorPdf::Drawing::XColor;
using ZavorPdf::Drawing::XDashStyle;
using ZavorPdf::Drawing::XFillMode;
using ZavorPdf::Drawing::XGraphics;
using ZavorPdf::Drawing::XGraphicsPath;
using ZavorPdf::Drawing::XPen;
using ZavorPdf::Drawing::XPoint;
using ZavorPdf::Drawing::XRect;
using ZavorPdf::Drawing::XSolidBrush;

constexpr double kPi = 3.141592653589793;
// A polygon has room for this many points; a longer list is refused.
constexpr std::size_t kMaxPolygonPoints = 50000;

std::int32_t ParseCoordinate(std::u16string_view text) {
    std::optional<std::int32_t> value = TryParseStrictInteger(text);
    if (!value) throw ZavorPdf::ArgumentException("A polygon coordinate is not a whole number.", "points");
    return *value;
}

}  // namespace

XColor PDF::DrawingColor() const { return XColor::FromArgb(ColA, ColR, ColG, ColB); }

XRect PDF::Box() const {
    return XRect(static_cast<double>(BoxX), static_cast<double>(BoxY), static_cast<double>(BoxB),
                 static_cast<double>(BoxH));
}

XPen PDF::MakePen(std::int32_t width) const {
    XPen pen(DrawingColor(), 1);
    pen.SetWidth(static_cast<double>(width));
    return pen;
}

void PDF::MkColor() {
    try {
        fontcolor = std::make_unique<XSolidBrush>(DrawingColor());
    } catch (...) {
        ReportFailure(u"Die Farbe konnte wegen fehlerhafter Werte nicht erstellt werden. (0-255 !!!!!!!)",
                      kObjectFailureEvent);
    }
}

void PDF::SetDotStyle(std::int32_t typ) {
    switch (typ) {
    case 2: Dstyle = XDashStyle::DashDot; break;
    case 3: Dstyle = XDashStyle::DashDotDot; break;
    case 4: Dstyle = XDashStyle::Dot; break;
    case 5: Dstyle = XDashStyle::Solid; break;
    default: Dstyle = XDashStyle::Dash; break;
    }
}

void PDF::AddLine(std::int32_t Strongsize) {
    GuardFigure(u"Die Linie konnte wegen fehlerhafter Werte nicht erstellt werden.", [&] {
        XPen pen = MakePen(Strongsize);
        if (effect_typ != 0) return SetTemplate(Figure::Line, pen, u"", 0, 0, {});
        XRect box = Box();
        Graphics().DrawLine(pen, box.X(), box.Y(), box.X() + box.Width(), box.Y() + box.Height());
    });
}

void PDF::AddRect(std::int32_t StrongSize) {
    GuardFigure(u"Das Rechteck konnte wegen fehlerhafter Werte nicht erstellt werden.", [&] {
        XPen pen = MakePen(StrongSize);
        if (effect_typ != 0) return SetTemplate(Figure::Rectangle, pen, u"", 0, 0, {});
        XSolidBrush brush(pen.Color());
        if (brushme)
            Graphics().DrawRectangle(brush, Box());
        else
            Graphics().DrawRectangle(pen, Box());
    });
}

void PDF::AddRoundedRect(std::int32_t StrongSize, double roundedX, double roundedY) {
    GuardFigure(u"Das Rechteck mit runden Ecken konnte wegen fehlerhafter Werte nicht erstellt werden.", [&] {
        XPen pen = MakePen(StrongSize);
        if (effect_typ != 0) return SetTemplate(Figure::RoundedRectangle, pen, u"", roundedX, roundedY, {});
        XSolidBrush brush(pen.Color());
        XRect box = Box();
        if (brushme)
            Graphics().DrawRoundedRectangle(brush, box.X(), box.Y(), box.Width(), box.Height(), roundedX, roundedY);
        else
            Graphics().DrawRoundedRectangle(pen, box.X(), box.Y(), box.Width(), box.Height(), roundedX, roundedY);
    });
}

void PDF::AddEllipse(std::int32_t Strongsize) {
    GuardFigure(u"Die Ellipse konnte wegen fehlerhafter Werte nicht erstellt werden.", [&] {
        XPen pen = MakePen(Strongsize);
        if (effect_typ != 0) return SetTemplate(Figure::Ellipse, pen, u"", 0, 0, {});
        XSolidBrush brush(pen.Color());
        if (brushme)
            Graphics().DrawEllipse(brush, Box());
        else
            Graphics().DrawEllipse(pen, Box());
    });
}

void PDF::AddPie(std::int32_t Strong, double startangle, double endangle) {
    GuardFigure(u"Der Kuchen konnte wegen fehlerhafter Werte nicht gebacken werden. Ich hoffe Sie sind kein "
                u"B\u00e4cker ;-)",
                [&] {
                    XPen pen = MakePen(Strong);
                    if (effect_typ != 0) return SetTemplate(Figure::Pie, pen, u"", startangle, endangle, {});
                    XSolidBrush brush(pen.Color());
                    XRect box = Box();
                    // The second angle is the sweep, not the end angle.
                    if (brushme)
                        Graphics().DrawPie(brush, box.X(), box.Y(), box.Width(), box.Height(), startangle, endangle);
                    else
                        Graphics().DrawPie(pen, box.X(), box.Y(), box.Width(), box.Height(), startangle, endangle);
                });
}

void PDF::AddArc(std::int32_t Strong, double startangle, double endangle) {
    GuardFigure(u"Der Bogen konnte wegen fehlerhafter Werte nicht erstellt werden.", [&] {
        XPen pen = MakePen(Strong);
        if (effect_typ != 0) return SetTemplate(Figure::Arc, pen, u"", startangle, endangle, {});
        XRect box = Box();
        Graphics().DrawArc(pen, box.X(), box.Y(), box.Width(), box.Height(), startangle, endangle);
    });
}

void PDF::AddPolygon(std::int32_t Strongsize, const std::vector<std::u16string> &points) {
    GuardFigure(u"Polygon konnte wegen fehlerhafter Werte nicht erstellt werden.", [&] {
        XPen pen = MakePen(Strongsize);
        std::vector<XPoint> corners = PolygonPoints(points);
        if (effect_typ != 0) return SetTemplate(Figure::Polygon, pen, u"", 0, 0, corners);
        XSolidBrush brush(pen.Color());
        if (brushme)
            Graphics().DrawPolygon(brush, corners, XFillMode::Alternate);
        else
            Graphics().DrawPolygon(pen, corners);
    });
}

// Element 0 is the line width; every further element is "x,y" in page
// coordinates.
std::vector<XPoint> PDF::PolygonPoints(const std::vector<std::u16string> &elements) {
    if (elements.size() > kMaxPolygonPoints + 1)
        throw ZavorPdf::ArgumentException("A polygon has at most 50000 points.", "points");
    std::vector<XPoint> corners;
    for (std::size_t i = 1; i < elements.size(); ++i) {
        std::u16string_view element = elements[i];
        std::size_t comma = element.find(u',');
        if (comma == std::u16string_view::npos)
            throw ZavorPdf::ArgumentException("A polygon point needs an x and a y.", "points");
        std::u16string_view rest = element.substr(comma + 1);
        std::u16string_view y = rest.substr(0, rest.find(u','));
        corners.emplace_back(ParseCoordinate(element.substr(0, comma)), ParseCoordinate(y));
    }
    return corners;
}

void PDF::AddRotate(std::int32_t degree) {
    GuardFigure(u"Rotation konnte nicht durchgef\u00fchrt werden.",
                [&] { Graphics().RotateTransform(static_cast<double>(degree)); });
}

void PDF::AddShear(double X, double Y) {
    if (!gfx) return ReportFailure(u"Der Schubeffekt konnte nicht durchgef\u00fchrt werden.", kObjectFailureEvent);
    gfx->ShearTransform(X * 0.01, Y * 0.01);
}

void PDF::AddScale(double X, double Y) {
    if (!gfx) return ReportFailure(u"Die Skalierung konnte nicht durchgef\u00fchrt werden.", kObjectFailureEvent);
    gfx->ScaleTransform(X * 0.01, Y * 0.01);
}

XGraphicsPath PDF::FigurePath(Figure figure, std::u16string_view text, double roundedX, double roundedY,
                              const std::vector<XPoint> &pointlist) const {
    XGraphicsPath path;
    XRect box = Box();
    switch (figure) {
    case Figure::Text: {
        const ZavorPdf::Drawing::XFont *font = TextFont();
        if (font == nullptr) throw ZavorPdf::InvalidOperationException("No font has been made for the text.");
        path.AddString(text, font->FontFamily(), fontstyle, static_cast<double>(fontsize), box, format);
        break;
    }
    case Figure::Rectangle: path.AddRectangle(box); break;
    case Figure::RoundedRectangle:
        path.AddRoundedRectangle(box.X(), box.Y(), box.Width(), box.Height(), roundedX, roundedY);
        break;
    case Figure::Line: path.AddLine(box.X(), box.Y(), box.X() + box.Width(), box.Y() + box.Height()); break;
    case Figure::Ellipse: path.AddEllipse(box); break;
    case Figure::Pie: path.AddPie(box, roundedX, roundedY); break;
    case Figure::Arc: path.AddArc(box, roundedX, roundedY); break;
    case Figure::Polygon: path.AddPolygon(pointlist); break;
    }
    return path;
}

void PDF::SetTemplate(Figure typ, XPen &pen, std::u16string_view text, double roundedX, double roundedY,
                      const std::vector<XPoint> &pointlist) {
    XGraphics &graphics = Graphics();
    XGraphicsPath path = FigurePath(typ, text, roundedX, roundedY, pointlist);
    ZavorPdf::Drawing::XGraphicsState state = graphics.Save();
    try {
        graphics.IntersectClip(path);
        DrawEffect(graphics, pen);
    } catch (...) {
        // The clip must not outlive a failed effect and narrow every later
        // figure on this page.
        try {
            graphics.Restore(state);
        } catch (...) {
        }
        throw;
    }
    graphics.Restore(state);
}

// A box millions of points high with a spacing of 1 would write millions of
// lines into one page; a script must not be able to exhaust memory that way.
constexpr std::int64_t kMaxEffectLines = 100000;

static void CheckEffectLineCount(std::int32_t extent, std::int32_t spacing) {
    if (extent <= 0) return;
    std::int64_t lines = (static_cast<std::int64_t>(extent) + spacing - 1) / spacing;
    if (lines > kMaxEffectLines)
        throw ZavorPdf::ArgumentException("The effect would draw too many lines.", "effect_mod1");
}

void PDF::DrawEffect(XGraphics &graphics, XPen &pen) {
    switch (effect_typ) {
    case 1: return DrawRadialLines(graphics, pen);
    case 2: return DrawEffectPicture(graphics);
    case 3:
        pen.SetDashStyle(Dstyle);
        if (effect_mod1 < 1) effect_mod1 = 1;
        return DrawHorizontalLines(graphics, pen, effect_mod1);
    case 4:
        pen.SetDashStyle(Dstyle);
        if (effect_mod1 < 1) effect_mod1 = 1;
        return DrawVerticalLines(graphics, pen, effect_mod1);
    case 5:
        pen.SetDashStyle(Dstyle);
        if (effect_mod1 < 1) effect_mod1 = 1;
        if (effect_mod2 < 1) effect_mod2 = 1;
        CheckEffectLineCount(BoxH, effect_mod1);
        DrawVerticalLines(graphics, pen, effect_mod2);
        return DrawHorizontalLines(graphics, pen, effect_mod1);
    default: throw ZavorPdf::ArgumentException("The effect is unknown.", "effect_typ");
    }
}

// The end points are measured from the page origin, not from the box corner,
// as scripts have always drawn them.
void PDF::DrawRadialLines(XGraphics &graphics, XPen &pen) {
    // A divisor of 0 would put numbers that are none into the page.
    if (effect_mod1 == 0 || effect_mod2 == 0)
        throw ZavorPdf::ArgumentException("The radial effect needs values other than 0.", "effect_mod");
    pen.SetDashStyle(Dstyle);
    const double x = BoxX, y = BoxY;
    const double reachX = static_cast<double>(BoxB) + BoxX;
    const double reachY = static_cast<double>(BoxY) + BoxH;
    for (int step = 0; step <= 180; ++step) {
        double t = step * 0.5;
        graphics.DrawLine(pen, x, y, std::cos(t / effect_mod1 * kPi) * reachX, std::sin(t / effect_mod2 * kPi) * reachY);
    }
}

void PDF::DrawHorizontalLines(XGraphics &graphics, const XPen &pen, std::int32_t spacing) {
    CheckEffectLineCount(BoxH, spacing);
    const double left = BoxX, right = static_cast<double>(BoxX) + BoxB;
    for (std::int64_t d = 0; d < BoxH; d += spacing) {
        double y = static_cast<double>(BoxY) + static_cast<double>(d);
        graphics.DrawLine(pen, left, y, right, y);
    }
}

void PDF::DrawVerticalLines(XGraphics &graphics, const XPen &pen, std::int32_t spacing) {
    CheckEffectLineCount(BoxB, spacing);
    const double top = BoxY, bottom = static_cast<double>(BoxY) + BoxH;
    for (std::int64_t d = 0; d < BoxB; d += spacing) {
        double x = static_cast<double>(BoxX) + static_cast<double>(d);
        graphics.DrawLine(pen, x, top, x, bottom);
    }
}

void PDF::DrawEffectPicture(XGraphics &graphics) {
    std::unique_ptr<ZavorPdf::Drawing::XImage> picture = ZavorPdf::Drawing::XImage::FromFile(modfilename);
    graphics.DrawImage(*picture, Box());
}

}  // namespace ZavorPlugin
