// Text on the current page: the font from the script's settings, text laid
// out in the target box, and the two alignments (the formatter's for printed
// text, the string format's for text outlines in effects).
#include "drawing/fonts/x_font.h"
#include "drawing/x_brush.h"
#include "drawing/x_pen.h"
#include "drawing/x_text_formatter.h"
#include "pdf/errors.h"
#include "session/pdf.h"

namespace ZavorPlugin {

using ZavorPdf::Drawing::XLineAlignment;
using ZavorPdf::Drawing::XParagraphAlignment;
using ZavorPdf::Drawing::XPen;
using ZavorPdf::Drawing::XStringAlignment;

void PDF::MkFont() {
    try {
        // A box per line makes the same font line after line: the font made
        // last is kept while its family, size and style stay the same.
        const bool same = font_ != nullptr && font_->RequestedFamilyName() == fontname &&
                          font_->Size() == static_cast<double>(fontsize) && font_->Style() == fontstyle;
        if (!same) font_ = std::make_unique<ZavorPdf::Drawing::XFont>(fontname, static_cast<double>(fontsize), fontstyle);
        firstFontPending_ = false;
    } catch (...) {
        ReportFailure(u"Die Schriftart konnte wegen fehlerhafter Werte nicht erzeugt werden.", kObjectFailureEvent);
    }
}

void PDF::AddText(std::u16string_view text) {
    GuardFigure(u"Der Text konnte wegen fehlerhafter Werte nicht erstellt werden.", [&] {
        // Made in both branches, so that a bad colour fails the text even
        // when it would be printed with the text brush.
        XPen pen = MakePen(1);
        if (effect_typ != 0) return SetTemplate(Figure::Text, pen, text, 0, 0, {});
        Graphics();
        const ZavorPdf::Drawing::XFont *font = TextFont();
        if (font == nullptr) throw ZavorPdf::InvalidOperationException("No font has been made for the text.");
        tf->DrawString(text, *font, *fontcolor, Box());
    });
}

void PDF::SetTextAlign(std::int32_t mode) {
    // Without an open context there is no formatter to align; the next one
    // starts left-aligned anyway.
    auto paragraph = [this](XParagraphAlignment alignment) {
        if (tf) tf->SetAlignment(alignment);
    };
    switch (mode) {
    case 1:
        format.SetAlignment(XStringAlignment::Near);
        paragraph(XParagraphAlignment::Left);
        break;
    case 2:
        format.SetAlignment(XStringAlignment::Center);
        paragraph(XParagraphAlignment::Center);
        break;
    case 3:
        format.SetAlignment(XStringAlignment::Far);
        paragraph(XParagraphAlignment::Right);
        break;
    case 4: paragraph(XParagraphAlignment::Justify); break;
    case 5: format.SetLineAlignment(XLineAlignment::Near); break;
    case 6: format.SetLineAlignment(XLineAlignment::Center); break;
    case 7: format.SetLineAlignment(XLineAlignment::Far); break;
    default: break;
    }
}

}  // namespace ZavorPlugin
