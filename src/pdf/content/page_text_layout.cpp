#include "pdf/content/page_text_layout.h"

#include <algorithm>
#include <cmath>

#include "pdf/content/c_objects.h"
#include "pdf/content/c_operator.h"
#include "pdf/content/c_parser.h"
#include "pdf/content/content_reader_exception.h"
#include "pdf/content/content_token_check.h"
#include "pdf/item_access.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"
#include "pdf/stream_data_check.h"

namespace ZavorPdf::Pdf::Content {

using namespace Objects;

namespace {

// Forms inside forms deeper than this, or more form drawings than this on
// one page, come from damaged or hostile files; they add no text.
constexpr int kMaxFormDepth = 8;
constexpr int kMaxFormsDrawn = 10000;
constexpr std::size_t kMaxSavedStates = 1000;

// A gap wider than this part of a blank separates words; kerning stays
// well below it.
constexpr double kWordGapPart = 0.3;
// The baseline moved when the distance across the writing direction is
// more than this part of the font size; a superscript stays on the line.
constexpr double kLineShiftPart = 0.5;

using Matrix = std::array<double, 6>;

Matrix Multiply(const Matrix &m, const Matrix &n) {
    return {m[0] * n[0] + m[1] * n[2],        m[0] * n[1] + m[1] * n[3],
            m[2] * n[0] + m[3] * n[2],        m[2] * n[1] + m[3] * n[3],
            m[4] * n[0] + m[5] * n[2] + n[4], m[4] * n[1] + m[5] * n[3] + n[5]};
}

bool TryNumberOperand(const CSequence &operands, int index, double &value) {
    if (index < 0 || index >= operands.Count())
        return false;
    if (auto *integer = dynamic_cast<const CInteger *>(&operands[index])) {
        value = integer->Value();
        return true;
    }
    if (auto *real = dynamic_cast<const CReal *>(&operands[index])) {
        value = real->Value();
        return std::isfinite(value);
    }
    return false;
}

// The last n operands as numbers; false when there are fewer or others.
bool TryNumbers(const CSequence &operands, double *values, int n) {
    const int first = operands.Count() - n;
    for (int i = 0; i < n; ++i)
        if (!TryNumberOperand(operands, first + i, values[i]))
            return false;
    return first >= 0;
}

const CString *LastString(const CSequence &operands) {
    return operands.Count() > 0 ? dynamic_cast<const CString *>(&operands[operands.Count() - 1]) : nullptr;
}

}  // namespace

PageTextLayout::PageTextLayout(const PdfPage &page) {
    std::vector<std::uint8_t> content = CParser::PageContent(page);
    if (std::string problem = FindBrokenToken(content); !problem.empty())
        throw ContentReaderException(ContentMessages::BrokenToken(problem));
    Run(std::move(content), page.Elements().GetDictionary("/Resources"), 0);
}

void PageTextLayout::Run(std::vector<std::uint8_t> content, const PdfDictionary *resources, int depth) {
    CParser parser(std::move(content));
    parser.ReadOperators([&](std::unique_ptr<COperator> op) { Apply(*op, resources, depth); });
}

void PageTextLayout::Apply(const COperator &op, const PdfDictionary *resources, int depth) {
    const CSequence &operands = op.Operands();
    double v[6];
    switch (op.OpCode().OpCodeName) {
    case OpCodeName::q:
        if (saved_.size() < kMaxSavedStates)
            saved_.push_back(state_);
        break;
    case OpCodeName::Q:
        if (!saved_.empty()) {
            state_ = saved_.back();
            saved_.pop_back();
        }
        break;
    case OpCodeName::cm:
        if (TryNumbers(operands, v, 6))
            state_.ctm = Multiply({v[0], v[1], v[2], v[3], v[4], v[5]}, state_.ctm);
        break;
    case OpCodeName::BT:
        textMatrix_ = lineMatrix_ = {1, 0, 0, 1, 0, 0};
        break;
    case OpCodeName::Tf:
        SetFont(resources, op);
        break;
    case OpCodeName::Tc:
        if (TryNumbers(operands, v, 1))
            state_.charSpacing = v[0];
        break;
    case OpCodeName::Tw:
        if (TryNumbers(operands, v, 1))
            state_.wordSpacing = v[0];
        break;
    case OpCodeName::Tz:
        if (TryNumbers(operands, v, 1))
            state_.horizontalScale = v[0] / 100;
        break;
    case OpCodeName::TL:
        if (TryNumbers(operands, v, 1))
            state_.leading = v[0];
        break;
    case OpCodeName::Ts:
        if (TryNumbers(operands, v, 1))
            state_.rise = v[0];
        break;
    case OpCodeName::Td:
        if (TryNumbers(operands, v, 2))
            MoveLine(v[0], v[1]);
        break;
    case OpCodeName::TD:
        if (TryNumbers(operands, v, 2)) {
            state_.leading = -v[1];
            MoveLine(v[0], v[1]);
        }
        break;
    case OpCodeName::Tm:
        if (TryNumbers(operands, v, 6))
            textMatrix_ = lineMatrix_ = {v[0], v[1], v[2], v[3], v[4], v[5]};
        break;
    case OpCodeName::Tx:  // T*
        MoveLine(0, -state_.leading);
        break;
    case OpCodeName::Tj:
        if (const CString *string = LastString(operands))
            Show(*string);
        break;
    case OpCodeName::QuoteSingle:
        MoveLine(0, -state_.leading);
        if (const CString *string = LastString(operands))
            Show(*string);
        break;
    case OpCodeName::QuoteDbl:
        if (TryNumberOperand(operands, operands.Count() - 3, v[0]) &&
            TryNumberOperand(operands, operands.Count() - 2, v[1])) {
            state_.wordSpacing = v[0];
            state_.charSpacing = v[1];
        }
        MoveLine(0, -state_.leading);
        if (const CString *string = LastString(operands))
            Show(*string);
        break;
    case OpCodeName::TJ:
        if (operands.Count() == 0)
            break;
        if (auto *array = dynamic_cast<const CArray *>(&operands[operands.Count() - 1])) {
            for (int i = 0; i < array->Count(); ++i) {
                if (auto *string = dynamic_cast<const CString *>(&(*array)[i])) {
                    Show(*string);
                } else if (TryNumberOperand(*array, i, v[0])) {
                    // Thousandths of the font size, against the writing
                    // direction.
                    const double shift = -v[0] / 1000 * state_.fontSize;
                    const bool vertical = state_.font != nullptr && state_.font->Vertical();
                    textMatrix_ = Multiply(vertical ? Matrix{1, 0, 0, 1, 0, shift}
                                                    : Matrix{1, 0, 0, 1, shift * state_.horizontalScale, 0},
                                           textMatrix_);
                }
            }
        }
        break;
    case OpCodeName::Do:
        DrawForm(resources, op, depth);
        break;
    default:
        break;
    }
}

void PageTextLayout::SetFont(const PdfDictionary *resources, const COperator &op) {
    const CSequence &operands = op.Operands();
    double size = 0;
    if (operands.Count() < 2 || !TryNumberOperand(operands, operands.Count() - 1, size))
        return;
    state_.fontSize = size;
    const PdfDictionary *font = nullptr;
    if (auto *name = dynamic_cast<const CName *>(&operands[operands.Count() - 2]);
        name != nullptr && resources != nullptr)
        if (auto *fonts = resources->Elements().GetDictionary("/Font"))
            font = fonts->Elements().GetDictionary(name->Name());
    if (font == nullptr) {
        state_.font = &MissingFont();
        return;
    }
    std::unique_ptr<TextFont> &cached = fonts_[font];
    if (cached == nullptr)
        cached = std::make_unique<TextFont>(font);
    state_.font = cached.get();
}

void PageTextLayout::DrawForm(const PdfDictionary *resources, const COperator &op, int depth) {
    const CSequence &operands = op.Operands();
    if (depth >= kMaxFormDepth || formsDrawn_ >= kMaxFormsDrawn || resources == nullptr || operands.Count() == 0)
        return;
    auto *name = dynamic_cast<const CName *>(&operands[operands.Count() - 1]);
    auto *objects = resources->Elements().GetDictionary("/XObject");
    if (name == nullptr || objects == nullptr)
        return;
    auto *form = objects->Elements().GetDictionary(name->Name());
    if (form == nullptr || form->Stream() == nullptr || form->Elements().GetName("/Subtype") != "/Form")
        return;
    std::optional<std::vector<std::uint8_t>> content = DecodeContentData(*form);
    if (!content)
        return;
    ++formsDrawn_;
    const State outer = state_;
    const Matrix outerText = textMatrix_;
    const Matrix outerLine = lineMatrix_;
    const std::size_t outerSaved = saved_.size();
    if (form->Elements().ContainsKey("/Matrix"))
        state_.ctm = Multiply(form->Elements().GetMatrix("/Matrix"), state_.ctm);
    const PdfDictionary *formResources = form->Elements().GetDictionary("/Resources");
    Run(std::move(*content), formResources != nullptr ? formResources : resources, depth + 1);
    saved_.resize(std::min(saved_.size(), outerSaved));
    state_ = outer;
    textMatrix_ = outerText;
    lineMatrix_ = outerLine;
}

const TextFont &PageTextLayout::MissingFont() {
    if (missingFont_ == nullptr)
        missingFont_ = std::make_unique<TextFont>(nullptr);
    return *missingFont_;
}

void PageTextLayout::MoveLine(double tx, double ty) {
    lineMatrix_ = Multiply({1, 0, 0, 1, tx, ty}, lineMatrix_);
    textMatrix_ = lineMatrix_;
}

PageTextLayout::Matrix PageTextLayout::TextToDevice() const { return Multiply(textMatrix_, state_.ctm); }

void PageTextLayout::Show(const CString &string) {
    // Text shown before any "Tf", or in a font the resources lack.
    const TextFont &font = state_.font != nullptr ? *state_.font : MissingFont();
    const std::vector<TextFont::Glyph> glyphs = font.Decode(string.Value());
    if (glyphs.empty())
        return;

    const Matrix start = TextToDevice();
    auto apply = [](const Matrix &m, double x, double y) {
        return Point{x * m[0] + y * m[2] + m[4], x * m[1] + y * m[3] + m[5]};
    };
    auto length = [](const Matrix &m, double x, double y) {
        return std::hypot(x * m[0] + y * m[2], x * m[1] + y * m[3]);
    };
    const double size = std::abs(state_.fontSize) * length(start, 0, 1);
    const double space = std::clamp(font.SpaceWidth(), 0.2, 0.6) * std::abs(state_.fontSize) *
                         std::abs(state_.horizontalScale) * length(start, 1, 0);
    Point direction = font.Vertical() ? Point{-start[2], -start[3]} : Point{start[0], start[1]};
    if (state_.fontSize * (font.Vertical() ? 1 : state_.horizontalScale) < 0) {
        direction.x = -direction.x;
        direction.y = -direction.y;
    }
    Separate(apply(start, 0, state_.rise), size, space, direction);

    for (const TextFont::Glyph &glyph : glyphs) {
        Append(glyph.text);
        const double spacing = state_.charSpacing + (glyph.wordSpace ? state_.wordSpacing : 0);
        if (font.Vertical()) {
            const double ty = -glyph.width * state_.fontSize + spacing;
            textMatrix_ = Multiply({1, 0, 0, 1, 0, ty}, textMatrix_);
        } else {
            const double tx = (glyph.width * state_.fontSize + spacing) * state_.horizontalScale;
            textMatrix_ = Multiply({1, 0, 0, 1, tx, 0}, textMatrix_);
        }
    }
    shownBefore_ = true;
    lastEnd_ = apply(TextToDevice(), 0, state_.rise);
    lastSize_ = size;
}

// Decides from where the string starts, against where the last one ended,
// whether a blank or a line break comes between them.
void PageTextLayout::Separate(Point start, double size, double space, Point direction) {
    if (!shownBefore_)
        return;
    const double norm = std::hypot(direction.x, direction.y);
    if (norm == 0 || !std::isfinite(norm))
        return;
    const double dx = start.x - lastEnd_.x;
    const double dy = start.y - lastEnd_.y;
    const double along = (dx * direction.x + dy * direction.y) / norm;
    const double across = std::abs(dx * direction.y - dy * direction.x) / norm;
    const double lineSize = std::max(size, lastSize_);
    if (across > kLineShiftPart * lineSize)
        pending_ = Gap::LineBreak;
    else if ((along > kWordGapPart * space || along < -lineSize) && pending_ == Gap::None)
        pending_ = Gap::Blank;
}

void PageTextLayout::Append(const std::u16string &text) {
    if (text.empty())
        return;
    if (pending_ == Gap::LineBreak)
        AppendLineBreak();
    else if (pending_ == Gap::Blank)
        AppendBlank();
    pending_ = Gap::None;
    // A line starts with its first visible character, and a blank that
    // follows a gap taken for one is not doubled.
    if (text != u" " || (!text_.empty() && text_.back() != u'\n' && text_.back() != u' '))
        text_ += text;
}

void PageTextLayout::AppendBlank() {
    if (!text_.empty() && text_.back() != u' ' && text_.back() != u'\n')
        text_.push_back(u' ');
}

void PageTextLayout::AppendLineBreak() {
    while (!text_.empty() && text_.back() == u' ')
        text_.pop_back();
    if (!text_.empty() && text_.back() != u'\n')
        text_ += u"\r\n";
}

}  // namespace ZavorPdf::Pdf::Content
