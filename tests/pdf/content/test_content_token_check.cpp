// Content whose tokens are broken is told from sound content, inline image
// data and names that look like operators included.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pdf/content/content_token_check.h"

namespace {

using ZavorPdf::Pdf::Content::FindBrokenToken;

std::string Problem(const std::string &content) {
    return FindBrokenToken(std::vector<std::uint8_t>(content.begin(), content.end()));
}

TEST(ContentTokenCheck, BrokenTokensAreFound) {
    const struct {
        const char *content;
        const char *problem;
    } cases[] = {
        {"BT /F1 12 Tf (Hi \\) (nested) there) Tj ET", ""},
        {"[(A) -20 (B)] TJ <414243> Tj % a comment (\n", ""},
        {"/Span << /MCID 0 /Alt <48 49> >> BDC EMC", ""},
        {"/ID 5 d0 BI /W 2 /H 1 /BPC 8 /CS /G ID \xff)(\xff\nEI Q", ""},
        {"BI /W 1 /H 1 ID xEIy EI", ""},
        {"", ""},
        {"BT (Hi Tj ET", "end of content in a string"},
        {"BT Hi) Tj ET", "unexpected )"},
        {"<4142 Tj", "invalid character in a hex string"},
        {"<4142", "end of content in a hex string"},
        {"1 0 0 1 0 0 cm > Q", "unexpected >"},
        {"[1 2 >> TJ", "unexpected >>"},
        {"1 2] TJ", "unexpected ]"},
        {"[(A) TJ", "end of content in an array or dictionary"},
        {"{ 1 } q", "unexpected {"},
        {"BI /W 1 ID \x01\x02", "end of content in inline image data"},
    };
    for (const auto &c : cases) EXPECT_EQ(Problem(c.content), c.problem) << c.content;
}

}  // namespace
