// The inverse transform in double precision, which keeps every sample
// within one level of the exact result, as encoders' own reconstruction
// assumes for differential frames.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/jpeg_dct_scan.h"

namespace ZavorPlatform::ImageFormats {
namespace {

// basis[x][u]: the weight of frequency u at position x, with the scaling
// of both passes.
struct Basis {
    double at[8][8];
    Basis() {
        for (int x = 0; x < 8; ++x)
            for (int u = 0; u < 8; ++u)
                at[x][u] = (u == 0 ? std::numbers::sqrt2 / 2 : 1.0) / 2 *
                           std::cos((2 * x + 1) * u * std::numbers::pi / 16);
    }
};

// One block's samples, unshifted and unrounded.
void InverseDct(const std::int16_t *coefficients, const std::array<std::uint16_t, 64> &quantization, double *out) {
    static const Basis basis;
    double rows[64];  // each row of frequencies transformed along x
    for (int v = 0; v < 8; ++v)
        for (int x = 0; x < 8; ++x) {
            double sum = 0;
            for (int u = 0; u < 8; ++u) {
                const int k = v * 8 + u;
                sum += basis.at[x][u] * coefficients[k] * quantization[static_cast<std::size_t>(k)];
            }
            rows[v * 8 + x] = sum;
        }
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            double sum = 0;
            for (int v = 0; v < 8; ++v) sum += basis.at[y][v] * rows[v * 8 + x];
            out[y * 8 + x] = sum;
        }
}

}  // namespace

std::vector<int> ComponentSamples(const DctComponent &component, int precision, FrameKind kind) {
    const int width = component.width, height = component.height;
    std::vector<int> samples(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const int shift = kind == FrameKind::Plain ? 1 << (precision - 1) : 0, maximum = (1 << precision) - 1;
    double block[64];
    for (int by = 0; by < component.blocksHigh; ++by)
        for (int bx = 0; bx < component.blocksWide; ++bx) {
            InverseDct(component.coefficients.data() +
                           (static_cast<std::size_t>(by) * static_cast<std::size_t>(component.storedWide) +
                            static_cast<std::size_t>(bx)) * 64,
                       component.quantization, block);
            for (int y = 0; y < 8 && by * 8 + y < height; ++y)
                for (int x = 0; x < 8 && bx * 8 + x < width; ++x) {
                    // Corrupt coefficients can sum beyond any int; no sample
                    // or difference lies beyond 2^16.
                    const double rounded = std::clamp(std::floor(block[y * 8 + x] + 0.5), -65536.0, 65536.0);
                    int value = static_cast<int>(rounded) + shift;
                    if (kind == FrameKind::Plain) value = std::clamp(value, 0, maximum);
                    samples[static_cast<std::size_t>(by * 8 + y) * static_cast<std::size_t>(width) +
                            static_cast<std::size_t>(bx * 8 + x)] = value;
                }
        }
    return samples;
}

}  // namespace ZavorPlatform::ImageFormats
