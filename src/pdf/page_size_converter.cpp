#include "pdf/page_size_converter.h"

#include <array>

#include "pdf/errors.h"
#include "pdf/ascii_case.h"

namespace ZavorPdf::Pdf {
namespace {

struct PageSizeRow {
    PageSize value;
    std::string_view name;
    double width;
    double height;
};

// GovernmentLetter, Ledger and Crown are wider than high on purpose.
constexpr std::array<PageSizeRow, 40> kSizes = {{
    {PageSize::Undefined, "Undefined", 0, 0},
    {PageSize::A0, "A0", 2380, 3368},
    {PageSize::A1, "A1", 1684, 2380},
    {PageSize::A2, "A2", 1190, 1684},
    {PageSize::A3, "A3", 842, 1190},
    {PageSize::A4, "A4", 595, 842},
    {PageSize::A5, "A5", 420, 595},
    {PageSize::RA0, "RA0", 2438, 3458},
    {PageSize::RA1, "RA1", 1729, 2438},
    {PageSize::RA2, "RA2", 1219, 1729},
    {PageSize::RA3, "RA3", 865, 1219},
    {PageSize::RA4, "RA4", 609, 865},
    {PageSize::RA5, "RA5", 343, 609},
    {PageSize::B0, "B0", 2835, 4008},
    {PageSize::B1, "B1", 2004, 2835},
    {PageSize::B2, "B2", 1417, 2004},
    {PageSize::B3, "B3", 1001, 1417},
    {PageSize::B4, "B4", 729, 1032},
    {PageSize::B5, "B5", 516, 729},
    {PageSize::Quarto, "Quarto", 576, 720},
    {PageSize::Foolscap, "Foolscap", 576, 936},
    {PageSize::Executive, "Executive", 540, 720},
    {PageSize::GovernmentLetter, "GovernmentLetter", 756, 576},
    {PageSize::Letter, "Letter", 612, 792},
    {PageSize::Legal, "Legal", 612, 1008},
    {PageSize::Ledger, "Ledger", 1224, 792},
    {PageSize::Tabloid, "Tabloid", 792, 1224},
    {PageSize::Post, "Post", 1126, 1386},
    {PageSize::Crown, "Crown", 1440, 1080},
    {PageSize::LargePost, "LargePost", 1188, 1512},
    {PageSize::Demy, "Demy", 1260, 1584},
    {PageSize::Medium, "Medium", 1296, 1656},
    {PageSize::Royal, "Royal", 1440, 1800},
    {PageSize::Elephant, "Elephant", 1565, 2016},
    {PageSize::DoubleDemy, "DoubleDemy", 1692, 2520},
    {PageSize::QuadDemy, "QuadDemy", 2520, 3240},
    {PageSize::STMT, "STMT", 396, 612},
    {PageSize::Folio, "Folio", 612, 936},
    {PageSize::Statement, "Statement", 396, 612},
    {PageSize::Size10x14, "Size10x14", 720, 1008},
}};

const PageSizeRow *Find(PageSize value) {
    for (const auto &row : kSizes)
        if (row.value == value)
            return &row;
    return nullptr;
}

}  // namespace

PageDimensions PageSizeConverter::ToSize(PageSize value) {
    const PageSizeRow *row = Find(value);
    if (row == nullptr || value == PageSize::Undefined)
        throw ArgumentException("Invalid PageSize.", "value");
    return {row->width, row->height};
}

bool PageSizeConverter::IsDefined(PageSize value) { return Find(value) != nullptr; }

std::optional<std::string_view> PageSizeConverter::Name(PageSize value) {
    const PageSizeRow *row = Find(value);
    if (row == nullptr)
        return std::nullopt;
    return row->name;
}

std::optional<PageSize> PageSizeConverter::FromName(std::string_view name) {
    for (const auto &row : kSizes)
        if (EqualsIgnoringAsciiCase(row.name, name))
            return row.value;
    return std::nullopt;
}

}  // namespace ZavorPdf::Pdf
