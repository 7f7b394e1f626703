// Breaks a text into lines inside a layout rectangle and draws them left-
// aligned, centred, right-aligned or justified. The session's text commands
// lay out every box of text through this class.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/fonts/x_font.h"
#include "drawing/x_brush.h"
#include "drawing/x_graphics.h"
#include "drawing/x_point.h"
#include "drawing/x_rect.h"
#include "drawing/x_string_format.h"

namespace ZavorPdf::Drawing {

enum class XParagraphAlignment { Default = 0, Left = 1, Center = 2, Right = 3, Justify = 4 };

class XTextFormatter {
public:
    // `gfx` must outlive the formatter (non-owning).
    explicit XTextFormatter(XGraphics &gfx);
    // Starts over on another context as a new formatter would, but keeps the
    // storage of its blocks and text: a long document lays out page after
    // page of the same size.
    void Rebind(XGraphics &gfx);

    const std::u16string &Text() const { return text_; }
    // Drops the blocks of the last layout, which point into the old text.
    void SetText(std::u16string_view value) {
        blocks_.clear();
        text_ = value;
    }
    // Null until a font is set.
    const XFont *Font() const { return font_ ? &*font_ : nullptr; }
    // A null font fails (null argument "font").
    void SetFont(const XFont *value);
    void SetFont(const XFont &value) { SetFont(&value); }
    const XRect &LayoutRectangle() const { return layoutRectangle_; }
    void SetLayoutRectangle(const XRect &value) { layoutRectangle_ = value; }
    XParagraphAlignment Alignment() const { return alignment_; }
    void SetAlignment(XParagraphAlignment value) { alignment_ = value; }

    // Lays the text out in the rectangle, first baseline one ascent below
    // its top, and draws every line that fits. An empty text writes nothing.
    void DrawString(std::u16string_view text, const XFont &font, const XBrush &brush, const XRect &layoutRectangle);
    // Only the top-left format is accepted; any other fails with "Only
    // TopLeft alignment is currently implemented.".
    void DrawString(std::u16string_view text, const XFont &font, const XBrush &brush, const XRect &layoutRectangle,
                    const XStringFormat &format);
    // Pointer forms for callers that may hold no value: a null text, font or
    // brush fails (null argument "text", "font", "brush").
    void DrawString(const std::u16string *text, const XFont *font, const XBrush *brush, const XRect &layoutRectangle,
                    const XStringFormat &format);

    enum class BlockType { Text = 0, Space = 1, Hyphen = 2, LineBreak = 3 };
    // One word or line break of the current layout; Location is relative to
    // the rectangle's top-left corner and the first baseline. Text is a
    // part of the formatter's text, valid until the text is set again.
    struct Block {
        std::u16string_view Text;
        BlockType Type = BlockType::Text;
        double Width = 0;
        XPoint Location;
        XParagraphAlignment Alignment = XParagraphAlignment::Default;
        bool Stop = false;
    };
    // The blocks of the last layout, for callers that place text themselves.
    const std::vector<Block> &Blocks() const { return blocks_; }
    // Builds the blocks and their locations for the current text, font,
    // rectangle and alignment without drawing.
    void PrepareLayout();

    // Derived from the font.
    double LineSpace() const { return lineSpace_; }
    double SpaceWidth() const { return spaceWidth_; }

private:
    void CreateBlocks();
    void CreateLayout();
    void AlignLine(std::size_t first, std::size_t last, double layoutWidth);
    // The sum of a word's code-page widths, taken while the word is cut;
    // not Measured when the font has no such table or a letter of the word
    // is not in the code page as it is.
    struct WordWidth {
        long long Units = 0;
        bool Measured = false;
    };
    void AddTextBlock(std::size_t start, std::size_t length, const WordWidth &width);

    XGraphics *gfx_;  // non-owning
    std::u16string text_;
    std::optional<XFont> font_;
    // The code-page font's widths of the letters runs are measured by, made
    // from the face's table letterWidthsOf_; that is null for a Unicode font.
    std::array<int, 256> letterWidths_{};
    const std::array<int, 256> *letterWidthsOf_ = nullptr;
    XRect layoutRectangle_;
    XParagraphAlignment alignment_ = XParagraphAlignment::Left;
    double lineSpace_ = 0;
    double cyAscent_ = 0;
    double cyDescent_ = 0;
    double spaceWidth_ = 0;
    std::vector<Block> blocks_;
    std::vector<XGraphics::PlacedWord> line_;  // reused from line to line
};

// The layout names are also reachable under the namespace of the text layer.
namespace Layout {
using Drawing::XParagraphAlignment;
using Drawing::XTextFormatter;
}  // namespace Layout

}  // namespace ZavorPdf::Drawing
