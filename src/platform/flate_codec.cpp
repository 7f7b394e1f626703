#include "platform/flate_codec.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <new>
#include <string_view>

namespace ZavorPlatform {

namespace {

// Inflate hands zlib the whole input and output buffers of a megabyte and
// more. Small calls are slow: once a call ends, zlib copies the last 32 KiB of
// output into its window, and back-references across a call boundary take
// its slow path. With 32 KiB pieces of input or output, inflating content
// streams took 8 to 30 percent longer than bare uncompress.
constexpr std::size_t OutputStep = std::size_t{1} << 20;
constexpr std::size_t FirstStepMinimum = std::size_t{16} << 10;
// zlib counts buffer sizes in uInt; larger buffers are handed over in pieces.
constexpr std::size_t MaxPiece = std::numeric_limits<uInt>::max();
// The compression buffer kept between calls.
constexpr std::size_t KeptScratch = std::size_t{1} << 20;

std::string Reason(const z_stream &stream, int code) {
    return stream.msg != nullptr ? std::string(stream.msg) : std::string(zError(code));
}

// Ends the zlib stream on every way out of the function.
class InflateGuard {
public:
    explicit InflateGuard(z_stream &stream) : stream_(stream) {}
    ~InflateGuard() { inflateEnd(&stream_); }
    InflateGuard(const InflateGuard &) = delete;
    InflateGuard &operator=(const InflateGuard &) = delete;

private:
    z_stream &stream_;
};

// One compressor per thread, reset between calls: a fresh one allocates and
// clears about 270 KiB of tables, which cost as much as compressing a small
// page. A reset stream writes the very same bytes as a new one.
class DeflateStream {
public:
    DeflateStream() = default;
    ~DeflateStream() {
        if (ready_) deflateEnd(&stream_);
    }
    DeflateStream(const DeflateStream &) = delete;
    DeflateStream &operator=(const DeflateStream &) = delete;

    z_stream &Fresh();
    // The compressed bytes collect here and are copied out at their final size.
    std::vector<std::uint8_t> &Scratch() { return scratch_; }

private:
    z_stream stream_{};
    bool ready_ = false;
    std::vector<std::uint8_t> scratch_;
};

void FeedInput(z_stream &stream, const std::uint8_t *&next, const std::uint8_t *end) {
    if (stream.avail_in != 0 || next == end) {
        return;
    }
    const std::size_t piece = std::min<std::size_t>(static_cast<std::size_t>(end - next), MaxPiece);
    // zlib takes a non-const pointer for historical reasons; it never writes.
    stream.next_in = const_cast<Bytef *>(next);
    stream.avail_in = static_cast<uInt>(piece);
    next += piece;
}

[[noreturn]] void ThrowFailure(const z_stream &stream, int code) {
    if (code == Z_MEM_ERROR) {
        throw std::bad_alloc();
    }
    if (code == Z_DATA_ERROR) {
        throw FlateError(FlateError::Kind::Damaged, Reason(stream, code));
    }
    if (code == Z_NEED_DICT) {
        throw FlateError(FlateError::Kind::Damaged, "a preset dictionary is needed");
    }
    throw FlateError(FlateError::Kind::Failed, Reason(stream, code));
}

// zlib tells a wrong Adler-32 sum only by its message; it comes after the
// last byte of output.
bool IsChecksumError(const z_stream &stream) {
    return stream.msg != nullptr && std::string_view(stream.msg) == "incorrect data check";
}

z_stream &DeflateStream::Fresh() {
    // A call that failed half-way left the stream as it was; the reset
    // starts over either way.
    const int code = ready_ ? deflateReset(&stream_) : deflateInit(&stream_, Z_DEFAULT_COMPRESSION);
    if (code != Z_OK) {
        ThrowFailure(stream_, code);
    }
    ready_ = true;
    return stream_;
}

}  // namespace

std::uint32_t Adler32(std::uint32_t start, std::span<const std::uint8_t> data) {
    // zlib answers a null buffer, which an empty span may hold, with its
    // own start value rather than ours.
    if (data.empty()) return start;
    return static_cast<std::uint32_t>(adler32_z(start, data.data(), data.size()));
}

std::vector<std::uint8_t> Deflate(std::span<const std::uint8_t> data) {
    thread_local DeflateStream compressor;
    z_stream &stream = compressor.Fresh();

    // One pass into a buffer of the worst-case size, as compress2 does.
    std::vector<std::uint8_t> &out = compressor.Scratch();
    const std::size_t bound = deflateBound(&stream, static_cast<uLong>(data.size()));
    if (out.size() < bound) out.resize(bound);
    // A page of content bytes is typical; an unusually large stream must not
    // keep its buffer for the rest of the run.
    if (out.size() > std::max<std::size_t>(bound, KeptScratch)) {
        out.resize(bound);
        out.shrink_to_fit();
    }
    const std::uint8_t *next = data.data();
    const std::uint8_t *const end = data.data() + data.size();
    std::size_t produced = 0;
    int code = Z_OK;
    while (code != Z_STREAM_END) {
        FeedInput(stream, next, end);
        if (produced == out.size()) {
            out.resize(out.size() * 2 + 64);
        }
        const std::size_t room = std::min(out.size() - produced, MaxPiece);
        stream.next_out = out.data() + produced;
        stream.avail_out = static_cast<uInt>(room);
        const int flush = (next == end) ? Z_FINISH : Z_NO_FLUSH;
        code = deflate(&stream, flush);
        produced += room - stream.avail_out;
        if (code != Z_OK && code != Z_STREAM_END && code != Z_BUF_ERROR) {
            ThrowFailure(stream, code);
        }
    }
    return std::vector<std::uint8_t>(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(produced));
}

std::vector<std::uint8_t> Inflate(std::span<const std::uint8_t> data, std::size_t decodedLimit) {
    z_stream stream{};
    const int init = inflateInit(&stream);
    if (init != Z_OK) {
        ThrowFailure(stream, init);
    }
    InflateGuard guard(stream);

    std::vector<std::uint8_t> out;
    // Content streams shrink to a fifth or so; guessing right saves the
    // copies of a growing buffer. The first step is that guess: a small
    // stream neither maps nor zeroes a whole step of memory.
    const std::size_t firstStep = std::clamp(data.size() * 6, FirstStepMinimum, OutputStep);
    out.reserve(std::min(decodedLimit, std::max(firstStep, data.size() * 6)));
    const std::uint8_t *next = data.data();
    const std::uint8_t *const end = data.data() + data.size();
    std::size_t produced = 0;
    while (true) {
        FeedInput(stream, next, end);
        if (produced == out.size()) {
            // One byte of room past the limit tells a stream that ends exactly
            // at the limit from one that goes on.
            // Steps of a fixed size: every byte of them is zeroed first.
            const std::size_t step = out.empty() ? firstStep : OutputStep;
            const std::size_t left = decodedLimit - produced;
            out.resize(produced + (left >= step ? step : left + 1));
        }
        const std::size_t room = std::min(out.size() - produced, MaxPiece);
        stream.next_out = out.data() + produced;
        stream.avail_out = static_cast<uInt>(room);
        const int code = inflate(&stream, Z_NO_FLUSH);
        produced += room - stream.avail_out;
        if (produced > decodedLimit) {
            throw FlateError(FlateError::Kind::LimitExceeded,
                             "output exceeds " + std::to_string(decodedLimit) + " bytes");
        }
        if (code == Z_STREAM_END) {
            break;
        }
        if (code == Z_BUF_ERROR && stream.avail_in == 0 && next == end) {
            throw FlateError(FlateError::Kind::Damaged, "unexpected end of data");
        }
        if (code != Z_OK && code != Z_BUF_ERROR) {
            ThrowFailure(stream, code);
        }
    }
    out.resize(produced);
    return out;
}

void CheckInflate(std::span<const std::uint8_t> data, std::size_t decodedLimit, std::vector<std::uint8_t> *output) {
    z_stream stream{};
    const int init = inflateInit(&stream);
    if (init != Z_OK) {
        ThrowFailure(stream, init);
    }
    InflateGuard guard(stream);
    // Sized by the data as the first step of Inflate is: a page's small
    // content stream must not clear a megabyte for every reading.
    std::vector<std::uint8_t> out(std::clamp(data.size() * 6, FirstStepMinimum, OutputStep));
    const std::uint8_t *next = data.data();
    const std::uint8_t *const end = data.data() + data.size();
    std::size_t produced = 0;
    while (true) {
        FeedInput(stream, next, end);
        stream.next_out = out.data();
        stream.avail_out = static_cast<uInt>(out.size());
        const int code = inflate(&stream, Z_NO_FLUSH);
        const std::size_t piece = out.size() - stream.avail_out;
        produced += piece;
        if (produced > decodedLimit) {
            throw FlateError(FlateError::Kind::LimitExceeded,
                             "output exceeds " + std::to_string(decodedLimit) + " bytes");
        }
        if (output != nullptr) {
            output->insert(output->end(), out.begin(), out.begin() + static_cast<std::ptrdiff_t>(piece));
        }
        if (code == Z_STREAM_END || (code == Z_DATA_ERROR && IsChecksumError(stream))) {
            return;
        }
        if (code == Z_BUF_ERROR && stream.avail_in == 0 && next == end) {
            throw FlateError(FlateError::Kind::Damaged, "unexpected end of data");
        }
        if (code != Z_OK && code != Z_BUF_ERROR) {
            ThrowFailure(stream, code);
        }
    }
}

}  // namespace ZavorPlatform
