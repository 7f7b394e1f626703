#include "session/pdf.h"

#include <cstdint>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "drawing/fonts/x_font.h"
#include "drawing/x_color.h"
#include "drawing/x_graphics.h"
#include "drawing/x_solid_brush.h"
#include "drawing/x_text_formatter.h"
#include "pdf/errors.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"
#include "platform/code_page.h"
#include "platform/message_box.h"
#include "plugin/export_scope.h"
#include "plugin/host_callback.h"
#include "plugin/number_text.h"

namespace ZavorPlugin {
namespace {

using ZavorPdf::Drawing::XColor;
using ZavorPdf::Drawing::XFont;
using ZavorPdf::Drawing::XGraphics;
using ZavorPdf::Drawing::XLineAlignment;
using ZavorPdf::Drawing::XPageDirection;
using ZavorPdf::Drawing::XSolidBrush;
using ZavorPdf::Drawing::XStringAlignment;
using ZavorPdf::Drawing::XTextFormatter;
using ZavorPdf::Pdf::PageSize;
using ZavorPdf::Pdf::PdfDocument;
using ZavorPdf::Pdf::PdfPage;

std::unique_ptr<PDF> m_hInstance;
// Sessions dropped while an export ran, oldest first.
std::vector<std::unique_ptr<PDF>> retiredInstances;

std::u16string Decimal(std::int64_t value) { return ZavorPlatform::Utf8ToUtf16(std::to_string(value)); }

char16_t AsciiUpper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool IsPageSizeCode(std::int64_t code) {
    return (code >= 1 && code <= 18) || (code >= 100 && code <= 117) || (code >= 120 && code <= 122);
}

// The code that a size name stands for: A0-A17 count from A0 through the RA
// and B series, B0-B5 from B0, X1-X21 through the named paper sizes (whose
// codes skip 118 and 119). Nothing for anything else.
std::optional<std::int64_t> PageSizeCode(std::u16string_view name) {
    std::u16string upper(name);
    for (char16_t &c : upper) c = AsciiUpper(c);
    std::int64_t offset;
    if (upper.find(u'A') != std::u16string::npos)
        offset = 1;
    else if (upper.find(u'B') != std::u16string::npos)
        offset = 13;
    else if (upper.find(u'X') != std::u16string::npos)
        offset = 99;
    else
        return std::nullopt;
    std::optional<std::int32_t> number = TryParseStrictInteger(std::u16string_view(upper).substr(1));
    if (!number) return std::nullopt;
    // In 64 bits: the number may be as large as the 32-bit range allows.
    const std::int64_t value = *number;
    std::int64_t code = value + offset;
    if (offset == 99 && code > 117) code = value + 101;
    if (!IsPageSizeCode(code)) return std::nullopt;
    return code;
}

}  // namespace

PDF::PDF()
    : document(std::make_unique<PdfDocument>()),
      vpage(std::make_unique<PdfPage>()),
      fontcolor(std::make_unique<XSolidBrush>(XColor::FromArgb(255, 0, 0, 255))) {
    format.SetAlignment(XStringAlignment::Center);
    format.SetLineAlignment(XLineAlignment::Near);
}

const XFont *PDF::TextFont() const {
    if (std::exchange(firstFontPending_, false)) {
        try {
            font_ = std::make_unique<XFont>(u"Arial", 12.0, ZavorPdf::Drawing::XFontStyle::Regular);
        } catch (const std::exception &) {
            // Without any installed font the session still runs; a text
            // then fails with its own message until a font can be made.
        }
    }
    return font_.get();
}

PDF::~PDF() {
    // The formatter draws through the graphics context, which writes into a
    // page of the document: they go first, in this order.
    tf.reset();
    gfx.reset();
}

PDF &PDF::GetInstance() {
    if (!m_hInstance) m_hInstance.reset(new PDF());
    return *m_hInstance;
}

bool PDF::HasInstance() { return m_hInstance != nullptr; }

void PDF::Kill() {
    if (!m_hInstance) return;
    if (ExportScope::Active()) {
        retiredInstances.push_back(std::move(m_hInstance));
        return;
    }
    m_hInstance.reset();
}

void PDF::ReleaseRetired() noexcept { retiredInstances.clear(); }

void PDF::CloseGraphics() noexcept {
    if (tf) spareFormatter_ = std::move(tf);
    if (gfx) {
        try {
            gfx->Dispose();
        } catch (...) {
            // Closing is best effort: whatever the context still held is lost
            // with it, and the next page must not be kept from starting.
        }
        gfx.reset();
    }
}

void PDF::OpenGraphics(PdfPage &target) {
    std::unique_ptr<XGraphics> graphics = XGraphics::FromPdfPage(
        &target, ZavorPdf::Drawing::XGraphicsPdfPageOptions::Append, ZavorPdf::Drawing::XGraphicsUnit::Point,
        XPageDirection::Downwards);
    std::unique_ptr<XTextFormatter> formatter = std::move(spareFormatter_);
    if (formatter)
        formatter->Rebind(*graphics);
    else
        formatter = std::make_unique<XTextFormatter>(*graphics);
    gfx = std::move(graphics);
    tf = std::move(formatter);
}

ZavorPdf::Drawing::XGraphics &PDF::Graphics() {
    if (!gfx) throw ZavorPdf::InvalidOperationException("No page is open for drawing.");
    return *gfx;
}

void PDF::AddPage() {
    CloseGraphics();
    // The next page starts from the default size again, also when the
    // document refuses this one.
    std::unique_ptr<PdfPage> templatePage = std::exchange(vpage, std::make_unique<PdfPage>());
    if (!templatePage->HasViewableSize()) {
        // No viewer would show the page. The closed context stays closed, so
        // what the script draws next does not land on the previous page.
        ReportFailure(u"Die Seite konnte wegen fehlerhafter Werte nicht erstellt werden.", kObjectFailureEvent);
        return;
    }
    PdfPage &added = document->AddPage(std::move(templatePage));
    page = &added;
    OpenGraphics(added);
}

void PDF::SetActivePage(std::int32_t pagenbr) {
    CloseGraphics();
    try {
        PdfPage &selected = document->Pages().PageAt(pagenbr);
        OpenGraphics(selected);
        page = &selected;
    } catch (...) {
        // The context stays closed: drawing fails with its own message until
        // a page is added or selected, instead of landing on a page the
        // script did not ask for.
        ReportFailure(u"Die Seite \"" + Decimal(pagenbr) + u"\" konnte nicht ausgew\u00e4hlt werden. Es sind aktuell " +
                          Decimal(document->PageCount()) + u" Seiten vorhanden!",
                      kObjectFailureEvent);
    }
}

void PDF::SavePDF(std::u16string_view filename) {
    try {
        document->Save(std::filesystem::path(std::u16string(filename)));
    } catch (...) {
        ReportFailure(u"Die PDF-Datei \"" + std::u16string(filename) + u"\" konnte nicht gespeichert werden.",
                      kFileFailureEvent);
    }
}

void PDF::GetConst(std::u16string_view Constname, std::int32_t) {
    std::optional<std::int64_t> code = PageSizeCode(Constname);
    try {
        vpage->SetSize(code ? static_cast<PageSize>(*code) : PageSize::A4);
    } catch (...) {
        vpage->SetSize(PageSize::A4);
    }
}

void PDF::AddInput(std::int32_t) {
    // Text fields need a form template that this plug-in does not carry; the
    // user learns that the field was not made, and the document stays as it
    // was.
    ZavorPlatform::ShowMessageBox(u"The resource \"pdf_template.pdf\" is not embedded in the plug-in.", u"",
                                  ZavorPlatform::MessageBoxIcon::None);
}

std::u16string PDF::ResolveQNVar(std::u16string_view var) { return ZavorPlugin::ResolveQNVar(var); }

void PDF::ReportFailure(std::u16string message, std::u16string_view eventName) noexcept {
    // A session that a script replaced meanwhile (through the host's answer
    // to "Subst") has nobody left to tell.
    if (m_hInstance.get() != this) return;
    try {
        if (ExportScope::Defer(message, eventName)) return;
        fehlertext = std::move(message);
        RaiseEvent(eventName);
    } catch (...) {
        // The message is stored; a host that fails to take the event cannot
        // be told anything more.
    }
}

}  // namespace ZavorPlugin
