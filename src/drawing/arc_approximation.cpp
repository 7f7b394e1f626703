#include "drawing/arc_approximation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "pdf/errors.h"

namespace ZavorPdf::Drawing {

namespace {

constexpr double kPi = std::numbers::pi;

struct Ellipse {
    double x, y, width, height;
};

// The parameter angle t of the ellipse point that lies in the direction
// `degrees` from the centre, so that (rx·cos t, ry·sin t) is that point.
double ParameterAngle(double degrees, double rx, double ry) {
    double theta = degrees * kPi / 180;
    double sine = std::sin(theta);
    if (std::fabs(sine) > 1e-10) theta = kPi / 2 - std::atan(ry * std::cos(theta) / (rx * sine));
    return theta;
}

// One Bézier curve for an arc that stays within one quadrant.
BezierSegment QuadrantSegment(const Ellipse &e, double alpha, double beta, PathStart start,
                              const XMatrix &matrix) {
    if (beta > 360) beta = std::fmod(beta, 360.0);
    double rx = e.width / 2;
    double ry = e.height / 2;
    double xc = e.x + rx;
    double yc = e.y + ry;
    // The lower half is drawn as the upper half turned through the centre,
    // where the parameter-angle formula is valid.
    double sign = 1;
    if (alpha >= 180 && beta >= 180) {
        alpha -= 180;
        beta -= 180;
        sign = -1;
    }
    if (e.width == e.height) {
        alpha = alpha * kPi / 180;
        beta = beta * kPi / 180;
    } else {
        alpha = ParameterAngle(alpha, rx, ry);
        beta = ParameterAngle(beta, rx, ry);
    }
    // A zero-length piece (zero sweep, flat ellipse) would divide 0 by 0.
    double denominator = 3 * std::sin((beta - alpha) / 2);
    double kappa = denominator == 0 ? 0 : 4 * (1 - std::cos((alpha - beta) / 2)) / denominator;
    double sinA = std::sin(alpha), cosA = std::cos(alpha);
    double sinB = std::sin(beta), cosB = std::cos(beta);
    auto at = [&](double u, double v) {
        return matrix.Transform(XPoint(xc + sign * rx * u, yc + sign * ry * v));
    };
    return {start,
            {at(cosA, sinA), at(cosA - kappa * sinA, sinA + kappa * cosA),
             at(cosB + kappa * sinB, sinB - kappa * cosB), at(cosB, sinB)}};
}

// The quadrant (0 to 3) in which an arc starting or ending at `phi` runs. An
// angle on a quadrant border belongs to the quadrant the arc lies in.
int Quadrant(double phi, bool isStart, bool clockwise) {
    if (phi > 360) phi = std::fmod(phi, 360.0);
    int q = static_cast<int>(std::floor(phi / 90));
    bool onBorder = phi == q * 90.0;
    if (onBorder && ((isStart && !clockwise) || (!isStart && clockwise))) q = q == 0 ? 3 : q - 1;
    return q % 4;
}

}  // namespace

std::vector<BezierSegment> ArcToBezierSegments(double x, double y, double width, double height,
                                               double startAngle, double sweepAngle,
                                               PathStart pathStart, const XMatrix &matrix) {
    // An infinite sweep is clamped like any long one; an infinite start has
    // no place on the ellipse, and NaN would make the quadrant walk undefined.
    if (!std::isfinite(startAngle))
        throw ArgumentException("The angles of an arc must be finite numbers.", "startAngle");
    if (std::isnan(sweepAngle))
        throw ArgumentException("The angles of an arc must be finite numbers.", "sweepAngle");
    const Ellipse ellipse{x, y, width, height};
    double alpha = startAngle;
    if (alpha < 0)
        alpha = std::fmod(alpha, 360.0) + 360;
    else if (alpha > 360)
        alpha = std::fmod(alpha, 360.0);
    double sigma = std::clamp(sweepAngle, -360.0, 360.0);
    if (alpha == 0 && sigma < 0)
        alpha = 360;
    else if (alpha == 360 && sigma > 0)
        alpha = 0;

    // Without a sweep there is no direction to walk the quadrants in.
    if (sigma == 0) return {QuadrantSegment(ellipse, alpha, alpha, pathStart, matrix)};

    bool small = std::fabs(sigma) <= 90;
    double beta = alpha + sigma;
    if (beta < 0) beta = std::fmod(beta, 360.0) + 360;
    bool clockwise = sigma > 0;
    int startQuadrant = Quadrant(alpha, true, clockwise);
    int endQuadrant = Quadrant(beta, false, clockwise);
    if (startQuadrant == endQuadrant && small)
        return {QuadrantSegment(ellipse, alpha, beta, pathStart, matrix)};

    std::vector<BezierSegment> segments;
    const double entry = clockwise ? 0 : 90;  // where the walk enters a quadrant
    const double exit = clockwise ? 90 : 0;   // and where it leaves it
    int q = startQuadrant;
    // Five pieces at most: a part quadrant, three whole ones, a part quadrant.
    for (int step = 0; step < 5; ++step) {
        double from = q * 90 + entry;
        double to = q * 90 + exit;
        if (step == 0)
            from = alpha;
        else if (q == endQuadrant)
            to = beta;
        PathStart start = step == 0 ? pathStart : PathStart::Ignore1st;
        segments.push_back(QuadrantSegment(ellipse, from, to, start, matrix));
        if (q == endQuadrant && small) break;
        small = true;
        q = clockwise ? (q + 1) % 4 : (q + 3) % 4;
    }
    return segments;
}

}  // namespace ZavorPdf::Drawing
