#include "pdf/filters/lzw_decode.h"

#include <memory>
#include <string>

#include "pdf/errors.h"
#include "pdf/read_budget.h"

namespace ZavorPdf::Pdf::Filters {

namespace {

constexpr int ClearCode = 256;
constexpr int EndCode = 257;
constexpr int FirstFreeCode = 258;
// 12-bit codes reach no further; a writer must clear the table before this.
constexpr int TableSize = 4096;

// Codes of 9 to 12 bits, most significant bit first.
class CodeReader {
public:
    explicit CodeReader(const std::vector<std::uint8_t> &data) : data_(data) {}

    // -1 when fewer than width bits are left.
    int Next(int width) {
        while (bitCount_ < width) {
            if (position_ == data_.size()) {
                return -1;
            }
            bits_ = bits_ << 8 | data_[position_++];
            bitCount_ += 8;
        }
        bitCount_ -= width;
        return static_cast<int>((bits_ >> bitCount_) & ((1u << width) - 1));
    }

private:
    const std::vector<std::uint8_t> &data_;
    std::size_t position_ = 0;
    std::uint32_t bits_ = 0;
    int bitCount_ = 0;
};

// Entries are kept as (prefix code, last byte) pairs, so that the table
// stays small however long its strings grow.
class StringTable {
public:
    StringTable() { Reset(); }

    void Reset() { next_ = FirstFreeCode; }
    int NextCode() const { return next_; }
    bool Contains(int code) const { return code < ClearCode || (code >= FirstFreeCode && code < next_); }

    void Add(int prefix, std::uint8_t last) {
        if (next_ < TableSize) {
            prefix_[next_] = prefix;
            last_[next_] = last;
            first_[next_] = FirstByte(prefix);
            length_[next_] = Length(prefix) + 1;
            ++next_;
        }
    }

    std::uint8_t FirstByte(int code) const { return code < ClearCode ? static_cast<std::uint8_t>(code) : first_[code]; }

    void Append(int code, std::vector<std::uint8_t> &out) const {
        const std::size_t length = code < ClearCode ? 1 : length_[code];
        const std::size_t start = out.size();
        out.resize(start + length);
        for (std::size_t i = length; i-- > 0;) {
            if (code < ClearCode) {
                out[start + i] = static_cast<std::uint8_t>(code);
            } else {
                out[start + i] = last_[code];
                code = prefix_[code];
            }
        }
    }

    std::size_t Length(int code) const { return code < ClearCode ? 1 : length_[code]; }

private:
    int next_ = FirstFreeCode;
    int prefix_[TableSize] = {};
    std::uint8_t last_[TableSize] = {};
    std::uint8_t first_[TableSize] = {};
    std::size_t length_[TableSize] = {};
};

int CodeWidth(int nextCode) {
    // Early change: the width grows one entry before the codes need it.
    if (nextCode >= 2047) {
        return 12;
    }
    if (nextCode >= 1023) {
        return 11;
    }
    return nextCode >= 511 ? 10 : 9;
}

}  // namespace

std::vector<std::uint8_t> LzwDecode::Encode(const std::vector<std::uint8_t> & /*data*/) const {
    throw NotImplementedException("ZavorPdf does not support LZW encoding.");
}

std::optional<std::vector<std::uint8_t>> LzwDecode::Decode(const std::vector<std::uint8_t> &data,
                                                           const FilterParms *parms) const {
    return Expand(data, DefaultDecodedLimit, parms);
}

std::vector<std::uint8_t> LzwDecode::Expand(const std::vector<std::uint8_t> &data, std::size_t decodedLimit,
                                            const FilterParms *parms) {
    const std::size_t limit = DecodedLimit(parms, decodedLimit);
    if (data.size() >= 2 && data[0] == 0x00 && data[1] == 0x01) {
        throw NotSupportedException("LZW flavour not supported.");
    }
    auto table = std::make_unique<StringTable>();
    CodeReader reader(data);
    std::vector<std::uint8_t> out;
    int previous = -1;
    int code;
    while ((code = reader.Next(CodeWidth(table->NextCode()))) >= 0 && code != EndCode) {
        if (code == ClearCode) {
            table->Reset();
            previous = -1;
            continue;
        }
        const bool known = table->Contains(code);
        if (!known && (previous < 0 || code != table->NextCode())) {
            throw PdfReaderException("LZW data holds an undefined code.");
        }
        const std::size_t length = known ? table->Length(code) : table->Length(previous) + 1;
        if (length > limit - out.size()) {
            if (limit < decodedLimit) parms->Budget()->RefuseDecoded();
            throw PdfReaderException("LZW data decodes to more than " + std::to_string(decodedLimit) + " bytes.");
        }
        if (known) {
            table->Append(code, out);
            if (previous >= 0) {
                table->Add(previous, table->FirstByte(code));
            }
        } else {
            table->Append(previous, out);
            out.push_back(table->FirstByte(previous));
            table->Add(previous, table->FirstByte(previous));
        }
        previous = code;
    }
    Charge(parms, out.size());
    return out;
}

}  // namespace ZavorPdf::Pdf::Filters
