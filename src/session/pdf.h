// The session: the one document a script builds, its current page with the
// page's graphics context, the template of the next page, and the drawing
// state that scripts set one variable at a time. Commands and variables act
// on the document only through it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/x_color.h"
#include "drawing/x_graphics_path.h"
#include "drawing/x_pen.h"
#include "drawing/x_point.h"
#include "drawing/x_rect.h"
#include "drawing/x_string_format.h"
#include "drawing/fonts/x_font_style.h"
#include "session/external_file_cache.h"

namespace ZavorPdf::Pdf {
class PdfDocument;
class PdfPage;
class PdfOutline;
}  // namespace ZavorPdf::Pdf

namespace ZavorPdf::Drawing {
class XBrush;
class XFont;
class XGraphics;
class XPen;
class XTextFormatter;
}  // namespace ZavorPdf::Drawing

namespace ZavorPlugin {

class PDF {
public:
    // The events through which a failing operation tells the script.
    static constexpr std::u16string_view kObjectFailureEvent = u"ZAVOR_ObjektFehler";
    static constexpr std::u16string_view kFileFailureEvent = u"ZAVOR_DateiFehler";

    // The session, built with its defaults when there is none.
    static PDF &GetInstance();
    // Whether a session exists (tests and QnD_Stop ask).
    static bool HasInstance();
    // Drops the session without saving or closing anything. While an export
    // runs, the session is only retired: code of that export may still hold
    // it, so it lives on until the outermost export returns.
    static void Kill();
    // Frees the retired sessions; the outermost export calls it on return.
    static void ReleaseRetired() noexcept;

    ~PDF();
    PDF(const PDF &) = delete;
    PDF &operator=(const PDF &) = delete;

    // Document lifecycle. AddPage refuses a template that no viewer would
    // show with its own message and event; its other failures reach the
    // caller.
    void AddPage();
    void SetActivePage(std::int32_t pagenbr);
    void SavePDF(std::u16string_view filename);
    void GetConst(std::u16string_view Constname, std::int32_t typ);
    void AddInput(std::int32_t typ);

    // Colour, pen and shapes.
    void MkColor();
    void SetDotStyle(std::int32_t typ);
    void AddLine(std::int32_t Strongsize);
    void AddRect(std::int32_t StrongSize);
    void AddRoundedRect(std::int32_t StrongSize, double roundedX, double roundedY);
    void AddEllipse(std::int32_t Strongsize);
    void AddPie(std::int32_t Strong, double startangle, double endangle);
    void AddArc(std::int32_t Strong, double startangle, double endangle);
    void AddPolygon(std::int32_t Strongsize, const std::vector<std::u16string> &points);
    void AddRotate(std::int32_t degree);
    void AddShear(double X, double Y);
    void AddScale(double X, double Y);

    // Text.
    void MkFont();
    // The font texts are printed in, null when none could be made. The
    // session's first one (Arial, 12 pt, regular) is made when a text first
    // needs it: a script that prints no text never waits for the system's
    // fonts.
    const ZavorPdf::Drawing::XFont *TextFont() const;
    void AddText(std::u16string_view text);
    void SetTextAlign(std::int32_t mode);

    // Pictures, links, notes, bookmarks, passwords (session_attachments.cpp).
    void AddPicture(std::u16string_view filename);
    void AddLink(std::u16string_view name, std::int32_t typ);
    void AddNotice(std::u16string_view titel, std::u16string_view subject, std::u16string_view icon,
                   std::u16string_view text);
    void AddBookmark(std::u16string_view name, bool isSub);
    void AddPassword(std::u16string_view pass, std::int32_t typ);

    // External PDF files (session_external_files.cpp).
    void AddPDF(std::u16string_view file, std::int32_t from, std::int32_t to);
    std::u16string GetPDFInfo(std::u16string_view file, std::int32_t typ);
    std::u16string GetPDFText(std::u16string_view file, std::int32_t part);
    // Tried, after the empty one, on every external file opened from now
    // on; an empty text forgets it.
    void SetExternalPassword(std::u16string_view password);

    // Host variables substituted by the host ("Subst").
    std::u16string ResolveQNVar(std::u16string_view var);

    // Stores the message in fehlertext, then raises the event through the
    // host; never throws. Inside an export both wait until the export's body
    // has finished, so that the script's handler never runs while an
    // operation is under way.
    void ReportFailure(std::u16string message, std::u16string_view eventName) noexcept;

    // Drawing state set by commands and variables.
    std::int32_t ColA = 50, ColR = 50, ColG = 50, ColB = 50;
    std::int32_t BoxX = 10, BoxY = 10, BoxB = 400, BoxH = 200;
    bool brushme = false;
    ZavorPdf::Drawing::XDashStyle Dstyle = ZavorPdf::Drawing::XDashStyle::Dash;
    std::int32_t effect_typ = 0;
    std::int32_t effect_mod1 = 0, effect_mod2 = 0;
    std::u16string modfilename;
    std::u16string fontname;
    std::int32_t fontsize = 0;
    ZavorPdf::Drawing::XFontStyle fontstyle = ZavorPdf::Drawing::XFontStyle::Regular;
    ZavorPdf::Drawing::XStringFormat format;
    std::u16string fehlertext;

    // The document and its pages. The session owns the document, the
    // template page, the graphics context and its text formatter; page
    // points into the document.
    std::unique_ptr<ZavorPdf::Pdf::PdfDocument> document;
    std::unique_ptr<ZavorPdf::Pdf::PdfPage> vpage;
    ZavorPdf::Pdf::PdfPage *page = nullptr;
    std::unique_ptr<ZavorPdf::Drawing::XGraphics> gfx;
    std::unique_ptr<ZavorPdf::Drawing::XTextFormatter> tf;
    std::unique_ptr<ZavorPdf::Drawing::XBrush> fontcolor;
    // The last top-level bookmark; owned by the document's outline tree.
    ZavorPdf::Pdf::PdfOutline *outline = nullptr;

private:
    std::u16string externalPassword_;
    // The formatter of the last closed context, kept for the next page's
    // context so that its block storage is not made anew for every page.
    // It points to no context while it waits.
    std::unique_ptr<ZavorPdf::Drawing::XTextFormatter> spareFormatter_;
    mutable std::unique_ptr<ZavorPdf::Drawing::XFont> font_;
    mutable bool firstFontPending_ = true;
    // The external file read last; it lives and dies with the session.
    ExternalFileCache externalFile_;

    // What an effect clips to; the numbers are those scripts know.
    enum class Figure { Text = 0, Rectangle = 1, RoundedRectangle = 2, Line = 3, Ellipse = 4, Pie = 5, Arc = 6,
                        Polygon = 7 };

    PDF();

    // Closes the context of the current page (writing its content into the
    // page) and drops it with its formatter; never fails.
    void CloseGraphics() noexcept;
    // A context with its formatter for the page; nothing changes on failure.
    void OpenGraphics(ZavorPdf::Pdf::PdfPage &target);
    // The open context; fails when no page is open for drawing.
    ZavorPdf::Drawing::XGraphics &Graphics();

    ZavorPdf::Drawing::XColor DrawingColor() const;
    ZavorPdf::Drawing::XRect Box() const;
    ZavorPdf::Drawing::XPen MakePen(std::int32_t width) const;
    // Runs a figure; any failure becomes the message and the object event.
    // The message is a literal, counted out only when it is needed.
    template <typename Body>
    void GuardFigure(const char16_t *message, Body &&body) noexcept {
        try {
            body();
        } catch (...) {
            ReportFailure(std::u16string(message), kObjectFailureEvent);
        }
    }
    static std::vector<ZavorPdf::Drawing::XPoint> PolygonPoints(const std::vector<std::u16string> &elements);

    // The effect: clips to the figure and draws the pattern of effect_typ
    // inside it; the graphics state is restored also when it fails.
    void SetTemplate(Figure typ, ZavorPdf::Drawing::XPen &pen, std::u16string_view text, double roundedX,
                     double roundedY, const std::vector<ZavorPdf::Drawing::XPoint> &pointlist);
    ZavorPdf::Drawing::XGraphicsPath FigurePath(Figure figure, std::u16string_view text, double roundedX,
                                                double roundedY,
                                                const std::vector<ZavorPdf::Drawing::XPoint> &pointlist) const;
    void DrawEffect(ZavorPdf::Drawing::XGraphics &graphics, ZavorPdf::Drawing::XPen &pen);
    void DrawRadialLines(ZavorPdf::Drawing::XGraphics &graphics, ZavorPdf::Drawing::XPen &pen);
    void DrawHorizontalLines(ZavorPdf::Drawing::XGraphics &graphics, const ZavorPdf::Drawing::XPen &pen,
                             std::int32_t spacing);
    void DrawVerticalLines(ZavorPdf::Drawing::XGraphics &graphics, const ZavorPdf::Drawing::XPen &pen,
                           std::int32_t spacing);
    void DrawEffectPicture(ZavorPdf::Drawing::XGraphics &graphics);
};

}  // namespace ZavorPlugin
