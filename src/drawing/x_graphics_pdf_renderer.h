// Turns the drawing calls of an XGraphics into PDF content-stream operators
// in one growing text buffer, and hands the buffer to the page's content
// stream when asked.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/fonts/pdf_font.h"
#include "drawing/fonts/x_font.h"
#include "drawing/pdf_graphics_state.h"
#include "drawing/x_graphics_path.h"
#include "drawing/x_matrix.h"
#include "drawing/x_pen.h"
#include "drawing/x_rect.h"
#include "pdf/pdf_content.h"
#include "pdf/pdf_document_options.h"
#include "pdf/pdf_ext_gstate.h"
#include "pdf/pdf_resources.h"

namespace ZavorPdf::Pdf {
class PdfDocument;
class PdfPage;
}  // namespace ZavorPdf::Pdf

namespace ZavorPdf::Drawing {

enum class XPageDirection { Downwards = 0, Upwards = 1 };

class XGraphicsPdfRenderer final : public Pdf::PdfContentRenderer {
public:
    enum class StreamMode { Graphic = 0, Text = 1 };

    // Writes into `content`, a stream of the page; both must outlive the
    // renderer. `defaultViewMatrix` maps drawing coordinates to PDF user
    // space and is written by the first drawing call.
    XGraphicsPdfRenderer(Pdf::PdfPage &page, Pdf::PdfContent &content, const XMatrix &defaultViewMatrix,
                         XPageDirection direction);
    ~XGraphicsPdfRenderer() override;
    XGraphicsPdfRenderer(const XGraphicsPdfRenderer &) = delete;
    XGraphicsPdfRenderer &operator=(const XGraphicsPdfRenderer &) = delete;

    // Pens and brushes may be null where the call allows (one of them must
    // be given for closed figures; the caller checks).
    void DrawLines(const XPen &pen, std::span<const XPoint> points);
    void DrawBeziers(const XPen &pen, std::span<const XPoint> points);
    void DrawCurve(const XPen &pen, std::span<const XPoint> points, double tension);
    void DrawArc(const XPen &pen, const XRect &rect, double startAngle, double sweepAngle);
    void DrawRectangles(const XPen *pen, const XBrush *brush, std::span<const XRect> rects);
    void DrawEllipse(const XPen *pen, const XBrush *brush, const XRect &rect);
    void DrawPolygon(const XPen *pen, const XBrush *brush, std::span<const XPoint> points, XFillMode fillMode);
    void DrawPie(const XPen *pen, const XBrush *brush, const XRect &rect, double startAngle, double sweepAngle);
    void DrawClosedCurve(const XPen *pen, const XBrush *brush, std::span<const XPoint> points, double tension,
                         XFillMode fillMode);
    void DrawPath(const XPen *pen, const XBrush *brush, const XGraphicsPath &path);

    // `stateId` names the XGraphics state that the new level belongs to.
    void Save(int stateId);
    // Closes levels up to and including the one of `stateId`.
    void Restore(int stateId);
    void SetWorldTransform(const XMatrix &world);
    void IntersectClip(const XGraphicsPath &path);
    void WriteComment(std::string_view text);

    // Text: selects the font and the brush inside a text object (opened
    // when needed; the next graphic call closes it), then shows the
    // already encoded operand with its baseline starting at `position`: a
    // string ("(...)" or "<...>") with "Tj", or an array of strings and
    // offsets ("[...]") with "TJ". `resource` is FontResource's for the font.
    void DrawText(const XFont &font, const Pdf::Advanced::PdfFont &resource, const XBrush &brush,
                  const XPoint &position, std::string_view operand);
    // The document's font resource for the font, with the characters of
    // the text recorded in it.
    Pdf::Advanced::PdfFont &FontResource(const XFont &font, std::u16string_view text);
    // The font's resource without recording any characters.
    Pdf::Advanced::PdfFont &FontResource(const XFont &font);

    // A text object is opened by BeginTextMode and ends with the next
    // graphic call (or EndTextMode). Realize(pen, brush) with neither gives
    // the state a graphic call needs before its own operators.
    void BeginTextMode();
    void EndTextMode();
    void Realize(const XPen *pen, const XBrush *brush);
    StreamMode Mode() const { return streamMode_; }
    PdfGraphicsState &GraphicsState() { return gfxState_; }
    // A resource name of the page for the object ("/F0", "/GS1" ...).
    std::string ResourceName(Pdf::ResourceKind kind, const Pdf::PdfObject &object);

    std::string &Content() { return content_; }
    const std::string &Content() const { return content_; }
    Pdf::PdfDocument &Document() const { return *document_; }
    Pdf::PdfColorMode ColorMode() const;
    std::string ExtGStateName(Pdf::PdfExtGState::AlphaKind kind, double alpha);
    // Number of "q" levels open.
    int Depth() const { return static_cast<int>(gfxStateStack_.size()); }

    // The content as it would be stored now: open text object and levels
    // closed, one byte per character.
    std::vector<std::uint8_t> Snapshot() const;
    // Called before the stream is written: stores the snapshot. Drawing can
    // go on afterwards.
    void Close() override;
    // Stores the snapshot for good, compressed when the document compresses
    // its content streams, and lets go of the content stream.
    void Dispose();
    bool IsDisposed() const { return contentStream_ == nullptr; }

private:
    void BeginPage();
    void RealizeTransform();
    void RealizeFont(const XFont &font, const Pdf::Advanced::PdfFont &resource);
    void Push();
    void Pop();
    void AppendPoint(double x, double y, int decimals, const char *op);
    void AppendCurve(const XPoint &p1, const XPoint &p2, const XPoint &p3, int decimals);
    void AppendArc(const XRect &rect, double startAngle, double sweepAngle, int start);
    void AppendPath(const XGraphicsPath &path);
    void AppendStrokeFill(const XPen *pen, const XBrush *brush, XFillMode fillMode, bool closePath);
    void CheckOpen() const;

    Pdf::PdfPage *page_;              // non-owning
    Pdf::PdfDocument *document_;      // non-owning
    Pdf::PdfContent *contentStream_;  // non-owning; null once disposed
    XMatrix defaultViewMatrix_;
    XPageDirection direction_;
    std::string content_;
    StreamMode streamMode_ = StreamMode::Graphic;
    PdfGraphicsState gfxState_;
    std::vector<PdfGraphicsState> gfxStateStack_;
    // The page's name for the font resource met last: a page draws line
    // after line in one font, and the name never changes once given.
    const Pdf::Advanced::PdfFont *namedFont_ = nullptr;  // non-owning
    std::string namedFontName_;
};

}  // namespace ZavorPdf::Drawing
