// How a text is placed in its layout rectangle.
#pragma once

namespace ZavorPdf::Drawing {

enum class XStringAlignment { Near = 0, Center = 1, Far = 2 };
// BaseLine: the rectangle's top edge is the baseline of the text.
enum class XLineAlignment { Near = 0, Center = 1, Far = 2, BaseLine = 3 };

class XStringFormat {
public:
    XStringAlignment Alignment() const { return alignment_; }
    void SetAlignment(XStringAlignment value) { alignment_ = value; }
    XLineAlignment LineAlignment() const { return lineAlignment_; }
    void SetLineAlignment(XLineAlignment value) { lineAlignment_ = value; }

    friend bool operator==(const XStringFormat &, const XStringFormat &) = default;

private:
    XStringAlignment alignment_ = XStringAlignment::Near;
    XLineAlignment lineAlignment_ = XLineAlignment::Near;
};

// The usual combinations. Default is top-left on the baseline.
class XStringFormats {
public:
    static XStringFormat Make(XStringAlignment alignment, XLineAlignment lineAlignment) {
        XStringFormat format;
        format.SetAlignment(alignment);
        format.SetLineAlignment(lineAlignment);
        return format;
    }
    static XStringFormat Default() { return Make(XStringAlignment::Near, XLineAlignment::BaseLine); }
    static XStringFormat BaseLineLeft() { return Default(); }
    static XStringFormat TopLeft() { return Make(XStringAlignment::Near, XLineAlignment::Near); }
    static XStringFormat Center() { return Make(XStringAlignment::Center, XLineAlignment::Center); }
    static XStringFormat TopCenter() { return Make(XStringAlignment::Center, XLineAlignment::Near); }
    static XStringFormat BottomCenter() { return Make(XStringAlignment::Center, XLineAlignment::Far); }
};

}  // namespace ZavorPdf::Drawing
