// The kinds of token that the content stream lexer returns.
#pragma once

namespace ZavorPdf::Pdf::Content {

enum class CSymbol {
    None = 0,
    Comment = 1,
    Integer = 2,
    Real = 3,
    String = 4,
    HexString = 5,
    UnicodeString = 6,
    UnicodeHexString = 7,
    Name = 8,
    Operator = 9,
    BeginArray = 10,
    EndArray = 11,
    Eof = 12,
    // Property lists of marked content ("/P <</MCID 0>> BDC") are
    // dictionaries written inline; without these every tagged page would
    // fail to parse.
    BeginDictionary = 13,
    EndDictionary = 14,
};

}  // namespace ZavorPdf::Pdf::Content
