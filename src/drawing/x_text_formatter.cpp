#include "drawing/x_text_formatter.h"

#include <algorithm>
#include <array>

#include "drawing/x_graphics.h"
#include "pdf/errors.h"
#include "platform/code_page.h"

namespace ZavorPdf::Drawing {
namespace {

// No-break spaces are left out: they join the words on either side, so
// that "10\u00a0kg" never ends a line between number and unit.
bool IsBreakingWhiteSpace(char16_t c) {
    switch (c) {
    case u' ':
    case u'\t':
    case u'\n':
    case u'\v':
    case u'\f':
    case u'\r':
    case u'\u0085':
    case u'\u1680':
    case u'\u2028':
    case u'\u2029':
    case u'\u205f':
    case u'\u3000':
        return true;
    default:
        return c >= u'\u2000' && c <= u'\u200a' && c != u'\u2007';
    }
}

constexpr bool IsPlainLetter(char16_t c) {
    return static_cast<unsigned>(c - u'!') < 0x85u - 0x21u || static_cast<unsigned>(c - 0x86u) < 0x1680u - 0x86u;
}

// Plain letters that code page 1252 holds as they are, by character.
constexpr std::array<bool, 256> kPlainAsIs = [] {
    std::array<bool, 256> table{};
    for (char16_t c = 0; c < 256; ++c)
        table[c] = IsPlainLetter(c) && ZavorPlatform::IsWindows1252AsIs(c);
    return table;
}();

}  // namespace

XTextFormatter::XTextFormatter(XGraphics &gfx) : gfx_(&gfx) {}

void XTextFormatter::Rebind(XGraphics &gfx) {
    gfx_ = &gfx;
    blocks_.clear();
    line_.clear();
    text_.clear();
    font_.reset();
    letterWidthsOf_ = nullptr;
    layoutRectangle_ = XRect();
    alignment_ = XParagraphAlignment::Left;
    lineSpace_ = 0;
    cyAscent_ = 0;
    cyDescent_ = 0;
    spaceWidth_ = 0;
}

void XTextFormatter::SetFont(const XFont *value) {
    if (value == nullptr)
        throw ArgumentNullException("font");
    font_ = *value;
    lineSpace_ = font_->GetHeight();
    cyAscent_ = lineSpace_ * font_->CellAscent() / font_->CellSpace();
    cyDescent_ = lineSpace_ * font_->CellDescent() / font_->CellSpace();
    // The width of a no-break space as the font writes it between two letters.
    double withSpace = gfx_->MeasureString(u"x\u00a0x", *font_).Width();
    double without = gfx_->MeasureString(u"xx", *font_).Width();
    spaceWidth_ = withSpace - without;
    // Plain letters that the code page holds as they are, with their widths;
    // -1 for every other character. A box per line sets the same font again
    // and again: the table is made once per face.
    const std::array<int, 256> *widths = font_->CodePageWidths();
    if (widths != nullptr && widths != letterWidthsOf_) {
        for (std::size_t c = 0; c < 256; ++c)
            letterWidths_[c] = kPlainAsIs[c] ? (*widths)[c] : -1;
    }
    letterWidthsOf_ = widths;
}

void XTextFormatter::DrawString(std::u16string_view text, const XFont &font, const XBrush &brush,
                                const XRect &layoutRectangle) {
    DrawString(text, font, brush, layoutRectangle, XStringFormats::TopLeft());
}

void XTextFormatter::DrawString(const std::u16string *text, const XFont *font, const XBrush *brush,
                                const XRect &layoutRectangle, const XStringFormat &format) {
    if (text == nullptr)
        throw ArgumentNullException("text");
    if (font == nullptr)
        throw ArgumentNullException("font");
    if (brush == nullptr)
        throw ArgumentNullException("brush");
    DrawString(*text, *font, *brush, layoutRectangle, format);
}

void XTextFormatter::DrawString(std::u16string_view text, const XFont &font, const XBrush &brush,
                                const XRect &layoutRectangle, const XStringFormat &format) {
    if (format.Alignment() != XStringAlignment::Near || format.LineAlignment() != XLineAlignment::Near)
        throw ArgumentException("Only TopLeft alignment is currently implemented.", "format");
    SetText(text);
    SetFont(font);
    SetLayoutRectangle(layoutRectangle);
    if (text_.empty())
        return;
    PrepareLayout();
    double x0 = layoutRectangle_.X();
    double y0 = layoutRectangle_.Y() + cyAscent_;
    // The words of a line go out together.
    std::vector<XGraphics::PlacedWord> &line = line_;
    line.clear();
    double lineY = 0;
    auto flush = [&] {
        gfx_->DrawStringLine(line, *font_, brush, y0 + lineY);
        line.clear();
    };
    for (const Block &block : blocks_) {
        if (block.Stop)
            break;
        if (block.Type == BlockType::LineBreak)
            continue;
        if (!line.empty() && block.Location.Y() != lineY)
            flush();
        lineY = block.Location.Y();
        line.push_back({block.Text, x0 + block.Location.X(), block.Width});
    }
    flush();
}

void XTextFormatter::PrepareLayout() {
    if (!font_)
        throw ArgumentNullException("font");
    CreateBlocks();
    CreateLayout();
}

void XTextFormatter::AddTextBlock(std::size_t start, std::size_t length, const WordWidth &width) {
    Block &block = blocks_.emplace_back();
    block.Text = std::u16string_view(text_.data() + start, length);
    block.Type = BlockType::Text;
    // The width MeasureString gives, without the line height it adds.
    block.Width = width.Measured ? font_->WidthOfUnits(width.Units) : font_->MeasureWidth(block.Text);
}

void XTextFormatter::CreateBlocks() {
    blocks_.clear();
    const std::size_t count = text_.size();
    // About one block per word; growing the vector moves every block.
    blocks_.reserve(count / 4 + 1);
    // The text ends in a zero, which is no letter: runs stop there without
    // counting.
    const char16_t *letters = text_.c_str();
    const int *widths = letterWidthsOf_ != nullptr ? letterWidths_.data() : nullptr;
    const WordWidth fresh{0, widths != nullptr};
    WordWidth width = fresh;
    const std::array<int, 256> *codePage = font_->CodePageWidths();
    // A character outside the runs: its width counts only if the code page
    // holds it as it is.
    auto take = [&](char16_t c) {
        if (widths == nullptr) return;
        width.Units += (*codePage)[c & 0xFF];
        width.Measured = width.Measured && ZavorPlatform::IsWindows1252AsIs(c);
    };
    std::size_t start = 0;
    std::size_t length = 0;
    bool seenNonWhite = false;
    for (std::size_t i = 0; i < count; ++i) {
        char16_t c = letters[i];
        // Letters, digits and punctuation below the first blank past ASCII
        // (U+0085 itself is one) are neither line breaks nor blanks: a run
        // of them is taken in one go, and measured as it goes while the
        // code page holds its letters as they are.
        if (IsPlainLetter(c)) {
            std::size_t end = i;
            if (widths != nullptr) {
                long long units = 0;
                for (int w; (w = letters[end] <= 0xFF ? widths[letters[end]] : -1) >= 0; ++end)
                    units += w;
                width.Units += units;
            }
            if (IsPlainLetter(letters[end])) {
                width.Measured = false;
                do
                    ++end;
                while (IsPlainLetter(letters[end]));
            }
            seenNonWhite = true;
            length += end - i;
            i = end - 1;
            continue;
        }
        if (c == u' ' && seenNonWhite) {
            AddTextBlock(start, length, width);
            start = i + 1;
            length = 0;
            width = fresh;
        } else if (c == u'\r' || c == u'\n') {
            // CR LF is one line feed, so is a lone CR.
            if (c == u'\r' && i + 1 < count && letters[i + 1] == u'\n')
                ++i;
            if (length > 0)
                AddTextBlock(start, length, width);
            blocks_.emplace_back().Type = BlockType::LineBreak;
            start = i + 1;
            length = 0;
            width = fresh;
        } else if (IsBreakingWhiteSpace(c)) {
            if (seenNonWhite) {
                AddTextBlock(start, length, width);
                start = i + 1;
                length = 0;
                width = fresh;
            } else {
                ++length;
                take(c);
            }
        } else {
            seenNonWhite = true;
            ++length;
            take(c);
        }
    }
    if (length > 0)
        AddTextBlock(start, length, width);
}

void XTextFormatter::CreateLayout() {
    double layoutWidth = layoutRectangle_.Width();
    double availableHeight = layoutRectangle_.Height() - cyAscent_ - cyDescent_;
    std::size_t first = 0;
    double x = 0;
    double y = 0;
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
        Block &block = blocks_[i];
        if (block.Type == BlockType::LineBreak) {
            // The last line of a paragraph keeps to the left.
            if (alignment_ == XParagraphAlignment::Justify && first < i)
                blocks_[first].Alignment = XParagraphAlignment::Left;
            AlignLine(first, i, layoutWidth);
            first = i + 1;
            x = 0;
            y += lineSpace_;
        } else if (x + block.Width <= layoutWidth || x == 0) {
            block.Location = XPoint(x, y);
            x += block.Width + spaceWidth_;
        } else {
            AlignLine(first, i, layoutWidth);
            first = i;
            y += lineSpace_;
            if (y > availableHeight) {
                block.Stop = true;
                return;
            }
            block.Location = XPoint(0, y);
            x = block.Width + spaceWidth_;
        }
    }
    if (alignment_ != XParagraphAlignment::Justify)
        AlignLine(first, blocks_.size(), layoutWidth);
}

// Aligns the blocks [first, last) of one line.
void XTextFormatter::AlignLine(std::size_t first, std::size_t last, double layoutWidth) {
    if (first >= last || alignment_ == XParagraphAlignment::Left ||
        blocks_[first].Alignment == XParagraphAlignment::Left)
        return;
    double lineWidth = -spaceWidth_;
    for (std::size_t i = first; i < last; ++i)
        lineWidth += blocks_[i].Width + spaceWidth_;
    double rest = std::max(layoutWidth - lineWidth, 0.0);
    std::size_t n = last - first;
    for (std::size_t k = 0; k < n; ++k) {
        Block &block = blocks_[first + k];
        double shift = 0;
        switch (alignment_) {
        case XParagraphAlignment::Center: shift = rest / 2; break;
        case XParagraphAlignment::Justify: shift = n > 1 ? static_cast<double>(k) * rest / static_cast<double>(n - 1) : 0; break;
        default: shift = rest; break;
        }
        block.Location = XPoint(block.Location.X() + shift, block.Location.Y());
    }
}

}  // namespace ZavorPdf::Drawing
