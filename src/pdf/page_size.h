// Named paper sizes and page orientation.
#pragma once

namespace ZavorPdf::Pdf {

// The numbers are those that scripts and stored settings use; they are not
// contiguous.
enum class PageSize : int {
    Undefined = 0,
    A0 = 1,
    A1 = 2,
    A2 = 3,
    A3 = 4,
    A4 = 5,
    A5 = 6,
    RA0 = 7,
    RA1 = 8,
    RA2 = 9,
    RA3 = 10,
    RA4 = 11,
    RA5 = 12,
    B0 = 13,
    B1 = 14,
    B2 = 15,
    B3 = 16,
    B4 = 17,
    B5 = 18,
    Quarto = 100,
    Foolscap = 101,
    Executive = 102,
    GovernmentLetter = 103,
    Letter = 104,
    Legal = 105,
    Ledger = 106,
    Tabloid = 107,
    Post = 108,
    Crown = 109,
    LargePost = 110,
    Demy = 111,
    Medium = 112,
    Royal = 113,
    Elephant = 114,
    DoubleDemy = 115,
    QuadDemy = 116,
    STMT = 117,
    Folio = 120,
    Statement = 121,
    Size10x14 = 122,
};

enum class PageOrientation : int { Portrait = 0, Landscape = 1 };

}  // namespace ZavorPdf::Pdf
