// Helpers shared by the filter tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace ZavorTest {

inline std::vector<std::uint8_t> Bytes(std::string_view text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

inline std::string Text(const std::vector<std::uint8_t> &bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// Reproducible noise: the same seed gives the same bytes on every run.
inline std::vector<std::uint8_t> RandomBytes(std::size_t count, unsigned seed) {
    std::mt19937 engine(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<std::uint8_t> bytes(count);
    for (auto &b : bytes) {
        b = static_cast<std::uint8_t>(byte(engine));
    }
    return bytes;
}

// Runs call and checks that it throws Exception with exactly this message.
template <typename Exception, typename Call>
void ExpectThrowMessage(Call call, const std::string &message) {
    try {
        call();
        ADD_FAILURE() << "expected an exception with the message: " << message;
    } catch (const Exception &error) {
        EXPECT_EQ(std::string(error.what()), message);
    }
}

}  // namespace ZavorTest
