// A path of figures made of lines and cubic Bézier curves. Every point
// carries a type code: 0 starts a figure, 1 ends a straight line, 3 is one
// of the three points of a Bézier curve; the flag 128 closes the figure
// after that point. Coordinates are kept in single precision.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "drawing/fonts/x_font_family.h"
#include "drawing/fonts/x_font_style.h"
#include "drawing/x_point.h"
#include "drawing/x_string_format.h"
#include "drawing/x_rect.h"

namespace ZavorPdf::Drawing {

enum class XFillMode { Alternate = 0, Winding = 1 };

enum class PathPointType : std::uint8_t { Start = 0, Line = 1, Bezier = 3, TypeMask = 7, CloseSubpath = 128 };

class XGraphicsPath {
public:
    XGraphicsPath() = default;
    explicit XGraphicsPath(XFillMode fillMode) : fillMode_(fillMode) {}

    XFillMode FillMode() const { return fillMode_; }
    void SetFillMode(XFillMode value);

    int PointCount() const { return static_cast<int>(types_.size()); }
    XPoint PointAt(int index) const;
    std::vector<XPoint> Points() const;
    const std::vector<std::uint8_t> &Types() const { return types_; }

    // Lines and curves join the open figure with a straight line from its
    // last point; the first one of a figure starts it.
    void AddLine(double x1, double y1, double x2, double y2);
    void AddLine(const XPoint &p1, const XPoint &p2) { AddLine(p1.X(), p1.Y(), p2.X(), p2.Y()); }
    // At least one point; a single point only joins the figure.
    void AddLines(std::span<const XPoint> points);
    void AddBezier(const XPoint &p1, const XPoint &p2, const XPoint &p3, const XPoint &p4);
    // 4 + 3n points ("Invalid number of points for bezier curves. Number
    // must fulfil 4+3n.").
    void AddBeziers(std::span<const XPoint> points);
    // A cardinal spline through the points (two or more), tension 0.5 by
    // default.
    void AddCurve(std::span<const XPoint> points, double tension = 0.5);
    // From `startAngle` over `sweepAngle` degrees of the ellipse inscribed in
    // the rectangle, clockwise on a y-down page.
    void AddArc(double x, double y, double width, double height, double startAngle, double sweepAngle);
    void AddArc(const XRect &rect, double startAngle, double sweepAngle) {
        AddArc(rect.X(), rect.Y(), rect.Width(), rect.Height(), startAngle, sweepAngle);
    }

    // Closed figures of their own.
    void AddRectangle(double x, double y, double width, double height);
    void AddRectangle(const XRect &rect) { AddRectangle(rect.X(), rect.Y(), rect.Width(), rect.Height()); }
    void AddRectangles(std::span<const XRect> rects);
    // Four quarter arcs in ellipseWidth x ellipseHeight boxes in the corners,
    // joined by straight lines.
    void AddRoundedRectangle(double x, double y, double width, double height, double ellipseWidth,
                             double ellipseHeight);
    void AddEllipse(double x, double y, double width, double height);
    void AddEllipse(const XRect &rect) { AddEllipse(rect.X(), rect.Y(), rect.Width(), rect.Height()); }
    // Two or more points ("The point array must contain 2 or more points.").
    void AddPolygon(std::span<const XPoint> points);
    void AddPie(double x, double y, double width, double height, double startAngle, double sweepAngle);
    void AddPie(const XRect &rect, double startAngle, double sweepAngle) {
        AddPie(rect.X(), rect.Y(), rect.Width(), rect.Height(), startAngle, sweepAngle);
    }
    void AddClosedCurve(std::span<const XPoint> points, double tension = 0.5);
    // The glyph outlines of one line of text, laid out in the rectangle by
    // the format as DrawString places text (a BaseLine format needs a
    // rectangle of height 0 and puts the baseline on its top edge). An
    // empty text adds nothing.
    void AddString(std::u16string_view text, const XFontFamily &family, XFontStyle style, double emSize,
                   const XRect &layoutRect, const XStringFormat &format);
    // The baseline starts at the point. A text the font engine cannot lay
    // out leaves the path unchanged.
    void AddString(std::u16string_view text, const XFontFamily &family, XFontStyle style, double emSize,
                   const XPoint &origin, const XStringFormat &format);

    // With `connect`, the first figure of the other path continues the open
    // figure of this one.
    void AddPath(const XGraphicsPath &path, bool connect);

    // The next point starts a new figure.
    void StartFigure() { figureOpen_ = false; }
    // Closes the current figure; the next point starts a new one.
    void CloseFigure();

private:
    struct PointF {
        float x, y;
    };
    void Append(double x, double y, PathPointType type);
    // Starts a figure at the point, or joins the open one with a line to it.
    void MoveOrLineTo(double x, double y);
    void AppendCurve(std::span<const XPoint> points, double tension, bool closed);
    void AppendGlyphs(std::u16string_view text, const XFontFamily &family, XFontStyle style, double emSize,
                      const XRect &layoutRect, const XStringFormat &format);
    void AppendArc(double x, double y, double width, double height, double startAngle, double sweepAngle,
                   bool lineToStart);

    std::vector<PointF> points_;
    std::vector<std::uint8_t> types_;
    XFillMode fillMode_ = XFillMode::Alternate;
    bool figureOpen_ = false;
};

// The Bézier control points of a cardinal spline; for n points, 3(n - 1) + 1
// points (open) or 3n + 1 points (closed, back to the first point).
std::vector<XPoint> CardinalSplineToBeziers(std::span<const XPoint> points, double tension, bool closed);

}  // namespace ZavorPdf::Drawing
