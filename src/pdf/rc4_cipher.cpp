#include "pdf/rc4_cipher.h"

#include <utility>

namespace ZavorPdf::Pdf::Security {

Rc4Cipher::Rc4Cipher(std::span<const std::uint8_t> key) {
    for (int i = 0; i < 256; ++i) state_[i] = static_cast<std::uint8_t>(i);
    if (key.empty()) return;
    std::uint8_t j = 0;
    for (std::size_t i = 0; i < 256; ++i) {
        j = static_cast<std::uint8_t>(j + state_[i] + key[i % key.size()]);
        std::swap(state_[i], state_[j]);
    }
}

void Rc4Cipher::Apply(std::span<std::uint8_t> bytes) {
    for (std::uint8_t &b : bytes) {
        x_ = static_cast<std::uint8_t>(x_ + 1);
        y_ = static_cast<std::uint8_t>(y_ + state_[x_]);
        std::swap(state_[x_], state_[y_]);
        b ^= state_[static_cast<std::uint8_t>(state_[x_] + state_[y_])];
    }
}

}  // namespace ZavorPdf::Pdf::Security
