// Small assertions shared by the geometry tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "drawing/x_point.h"

namespace ZavorTest {

// Runs `action` and checks that it throws exactly the type E (or a subclass)
// with the given message.
template <class E, class F>
void ExpectFailure(F action, const std::string &message) {
    try {
        action();
        ADD_FAILURE() << "expected a failure: " << message;
    } catch (const E &e) {
        EXPECT_EQ(e.what(), message);
    }
}

inline void ExpectPointNear(const ZavorPdf::Drawing::XPoint &actual,
                            const ZavorPdf::Drawing::XPoint &expected, double tolerance = 1e-9) {
    EXPECT_NEAR(actual.X(), expected.X(), tolerance) << "x of " << actual.ToString();
    EXPECT_NEAR(actual.Y(), expected.Y(), tolerance) << "y of " << actual.ToString();
}

}  // namespace ZavorTest
