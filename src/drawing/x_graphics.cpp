#include "drawing/x_graphics.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <string>
#include <vector>

#include "drawing/fonts/pdf_font.h"
#include "drawing/x_solid_brush.h"
#include "pdf/errors.h"
#include "pdf/pdf_contents.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_encoders.h"
#include "pdf/pdf_number_format.h"
#include "pdf/pdf_page.h"

namespace ZavorPdf::Drawing {
namespace {

// Ids of saved states are unique in the process, so that a handle of one
// graphics object is never mistaken for one of another.
std::atomic<int> nextStateId{1};

// Offsets between the words of a line, in thousandths of the font size:
// three decimals keep every word within a millionth of the font size of
// its place.
constexpr int kTextArrayDecimals = 3;
// Gaps this close, in thousandths of the font size, are the same gap.
constexpr double kSameGap = 1e-6;

double UnitFactor(XGraphicsUnit unit) {
    switch (unit) {
    case XGraphicsUnit::Point: return 1;
    case XGraphicsUnit::Inch: return 72;
    case XGraphicsUnit::Millimeter: return 72 / 25.4;
    case XGraphicsUnit::Centimeter: return 72 / 2.54;
    case XGraphicsUnit::Presentation: return 72.0 / 96;
    }
    throw NotImplementedException("unit");
}

// The scale that the content stream applies for the unit.
double UnitScale(XGraphicsUnit unit) {
    switch (unit) {
    case XGraphicsUnit::Inch: return 72;
    case XGraphicsUnit::Millimeter: return 2.834645669291339;
    case XGraphicsUnit::Centimeter: return 28.346456692913385;
    case XGraphicsUnit::Presentation: return 0.75;
    default: return 1;
    }
}

bool HasOpenRenderer(Pdf::PdfPage &page) {
    Pdf::PdfContents &contents = page.Contents();
    for (int i = 0; i < contents.Count(); ++i)
        if (contents.ContentAt(i).Renderer() != nullptr)
            return true;
    return false;
}

void RequirePenOrBrush(const XPen *pen, const XBrush *brush) {
    if (pen == nullptr && brush == nullptr)
        throw ArgumentException("XPen or XBrush or both must not be null.", "pen and brush");
}

void RequirePoints(std::span<const XPoint> points, std::size_t minimum, const std::string &message) {
    if (points.size() < minimum)
        throw ArgumentException(message, "points");
}

void RequireBezierCount(std::span<const XPoint> points) {
    if (points.size() < 4 || (points.size() - 4) % 3 != 0)
        throw ArgumentException("Invalid number of points for bezier curves. Number must fulfil 4+3n.", "points");
}

const std::string kTwoOrMorePoints = "The point array must contain 2 or more points.";

}  // namespace

std::unique_ptr<XGraphics> XGraphics::FromPdfPage(Pdf::PdfPage *page, XGraphicsPdfPageOptions options,
                                                  XGraphicsUnit unit, XPageDirection direction) {
    if (page == nullptr)
        throw ArgumentNullException("page");
    if (page->Owner() == nullptr)
        throw InvalidOperationException("You cannot draw on a page that is not owned by a PdfDocument object.");
    if (HasOpenRenderer(*page))
        throw InvalidOperationException(
            "An XGraphics object already exists for this page and must be disposed before a new one can be created.");
    if (page->Owner()->IsReadOnly())
        throw InvalidOperationException(
            "Cannot create XGraphics for a page of a document that cannot be modified. Use "
            "PdfDocumentOpenMode.Modify.");
    UnitFactor(unit);
    if (options != XGraphicsPdfPageOptions::Append && options != XGraphicsPdfPageOptions::Prepend &&
        options != XGraphicsPdfPageOptions::Replace)
        throw ArgumentException("The value of argument 'options' (" + std::to_string(static_cast<int>(options)) +
                                    ") is invalid for Enum type 'XGraphicsPdfPageOptions'.",
                                "options");
    return std::unique_ptr<XGraphics>(new XGraphics(*page, options, unit, direction));
}

XGraphics::XGraphics(Pdf::PdfPage &page, XGraphicsPdfPageOptions options, XGraphicsUnit unit,
                     XPageDirection direction)
    : page_(&page), pageUnit_(unit), pageDirection_(direction) {
    pageSizePoints_ = XSize(page.Width(), page.Height());
    double factor = UnitFactor(unit);
    pageSize_ = XSize(pageSizePoints_.Width() / factor, pageSizePoints_.Height() / factor);
    defaultViewMatrix_ = ComputeDefaultViewMatrix();
    Pdf::PdfContents &contents = page.Contents();
    if (options == XGraphicsPdfPageOptions::Replace)
        contents.Elements().Clear();
    Pdf::PdfContent &content =
        options == XGraphicsPdfPageOptions::Prepend ? contents.PrependContent() : contents.AppendContent();
    renderer_ = std::make_unique<XGraphicsPdfRenderer>(page, content, defaultViewMatrix_, direction);
}

XGraphics::~XGraphics() {
    try {
        Dispose();
    } catch (...) {
        // A destructor must not throw; the content keeps what it had.
    }
}

void XGraphics::Dispose() {
    if (renderer_ != nullptr)
        renderer_->Dispose();
}

XGraphicsPdfRenderer &XGraphics::Renderer() {
    if (renderer_ == nullptr || renderer_->IsDisposed())
        throw InvalidOperationException("The XGraphics object is already disposed.");
    return *renderer_;
}

XMatrix XGraphics::ComputeDefaultViewMatrix() const {
    XMatrix matrix;
    double scale = UnitScale(pageUnit_);
    if (pageDirection_ == XPageDirection::Upwards) {
        if (scale != 1)
            matrix.ScalePrepend(scale);
        return matrix;
    }
    double height = pageSizePoints_.Height();
    XPoint offset;
    const Pdf::TrimMargins &margins = page_->GetTrimMargins();
    if (margins.AreSet()) {
        height += margins.top + margins.bottom;
        offset = XPoint(margins.left, margins.top);
    }
    if (page_->Rotate() == 90) {
        matrix.RotatePrepend(90);
        matrix.ScalePrepend(1, -1);
    } else {
        matrix.TranslatePrepend(0, height);
        matrix.ScalePrepend(1, -1);
    }
    if (scale != 1)
        matrix.ScalePrepend(scale);
    // The margins are points; the translation runs in page units.
    if (offset != XPoint())
        matrix.TranslatePrepend(offset.X() / scale, offset.Y() / scale);
    return matrix;
}

void XGraphics::SetPageDirection(XPageDirection value) {
    if (value != XPageDirection::Downwards || pageDirection_ != XPageDirection::Downwards)
        throw InvalidOperationException("PageDirection must be XPageDirection.Downwards in current implementation.");
}

void XGraphics::SetPageOrigin(const XPoint &) {
    throw InvalidOperationException("PageOrigin cannot be modified in current implementation.");
}

void XGraphics::SetTransform(const XMatrix &) {
    throw InvalidOperationException("The function is obsolete and must not be called.");
}

void XGraphics::ResetTransform() {
    throw InvalidOperationException("The function is obsolete and must not be called.");
}

// ---- lines and curves ---------------------------------------------------

void XGraphics::DrawLine(const XPen &pen, double x1, double y1, double x2, double y2) {
    const XPoint points[] = {{x1, y1}, {x2, y2}};
    Renderer().DrawLines(pen, points);
}

void XGraphics::DrawLines(const XPen &pen, std::span<const XPoint> points) {
    // A lone point has no line to stroke, and "S" without a path is an
    // error in the stream.
    RequirePoints(points, 2, kTwoOrMorePoints);
    Renderer().DrawLines(pen, points);
}

void XGraphics::DrawBezier(const XPen &pen, const XPoint &p1, const XPoint &p2, const XPoint &p3,
                           const XPoint &p4) {
    const XPoint points[] = {p1, p2, p3, p4};
    Renderer().DrawBeziers(pen, points);
}

void XGraphics::DrawBeziers(const XPen &pen, std::span<const XPoint> points) {
    RequireBezierCount(points);
    Renderer().DrawBeziers(pen, points);
}

void XGraphics::DrawCurve(const XPen &pen, std::span<const XPoint> points, double tension) {
    RequirePoints(points, 2, "DrawCurve requires two or more points.");
    Renderer().DrawCurve(pen, points, tension);
}

void XGraphics::DrawArc(const XPen &pen, double x, double y, double width, double height, double startAngle,
                        double sweepAngle) {
    DrawArc(pen, XRect(x, y, width, height), startAngle, sweepAngle);
}

void XGraphics::DrawArc(const XPen &pen, const XRect &rect, double startAngle, double sweepAngle) {
    Renderer().DrawArc(pen, rect, startAngle, sweepAngle);
}

// ---- closed figures -------------------------------------------------------

void XGraphics::DrawRectangle(const XPen *pen, const XBrush *brush, const XRect &rect) {
    DrawRectangles(pen, brush, std::span<const XRect>(&rect, 1));
}

void XGraphics::DrawRectangle(const XPen &pen, double x, double y, double width, double height) {
    DrawRectangle(&pen, nullptr, XRect(x, y, width, height));
}

void XGraphics::DrawRectangle(const XBrush &brush, double x, double y, double width, double height) {
    DrawRectangle(nullptr, &brush, XRect(x, y, width, height));
}

void XGraphics::DrawRectangles(const XPen *pen, const XBrush *brush, std::span<const XRect> rects) {
    RequirePenOrBrush(pen, brush);
    if (rects.empty())
        return;
    Renderer().DrawRectangles(pen, brush, rects);
}

void XGraphics::DrawRoundedRectangle(const XPen *pen, const XBrush *brush, const XRect &rect,
                                     const XSize &ellipseSize) {
    RequirePenOrBrush(pen, brush);
    XGraphicsPath path;
    path.AddRoundedRectangle(rect.X(), rect.Y(), rect.Width(), rect.Height(), ellipseSize.Width(),
                             ellipseSize.Height());
    Renderer().DrawPath(pen, brush, path);
}

void XGraphics::DrawRoundedRectangle(const XPen &pen, double x, double y, double width, double height,
                                     double ellipseWidth, double ellipseHeight) {
    DrawRoundedRectangle(&pen, nullptr, XRect(x, y, width, height), XSize(ellipseWidth, ellipseHeight));
}

void XGraphics::DrawRoundedRectangle(const XBrush &brush, double x, double y, double width, double height,
                                     double ellipseWidth, double ellipseHeight) {
    DrawRoundedRectangle(nullptr, &brush, XRect(x, y, width, height), XSize(ellipseWidth, ellipseHeight));
}

void XGraphics::DrawEllipse(const XPen *pen, const XBrush *brush, const XRect &rect) {
    RequirePenOrBrush(pen, brush);
    Renderer().DrawEllipse(pen, brush, rect);
}

void XGraphics::DrawPolygon(const XPen *pen, const XBrush *brush, std::span<const XPoint> points,
                            XFillMode fillMode) {
    RequirePenOrBrush(pen, brush);
    RequirePoints(points, 2, kTwoOrMorePoints);
    Renderer().DrawPolygon(pen, brush, points, fillMode);
}

void XGraphics::DrawPolygon(const XPen &pen, std::span<const XPoint> points) {
    DrawPolygon(&pen, nullptr, points, XFillMode::Alternate);
}

void XGraphics::DrawPolygon(const XBrush &brush, std::span<const XPoint> points, XFillMode fillMode) {
    DrawPolygon(nullptr, &brush, points, fillMode);
}

void XGraphics::DrawPie(const XPen *pen, const XBrush *brush, const XRect &rect, double startAngle,
                        double sweepAngle) {
    RequirePenOrBrush(pen, brush);
    Renderer().DrawPie(pen, brush, rect, startAngle, sweepAngle);
}

void XGraphics::DrawPie(const XPen &pen, double x, double y, double width, double height, double startAngle,
                        double sweepAngle) {
    DrawPie(&pen, nullptr, XRect(x, y, width, height), startAngle, sweepAngle);
}

void XGraphics::DrawPie(const XBrush &brush, double x, double y, double width, double height, double startAngle,
                        double sweepAngle) {
    DrawPie(nullptr, &brush, XRect(x, y, width, height), startAngle, sweepAngle);
}

void XGraphics::DrawClosedCurve(const XPen *pen, const XBrush *brush, std::span<const XPoint> points,
                                XFillMode fillMode, double tension) {
    RequirePenOrBrush(pen, brush);
    RequirePoints(points, 2, "Not enough points.");
    Renderer().DrawClosedCurve(pen, brush, points, tension, fillMode);
}

void XGraphics::DrawPath(const XPen *pen, const XBrush *brush, const XGraphicsPath &path) {
    RequirePenOrBrush(pen, brush);
    Renderer().DrawPath(pen, brush, path);
}

// ---- text -------------------------------------------------------------

XSize XGraphics::MeasureString(std::u16string_view text, const XFont &font) const {
    return XSize(font.MeasureWidth(text), font.GetHeight());
}

void XGraphics::DrawString(std::u16string_view text, const XFont &font, const XBrush &brush, double x, double y) {
    DrawString(text, font, brush, XRect(x, y, 0, 0), XStringFormats::Default());
}

void XGraphics::DrawString(std::u16string_view text, const XFont &font, const XBrush &brush, const XRect &rect,
                           const XStringFormat &format) {
    if (format.LineAlignment() == XLineAlignment::BaseLine && rect.Height() != 0)
        throw ArgumentException(
            "DrawString: With XLineAlignment.BaseLine the height of the layout rectangle must be 0.", "layoutRectangle");
    if (text.empty())
        return;
    XGraphicsPdfRenderer &renderer = Renderer();
    double width = font.MeasureWidth(text);
    double h = font.GetHeight();
    double a = h * font.CellAscent() / font.CellSpace();
    double d = h * font.CellDescent() / font.CellSpace();
    double x = rect.X();
    if (format.Alignment() == XStringAlignment::Center)
        x += (rect.Width() - width) / 2;
    else if (format.Alignment() == XStringAlignment::Far)
        x += rect.Width() - width;
    bool down = pageDirection_ == XPageDirection::Downwards;
    double y = rect.Y();
    switch (format.LineAlignment()) {
    case XLineAlignment::Near: y += down ? a : d; break;
    case XLineAlignment::Center: y += (down ? 3 * a / 8 : -3 * a / 8) + rect.Height() / 2; break;
    case XLineAlignment::Far: y += (down ? -d : -a) + rect.Height(); break;
    case XLineAlignment::BaseLine: break;
    }

    Pdf::Advanced::PdfFont &resource = renderer.FontResource(font, text);
    operand_.clear();
    AppendStringOperand(resource, text);
    renderer.DrawText(font, resource, brush, XPoint(x, y), operand_);

    // Design units to points.
    double scale = h / font.CellSpace();
    const auto &descriptor = font.Descriptor();
    if (font.Underline())
        DrawRectangle(nullptr, &brush,
                      XRect(x, y - descriptor.UnderlinePosition() * scale, width,
                            std::abs(descriptor.UnderlineThickness() * scale)));
    if (font.Strikeout()) {
        double size = std::abs(descriptor.StrikeoutSize() * scale);
        DrawRectangle(nullptr, &brush, XRect(x, y - descriptor.StrikeoutPosition() * scale - size, width, size));
    }
}

void XGraphics::DrawStringLine(std::span<const PlacedWord> words, const XFont &font, const XBrush &brush, double y) {
    if (words.size() <= 1 || font.Underline() || font.Strikeout()) {
        for (const PlacedWord &word : words)
            DrawString(word.Text, font, brush, word.X, y);
        return;
    }
    // Gaps in thousandths of the font size, as a text array counts them.
    const double toThousandths = 1000 / font.Size();
    // A gap exactly as wide as the font's own blank is written as a blank,
    // as any text would be; the blank's advance is its whole-unit width
    // that the PDF font carries. A font without a blank glyph, or a symbol
    // font, keeps every gap as an offset.
    const auto &descriptor = font.Descriptor();
    const bool hasBlank = !descriptor.IsSymbolFont() && descriptor.CharCodeToGlyphIndex(u' ') != 0;
    const double blank = hasBlank ? font.MeasureWidth(u" ") * toThousandths : -1;
    // Runs of words joined by blanks, each ending with the offset to the
    // next: the runs lie one after the other in the line's text.
    lineText_.clear();
    runEnds_.clear();
    runOffsets_.clear();
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0) {
            // After the previous word's advance: the sum of the font's
            // whole-unit widths, so each word starts where it would alone.
            const PlacedWord &previous = words[i - 1];
            double gap = (words[i].X - (previous.X + previous.Width)) * toThousandths;
            if (std::abs(gap - blank) < kSameGap) {
                lineText_ += u' ';
            } else {
                runOffsets_.push_back(-gap);
                runEnds_.push_back(lineText_.size());
            }
        }
        lineText_ += words[i].Text;
    }
    runEnds_.push_back(lineText_.size());
    XGraphicsPdfRenderer &renderer = Renderer();
    const std::u16string_view line = lineText_;
    // A line of letters the font has met before goes out as it is; any
    // other line records its characters first.
    Pdf::Advanced::PdfFont &resource = renderer.FontResource(font);
    if (!AppendLineOperand(resource, line, true)) {
        resource.AddChars(line);
        AppendLineOperand(resource, line, false);
    }
    renderer.DrawText(font, resource, brush, XPoint(words.front().X, y), operand_);
}

// The line's runs as one string, or as a text array with the offsets
// between them. With `knownOnly`, fails (false) at the first run that is not
// a known plain literal.
bool XGraphics::AppendLineOperand(const Pdf::Advanced::PdfFont &resource, std::u16string_view line, bool knownOnly) {
    operand_.clear();
    auto append = [&](std::u16string_view run) {
        if (knownOnly)
            return resource.TryAppendKnownLiteral(operand_, run);
        AppendStringOperand(resource, run);
        return true;
    };
    if (runEnds_.size() == 1)
        return append(line);
    operand_ += '[';
    std::size_t begin = 0;
    for (std::size_t i = 0; i < runEnds_.size(); ++i) {
        if (i > 0)
            Pdf::AppendReal(operand_, runOffsets_[i - 1], kTextArrayDecimals);
        if (!append(line.substr(begin, runEnds_[i] - begin)))
            return false;
        begin = runEnds_[i];
    }
    operand_ += ']';
    return true;
}

void XGraphics::AppendStringOperand(const Pdf::Advanced::PdfFont &resource, std::u16string_view text) {
    if (!resource.IsUnicode() && Pdf::Internal::PdfEncoders::TryAppendPlainLiteral(operand_, text))
        return;
    resource.EncodeText(text, encoded_);
    auto form = resource.IsUnicode() ? Pdf::Internal::StringForm::Hex : Pdf::Internal::StringForm::Literal;
    Pdf::Internal::PdfEncoders::AppendString(operand_, encoded_, form);
}

void XGraphics::Clear(const XColor &color) {
    if (!transform_.IsIdentity())
        throw InvalidOperationException("Transform must be identity to clear the canvas.");
    XSolidBrush brush(color);
    DrawRectangle(brush, 0, 0, pageSize_.Width(), pageSize_.Height());
}

void XGraphics::WriteComment(std::string_view text) { Renderer().WriteComment(text); }

// ---- states ---------------------------------------------------------------

int XGraphics::PushState(bool container) {
    XGraphicsPdfRenderer &renderer = Renderer();
    int id = nextStateId.fetch_add(1);
    renderer.Save(id);
    gsStack_.push_back({id, container, transform_});
    return id;
}

void XGraphics::PopTo(int id, bool container, const char *paramName) {
    XGraphicsPdfRenderer &renderer = Renderer();
    auto found = std::find_if(gsStack_.begin(), gsStack_.end(),
                              [&](const InternalGraphicsState &s) { return s.id == id && s.container == container; });
    if (found == gsStack_.end()) {
        if (restored_.contains(id))
            throw ArgumentException("State already restored.", paramName);
        throw ArgumentException("State not on stack.", paramName);
    }
    XMatrix transform = found->transform;
    for (auto it = found; it != gsStack_.end(); ++it)
        restored_.insert(it->id);
    gsStack_.erase(found, gsStack_.end());
    renderer.Restore(id);
    transform_ = transform;
}

XGraphicsState XGraphics::Save() { return XGraphicsState(PushState(false)); }

void XGraphics::Restore(const XGraphicsState *state) {
    if (state == nullptr)
        throw ArgumentNullException("state");
    PopTo(state->Id(), false, "state");
}

void XGraphics::Restore() {
    if (gsStack_.empty())
        throw InvalidOperationException("Cannot restore without preceding save operation.");
    const InternalGraphicsState &top = gsStack_.back();
    PopTo(top.id, top.container, "state");
}

XGraphicsContainer XGraphics::BeginContainer() {
    return BeginContainer(XRect(0, 0, 1, 1), XRect(0, 0, 1, 1), XGraphicsUnit::Point);
}

XGraphicsContainer XGraphics::BeginContainer(const XRect &dstrect, const XRect &srcrect, XGraphicsUnit unit) {
    if (unit != XGraphicsUnit::Point)
        throw ArgumentException("The current implementation supports XGraphicsUnit.Point only.", "unit");
    if (srcrect.Width() == 0 || srcrect.Height() == 0)
        throw ArgumentException("The source rectangle must not be empty.", "srcrect");
    int id = PushState(true);
    double sx = dstrect.Width() / srcrect.Width(), sy = dstrect.Height() / srcrect.Height();
    XMatrix map(sx, 0, 0, sy, dstrect.X() - srcrect.X() * sx, dstrect.Y() - srcrect.Y() * sy);
    if (!map.IsIdentity())
        AddTransform(map, XMatrixOrder::Prepend);
    return XGraphicsContainer(id);
}

void XGraphics::EndContainer(const XGraphicsContainer *container) {
    if (container == nullptr)
        throw ArgumentNullException("container");
    PopTo(container->Id(), true, "container");
}

// ---- transformations ------------------------------------------------------

void XGraphics::AddTransform(const XMatrix &matrix, XMatrixOrder order) {
    XGraphicsPdfRenderer &renderer = Renderer();
    XMatrix world = transform_;
    world.Multiply(matrix, order);
    renderer.SetWorldTransform(world);
    transform_ = world;
}

void XGraphics::TranslateTransform(double dx, double dy, XMatrixOrder order) {
    AddTransform(XMatrix(1, 0, 0, 1, dx, dy), order);
}

void XGraphics::ScaleTransform(double scaleX, double scaleY, XMatrixOrder order) {
    AddTransform(XMatrix(scaleX, 0, 0, scaleY, 0, 0), order);
}

void XGraphics::ScaleTransform(double scale, XMatrixOrder order) { ScaleTransform(scale, scale, order); }

void XGraphics::RotateTransform(double angle, XMatrixOrder order) {
    XMatrix matrix;
    matrix.RotatePrepend(angle);
    AddTransform(matrix, order);
}

void XGraphics::RotateAtTransform(double angle, const XPoint &point, XMatrixOrder order) {
    XMatrix matrix;
    matrix.RotateAtPrepend(angle, point);
    AddTransform(matrix, order);
}

void XGraphics::ShearTransform(double shearX, double shearY, XMatrixOrder order) {
    XMatrix matrix;
    matrix.ShearPrepend(shearX, shearY);
    AddTransform(matrix, order);
}

void XGraphics::MultiplyTransform(const XMatrix &matrix, XMatrixOrder order) { AddTransform(matrix, order); }

// ---- clipping -------------------------------------------------------------

void XGraphics::IntersectClip(const XGraphicsPath *path) {
    if (path == nullptr)
        throw ArgumentNullException("path");
    Renderer().IntersectClip(*path);
}

void XGraphics::IntersectClip(const XRect &rect) {
    XGraphicsPath path;
    path.AddRectangle(rect);
    IntersectClip(&path);
}

void XGraphics::SetClip(const XGraphicsPath &) {
    throw InvalidOperationException("Function is obsolete. Use IntersectClip.");
}

void XGraphics::SetClip(const XRect &) { throw InvalidOperationException("Function is obsolete. Use IntersectClip."); }

void XGraphics::ResetClip() { throw InvalidOperationException("ResetClip is obsolete. Use Save/Restore instead."); }

XRect XGraphics::WorldToDefaultPage(const XRect &rect) const {
    XPoint corners[] = {rect.TopLeft(), rect.TopRight(), rect.BottomLeft(), rect.BottomRight()};
    XRect box = XRect::Empty();
    for (XPoint &corner : corners) {
        corner = transform_.Transform(corner);
        corner.SetY(pageSize_.Height() - corner.Y());
        box.Union(corner);
    }
    return box;
}

}  // namespace ZavorPdf::Drawing
