// Writes a font file from a list of tables: offset table, directory sorted
// by tag and the table data, each table padded to 4 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ZavorPdf::Fonts::OpenType {

struct OutputTable {
    std::string tag;
    std::uint32_t checkSum = 0;
    std::vector<std::uint8_t> bytes;  // unpadded
};

class FontFileWriter {
public:
    // Fails with "Font image cannot be modified." once the file is written.
    void AddTable(OutputTable table);
    // The file image; the writer is read-only afterwards. Fails when more
    // than 30 tables were added, the most the search values cover.
    std::vector<std::uint8_t> Compile();

private:
    std::vector<OutputTable> tables_;
    bool readOnly_ = false;
};

}  // namespace ZavorPdf::Fonts::OpenType
