#include "drawing/x_graphics_pdf_renderer.h"

#include "drawing/arc_approximation.h"
#include "drawing/fonts/pdf_font_table.h"
#include "drawing/fonts/pdf_font_tables.h"
#include "pdf/errors.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_number_format.h"
#include "pdf/pdf_page.h"

namespace ZavorPdf::Drawing {
namespace {

using Pdf::AppendReal;

// Decimals of the numbers the drawing calls write.
constexpr int kArcDecimals = 3;
constexpr int kShapeDecimals = 4;
constexpr int kLineDecimals = 3;

}  // namespace

XGraphicsPdfRenderer::XGraphicsPdfRenderer(Pdf::PdfPage &page, Pdf::PdfContent &content,
                                           const XMatrix &defaultViewMatrix, XPageDirection direction)
    : page_(&page), document_(page.Owner()), contentStream_(&content), defaultViewMatrix_(defaultViewMatrix),
      direction_(direction), gfxState_(this) {
    if (document_ == nullptr)
        throw InvalidOperationException("You cannot draw on a page that is not owned by a PdfDocument object.");
    content.SetRenderer(this);
}

XGraphicsPdfRenderer::~XGraphicsPdfRenderer() {
    if (contentStream_ != nullptr)
        contentStream_->SetRenderer(nullptr);
}

Pdf::PdfColorMode XGraphicsPdfRenderer::ColorMode() const { return document_->Options().ColorMode(); }

void XGraphicsPdfRenderer::CheckOpen() const {
    if (contentStream_ == nullptr)
        throw InvalidOperationException("The XGraphics object is already disposed.");
}

std::string XGraphicsPdfRenderer::ResourceName(Pdf::ResourceKind kind, const Pdf::PdfObject &object) {
    return Pdf::PdfResources::ForPage(*page_).Add(kind, object);
}

std::string XGraphicsPdfRenderer::ExtGStateName(Pdf::PdfExtGState::AlphaKind kind, double alpha) {
    // The page's own states first: looking through the whole document is
    // needed only for an alpha this page has not used yet.
    int key = Pdf::PdfExtGState::AlphaKey(alpha);
    Pdf::PdfResources resources = Pdf::PdfResources::ForPage(*page_);
    const char *subKey = Pdf::PdfResources::SubdictionaryKey(Pdf::ResourceKind::ExtGState);
    if (Pdf::PdfDictionary *states = resources.Dictionary().Elements().GetDictionary(subKey)) {
        for (const auto &entry : states->Elements().Entries()) {
            auto *state = dynamic_cast<Pdf::PdfExtGState *>(states->Elements().GetObject(entry.key));
            if (state != nullptr && state->Elements().Count() == 2 && state->KeyOf(kind) == key)
                return entry.key;
        }
    }
    return resources.Add(Pdf::ResourceKind::ExtGState, Pdf::PdfExtGState::ForAlpha(*document_, kind, alpha));
}

// ---- levels and modes -------------------------------------------------

void XGraphicsPdfRenderer::Push() {
    gfxStateStack_.push_back(gfxState_);
    gfxState_.InternalState = 0;
    gfxState_.Level = Depth();
}

void XGraphicsPdfRenderer::Pop() {
    content_ += "Q\n";
    gfxState_ = gfxStateStack_.back();
    gfxStateStack_.pop_back();
}

void XGraphicsPdfRenderer::BeginPage() {
    if (gfxState_.Level != 0)
        return;
    content_ += "q\n";
    for (double element : defaultViewMatrix_.GetElements()) {
        AppendReal(content_, element);
        content_ += ' ';
    }
    // The page is y-down: fonts are later selected with a negative size,
    // which turns glyphs by 180 degrees, and the mirrored horizontal scaling
    // sets them upright again.
    content_ += direction_ == XPageDirection::Downwards ? "cm -100 Tz\n" : "cm\n";
    Push();
}

void XGraphicsPdfRenderer::BeginTextMode() {
    CheckOpen();
    BeginPage();
    if (streamMode_ == StreamMode::Text)
        return;
    content_ += "BT\n";
    streamMode_ = StreamMode::Text;
    gfxState_.RealizedTextPosition = XPoint();
}

void XGraphicsPdfRenderer::EndTextMode() {
    if (streamMode_ != StreamMode::Text)
        return;
    content_ += "ET\n";
    streamMode_ = StreamMode::Graphic;
}

void XGraphicsPdfRenderer::RealizeTransform() {
    // The world transformation lives in a level of its own above the page's.
    if (gfxState_.Level == 1) {
        content_ += "q\n";
        Push();
    }
    gfxState_.RealizeCtm();
}

void XGraphicsPdfRenderer::Realize(const XPen *pen, const XBrush *brush) {
    CheckOpen();
    BeginPage();
    EndTextMode();
    RealizeTransform();
    if (pen != nullptr)
        gfxState_.RealizePen(*pen);
    if (brush != nullptr)
        gfxState_.RealizeBrush(*brush);
}

void XGraphicsPdfRenderer::Save(int stateId) {
    CheckOpen();
    BeginPage();
    EndTextMode();
    RealizeTransform();
    gfxState_.InternalState = stateId;
    content_ += "q\n";
    Push();
}

void XGraphicsPdfRenderer::Restore(int stateId) {
    CheckOpen();
    EndTextMode();
    // The page's own level (the first) is never closed here, whatever the
    // caller asks for.
    while (Depth() > 1) {
        bool found = gfxStateStack_.back().InternalState == stateId;
        Pop();
        if (found) {
            gfxState_.InternalState = 0;
            break;
        }
    }
}

void XGraphicsPdfRenderer::SetWorldTransform(const XMatrix &world) {
    CheckOpen();
    gfxState_.SetWorldTransform(world);
}

// ---- operators --------------------------------------------------------

void XGraphicsPdfRenderer::AppendPoint(double x, double y, int decimals, const char *op) {
    AppendReal(content_, x, decimals);
    content_ += ' ';
    AppendReal(content_, y, decimals);
    content_ += ' ';
    content_ += op;
    content_ += '\n';
}

void XGraphicsPdfRenderer::AppendCurve(const XPoint &p1, const XPoint &p2, const XPoint &p3, int decimals) {
    for (const XPoint *p : {&p1, &p2, &p3}) {
        AppendReal(content_, p->X(), decimals);
        content_ += ' ';
        AppendReal(content_, p->Y(), decimals);
        content_ += ' ';
    }
    content_ += "c\n";
}

void XGraphicsPdfRenderer::AppendArc(const XRect &rect, double startAngle, double sweepAngle, int start) {
    auto segments = ArcToBezierSegments(rect.X(), rect.Y(), rect.Width(), rect.Height(), startAngle, sweepAngle,
                                        static_cast<PathStart>(start), XMatrix());
    for (const BezierSegment &segment : segments) {
        const XPoint &first = segment.points[0];
        if (segment.start == PathStart::MoveTo1st)
            AppendPoint(first.X(), first.Y(), kArcDecimals, "m");
        else if (segment.start == PathStart::LineTo1st)
            AppendPoint(first.X(), first.Y(), kArcDecimals, "l");
        AppendCurve(segment.points[1], segment.points[2], segment.points[3], kArcDecimals);
    }
}

void XGraphicsPdfRenderer::AppendPath(const XGraphicsPath &path) {
    constexpr auto kClose = static_cast<std::uint8_t>(PathPointType::CloseSubpath);
    std::vector<XPoint> points = path.Points();
    const auto &types = path.Types();
    for (std::size_t i = 0; i < points.size(); ++i) {
        std::uint8_t type = types[i];
        switch (static_cast<PathPointType>(type & static_cast<std::uint8_t>(PathPointType::TypeMask))) {
        case PathPointType::Start: AppendPoint(points[i].X(), points[i].Y(), kShapeDecimals, "m"); break;
        case PathPointType::Line: AppendPoint(points[i].X(), points[i].Y(), kShapeDecimals, "l"); break;
        case PathPointType::Bezier:
            // A curve needs its two further points; a path cut short ends
            // with a line to its last point instead of reading past it.
            if (i + 2 >= points.size()) {
                AppendPoint(points.back().X(), points.back().Y(), kShapeDecimals, "l");
                i = points.size() - 1;
                type = types.back();
                break;
            }
            AppendCurve(points[i], points[i + 1], points[i + 2], kShapeDecimals);
            i += 2;
            type = types[i];
            break;
        default: throw ArgumentException("Unknown type of path point.", "path");
        }
        if ((type & kClose) != 0)
            content_ += "h\n";
    }
}

void XGraphicsPdfRenderer::AppendStrokeFill(const XPen *pen, const XBrush *brush, XFillMode fillMode,
                                            bool closePath) {
    if (closePath)
        content_ += "h ";
    bool winding = fillMode == XFillMode::Winding;
    if (pen != nullptr && brush != nullptr)
        content_ += winding ? "B\n" : "B*\n";
    else if (pen != nullptr)
        content_ += "S\n";
    else if (brush != nullptr)
        content_ += winding ? "f\n" : "f*\n";
}

// ---- drawing calls ----------------------------------------------------

void XGraphicsPdfRenderer::DrawLines(const XPen &pen, std::span<const XPoint> points) {
    Realize(&pen, nullptr);
    AppendPoint(points[0].X(), points[0].Y(), kLineDecimals, "m");
    for (std::size_t i = 1; i < points.size(); ++i)
        AppendPoint(points[i].X(), points[i].Y(), kLineDecimals, "l");
    content_ += "S\n";
}

void XGraphicsPdfRenderer::DrawBeziers(const XPen &pen, std::span<const XPoint> points) {
    Realize(&pen, nullptr);
    AppendPoint(points[0].X(), points[0].Y(), kShapeDecimals, "m");
    for (std::size_t i = 1; i + 2 < points.size(); i += 3)
        AppendCurve(points[i], points[i + 1], points[i + 2], kShapeDecimals);
    content_ += "S\n";
}

void XGraphicsPdfRenderer::DrawCurve(const XPen &pen, std::span<const XPoint> points, double tension) {
    DrawBeziers(pen, CardinalSplineToBeziers(points, tension, false));
}

void XGraphicsPdfRenderer::DrawClosedCurve(const XPen *pen, const XBrush *brush, std::span<const XPoint> points,
                                           double tension, XFillMode fillMode) {
    std::vector<XPoint> beziers = CardinalSplineToBeziers(points, tension, true);
    Realize(pen, brush);
    AppendPoint(beziers[0].X(), beziers[0].Y(), kShapeDecimals, "m");
    for (std::size_t i = 1; i + 2 < beziers.size(); i += 3)
        AppendCurve(beziers[i], beziers[i + 1], beziers[i + 2], kShapeDecimals);
    AppendStrokeFill(pen, brush, fillMode, true);
}

void XGraphicsPdfRenderer::DrawArc(const XPen &pen, const XRect &rect, double startAngle, double sweepAngle) {
    Realize(&pen, nullptr);
    AppendArc(rect, startAngle, sweepAngle, static_cast<int>(PathStart::MoveTo1st));
    content_ += "S\n";
}

void XGraphicsPdfRenderer::DrawRectangles(const XPen *pen, const XBrush *brush, std::span<const XRect> rects) {
    Realize(pen, brush);
    for (const XRect &rect : rects) {
        for (double value : {rect.X(), rect.Y(), rect.Width(), rect.Height()}) {
            AppendReal(content_, value);
            content_ += ' ';
        }
        content_ += "re\n";
        AppendStrokeFill(pen, brush, XFillMode::Winding, false);
    }
}

void XGraphicsPdfRenderer::DrawEllipse(const XPen *pen, const XBrush *brush, const XRect &rect) {
    Realize(pen, brush);
    double rx = rect.Width() / 2, ry = rect.Height() / 2;
    double xc = rect.X() + rx, yc = rect.Y() + ry;
    double fx = kBezierCircleConstant * rx, fy = kBezierCircleConstant * ry;
    constexpr int d = kShapeDecimals;
    AppendPoint(xc + rx, yc, d, "m");
    AppendCurve({xc + rx, yc + fy}, {xc + fx, yc + ry}, {xc, yc + ry}, d);
    AppendCurve({xc - fx, yc + ry}, {xc - rx, yc + fy}, {xc - rx, yc}, d);
    AppendCurve({xc - rx, yc - fy}, {xc - fx, yc - ry}, {xc, yc - ry}, d);
    AppendCurve({xc + fx, yc - ry}, {xc + rx, yc - fy}, {xc + rx, yc}, d);
    AppendStrokeFill(pen, brush, XFillMode::Winding, true);
}

void XGraphicsPdfRenderer::DrawPolygon(const XPen *pen, const XBrush *brush, std::span<const XPoint> points,
                                       XFillMode fillMode) {
    Realize(pen, brush);
    AppendPoint(points[0].X(), points[0].Y(), kShapeDecimals, "m");
    for (std::size_t i = 1; i < points.size(); ++i)
        AppendPoint(points[i].X(), points[i].Y(), kShapeDecimals, "l");
    AppendStrokeFill(pen, brush, fillMode, true);
}

void XGraphicsPdfRenderer::DrawPie(const XPen *pen, const XBrush *brush, const XRect &rect, double startAngle,
                                   double sweepAngle) {
    Realize(pen, brush);
    AppendPoint(rect.X() + rect.Width() / 2, rect.Y() + rect.Height() / 2, kShapeDecimals, "m");
    AppendArc(rect, startAngle, sweepAngle, static_cast<int>(PathStart::LineTo1st));
    AppendStrokeFill(pen, brush, XFillMode::Alternate, true);
}

void XGraphicsPdfRenderer::DrawPath(const XPen *pen, const XBrush *brush, const XGraphicsPath &path) {
    // An empty path has nothing to paint, and a painting operator without
    // a path is an error in the stream.
    if (path.PointCount() == 0)
        return;
    Realize(pen, brush);
    AppendPath(path);
    AppendStrokeFill(pen, brush, path.FillMode(), false);
}

void XGraphicsPdfRenderer::IntersectClip(const XGraphicsPath &path) {
    CheckOpen();
    BeginPage();
    EndTextMode();
    RealizeTransform();
    if (path.PointCount() == 0)
        // Clipping to nothing leaves no area at all.
        content_ += "0 0 0 0 re\n";
    else
        AppendPath(path);
    content_ += path.FillMode() == XFillMode::Winding ? "W n\n" : "W* n\n";
}

void XGraphicsPdfRenderer::WriteComment(std::string_view text) {
    CheckOpen();
    content_ += "% ";
    for (char c : text) {
        // A carriage return would end the comment as well.
        if (c == '\n' || c == '\r')
            content_ += "\n% ";
        else
            content_ += c;
    }
    content_ += '\n';
}

// ---- text -------------------------------------------------------------

Pdf::Advanced::PdfFont &XGraphicsPdfRenderer::FontResource(const XFont &font, std::u16string_view text) {
    Pdf::Advanced::PdfFont &resource = FontResource(font);
    resource.AddChars(text);
    return resource;
}

Pdf::Advanced::PdfFont &XGraphicsPdfRenderer::FontResource(const XFont &font) {
    return Pdf::Advanced::PdfFontTables::Of(*document_).GetFont(font);
}

void XGraphicsPdfRenderer::RealizeFont(const XFont &font, const Pdf::Advanced::PdfFont &resource) {
    if (namedFont_ != &resource) {
        namedFontName_ = ResourceName(Pdf::ResourceKind::Font, resource);
        namedFont_ = &resource;
    }
    const std::string &name = namedFontName_;
    // On a y-down page the size is negative: see BeginPage.
    double size = direction_ == XPageDirection::Downwards ? -font.Size() : font.Size();
    if (name == gfxState_.RealizedFontName && size == gfxState_.RealizedFontSize)
        return;
    content_ += name;
    content_ += ' ';
    AppendReal(content_, size);
    content_ += " Tf\n";
    gfxState_.RealizedFontName = name;
    gfxState_.RealizedFontSize = size;
}

void XGraphicsPdfRenderer::DrawText(const XFont &font, const Pdf::Advanced::PdfFont &resource, const XBrush &brush,
                                    const XPoint &position, std::string_view operand) {
    CheckOpen();
    BeginPage();
    // "cm" and "q" are not allowed inside a text object.
    if (gfxState_.Level == 1 || gfxState_.MustRealizeCtm()) {
        EndTextMode();
        RealizeTransform();
    }
    BeginTextMode();
    gfxState_.RealizeBrush(brush);
    RealizeFont(font, resource);
    XPoint &last = gfxState_.RealizedTextPosition;
    AppendReal(content_, position.X() - last.X(), kShapeDecimals);
    content_ += ' ';
    AppendReal(content_, position.Y() - last.Y(), kShapeDecimals);
    content_ += " Td ";
    content_ += operand;
    content_ += operand.starts_with('[') ? " TJ\n" : " Tj\n";
    last = position;
}

// ---- output -----------------------------------------------------------

std::vector<std::uint8_t> XGraphicsPdfRenderer::Snapshot() const {
    constexpr std::string_view kEndText = "ET\n";
    constexpr std::string_view kRestore = "Q\n";
    // Sized once: the stream keeps these bytes until the page is finished.
    std::vector<std::uint8_t> bytes;
    bytes.reserve(content_.size() + kEndText.size() + kRestore.size() * static_cast<std::size_t>(Depth()));
    // Copied as bytes: inserting chars into unsigned chars goes one at a time.
    auto append = [&bytes](std::string_view text) {
        const auto *first = reinterpret_cast<const std::uint8_t *>(text.data());
        bytes.insert(bytes.end(), first, first + text.size());
    };
    append(content_);
    if (streamMode_ == StreamMode::Text)
        append(kEndText);
    for (int i = 0; i < Depth(); ++i)
        append(kRestore);
    return bytes;
}

void XGraphicsPdfRenderer::Close() {
    if (contentStream_ != nullptr)
        contentStream_->SetBytes(Snapshot());
}

void XGraphicsPdfRenderer::Dispose() {
    if (contentStream_ == nullptr)
        return;
    Close();
    // A finished page keeps its operators compressed, as the save would
    // write them, so that a long document does not hold all its pages'
    // text. Drawing on the page again adds a stream of its own, and a
    // stream that is read or changed later is decoded first.
    if (document_->Options().CompressContentStreams())
        contentStream_->Stream()->Zip();
    contentStream_->SetRenderer(nullptr);
    contentStream_ = nullptr;
}

}  // namespace ZavorPdf::Drawing
