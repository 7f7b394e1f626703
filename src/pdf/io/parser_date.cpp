// Dates as PDF files store them.
#include <optional>
#include <string_view>

#include "pdf/io/parser.h"
#include "pdf/pdf_date.h"

namespace ZavorPdf::Pdf::IO {

namespace {

using ZavorPlatform::LocalDateTime;

std::optional<int> Digits(std::string_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) return std::nullopt;
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

bool Assign(std::optional<int> value, int &field, int low, int high) {
    if (!value || *value < low || *value > high) return false;
    field = *value;
    return true;
}

// The time stays as the file writes it; the offset is kept beside it, so
// that the value names the same instant it did in the file.
std::optional<LocalDateTime> ParseFixed(std::string_view text) {
    LocalDateTime date;
    if (!Assign(Digits(text, 2, 4), date.year, 1, 9999)) return std::nullopt;
    if (text.size() >= 10) {
        if (!Assign(Digits(text, 6, 2), date.month, 1, 12)) return std::nullopt;
        if (!Assign(Digits(text, 8, 2), date.day, 1, DaysInMonth(date.year, date.month))) return std::nullopt;
    }
    if (text.size() >= 16) {
        if (!Assign(Digits(text, 10, 2), date.hour, 0, 23) || !Assign(Digits(text, 12, 2), date.minute, 0, 59) ||
            !Assign(Digits(text, 14, 2), date.second, 0, 59))
            return std::nullopt;
    }
    if (text.size() >= 23) {
        char sign = text[16];
        if (sign != 'Z' && sign != '+' && sign != '-') return std::nullopt;
        if (sign != 'Z') {
            int hours = 0;
            int minutes = 0;
            if (!Assign(Digits(text, 17, 2), hours, 0, 23) || !Assign(Digits(text, 20, 2), minutes, 0, 59))
                return std::nullopt;
            date.utcOffsetMinutes = (sign == '-' ? -1 : 1) * (hours * 60 + minutes);
        }
    }
    return date;
}

}  // namespace

LocalDateTime Parser::ParseDateTime(std::string_view text, const LocalDateTime &errorValue) {
    std::optional<LocalDateTime> date = text.starts_with("D:") ? ParseFixed(text) : PdfDate::Parse(text);
    return date ? *date : errorValue;
}

}  // namespace ZavorPdf::Pdf::IO
