#include "pdf/content/op_code.h"

#include <array>
#include <string>
#include <unordered_map>

#include "pdf/content/c_operator.h"
#include "pdf/content/content_reader_exception.h"

namespace ZavorPdf::Pdf::Content::Objects {
namespace {

using N = OpCodeName;
constexpr OpCodeFlags None = OpCodeFlags::None;
constexpr OpCodeFlags TextOut = OpCodeFlags::TextOut;

// The rows follow the operator summary of the content stream format.
constexpr std::array<OpCode, OpCodes::Count> kTable{{
    {"b", N::b, 0, "closepath, fill, stroke", None, "Close, fill, and stroke path using nonzero winding number rule"},
    {"B", N::B, 0, "fill, stroke", None, "Fill and stroke path using nonzero winding number rule"},
    {"b*", N::bx, 0, "closepath, eofill, stroke", None, "Close, fill, and stroke path using even-odd rule"},
    {"B*", N::Bx, 0, "eofill, stroke", None, "Fill and stroke path using even-odd rule"},
    {"BDC", N::BDC, 2, "", None, "Begin marked-content sequence with property list"},
    {"BI", N::BI, 0, "", None, "Begin inline image object"},
    {"BMC", N::BMC, 1, "", None, "Begin marked-content sequence"},
    {"BT", N::BT, 0, "", None, "Begin text object"},
    {"BX", N::BX, 0, "", None, "Begin compatibility section"},
    {"c", N::c, 6, "curveto", None, "Append curved segment to path (three control points)"},
    {"cm", N::cm, 6, "concat", None, "Concatenate matrix to current transformation matrix"},
    {"CS", N::CS, 1, "setcolorspace", None, "Set color space for stroking operations"},
    {"cs", N::cs, 1, "setcolorspace", None, "Set color space for nonstroking operations"},
    {"d", N::d, 2, "setdash", None, "Set line dash pattern"},
    {"d0", N::d0, 2, "setcharwidth", None, "Set glyph width in Type 3 font"},
    {"d1", N::d1, 6, "setcachedevice", None, "Set glyph width and bounding box in Type 3 font"},
    {"Do", N::Do, 1, "", None, "Invoke named XObject"},
    {"DP", N::DP, 2, "", None, "Define marked-content point with property list"},
    {"EI", N::EI, 0, "", None, "End inline image object"},
    {"EMC", N::EMC, 0, "", None, "End marked-content sequence"},
    {"ET", N::ET, 0, "", None, "End text object"},
    {"EX", N::EX, 0, "", None, "End compatibility section"},
    {"f", N::f, 0, "fill", None, "Fill path using nonzero winding number rule"},
    {"F", N::F, 0, "fill", None, "Fill path using nonzero winding number rule (obsolete)"},
    {"f*", N::fx, 0, "eofill", None, "Fill path using even-odd rule"},
    {"G", N::G, 1, "setgray", None, "Set gray level for stroking operations"},
    {"g", N::g, 1, "setgray", None, "Set gray level for nonstroking operations"},
    {"gs", N::gs, 1, "", None, "Set parameters from graphics state parameter dictionary"},
    {"h", N::h, 0, "closepath", None, "Close subpath"},
    {"i", N::i, 1, "setflat", None, "Set flatness tolerance"},
    {"ID", N::ID, 0, "", None, "Begin inline image data"},
    {"j", N::j, 1, "setlinejoin", None, "Set line join style"},
    {"J", N::J, 1, "setlinecap", None, "Set line cap style"},
    {"K", N::K, 4, "setcmykcolor", None, "Set CMYK color for stroking operations"},
    {"k", N::k, 4, "setcmykcolor", None, "Set CMYK color for nonstroking operations"},
    {"l", N::l, 2, "lineto", None, "Append straight line segment to path"},
    {"m", N::m, 2, "moveto", None, "Begin new subpath"},
    {"M", N::M, 1, "setmiterlimit", None, "Set miter limit"},
    {"MP", N::MP, 1, "", None, "Define marked-content point"},
    {"n", N::n, 0, "", None, "End path without filling or stroking"},
    {"q", N::q, 0, "gsave", None, "Save graphics state"},
    {"Q", N::Q, 0, "grestore", None, "Restore graphics state"},
    {"re", N::re, 4, "", None, "Append rectangle to path"},
    {"RG", N::RG, 3, "setrgbcolor", None, "Set RGB color for stroking operations"},
    {"rg", N::rg, 3, "setrgbcolor", None, "Set RGB color for nonstroking operations"},
    {"ri", N::ri, 1, "", None, "Set color rendering intent"},
    {"s", N::s, 0, "closepath, stroke", None, "Close and stroke path"},
    {"S", N::S, 0, "stroke", None, "Stroke path"},
    {"SC", N::SC, -1, "setcolor", None, "Set color for stroking operations"},
    {"sc", N::sc, -1, "setcolor", None, "Set color for nonstroking operations"},
    {"SCN", N::SCN, -1, "setcolor", None, "Set color for stroking operations (ICCBased and special colour spaces)"},
    {"scn", N::scn, -1, "setcolor", None, "Set color for nonstroking operations (ICCBased and special colour spaces)"},
    {"sh", N::sh, 1, "shfill", None, "Paint area defined by shading pattern"},
    {"T*", N::Tx, 0, "", None, "Move to start of next text line"},
    {"Tc", N::Tc, 1, "", None, "Set character spacing"},
    {"Td", N::Td, 2, "", None, "Move text position"},
    {"TD", N::TD, 2, "", None, "Move text position and set leading"},
    {"Tf", N::Tf, 2, "selectfont", None, "Set text font and size"},
    {"Tj", N::Tj, 1, "show", TextOut, "Show text"},
    {"TJ", N::TJ, 1, "", TextOut, "Show text, allowing individual glyph positioning"},
    {"TL", N::TL, 1, "", None, "Set text leading"},
    {"Tm", N::Tm, 6, "", None, "Set text matrix and text line matrix"},
    {"Tr", N::Tr, 1, "", None, "Set text rendering mode"},
    {"Ts", N::Ts, 1, "", None, "Set text rise"},
    {"Tw", N::Tw, 1, "", None, "Set word spacing"},
    {"Tz", N::Tz, 1, "", None, "Set horizontal text scaling"},
    {"v", N::v, 4, "curveto", None, "Append curved segment to path (initial point replicated)"},
    {"w", N::w, 1, "setlinewidth", None, "Set line width"},
    {"W", N::W, 0, "clip", None, "Set clipping path using nonzero winding number rule"},
    {"W*", N::Wx, 0, "eoclip", None, "Set clipping path using even-odd rule"},
    {"y", N::y, 4, "curveto", None, "Append curved segment to path (final point replicated)"},
    {"'", N::QuoteSingle, 1, "", TextOut, "Move to next line and show text"},
    {"\"", N::QuoteDbl, 3, "", TextOut, "Set word and character spacing, move to next line, and show text"},
}};

// Built once on first use and only read afterwards (a function-local static
// is initialised thread-safely).
const std::unordered_map<std::string_view, const OpCode *> &ByName() {
    static const auto map = [] {
        std::unordered_map<std::string_view, const OpCode *> built;
        for (const OpCode &code : kTable)
            built.emplace(code.Name, &code);
        return built;
    }();
    return map;
}

}  // namespace

std::span<const OpCode> OpCodes::All() { return kTable; }

const OpCode *OpCodes::Find(std::string_view name) {
    auto found = ByName().find(name);
    return found == ByName().end() ? nullptr : found->second;
}

std::unique_ptr<COperator> OpCodes::OperatorFromName(std::string_view name) {
    const OpCode *code = Find(name);
    if (code == nullptr)
        throw ContentReaderException(ContentMessages::UnknownOperator(std::string(name)));
    return std::make_unique<COperator>(*code);
}

}  // namespace ZavorPdf::Pdf::Content::Objects
