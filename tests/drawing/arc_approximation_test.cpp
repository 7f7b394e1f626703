#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "drawing/arc_approximation.h"
#include "geometry_test_support.h"
#include "pdf/errors.h"

using namespace ZavorPdf::Drawing;
using ZavorPdf::ArgumentException;
using ZavorTest::ExpectFailure;
using ZavorTest::ExpectPointNear;

namespace {

// The control-point distance of a quarter circle of radius 1.
const double kQuarter = 4 * (std::numbers::sqrt2 - 1) / 3;

std::vector<BezierSegment> Arc(double start, double sweep, double width = 100,
                               double height = 100, PathStart mode = PathStart::MoveTo1st,
                               const XMatrix &matrix = XMatrix()) {
    return ArcToBezierSegments(0, 0, width, height, start, sweep, mode, matrix);
}

// The chain of start and end points of the segments.
std::vector<XPoint> Joints(const std::vector<BezierSegment> &segments) {
    std::vector<XPoint> joints;
    for (const BezierSegment &segment : segments) {
        if (joints.empty()) joints.push_back(segment.points[0]);
        joints.push_back(segment.points[3]);
    }
    return joints;
}

void ExpectContinuous(const std::vector<BezierSegment> &segments) {
    for (std::size_t i = 1; i < segments.size(); ++i) {
        ExpectPointNear(segments[i].points[0], segments[i - 1].points[3]);
        EXPECT_EQ(segments[i].start, PathStart::Ignore1st);
    }
}

void ExpectSamePath(const std::vector<BezierSegment> &a, const std::vector<BezierSegment> &b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i)
        for (int k = 0; k < 4; ++k) ExpectPointNear(a[i].points[k], b[i].points[k]);
}

}  // namespace

TEST(ArcApproximationTest, QuarterCircleIsOneSegmentWithTheClassicControlPoints) {
    auto clockwise = Arc(0, 90);
    ASSERT_EQ(clockwise.size(), 1u);
    EXPECT_EQ(clockwise[0].start, PathStart::MoveTo1st);
    ExpectPointNear(clockwise[0].points[0], {100, 50});
    ExpectPointNear(clockwise[0].points[1], {100, 50 + 50 * kQuarter});
    ExpectPointNear(clockwise[0].points[2], {50 + 50 * kQuarter, 100});
    ExpectPointNear(clockwise[0].points[3], {50, 100});

    auto backwards = Arc(0, -90);
    ASSERT_EQ(backwards.size(), 1u);
    ExpectPointNear(backwards[0].points[0], {100, 50});
    ExpectPointNear(backwards[0].points[1], {100, 50 - 50 * kQuarter});
    ExpectPointNear(backwards[0].points[2], {50 + 50 * kQuarter, 0});
    ExpectPointNear(backwards[0].points[3], {50, 0});
}

TEST(ArcApproximationTest, SweepsSplitAtQuadrantBorders) {
    struct {
        const char *name;
        double start, sweep;
        std::vector<XPoint> joints;
    } rows[] = {
        {"full turn", 0, 360, {{100, 50}, {50, 100}, {0, 50}, {50, 0}, {100, 50}}},
        {"full turn back", 0, -360, {{100, 50}, {50, 0}, {0, 50}, {50, 100}, {100, 50}}},
        {"beyond a turn is clamped", 0, 725, {{100, 50}, {50, 100}, {0, 50}, {50, 0}, {100, 50}}},
        {"half from the bottom", 90, 180, {{50, 100}, {0, 50}, {50, 0}}},
        {"small across a border", 80, 20,
         {{50 + 50 * std::cos(80 * std::numbers::pi / 180),
           50 + 50 * std::sin(80 * std::numbers::pi / 180)},
          {50, 100},
          {50 + 50 * std::cos(100 * std::numbers::pi / 180),
           50 + 50 * std::sin(100 * std::numbers::pi / 180)}}},
        {"lower half only", 180, 90, {{0, 50}, {50, 0}}},
        {"ends on the start border", 270, 90, {{50, 0}, {100, 50}}},
        {"start on a border going back", 90, -90, {{50, 100}, {100, 50}}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        auto segments = Arc(row.start, row.sweep);
        std::vector<XPoint> joints = Joints(segments);
        ASSERT_EQ(joints.size(), row.joints.size());
        for (std::size_t i = 0; i < joints.size(); ++i) ExpectPointNear(joints[i], row.joints[i]);
        EXPECT_EQ(segments[0].start, PathStart::MoveTo1st);
        ExpectContinuous(segments);
    }
}

TEST(ArcApproximationTest, LongSweepWithinOneQuadrantGoesAroundOnce) {
    auto forwards = Arc(10, 350);
    EXPECT_EQ(forwards.size(), 4u);
    ExpectPointNear(forwards.back().points[3], {100, 50});

    auto backwards = Arc(10, -350);  // ends at 20°, in the start quadrant
    ASSERT_EQ(backwards.size(), 5u);
    ExpectContinuous(backwards);
    double end = 20 * std::numbers::pi / 180;
    ExpectPointNear(backwards.back().points[3], {50 + 50 * std::cos(end), 50 + 50 * std::sin(end)});

    auto around = Arc(45, 360);  // ends where it starts, after five pieces
    ASSERT_EQ(around.size(), 5u);
    ExpectPointNear(around.back().points[3], around.front().points[0]);
}

TEST(ArcApproximationTest, StartAnglesAreReducedToOneTurn) {
    ExpectSamePath(Arc(-90, 90), Arc(270, 90));
    ExpectSamePath(Arc(-450, 45), Arc(270, 45));
    ExpectSamePath(Arc(450, 90), Arc(90, 90));
    ExpectSamePath(Arc(360, 90), Arc(0, 90));
    ExpectSamePath(Arc(-360, -90), Arc(0, -90));
}

TEST(ArcApproximationTest, EllipsePointsLieOnTheirRays) {
    // On a 200 × 100 ellipse the point in direction 45° from the centre is
    // where x = y lies on the ellipse, not at the parameter angle 45°.
    double t = 1 / std::sqrt(1.0 / 10000 + 1.0 / 2500);
    auto quarter = Arc(0, 45, 200, 100);
    ASSERT_EQ(quarter.size(), 1u);
    ExpectPointNear(quarter[0].points[0], {200, 50});
    ExpectPointNear(quarter[0].points[3], {100 + t, 50 + t});

    auto lower = Arc(225, 45, 200, 100);  // drawn mirrored through the centre
    ASSERT_EQ(lower.size(), 1u);
    ExpectPointNear(lower[0].points[0], {100 - t, 50 - t});
    ExpectPointNear(lower[0].points[3], {100, 0});

    auto full = Arc(0, 360, 200, 100);
    std::vector<XPoint> expected{{200, 50}, {100, 100}, {0, 50}, {100, 0}, {200, 50}};
    std::vector<XPoint> joints = Joints(full);
    ASSERT_EQ(joints.size(), expected.size());
    for (std::size_t i = 0; i < joints.size(); ++i) ExpectPointNear(joints[i], expected[i]);
    ExpectPointNear(full[0].points[1], {200, 50 + 50 * kQuarter});
    ExpectPointNear(full[0].points[2], {100 + 100 * kQuarter, 100});
}

TEST(ArcApproximationTest, ModeMarksOnlyTheFirstSegmentAndMatrixMovesEveryPoint) {
    for (PathStart mode : {PathStart::MoveTo1st, PathStart::LineTo1st, PathStart::Ignore1st}) {
        auto segments = Arc(0, 270, 100, 100, mode);
        ASSERT_EQ(segments.size(), 3u);
        EXPECT_EQ(segments[0].start, mode);
        ExpectContinuous(segments);
    }
    XMatrix move(1, 0, 0, 1, 10, 20);
    auto plain = Arc(30, 200);
    auto moved = ArcToBezierSegments(0, 0, 100, 100, 30, 200, PathStart::MoveTo1st, move);
    ASSERT_EQ(plain.size(), moved.size());
    for (std::size_t i = 0; i < plain.size(); ++i)
        for (int k = 0; k < 4; ++k)
            ExpectPointNear(moved[i].points[k], plain[i].points[k] + XVector(10, 20));

    auto offsetBox = ArcToBezierSegments(5, 7, 100, 100, 0, 90, PathStart::MoveTo1st, XMatrix());
    ExpectPointNear(offsetBox[0].points[0], {105, 57});
}

TEST(ArcApproximationTest, DegenerateArcsGiveFiniteSegments) {
    // A zero sweep stays on its start point instead of running round the
    // ellipse or dividing zero by zero.
    for (double start : {0.0, 45.0, 90.0, 360.0}) {
        SCOPED_TRACE(start);
        auto segments = Arc(start, 0, 100, 60);
        ASSERT_EQ(segments.size(), 1u);
        for (const XPoint &p : segments[0].points) ExpectPointNear(p, segments[0].points[0]);
    }
    ExpectPointNear(Arc(90, 0)[0].points[0], {50, 100});

    for (auto [width, height] : {std::pair{100.0, 0.0}, std::pair{0.0, 100.0}, {0.0, 0.0}}) {
        for (const BezierSegment &segment : Arc(30, 300, width, height))
            for (const XPoint &p : segment.points)
                EXPECT_TRUE(std::isfinite(p.X()) && std::isfinite(p.Y())) << p.ToString();
    }
}

TEST(ArcApproximationTest, RejectsAnglesThatAreNoNumbersAndClampsEndlessSweeps) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    ExpectFailure<ArgumentException>([&] { Arc(nan, 90); },
                                     "The angles of an arc must be finite numbers.");
    ExpectFailure<ArgumentException>([&] { Arc(inf, 90); },
                                     "The angles of an arc must be finite numbers.");
    ExpectFailure<ArgumentException>([&] { Arc(0, nan); },
                                     "The angles of an arc must be finite numbers.");
    ExpectSamePath(Arc(0, -inf), Arc(0, -360));
}
