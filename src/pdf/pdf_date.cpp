#include "pdf/pdf_date.h"

#include <atomic>
#include <cctype>

#include "pdf/pdf_writer.h"
#include "platform/code_page.h"

namespace ZavorPdf::Pdf {
namespace {

std::atomic<PdfDate::TimeSource> timeSource{nullptr};

void AppendDigits(std::string &out, int value, int width) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (static_cast<int>(digits.size()) < width) out.append(static_cast<std::size_t>(width) - digits.size(), '0');
    out += digits;
}

// Reads `width` digits at `pos`; false when they are not there.
bool ReadDigits(std::string_view text, std::size_t &pos, int width, int &value) {
    if (pos + static_cast<std::size_t>(width) > text.size()) return false;
    value = 0;
    for (int i = 0; i < width; ++i) {
        char c = text[pos + static_cast<std::size_t>(i)];
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        value = value * 10 + (c - '0');
    }
    pos += static_cast<std::size_t>(width);
    return true;
}

bool ReadOffset(std::string_view text, std::size_t pos, int &minutes) {
    minutes = 0;
    if (pos >= text.size() || text[pos] == 'Z' || text[pos] == 'z') return true;
    int sign = text[pos] == '-' ? -1 : text[pos] == '+' ? 1 : 0;
    if (sign == 0) return false;
    ++pos;
    int hours = 0, mins = 0;
    if (!ReadDigits(text, pos, 2, hours)) return false;
    if (pos < text.size() && text[pos] == '\'') ++pos;
    if (pos < text.size() && !ReadDigits(text, pos, 2, mins)) return false;
    if (hours > 23 || mins > 59) return false;
    minutes = sign * (hours * 60 + mins);
    return true;
}

}  // namespace

LocalDateTime PdfDate::CurrentTime() {
    TimeSource source = timeSource.load();
    return source != nullptr ? source() : ZavorPlatform::LocalNow();
}

PdfDate PdfDate::Now() { return PdfDate(CurrentTime()); }

void PdfDate::SetTimeSource(TimeSource source) { timeSource.store(source); }

std::string PdfDate::Format(const LocalDateTime &value) {
    std::string text = "D:";
    AppendDigits(text, value.year, 4);
    AppendDigits(text, value.month, 2);
    AppendDigits(text, value.day, 2);
    AppendDigits(text, value.hour, 2);
    AppendDigits(text, value.minute, 2);
    AppendDigits(text, value.second, 2);
    text += value.utcOffsetMinutes < 0 ? '-' : '+';
    int offset = value.utcOffsetMinutes < 0 ? -value.utcOffsetMinutes : value.utcOffsetMinutes;
    AppendDigits(text, offset / 60, 2);
    text += '\'';
    AppendDigits(text, offset % 60, 2);
    text += '\'';
    return text;
}

std::optional<LocalDateTime> PdfDate::Parse(std::string_view text) {
    if (text.starts_with("D:")) text.remove_prefix(2);
    LocalDateTime value;
    std::size_t pos = 0;
    if (!ReadDigits(text, pos, 4, value.year)) return std::nullopt;
    int *fields[] = {&value.month, &value.day, &value.hour, &value.minute, &value.second};
    for (int *field : fields) {
        if (pos >= text.size() || !std::isdigit(static_cast<unsigned char>(text[pos]))) break;
        if (!ReadDigits(text, pos, 2, *field)) return std::nullopt;
    }
    if (value.month < 1 || value.month > 12 || value.day < 1 || value.day > 31 || value.hour > 23 ||
        value.minute > 59 || value.second > 59)
        return std::nullopt;
    if (!ReadOffset(text, pos, value.utcOffsetMinutes)) return std::nullopt;
    return value;
}

void PdfDate::WriteObject(IO::PdfWriter &writer) const {
    writer.WriteDocString(ZavorPlatform::Utf8ToUtf16(Format(value_)));
}

}  // namespace ZavorPdf::Pdf
