// What figures are filled with.
#pragma once

namespace ZavorPdf::Drawing {

class XBrush {
public:
    virtual ~XBrush() = default;

protected:
    XBrush() = default;
    XBrush(const XBrush &) = default;
    XBrush &operator=(const XBrush &) = default;
};

}  // namespace ZavorPdf::Drawing
