// The drawing surface of one PDF page: device-independent drawing calls in a
// top-left, y-down coordinate system, a world transformation and a stack of
// saved states. Every call goes to the PDF renderer; the content is stored
// in the page when the object is disposed (or destroyed).
//
// The page's document must outlive the graphics object, or the object must
// be disposed first.
#pragma once

#include <memory>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/x_brush.h"
#include "drawing/fonts/x_font.h"
#include "drawing/x_color.h"
#include "drawing/x_graphics_path.h"
#include "drawing/x_graphics_pdf_renderer.h"
#include "drawing/x_graphics_state.h"
#include "drawing/x_matrix.h"
#include "drawing/x_pen.h"
#include "drawing/x_rect.h"
#include "drawing/x_size.h"
#include "drawing/x_string_format.h"
#include "drawing/x_unit.h"

namespace ZavorPdf::Pdf {
class PdfPage;
}

namespace ZavorPdf::Drawing {

class XImage;

enum class XGraphicsPdfPageOptions { Append = 0, Prepend = 1, Replace = 2 };

class XGraphics {
public:
    // Fails, in this order, for a missing page (null argument "page"), a
    // page without document, a page that already has an open graphics
    // object, and a document that cannot be modified.
    static std::unique_ptr<XGraphics> FromPdfPage(Pdf::PdfPage *page,
                                                  XGraphicsPdfPageOptions options = XGraphicsPdfPageOptions::Append,
                                                  XGraphicsUnit unit = XGraphicsUnit::Point,
                                                  XPageDirection direction = XPageDirection::Downwards);
    ~XGraphics();
    XGraphics(const XGraphics &) = delete;
    XGraphics &operator=(const XGraphics &) = delete;

    // Closes every open level and stores the content in the page; the page
    // can then get a new graphics object. Later calls fail.
    void Dispose();

    XGraphicsUnit PageUnit() const { return pageUnit_; }
    XPageDirection PageDirection() const { return pageDirection_; }
    void SetPageDirection(XPageDirection value);
    XSize PageSize() const { return pageSize_; }
    XSize PageSizePoints() const { return pageSizePoints_; }
    XPoint PageOrigin() const { return XPoint(); }
    void SetPageOrigin(const XPoint &value);
    const XMatrix &DefaultViewMatrix() const { return defaultViewMatrix_; }
    const XMatrix &Transform() const { return transform_; }
    // Withdrawn: "The function is obsolete and must not be called.".
    void SetTransform(const XMatrix &value);
    void ResetTransform();

    void DrawLine(const XPen &pen, double x1, double y1, double x2, double y2);
    void DrawLine(const XPen &pen, const XPoint &p1, const XPoint &p2) { DrawLine(pen, p1.X(), p1.Y(), p2.X(), p2.Y()); }
    void DrawLines(const XPen &pen, std::span<const XPoint> points);
    void DrawBezier(const XPen &pen, const XPoint &p1, const XPoint &p2, const XPoint &p3, const XPoint &p4);
    void DrawBeziers(const XPen &pen, std::span<const XPoint> points);
    void DrawCurve(const XPen &pen, std::span<const XPoint> points, double tension = 0.5);
    void DrawArc(const XPen &pen, double x, double y, double width, double height, double startAngle,
                 double sweepAngle);
    void DrawArc(const XPen &pen, const XRect &rect, double startAngle, double sweepAngle);

    // Closed figures: with a pen, a brush, or both (at least one).
    void DrawRectangle(const XPen *pen, const XBrush *brush, const XRect &rect);
    void DrawRectangle(const XPen &pen, const XRect &rect) { DrawRectangle(&pen, nullptr, rect); }
    void DrawRectangle(const XBrush &brush, const XRect &rect) { DrawRectangle(nullptr, &brush, rect); }
    void DrawRectangle(const XPen &pen, double x, double y, double width, double height);
    void DrawRectangle(const XBrush &brush, double x, double y, double width, double height);
    void DrawRectangles(const XPen *pen, const XBrush *brush, std::span<const XRect> rects);
    void DrawRoundedRectangle(const XPen *pen, const XBrush *brush, const XRect &rect, const XSize &ellipseSize);
    void DrawRoundedRectangle(const XPen &pen, double x, double y, double width, double height,
                              double ellipseWidth, double ellipseHeight);
    void DrawRoundedRectangle(const XBrush &brush, double x, double y, double width, double height,
                              double ellipseWidth, double ellipseHeight);
    void DrawEllipse(const XPen *pen, const XBrush *brush, const XRect &rect);
    void DrawEllipse(const XPen &pen, const XRect &rect) { DrawEllipse(&pen, nullptr, rect); }
    void DrawEllipse(const XBrush &brush, const XRect &rect) { DrawEllipse(nullptr, &brush, rect); }
    void DrawPolygon(const XPen *pen, const XBrush *brush, std::span<const XPoint> points, XFillMode fillMode);
    void DrawPolygon(const XPen &pen, std::span<const XPoint> points);
    void DrawPolygon(const XBrush &brush, std::span<const XPoint> points, XFillMode fillMode);
    void DrawPie(const XPen *pen, const XBrush *brush, const XRect &rect, double startAngle, double sweepAngle);
    void DrawPie(const XPen &pen, double x, double y, double width, double height, double startAngle,
                 double sweepAngle);
    void DrawPie(const XBrush &brush, double x, double y, double width, double height, double startAngle,
                 double sweepAngle);
    void DrawClosedCurve(const XPen *pen, const XBrush *brush, std::span<const XPoint> points,
                         XFillMode fillMode = XFillMode::Alternate, double tension = 0.5);
    void DrawPath(const XPen *pen, const XBrush *brush, const XGraphicsPath &path);
    void DrawPath(const XPen &pen, const XGraphicsPath &path) { DrawPath(&pen, nullptr, path); }
    void DrawPath(const XBrush &brush, const XGraphicsPath &path) { DrawPath(nullptr, &brush, path); }

    // One line of text. The point form puts the baseline at the point; the
    // rectangle form aligns the text in the rectangle by the format (a
    // BaseLine format needs a rectangle of height 0). An empty text draws
    // nothing. Underline and strike-out are drawn as filled rectangles.
    void DrawString(std::u16string_view text, const XFont &font, const XBrush &brush, double x, double y);
    void DrawString(std::u16string_view text, const XFont &font, const XBrush &brush, const XPoint &point) {
        DrawString(text, font, brush, point.X(), point.Y());
    }
    void DrawString(std::u16string_view text, const XFont &font, const XBrush &brush, const XRect &rect,
                    const XStringFormat &format = XStringFormats::Default());
    // Words of one line, each starting at its own x on the common baseline
    // y, as one text operator: the font, the characters and the string of
    // every word are worked out once per line. Gaps as wide as the font's
    // blank are written as blanks, others as offsets of a text array. `Width` must be what
    // MeasureString gives for the word. An underlined or struck-out font
    // draws word by word, since every word gets its own rectangle.
    struct PlacedWord {
        std::u16string_view Text;
        double X = 0;
        double Width = 0;
    };
    void DrawStringLine(std::span<const PlacedWord> words, const XFont &font, const XBrush &brush, double y);
    // Width and line height of the text in the font.
    XSize MeasureString(std::u16string_view text, const XFont &font) const;

    // Pictures: at their own size in points from the top-left corner, or
    // stretched into the rectangle without keeping the aspect ratio. A null
    // image fails (null argument "image").
    void DrawImage(const XImage *image, double x, double y);
    void DrawImage(const XImage *image, double x, double y, double width, double height);
    void DrawImage(const XImage &image, double x, double y) { DrawImage(&image, x, y); }
    void DrawImage(const XImage &image, const XPoint &point) { DrawImage(&image, point.X(), point.Y()); }
    void DrawImage(const XImage &image, double x, double y, double width, double height) {
        DrawImage(&image, x, y, width, height);
    }
    void DrawImage(const XImage &image, const XRect &rect) {
        DrawImage(&image, rect.X(), rect.Y(), rect.Width(), rect.Height());
    }

    // Fills the whole page; only under an identity world transformation.
    void Clear(const XColor &color);
    void WriteComment(std::string_view text);

    XGraphicsState Save();
    // A null state fails (null argument "state").
    void Restore(const XGraphicsState *state);
    void Restore(const XGraphicsState &state) { Restore(&state); }
    void Restore();
    XGraphicsContainer BeginContainer();
    // Maps `srcrect` onto `dstrect`; points only.
    XGraphicsContainer BeginContainer(const XRect &dstrect, const XRect &srcrect, XGraphicsUnit unit);
    void EndContainer(const XGraphicsContainer *container);
    void EndContainer(const XGraphicsContainer &container) { EndContainer(&container); }

    void TranslateTransform(double dx, double dy, XMatrixOrder order = XMatrixOrder::Prepend);
    void ScaleTransform(double scaleX, double scaleY, XMatrixOrder order = XMatrixOrder::Prepend);
    void ScaleTransform(double scale, XMatrixOrder order = XMatrixOrder::Prepend);
    // Degrees, clockwise on the y-down page.
    void RotateTransform(double angle, XMatrixOrder order = XMatrixOrder::Prepend);
    void RotateAtTransform(double angle, const XPoint &point, XMatrixOrder order = XMatrixOrder::Prepend);
    void ShearTransform(double shearX, double shearY, XMatrixOrder order = XMatrixOrder::Prepend);
    void MultiplyTransform(const XMatrix &matrix, XMatrixOrder order = XMatrixOrder::Prepend);

    // Clipping only narrows; a clip ends with the restore of a state saved
    // before it.
    void IntersectClip(const XGraphicsPath *path);
    void IntersectClip(const XGraphicsPath &path) { IntersectClip(&path); }
    void IntersectClip(const XRect &rect);
    // Withdrawn: they fail.
    void SetClip(const XGraphicsPath &path);
    void SetClip(const XRect &rect);
    void ResetClip();

    // A rectangle in drawing coordinates as the bounding box in PDF default
    // user space (origin bottom-left, y up), for annotation rectangles.
    XRect WorldToDefaultPage(const XRect &rect) const;

    // For the text layer.
    XGraphicsPdfRenderer &Renderer();
    Pdf::PdfPage &Page() const { return *page_; }

private:
    XGraphics(Pdf::PdfPage &page, XGraphicsPdfPageOptions options, XGraphicsUnit unit, XPageDirection direction);
    XMatrix ComputeDefaultViewMatrix() const;
    void AddTransform(const XMatrix &matrix, XMatrixOrder order);
    int PushState(bool container);
    void PopTo(int id, bool container, const char *paramName);
    // The string of a text in the font resource, appended to operand_.
    bool AppendLineOperand(const Pdf::Advanced::PdfFont &resource, std::u16string_view line, bool knownOnly);
    void AppendStringOperand(const Pdf::Advanced::PdfFont &resource, std::u16string_view text);

    struct InternalGraphicsState {
        int id;
        bool container;
        XMatrix transform;
    };

    Pdf::PdfPage *page_;  // non-owning
    XGraphicsUnit pageUnit_;
    XPageDirection pageDirection_;
    XSize pageSizePoints_;
    XSize pageSize_;
    XMatrix defaultViewMatrix_;
    XMatrix transform_;
    std::vector<InternalGraphicsState> gsStack_;
    std::set<int> restored_;
    std::unique_ptr<XGraphicsPdfRenderer> renderer_;
    // Room the text operators reuse from line to line instead of allocating
    // their pieces anew for every word: the line's text, where its runs of
    // blank-joined words end, the offsets between runs, one run's encoded
    // bytes and the operand.
    std::u16string lineText_;
    std::vector<std::size_t> runEnds_;
    std::vector<double> runOffsets_;
    std::string encoded_;
    std::string operand_;
};

}  // namespace ZavorPdf::Drawing
