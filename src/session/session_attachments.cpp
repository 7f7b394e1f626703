// What a document gets besides line drawings: pictures in the target box,
// invisible link areas, notes, bookmarks and passwords.
#include <cstdint>
#include <memory>
#include <string>

#include "drawing/x_color.h"
#include "drawing/x_graphics.h"
#include "drawing/x_image.h"
#include "drawing/x_rect.h"
#include "pdf/errors.h"
#include "pdf/pdf_annotations.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_outline.h"
#include "pdf/pdf_outline_collection.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_rectangle.h"
#include "pdf/pdf_rgb_color.h"
#include "pdf/pdf_security_settings.h"
#include "pdf/pdf_text_annotation.h"
#include "plugin/number_text.h"
#include "session/pdf.h"

namespace ZavorPlugin {

namespace {

using ZavorPdf::Drawing::XColor;
using ZavorPdf::Drawing::XGraphics;
using ZavorPdf::Drawing::XImage;
using ZavorPdf::Drawing::XRect;
using ZavorPdf::Pdf::PdfRectangle;
using ZavorPdf::Pdf::PdfRgbColor;

constexpr std::u16string_view kLinkFailure = u"Der Link konnte wegen fehlerhafter Werte nicht erstellt werden.";

// Annotations live in the page's default space (origin bottom-left, y up);
// the box is given in drawing coordinates with the context's rotation,
// shear and scale in force.
PdfRectangle DefaultPageRectangle(const std::unique_ptr<XGraphics> &gfx, const XRect &drawingRect) {
    if (!gfx) throw ZavorPdf::InvalidOperationException("No page is open for drawing.");
    XRect area = gfx->WorldToDefaultPage(drawingRect);
    return PdfRectangle(area.X(), area.Y(), area.X() + area.Width(), area.Y() + area.Height());
}

// A whole number as the host's conversions read one: white space around it
// and a sign allowed, nothing else.
std::int32_t WholeNumber(std::u16string_view text) {
    if (std::optional<std::int32_t> number = TryParseStrictInteger(text)) return *number;
    throw ZavorPdf::ArgumentException("Input string was not in a correct format.", "value");
}

}  // namespace

void PDF::AddPicture(std::u16string_view filename) {
    // Without an open page (a failed page selection) the picture itself may
    // be fine: that is the object's failure, not the file's.
    if (!gfx) {
        return ReportFailure(u"Das Bild \"" + std::u16string(filename) +
                                 u"\" konnte wegen fehlerhafter Werte nicht eingef\u00fcgt werden.",
                             kObjectFailureEvent);
    }
    try {
        std::unique_ptr<XImage> image = XImage::FromFile(filename);
        // Stretched into the box whatever the picture's own proportions.
        gfx->DrawImage(*image, XRect(BoxX, BoxY, BoxB, BoxH));
    } catch (...) {
        ReportFailure(u"Das Bild \"" + std::u16string(filename) + u"\" konnte nicht eingelesen werden.",
                      kFileFailureEvent);
    }
}

void PDF::AddLink(std::u16string_view name, std::int32_t typ) {
    if (!gfx) return ReportFailure(std::u16string(kLinkFailure), kObjectFailureEvent);
    // Outside the guard: a rectangle that cannot be placed is the caller's
    // failure.
    PdfRectangle rect = DefaultPageRectangle(gfx, XRect(BoxX, BoxY, BoxB, BoxH));
    try {
        switch (typ) {
        case 1:
            page->AddDocumentLink(rect, WholeNumber(name));
            break;
        case 2:
            page->AddFileLink(rect, std::u16string(name));
            break;
        case 3:
            page->AddWebLink(rect, std::u16string(name));
            break;
        default:
            break;
        }
    } catch (...) {
        ReportFailure(std::u16string(kLinkFailure), kObjectFailureEvent);
    }
}

void PDF::AddNotice(std::u16string_view titel, std::u16string_view subject, std::u16string_view icon,
                    std::u16string_view text) {
    if (!gfx) {
        return ReportFailure(u"Die Notiz konnte wegen fehlerhafter Werte nicht erstellt werden.", kObjectFailureEvent);
    }
    // Not guarded: a bad icon number or colour reaches the caller's catch-all.
    auto note = std::make_unique<ZavorPdf::Pdf::PdfTextAnnotation>(document.get());
    note->SetTitle(std::u16string(titel));
    note->SetSubject(std::u16string(subject));
    note->SetContents(std::u16string(text));
    note->SetIcon(static_cast<ZavorPdf::Pdf::PdfTextAnnotationIcon>(WholeNumber(icon)));
    note->SetColor(PdfRgbColor::From(XColor::FromArgb(ColA, ColR, ColG, ColB)));
    // Right and bottom edge where the rectangle takes width and height:
    // scripts have always placed their notes with this larger area.
    note->SetRectangle(DefaultPageRectangle(gfx, XRect(BoxX, BoxY, BoxX + BoxB, BoxY + BoxH)));
    page->Annotations().Add(std::move(note));
}

void PDF::AddBookmark(std::u16string_view name, bool isSub) {
    // After a failed page selection the old page is still known, but the
    // script did not ask for it.
    if (!gfx) {
        return ReportFailure(u"Das Lesezeichen konnte wegen fehlerhafter Werte nicht erstellt werden.",
                             kObjectFailureEvent);
    }
    if (isSub && outline != nullptr) {
        outline->Outlines().Add(std::u16string(name), page, true);
        return;
    }
    // A second-level bookmark without a top-level one becomes top-level,
    // so that the script's later second-level bookmarks have a home.
    XColor color = XColor::FromArgb(ColA, ColR, ColG, ColB);
    outline = &document->Outlines().Add(std::u16string(name), page, true, ZavorPdf::Pdf::PdfOutlineStyle::Italic,
                                        PdfRgbColor::From(color));
}

void PDF::AddPassword(std::u16string_view pass, std::int32_t typ) {
    // Setting a password, even an empty one, is what asks for an encrypted
    // file.
    ZavorPdf::Pdf::PdfSecuritySettings &security = document->SecuritySettings();
    try {
        if (typ == 1) {
            security.SetOwnerPassword(std::u16string(pass));
        } else if (typ == 2) {
            security.SetUserPassword(std::u16string(pass));
        }
    } catch (const ZavorPdf::ArgumentException &) {
        // A character that no reader can turn into the password's bytes.
        // The script still asked for encryption: without another password
        // the next save fails instead of writing an unprotected file.
        if (security.DocumentSecurityLevel() == ZavorPdf::Pdf::PdfDocumentSecurityLevel::None)
            security.SetDocumentSecurityLevel(ZavorPdf::Pdf::PdfDocumentSecurityLevel::Encrypted128Bit);
        ReportFailure(u"Das Passwort konnte wegen fehlerhafter Werte nicht gesetzt werden.", kObjectFailureEvent);
    }
}

}  // namespace ZavorPlugin
