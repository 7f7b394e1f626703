#include "drawing/x_graphics_path.h"

#include <algorithm>
#include <string>

#include "drawing/arc_approximation.h"
#include "pdf/errors.h"

namespace ZavorPdf::Drawing {
namespace {

constexpr std::uint8_t Code(PathPointType type) { return static_cast<std::uint8_t>(type); }

void RequirePoints(std::span<const XPoint> points, std::size_t minimum) {
    if (points.size() < minimum)
        throw ArgumentException("The point array must contain " + std::to_string(minimum) + " or more points.",
                                "points");
}

}  // namespace

std::vector<XPoint> CardinalSplineToBeziers(std::span<const XPoint> points, double tension, bool closed) {
    std::vector<XPoint> result;
    std::size_t n = points.size();
    if (n < 2)
        return result;
    double t = tension / 3;
    auto at = [&](std::ptrdiff_t i) {
        auto count = static_cast<std::ptrdiff_t>(n);
        if (closed)
            return points[static_cast<std::size_t>(((i % count) + count) % count)];
        // The end segments repeat the end points.
        return points[static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(i, 0, count - 1))];
    };
    result.push_back(points[0]);
    auto segments = static_cast<std::ptrdiff_t>(closed ? n : n - 1);
    for (std::ptrdiff_t i = 0; i < segments; ++i) {
        XPoint p0 = at(i - 1), p1 = at(i), p2 = at(i + 1), p3 = at(i + 2);
        result.push_back(p1 + (p2 - p0) * t);
        result.push_back(p2 - (p3 - p1) * t);
        result.push_back(p2);
    }
    return result;
}

void XGraphicsPath::SetFillMode(XFillMode value) {
    if (value != XFillMode::Alternate && value != XFillMode::Winding)
        throw ArgumentException("The value of argument 'value' (" + std::to_string(static_cast<int>(value)) +
                                    ") is invalid for Enum type 'XFillMode'.",
                                "value");
    fillMode_ = value;
}

XPoint XGraphicsPath::PointAt(int index) const {
    const PointF &p = points_.at(static_cast<std::size_t>(index));
    return {p.x, p.y};
}

std::vector<XPoint> XGraphicsPath::Points() const {
    std::vector<XPoint> result;
    result.reserve(points_.size());
    for (const PointF &p : points_)
        result.emplace_back(p.x, p.y);
    return result;
}

void XGraphicsPath::Append(double x, double y, PathPointType type) {
    points_.push_back({static_cast<float>(x), static_cast<float>(y)});
    types_.push_back(Code(type));
    figureOpen_ = true;
}

void XGraphicsPath::MoveOrLineTo(double x, double y) {
    if (!figureOpen_) {
        Append(x, y, PathPointType::Start);
        return;
    }
    const PointF &last = points_.back();
    // A figure that already ends there needs no zero-length line.
    if (last.x != static_cast<float>(x) || last.y != static_cast<float>(y))
        Append(x, y, PathPointType::Line);
}

void XGraphicsPath::CloseFigure() {
    if (!types_.empty() && figureOpen_)
        types_.back() |= Code(PathPointType::CloseSubpath);
    figureOpen_ = false;
}

void XGraphicsPath::AddLine(double x1, double y1, double x2, double y2) {
    MoveOrLineTo(x1, y1);
    Append(x2, y2, PathPointType::Line);
}

void XGraphicsPath::AddLines(std::span<const XPoint> points) {
    RequirePoints(points, 1);
    MoveOrLineTo(points[0].X(), points[0].Y());
    for (std::size_t i = 1; i < points.size(); ++i)
        Append(points[i].X(), points[i].Y(), PathPointType::Line);
}

void XGraphicsPath::AddBezier(const XPoint &p1, const XPoint &p2, const XPoint &p3, const XPoint &p4) {
    const XPoint points[] = {p1, p2, p3, p4};
    AddBeziers(points);
}

void XGraphicsPath::AddBeziers(std::span<const XPoint> points) {
    if (points.size() < 4 || (points.size() - 4) % 3 != 0)
        throw ArgumentException("Invalid number of points for bezier curves. Number must fulfil 4+3n.", "points");
    MoveOrLineTo(points[0].X(), points[0].Y());
    for (std::size_t i = 1; i < points.size(); ++i)
        Append(points[i].X(), points[i].Y(), PathPointType::Bezier);
}

void XGraphicsPath::AppendCurve(std::span<const XPoint> points, double tension, bool closed) {
    std::vector<XPoint> beziers = CardinalSplineToBeziers(points, tension, closed);
    MoveOrLineTo(beziers[0].X(), beziers[0].Y());
    for (std::size_t i = 1; i < beziers.size(); ++i)
        Append(beziers[i].X(), beziers[i].Y(), PathPointType::Bezier);
}

void XGraphicsPath::AddCurve(std::span<const XPoint> points, double tension) {
    RequirePoints(points, 2);
    AppendCurve(points, tension, false);
}

void XGraphicsPath::AddClosedCurve(std::span<const XPoint> points, double tension) {
    RequirePoints(points, 2);
    StartFigure();
    AppendCurve(points, tension, true);
    CloseFigure();
}

void XGraphicsPath::AppendArc(double x, double y, double width, double height, double startAngle,
                              double sweepAngle, bool lineToStart) {
    auto segments = ArcToBezierSegments(x, y, width, height, startAngle, sweepAngle, PathStart::MoveTo1st,
                                        XMatrix());
    const XPoint &start = segments.front().points[0];
    if (lineToStart)
        MoveOrLineTo(start.X(), start.Y());
    else
        Append(start.X(), start.Y(), PathPointType::Start);
    for (const BezierSegment &segment : segments)
        for (std::size_t i = 1; i < 4; ++i)
            Append(segment.points[i].X(), segment.points[i].Y(), PathPointType::Bezier);
}

void XGraphicsPath::AddArc(double x, double y, double width, double height, double startAngle,
                           double sweepAngle) {
    AppendArc(x, y, width, height, startAngle, sweepAngle, true);
}

void XGraphicsPath::AddRectangle(double x, double y, double width, double height) {
    StartFigure();
    Append(x, y, PathPointType::Start);
    Append(x + width, y, PathPointType::Line);
    Append(x + width, y + height, PathPointType::Line);
    Append(x, y + height, PathPointType::Line);
    CloseFigure();
}

void XGraphicsPath::AddRectangles(std::span<const XRect> rects) {
    for (const XRect &rect : rects)
        AddRectangle(rect);
}

void XGraphicsPath::AddRoundedRectangle(double x, double y, double width, double height, double ellipseWidth,
                                        double ellipseHeight) {
    StartFigure();
    double right = x + width - ellipseWidth, bottom = y + height - ellipseHeight;
    AppendArc(right, y, ellipseWidth, ellipseHeight, -90, 90, true);
    AppendArc(right, bottom, ellipseWidth, ellipseHeight, 0, 90, true);
    AppendArc(x, bottom, ellipseWidth, ellipseHeight, 90, 90, true);
    AppendArc(x, y, ellipseWidth, ellipseHeight, 180, 90, true);
    CloseFigure();
}

void XGraphicsPath::AddEllipse(double x, double y, double width, double height) {
    StartFigure();
    AppendArc(x, y, width, height, 0, 360, false);
    CloseFigure();
}

void XGraphicsPath::AddPolygon(std::span<const XPoint> points) {
    RequirePoints(points, 2);
    StartFigure();
    Append(points[0].X(), points[0].Y(), PathPointType::Start);
    for (std::size_t i = 1; i < points.size(); ++i)
        Append(points[i].X(), points[i].Y(), PathPointType::Line);
    CloseFigure();
}

void XGraphicsPath::AddPie(double x, double y, double width, double height, double startAngle,
                           double sweepAngle) {
    StartFigure();
    Append(x + width / 2, y + height / 2, PathPointType::Start);
    AppendArc(x, y, width, height, startAngle, sweepAngle, true);
    CloseFigure();
}

void XGraphicsPath::AddPath(const XGraphicsPath &path, bool connect) {
    if (&path == this) {
        XGraphicsPath copy = path;
        AddPath(copy, connect);
        return;
    }
    for (std::size_t i = 0; i < path.types_.size(); ++i) {
        std::uint8_t type = path.types_[i];
        if (i == 0 && connect && figureOpen_ && type == Code(PathPointType::Start))
            type = Code(PathPointType::Line);
        points_.push_back(path.points_[i]);
        types_.push_back(type);
        figureOpen_ = (type & Code(PathPointType::CloseSubpath)) == 0;
    }
    if (!path.types_.empty())
        figureOpen_ = path.figureOpen_;
}

}  // namespace ZavorPdf::Drawing
