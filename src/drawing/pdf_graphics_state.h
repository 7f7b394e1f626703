// What the PDF graphics state of a content stream already holds, so that
// the renderer writes line width, caps, joins, dashes, colours, opacity and
// the transformation only when they change. Saving ("q") pushes a copy;
// restoring ("Q") pops it, just as the viewer does with its own state.
#pragma once

#include <optional>
#include <string>

#include "drawing/x_brush.h"
#include "drawing/x_color.h"
#include "drawing/x_matrix.h"
#include "drawing/x_pen.h"
#include "drawing/x_point.h"

namespace ZavorPdf::Drawing {

class XGraphicsPdfRenderer;

class PdfGraphicsState {
public:
    // The renderer writes for this state; non-owning.
    explicit PdfGraphicsState(XGraphicsPdfRenderer *renderer) : renderer_(renderer) {}

    // Depth of the "q" nesting at which this state lives.
    int Level = 0;
    // Id of the XGraphics saved state that this level belongs to; 0 for none.
    int InternalState = 0;

    void RealizePen(const XPen &pen);
    void RealizeBrush(const XBrush &brush);

    // The world transformation is now `world`; what is not yet written is
    // kept until RealizeCtm.
    void SetWorldTransform(const XMatrix &world);
    bool MustRealizeCtm() const { return mustRealizeCtm_; }
    // Writes the pending step as "cm".
    void RealizeCtm();
    const XMatrix &RealizedCtm() const { return realizedCtm_; }

    // Text state, for the text objects of the text layer.
    XPoint RealizedTextPosition;
    std::string RealizedFontName;
    double RealizedFontSize = 0;

private:
    enum class Target { Stroke, Fill };
    void RealizeColor(const XColor &color, Target target);
    void RealizeDash(const XPen &pen);

    XGraphicsPdfRenderer *renderer_;  // non-owning
    double realizedLineWidth_ = -1;
    int realizedLineCap_ = -1;
    int realizedLineJoin_ = -1;
    double realizedMiterLimit_ = -1;
    // The whole "d" operator last written: the pattern depends on the
    // width as much as on the style.
    std::string realizedDash_;
    // None until a colour is written: the viewer's initial colour is grey
    // black, which no CMYK value compares equal to.
    std::optional<XColor> realizedStrokeColor_;
    std::optional<XColor> realizedFillColor_;
    // Alpha keys (alpha * 1000); the viewer starts opaque.
    int realizedStrokeAlpha_ = 1000;
    int realizedFillAlpha_ = 1000;
    XMatrix realizedCtm_;
    XMatrix unrealizedCtm_;
    bool mustRealizeCtm_ = false;
};

}  // namespace ZavorPdf::Drawing
