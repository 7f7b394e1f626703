// Hostile PDF files made in memory: well-formed, but built to cost the
// reader time or memory out of all proportion to their size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/flate_codec.h"

namespace ZavorTest::Hostile {

// Numbered objects (the bodies between "n 0 obj" and "endobj"), a
// cross-reference table that points at them and a trailer whose root is
// object 1.
inline std::string WithTable(const std::vector<std::string> &objects) {
    std::string file = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(file.size());
        file += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t table = file.size();
    file += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t offset : offsets) {
        const std::string digits = std::to_string(offset);
        file += std::string(10 - digits.size(), '0') + digits + " 00000 n \n";
    }
    return file + "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(table) + "\n%%EOF\n";
}

inline const char *const Catalog = "<< /Type /Catalog /Pages 2 0 R >>";
inline const char *const NoPages = "<< /Type /Pages /Kids [] /Count 0 >>";

// A catalog that also holds one dictionary of `keys` entries "/k0 1 /k1 1 ...".
inline std::string WideDictionary(int keys) {
    std::string wide = "<<";
    for (int i = 0; i < keys; ++i) wide += " /k" + std::to_string(i) + " 1";
    return WithTable({"<< /Type /Catalog /Pages 2 0 R /Wide 3 0 R >>", NoPages, wide + " >>"});
}

// An object that no one refers to, holding an array of `items` ones.
inline std::string LongArray(int items) {
    std::string array = "[";
    for (int i = 0; i < items; ++i) array += "1 ";
    return WithTable({Catalog, NoPages, array + "]"});
}

// One page of 612 x 792 points whose contents are `streams` Flate streams,
// each inflating to `bytesEach` bytes of a drawing command repeated.
inline std::string BombPage(int streams, std::size_t bytesEach) {
    const std::string command = "0 0 m\n";
    std::vector<std::uint8_t> plain;
    plain.reserve(bytesEach);
    while (plain.size() < bytesEach) plain.push_back(static_cast<std::uint8_t>(command[plain.size() % command.size()]));
    const std::vector<std::uint8_t> packed = ZavorPlatform::Deflate(plain);
    const std::string data(packed.begin(), packed.end());
    std::vector<std::string> objects{Catalog, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>", ""};
    std::string contents;
    for (int i = 0; i < streams; ++i) {
        contents += std::to_string(objects.size() + 1) + " 0 R ";
        objects.push_back("<< /Length " + std::to_string(data.size()) + " /Filter /FlateDecode >>\nstream\n" + data +
                          "\nendstream");
    }
    objects[2] = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents [" + contents + "] >>";
    return WithTable(objects);
}

}  // namespace ZavorTest::Hostile
