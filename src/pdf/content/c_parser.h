// Parses content stream bytes into operators with their operands.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "pdf/content/c_lexer.h"
#include "pdf/content/c_operator.h"
#include "pdf/content/c_sequence.h"

namespace ZavorPdf::Pdf {
class PdfPage;
}

namespace ZavorPdf::Pdf::Content {

// Bounds that keep hostile content from exhausting the stack or memory.
struct CParserLimits {
    // Arrays and dictionaries inside each other.
    int MaxDepth = 100;
    // Content objects held at one time: the whole tree for ReadContent, the
    // operator being read (with pending operands) for ReadOperators.
    std::int64_t MaxObjects = 4'000'000;
};

class CParser {
public:
    explicit CParser(std::vector<std::uint8_t> content, CParserLimits limits = {});
    // The page's content streams decoded and joined (see PageContent).
    explicit CParser(const PdfPage &page, CParserLimits limits = {});

    // The top-level operators. Failures are ContentReaderException.
    Objects::CSequence ReadContent();
    // The same operators, each handed to the sink as soon as it is complete
    // and then forgotten, so that memory stays bounded by one operator.
    using OperatorSink = std::function<void(std::unique_ptr<Objects::COperator>)>;
    void ReadOperators(const OperatorSink &sink);

    // An LF, then the decoded bytes of each content stream in order, each
    // stream preceded by an LF. A stream whose filter cannot be decoded fails
    // with "Cannot decode content stream with filter X.". Streams still
    // being drawn into must be finished (the graphics disposed) first.
    static std::vector<std::uint8_t> PageContent(const PdfPage &page);

private:
    // Reads into the sequence until the stop symbol (or the end of data).
    void Parse(Objects::CSequence &sequence, CSymbol stop, int depth, const OperatorSink *sink);
    void ParseOperator(Objects::CSequence &sequence, Objects::CSequence &operands, const OperatorSink *sink);
    std::unique_ptr<Objects::CSequence> ParseNested(CSymbol kind, int depth);
    void Count(std::int64_t objects);

    CLexer lexer_;
    CParserLimits limits_;
    std::int64_t objects_ = 0;
};

}  // namespace ZavorPdf::Pdf::Content
