#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pdf/io/parser.h"

namespace {

using ZavorPdf::Pdf::IO::Parser;
using ZavorPlatform::LocalDateTime;

TEST(ParseDateTime, ReadsFixedPositionsAndKeepsTheOffset) {
    const LocalDateTime error{1999, 9, 9, 9, 9, 9, 0};
    struct Case {
        std::string text;
        LocalDateTime expected;
    };
    const std::vector<Case> cases = {
        {"D:20240131120000+01'00'", {2024, 1, 31, 12, 0, 0, 60}},
        {"D:20240131120000-05'30'", {2024, 1, 31, 12, 0, 0, -330}},
        {"D:20240131120000Z00'00'", {2024, 1, 31, 12, 0, 0, 0}},
        {"D:20240229235959", {2024, 2, 29, 23, 59, 59, 0}},
        {"D:20240131", {2024, 1, 31, 0, 0, 0, 0}},
        {"D:2024", {2024, 1, 1, 0, 0, 0, 0}},
        // Not a leap year; month 13; letters; a stray offset sign.
        {"D:20230229", error},
        {"D:20241301", error},
        {"D:2024AB31", error},
        {"D:20240131120000?01'00'", error},
        {"D:", error},
        {"", error},
        {"yesterday", error},
    };
    for (const auto &c : cases) EXPECT_EQ(Parser::ParseDateTime(c.text, error), c.expected) << c.text;
}

}  // namespace
