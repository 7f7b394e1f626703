// Descriptors of the content stream operators and the table that finds them
// by the text they are written with.
#pragma once

#include <memory>
#include <span>
#include <string_view>

namespace ZavorPdf::Pdf::Content::Objects {

class COperator;

// In table order; the enumerators name the operators by their text where
// C++ allows it ("bx" stands for "b*", "QuoteDbl" for the double quote).
enum class OpCodeName {
    b, B, bx, Bx, BDC, BI, BMC, BT, BX, c, cm, CS, cs, d, d0, d1, Do, DP, EI, EMC, ET, EX,
    f, F, fx, G, g, gs, h, i, ID, j, J, K, k, l, m, M, MP, n, q, Q, re, RG, rg, ri, s, S,
    SC, sc, SCN, scn, sh, Tx, Tc, Td, TD, Tf, Tj, TJ, TL, Tm, Tr, Ts, Tw, Tz, v, w, W, Wx, y,
    QuoteSingle, QuoteDbl,
};

enum class OpCodeFlags { None = 0, TextOut = 1 };

// Operands is -1 for operators that take a variable number (SC, scn ...).
// Postscript is empty where PostScript has no equivalent.
struct OpCode {
    std::string_view Name;
    Objects::OpCodeName OpCodeName;
    int Operands;
    std::string_view Postscript;
    Objects::OpCodeFlags Flags;
    std::string_view Description;
};

class OpCodes {
public:
    OpCodes() = delete;

    static constexpr int Count = 73;

    // Every descriptor, indexed by its OpCodeName.
    static std::span<const OpCode> All();
    // Null for a text that names no operator.
    static const OpCode *Find(std::string_view name);
    // A new operator without operands; an unknown name fails with
    // ContentReaderException "Unknown operator 'X'.".
    static std::unique_ptr<COperator> OperatorFromName(std::string_view name);
};

}  // namespace ZavorPdf::Pdf::Content::Objects
