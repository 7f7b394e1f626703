// Elliptic arcs as cubic Bézier curves, one curve per quadrant at most, for
// the arcs, pies and rounded corners that the renderer and the path object
// write.
#pragma once

#include <array>
#include <vector>

#include "drawing/x_matrix.h"
#include "drawing/x_point.h"

namespace ZavorPdf::Drawing {

// How the first point of an arc joins the figure it is added to.
enum class PathStart {
    MoveTo1st = 0,  // it starts a new sub-path
    LineTo1st = 1,  // a straight line leads to it (a pie's first edge)
    Ignore1st = 2,  // the figure already ends there
};

// The full-ellipse figure uses this fixed factor for its four quarter curves.
inline constexpr double kBezierCircleConstant = 0.5522847498;

struct BezierSegment {
    PathStart start;  // what to do with points[0]
    // Start point, first control point, second control point, end point.
    std::array<XPoint, 4> points;
};

// The arc of the ellipse inscribed in (x, y, width, height), from
// `startAngle` over `sweepAngle` degrees (0° points right, positive angles
// turn towards +y, i.e. clockwise on a y-down page). Sweeps beyond a full
// turn are clamped to one. Only the first segment carries `pathStart`; the
// others continue with Ignore1st. Every point is transformed by `matrix`.
// A sweep of 0 gives a single segment that stays on the start point.
// A start that is not a finite number, or a sweep that is NaN, fails with an
// argument error.
std::vector<BezierSegment> ArcToBezierSegments(double x, double y, double width, double height,
                                               double startAngle, double sweepAngle,
                                               PathStart pathStart, const XMatrix &matrix);

}  // namespace ZavorPdf::Drawing
