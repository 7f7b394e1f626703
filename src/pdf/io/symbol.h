// The kinds of token that the lexer of PDF files delivers.
#pragma once

namespace ZavorPdf::Pdf::IO {

enum class Symbol {
    None = 0,
    Comment = 1,
    Null = 2,
    Integer = 3,
    UInteger = 4,
    Real = 5,
    Boolean = 6,
    String = 7,
    HexString = 8,
    UnicodeString = 9,
    UnicodeHexString = 10,
    Name = 11,
    Keyword = 12,
    BeginStream = 13,
    EndStream = 14,
    BeginArray = 15,
    EndArray = 16,
    BeginDictionary = 17,
    EndDictionary = 18,
    Obj = 19,
    EndObj = 20,
    R = 21,
    XRef = 22,
    Trailer = 23,
    StartXRef = 24,
    Eof = 25,
};

// The enumerator's name ("HexString"), as failures quote it.
inline const char *SymbolName(Symbol symbol) {
    static const char *const names[] = {
        "None",    "Comment",  "Null",      "Integer",   "UInteger",   "Real",          "Boolean",
        "String",  "HexString", "UnicodeString", "UnicodeHexString", "Name", "Keyword", "BeginStream",
        "EndStream", "BeginArray", "EndArray", "BeginDictionary", "EndDictionary", "Obj", "EndObj",
        "R",       "XRef",     "Trailer",   "StartXRef", "Eof"};
    int index = static_cast<int>(symbol);
    return index >= 0 && index <= static_cast<int>(Symbol::Eof) ? names[index] : "None";
}

}  // namespace ZavorPdf::Pdf::IO
