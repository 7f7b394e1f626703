// A colour of the drawing layer. RGB and CMYK values are kept consistent,
// so that a colour can be written in either colour mode of a document.
#pragma once

#include <cstdint>
#include <string>

namespace ZavorPdf::Drawing {

enum class XColorSpace { Rgb = 0, Cmyk = 1, GrayScale = 2 };

class XColor {
public:
    // The empty colour: every component zero, also alpha.
    constexpr XColor() = default;

    // Each argument must lie in 0 ... 255; otherwise an argument error names
    // it ("alpha", "red", "green", "blue").
    static XColor FromArgb(int alpha, int red, int green, int blue);
    static XColor FromArgb(int red, int green, int blue) { return FromArgb(255, red, green, blue); }
    // Packed 0xAARRGGBB.
    static XColor FromArgb(std::uint32_t argb);
    // Components 0 ... 1; values outside are clamped.
    static XColor FromCmyk(double cyan, double magenta, double yellow, double black);
    static XColor FromCmyk(double alpha, double cyan, double magenta, double yellow, double black);
    // 0 is black, 1 white.
    static XColor FromGrayScale(double grayScale);
    static constexpr XColor Empty() { return XColor(); }

    bool IsEmpty() const { return *this == Empty(); }
    XColorSpace ColorSpace() const { return cs_; }
    void SetColorSpace(XColorSpace value);

    // 0 transparent ... 1 opaque.
    double A() const { return a_; }
    void SetA(double value);
    std::uint8_t R() const { return r_; }
    std::uint8_t G() const { return g_; }
    std::uint8_t B() const { return b_; }
    void SetR(std::uint8_t value) { SetRgb(value, g_, b_); }
    void SetG(std::uint8_t value) { SetRgb(r_, value, b_); }
    void SetB(std::uint8_t value) { SetRgb(r_, g_, value); }
    double C() const { return c_; }
    double M() const { return m_; }
    double Y() const { return y_; }
    double K() const { return k_; }
    void SetC(double value) { SetCmyk(value, m_, y_, k_); }
    void SetM(double value) { SetCmyk(c_, value, y_, k_); }
    void SetY(double value) { SetCmyk(c_, m_, value, k_); }
    void SetK(double value) { SetCmyk(c_, m_, y_, value); }
    double GS() const { return gs_; }
    void SetGS(double value);

    // 0xRRGGBB, for comparing colours without alpha.
    std::uint32_t Rgb() const { return (std::uint32_t{r_} << 16) | (std::uint32_t{g_} << 8) | b_; }
    // 0xAARRGGBB with alpha taken to a byte.
    std::uint32_t ToArgb() const;

    std::string ToString() const;

    friend bool operator==(const XColor &, const XColor &) = default;

private:
    void SetRgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
    void SetCmyk(double cyan, double magenta, double yellow, double black);
    void GrayFromRgb();

    XColorSpace cs_ = XColorSpace::Rgb;
    // Single precision, as the colour is handed around as a small value.
    float a_ = 0;
    std::uint8_t r_ = 0, g_ = 0, b_ = 0;
    float c_ = 0, m_ = 0, y_ = 0, k_ = 0;
    float gs_ = 0;
};

}  // namespace ZavorPdf::Drawing
