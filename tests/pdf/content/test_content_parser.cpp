// Operators with their operands as the parser builds them, the operator
// table, the sequence operations and the limits against hostile content.
#include <gtest/gtest.h>

#include <charconv>
#include <string>
#include <vector>

#include "pdf/content/c_operator.h"
#include "pdf/content/c_parser.h"
#include "pdf/content/content_reader.h"
#include "pdf/content/content_reader_exception.h"
#include "pdf/errors.h"

namespace {

using namespace ZavorPdf::Pdf::Content;
using namespace ZavorPdf::Pdf::Content::Objects;

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

std::string Dump(const CObject &object);

std::string DumpItems(const CSequence &sequence, const char *separator) {
    std::string out;
    for (const auto &item : sequence) {
        if (!out.empty())
            out += separator;
        out += Dump(*item);
    }
    return out;
}

// Content syntax again, one operator per line, reals in shortest form.
std::string Dump(const CObject &object) {
    if (auto *op = dynamic_cast<const COperator *>(&object)) {
        std::string operands = DumpItems(op->Operands(), " ");
        return operands.empty() ? std::string(op->Name()) : operands + " " + std::string(op->Name());
    }
    if (auto *array = dynamic_cast<const CArray *>(&object))
        return "[" + DumpItems(*array, " ") + "]";
    if (auto *dictionary = dynamic_cast<const CDictionary *>(&object))
        return "<<" + DumpItems(*dictionary, " ") + ">>";
    if (auto *sequence = dynamic_cast<const CSequence *>(&object))
        return DumpItems(*sequence, "\n");
    if (auto *integer = dynamic_cast<const CInteger *>(&object))
        return std::to_string(integer->Value());
    if (auto *real = dynamic_cast<const CReal *>(&object)) {
        char buffer[32];
        auto result = std::to_chars(buffer, buffer + sizeof buffer, real->Value());
        return std::string(buffer, result.ptr) + "r";
    }
    if (auto *string = dynamic_cast<const CString *>(&object)) {
        std::string out = "(";
        for (char16_t ch : string->Value())
            out += ch < 0x80 ? std::string(1, static_cast<char>(ch)) : "<" + std::to_string(ch) + ">";
        return out + ")";
    }
    if (auto *name = dynamic_cast<const CName *>(&object))
        return name->Name();
    return "?";
}

std::string Parsed(std::string_view content) { return Dump(ContentReader::ReadContent(Bytes(content))); }

struct ParseCase {
    const char *input;
    const char *expected;
};

class ParserOutput : public testing::TestWithParam<ParseCase> {};

TEST_P(ParserOutput, OperatorsWithOperands) { EXPECT_EQ(Parsed(GetParam().input), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Content, ParserOutput,
    testing::Values(
        ParseCase{"", ""},
        ParseCase{"q 1 0 0 1 72.5 -.5 cm Q", "q\n1 0 0 1 72.5r -0.5r cm\nQ"},
        ParseCase{"BT /F1 12 Tf 10 20 Td (Hi) Tj ET", "BT\n/F1 12 Tf\n10 20 Td\n(Hi) Tj\nET"},
        ParseCase{"[(Hel) -120 (lo)] TJ", "[(Hel) -120 (lo)] TJ"},
        ParseCase{"[[1 [2]] 3] 0 d", "[[1 [2]] 3] 0 d"},
        // Operands before a "[" stay operands of their own operator.
        ParseCase{"/Pattern cs 1 2 [3] scn", "/Pattern cs\n1 2 [3] scn"},
        ParseCase{"/P <</MCID 3 /Alt (x)>> BDC EMC", "/P <</MCID 3 /Alt (x)>> BDC\nEMC"},
        ParseCase{"1 0 0 RG 0.5 w 10 10 m 20 20 l S", "1 0 0 RG\n0.5r w\n10 10 m\n20 20 l\nS"},
        ParseCase{"(a) ' 1 2 (b) \" f* B*", "(a) '\n1 2 (b) \"\nf*\nB*"},
        ParseCase{"% only a comment\n", ""},
        // Operands that no operator takes are dropped at the end.
        ParseCase{"q 1 2 3", "q"},
        // Stray characters are passed over.
        ParseCase{"q ) } Q", "q\nQ"},
        ParseCase{"BI /W 4 /H 2 /BPC 8 /CS /G ID \x01\x02EI\xFF EI Q",
                  "BI\n/W 4 /H 2 /BPC 8 /CS /G ID\nEI\nQ"},
        // An array left open at the end is an operand without operator.
        ParseCase{"q [(a) (b)", "q"}));

struct ParseFailure {
    const char *input;
    const char *message;
};

class ParserFailures : public testing::TestWithParam<ParseFailure> {};

TEST_P(ParserFailures, ThrowWithMessage) {
    try {
        Parsed(GetParam().input);
        FAIL() << "no failure for " << GetParam().input;
    } catch (const ContentReaderException &e) {
        EXPECT_STREQ(e.what(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(Content, ParserFailures,
                         testing::Values(ParseFailure{"1 2 ]", "Unexpected: ']'"},
                                         ParseFailure{"<</A 1]>>", "Unexpected: ']'"},
                                         ParseFailure{"[1 >>", "Unexpected: '>>'"},
                                         ParseFailure{"BT (x) Tx ET", "Unknown operator 'Tx'."},
                                         ParseFailure{"1 2 3 Dox", "Unknown operator 'Dox'."}));

TEST(ParserLimits, NestingBeyondTheDepthFails) {
    std::string deep(101, '[');
    try {
        Parsed(deep);
        FAIL();
    } catch (const ContentReaderException &e) {
        EXPECT_STREQ(e.what(), "Arrays or dictionaries are nested too deeply.");
    }
    const std::string limit = std::string(100, '[') + "1" + std::string(100, ']') + " TJ";
    EXPECT_EQ(Parsed(limit), limit);
}

TEST(ParserLimits, ObjectCountIsBoundedForTheTreeButNotForStreaming) {
    std::string content;
    for (int i = 0; i < 50; ++i)
        content += "1 2 m ";
    CParser tree(Bytes(content), CParserLimits{100, 120});
    EXPECT_THROW(tree.ReadContent(), ContentReaderException);
    CParser streaming(Bytes(content), CParserLimits{100, 120});
    int operators = 0;
    streaming.ReadOperators([&operators](std::unique_ptr<COperator>) { ++operators; });
    EXPECT_EQ(operators, 50);
    std::string pending;
    for (int i = 0; i < 60; ++i)
        pending += "1 ";
    CParser operands(Bytes(pending), CParserLimits{100, 50});
    EXPECT_THROW(operands.ReadOperators([](std::unique_ptr<COperator>) {}), ContentReaderException);
}

TEST(OperatorTable, SeventyThreeOperatorsInCodeOrder) {
    auto all = OpCodes::All();
    ASSERT_EQ(all.size(), 73u);
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(static_cast<std::size_t>(all[i].OpCodeName), i) << all[i].Name;
        EXPECT_EQ(OpCodes::Find(all[i].Name), &all[i]);
        bool textOut = all[i].Name == "Tj" || all[i].Name == "TJ" || all[i].Name == "'" || all[i].Name == "\"";
        EXPECT_EQ(all[i].Flags == OpCodeFlags::TextOut, textOut) << all[i].Name;
    }
    EXPECT_EQ(all[58].Name, "Tj");
    EXPECT_EQ(all[59].Name, "TJ");
    EXPECT_EQ(all[53].Name, "T*");
    EXPECT_EQ(all[71].OpCodeName, OpCodeName::QuoteSingle);
    EXPECT_EQ(all[72].Name, "\"");
    EXPECT_EQ(all[72].Operands, 3);
    EXPECT_EQ(all[50].Operands, -1);
    EXPECT_EQ(all[15].Operands, 6);
    EXPECT_EQ(OpCodes::Find("Tx"), nullptr);
    EXPECT_EQ(OpCodes::OperatorFromName("re")->Name(), "re");
}

TEST(Sequence, EditingKeepsOrderAndOwnership) {
    CSequence sequence;
    sequence.Add(std::make_unique<CInteger>(1));
    sequence.Add(std::make_unique<CName>("/N"));
    sequence.Insert(1, std::make_unique<CReal>(2.5));
    EXPECT_EQ(Dump(sequence), "1\n2.5r\n/N");
    CObject *name = &sequence[2];
    EXPECT_EQ(sequence.IndexOf(name), 2);
    CSequence copy(sequence);
    EXPECT_FALSE(copy.Contains(name));
    copy.Add(copy);
    EXPECT_EQ(copy.Count(), 6);
    EXPECT_TRUE(sequence.Remove(name));
    EXPECT_FALSE(sequence.Remove(name));
    sequence.RemoveAt(0);
    EXPECT_EQ(Dump(sequence), "2.5r");
    EXPECT_THROW(sequence.RemoveAt(1), ZavorPdf::ArgumentOutOfRangeException);
    EXPECT_THROW(sequence.Insert(2, std::make_unique<CInteger>(0)), ZavorPdf::ArgumentOutOfRangeException);
    EXPECT_THROW(sequence.Add(std::unique_ptr<CObject>()), ZavorPdf::ArgumentNullException);
    sequence.Clear();
    EXPECT_EQ(sequence.Count(), 0);
    auto cloned = ContentReader::ReadContent(Bytes("[(a) 1] TJ")).Clone();
    EXPECT_EQ(Dump(*cloned), "[(a) 1] TJ");
}

}  // namespace
