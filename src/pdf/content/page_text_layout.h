// The text a person reads on a page: shown strings decoded through their
// fonts, with blanks where words stand apart and line breaks where the
// baseline moves, in the order the content shows them.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "pdf/content/text_font.h"

namespace ZavorPdf::Pdf {
class PdfDictionary;
class PdfPage;
}

namespace ZavorPdf::Pdf::Content::Objects {
class COperator;
class CString;
}

namespace ZavorPdf::Pdf::Content {

class PageTextLayout {
public:
    // Walks the page's content and the forms it draws. Content that cannot
    // be read fails with ContentReaderException.
    explicit PageTextLayout(const PdfPage &page);

    // Blanks between words and CR LF between lines, as decoded; nothing is
    // added after the last string.
    const std::u16string &Text() const { return text_; }

private:
    using Matrix = std::array<double, 6>;
    struct State {
        Matrix ctm{1, 0, 0, 1, 0, 0};
        double charSpacing = 0;
        double wordSpacing = 0;
        double horizontalScale = 1;
        double leading = 0;
        double rise = 0;
        double fontSize = 0;
        const TextFont *font = nullptr;
    };
    struct Point {
        double x;
        double y;
    };

    void Run(std::vector<std::uint8_t> content, const PdfDictionary *resources, int depth);
    void Apply(const Objects::COperator &op, const PdfDictionary *resources, int depth);
    void SetFont(const PdfDictionary *resources, const Objects::COperator &op);
    void DrawForm(const PdfDictionary *resources, const Objects::COperator &op, int depth);
    const TextFont &MissingFont();
    void MoveLine(double tx, double ty);
    void Show(const Objects::CString &string);
    void Separate(Point start, double size, double space, Point direction);
    Matrix TextToDevice() const;
    void AppendBlank();
    void AppendLineBreak();
    void Append(const std::u16string &text);

    std::u16string text_;
    State state_;
    std::vector<State> saved_;
    Matrix textMatrix_{1, 0, 0, 1, 0, 0};
    Matrix lineMatrix_{1, 0, 0, 1, 0, 0};
    std::map<const PdfDictionary *, std::unique_ptr<TextFont>> fonts_;
    std::unique_ptr<TextFont> missingFont_;
    int formsDrawn_ = 0;
    // Where the last shown string ended, in device space.
    bool shownBefore_ = false;
    Point lastEnd_{0, 0};
    double lastSize_ = 0;
    // What goes before the next character: decided where a string starts,
    // written only once a string shows something, so that glyphs without
    // text leave no stray blank or line break.
    enum class Gap { None, Blank, LineBreak };
    Gap pending_ = Gap::None;
};

}  // namespace ZavorPdf::Pdf::Content
