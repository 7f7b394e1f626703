#include "drawing/pdf_graphics_state.h"

#include <cmath>

#include "drawing/x_graphics_pdf_renderer.h"
#include "drawing/x_solid_brush.h"
#include "pdf/errors.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_ext_gstate.h"
#include "pdf/pdf_number_format.h"

namespace ZavorPdf::Drawing {
namespace {

using Pdf::AppendReal;

void AppendDashes(std::string &out, std::initializer_list<double> values) {
    out += '[';
    bool first = true;
    for (double value : values) {
        if (!first)
            out += ' ';
        first = false;
        AppendReal(out, value, 2);
    }
    out += "]0 d\n";
}

bool SameCmyk(const XColor &a, const XColor &b) {
    return a.C() == b.C() && a.M() == b.M() && a.Y() == b.Y() && a.K() == b.K();
}

}  // namespace

void PdfGraphicsState::RealizePen(const XPen &pen) {
    std::string &out = renderer_->Content();
    if (pen.Width() != realizedLineWidth_) {
        AppendReal(out, pen.Width());
        out += " w\n";
        realizedLineWidth_ = pen.Width();
    }
    if (int cap = static_cast<int>(pen.LineCap()); cap != realizedLineCap_) {
        out += std::to_string(cap) + " J\n";
        realizedLineCap_ = cap;
    }
    if (int join = static_cast<int>(pen.LineJoin()); join != realizedLineJoin_) {
        out += std::to_string(join) + " j\n";
        realizedLineJoin_ = join;
    }
    if (realizedLineJoin_ == static_cast<int>(XLineJoin::Miter)) {
        double limit = std::trunc(pen.MiterLimit());
        if (limit != 0 && limit != realizedMiterLimit_) {
            AppendReal(out, limit, 0);
            out += " M\n";
            realizedMiterLimit_ = limit;
        }
    }
    RealizeDash(pen);
    RealizeColor(pen.Color(), Target::Stroke);
}

void PdfGraphicsState::RealizeDash(const XPen &pen) {
    double w = pen.Width();
    // A hairline has no length to measure dashes by.
    XDashStyle style = w == 0 ? XDashStyle::Solid : pen.DashStyle();
    std::string dash;
    switch (style) {
    case XDashStyle::Solid: dash = "[]0 d\n"; break;
    case XDashStyle::Dash: AppendDashes(dash, {3 * w, w}); break;
    case XDashStyle::Dot: AppendDashes(dash, {w}); break;
    case XDashStyle::DashDot: AppendDashes(dash, {3 * w, w, w, w}); break;
    case XDashStyle::DashDotDot: AppendDashes(dash, {3 * w, w, w, w, w, w}); break;
    case XDashStyle::Custom: {
        dash = "[";
        const auto &pattern = pen.DashPattern();
        for (std::size_t i = 0; i < pattern.size(); ++i) {
            if (i > 0)
                dash += ' ';
            AppendReal(dash, pattern[i] * w);
        }
        if (pattern.size() % 2 == 1) {
            dash += ' ';
            AppendReal(dash, 0.2 * w);
        }
        dash += ']';
        AppendReal(dash, pen.DashOffset() * w);
        dash += " d\n";
        break;
    }
    }
    if (dash != realizedDash_) {
        renderer_->Content() += dash;
        realizedDash_ = std::move(dash);
    }
}

void PdfGraphicsState::RealizeBrush(const XBrush &brush) {
    auto *solid = dynamic_cast<const XSolidBrush *>(&brush);
    if (solid == nullptr)
        throw NotSupportedException("This kind of brush cannot be drawn on a PDF page.");
    RealizeColor(solid->Color(), Target::Fill);
}

void PdfGraphicsState::RealizeColor(const XColor &color, Target target) {
    std::string &out = renderer_->Content();
    std::optional<XColor> &realized = target == Target::Stroke ? realizedStrokeColor_ : realizedFillColor_;
    if (renderer_->ColorMode() == Pdf::PdfColorMode::Cmyk) {
        if (!realized || !SameCmyk(*realized, color)) {
            for (double part : {color.C(), color.M(), color.Y(), color.K()}) {
                AppendReal(out, part);
                out += ' ';
            }
            out += target == Target::Stroke ? "K\n" : "k\n";
        }
    } else if (!realized || realized->Rgb() != color.Rgb()) {
        for (int part : {color.R(), color.G(), color.B()}) {
            AppendReal(out, part / 255.0);
            out += ' ';
        }
        out += target == Target::Stroke ? "RG\n" : "rg\n";
    }
    int &realizedAlpha = target == Target::Stroke ? realizedStrokeAlpha_ : realizedFillAlpha_;
    int alpha = Pdf::PdfExtGState::AlphaKey(color.A());
    if (renderer_->Document().Version() >= 14 && alpha != realizedAlpha) {
        auto kind = target == Target::Stroke ? Pdf::PdfExtGState::AlphaKind::Stroke
                                             : Pdf::PdfExtGState::AlphaKind::NonStroke;
        out += renderer_->ExtGStateName(kind, color.A()) + " gs\n";
        realizedAlpha = alpha;
    }
    realized = color;
}

void PdfGraphicsState::SetWorldTransform(const XMatrix &world) {
    XMatrix step = realizedCtm_;
    step.Invert();
    step.Prepend(world);
    unrealizedCtm_ = step;
    mustRealizeCtm_ = !step.IsIdentity();
}

void PdfGraphicsState::RealizeCtm() {
    if (!mustRealizeCtm_)
        return;
    std::string &out = renderer_->Content();
    for (double element : unrealizedCtm_.GetElements()) {
        AppendReal(out, element, 6);
        out += ' ';
    }
    out += "cm\n";
    realizedCtm_.Prepend(unrealizedCtm_);
    unrealizedCtm_ = XMatrix();
    mustRealizeCtm_ = false;
}

}  // namespace ZavorPdf::Drawing
