#include "plugin/file_variable_commands.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/code_page.h"
#include "plugin/number_text.h"
#include "session/pdf.h"

namespace ZavorPlugin {

namespace {

// Names as views of known length: a literal turned into a view is counted
// out at every call.
using namespace std::string_view_literals;

bool IsBlank(std::u16string_view text) { return TrimWhiteSpace(text).empty(); }

// The catch-all shows the failure's message to the user, so it says which
// field of the value is wrong.
const std::u16string &FieldAt(const std::vector<std::u16string> &fields, std::size_t index) {
    if (index >= fields.size()) {
        throw std::invalid_argument("Der Wert hat kein Feld " + std::to_string(index) +
                                    " (Felder werden mit \";\" getrennt).");
    }
    return fields[index];
}

std::int32_t PageNumberField(const std::vector<std::u16string> &fields, std::size_t index) {
    std::u16string_view field = FieldAt(fields, index);
    if (IsBlank(field)) field = u"0";
    if (std::optional<std::int32_t> number = TryParseStrictInteger(field)) return *number;
    throw std::invalid_argument("Die Seitenzahl \"" + ZavorPlatform::Utf16ToUtf8(field) +
                                "\" ist keine ganze Zahl.");
}

bool SetUnguarded(std::u16string_view name, std::u16string_view value) {
    if (SameVariableName(name, u"Sicherheit_BesitzerPasswort"sv)) {
        PDF::GetInstance().AddPassword(value, 1);
    } else if (SameVariableName(name, u"Sicherheit_AnwenderPasswort"sv)) {
        PDF::GetInstance().AddPassword(value, 2);
    } else if (SameVariableName(name, u"ExternePDFDatei_Passwort"sv)) {
        PDF::GetInstance().SetExternalPassword(value);
    } else {
        return false;
    }
    return true;
}

bool SetGuarded(std::u16string_view name, std::u16string_view value) {
    if (SameVariableName(name, u"ExternePDFDatei_AlleSeitenHinzufuegen"sv)) {
        if (!IsBlank(value)) PDF::GetInstance().AddPDF(value, 0, 0);
    } else if (SameVariableName(name, u"ExternePDFDatei_Hinzufuegen"sv)) {
        std::vector<std::u16string> fields = SplitFields(value);
        std::int32_t from = PageNumberField(fields, 0);
        std::int32_t to = PageNumberField(fields, 1);
        PDF::GetInstance().AddPDF(FieldAt(fields, 2), from, to);
    } else {
        return false;
    }
    return true;
}

// Icon; title; subject; text. The note text is the rest of the value after
// the third separator, so that it may hold separators itself. Besides ";"
// the host's list separator (character 2) also splits.
void AddNote(std::u16string_view value) {
    if (IsBlank(value)) return;
    std::size_t separators[3];
    std::size_t start = 0;
    for (std::size_t &separator : separators) {
        separator = value.find_first_of(u";\u0002", start);
        if (separator == std::u16string_view::npos) return;
        start = separator + 1;
    }
    auto field = [&](std::size_t index) {
        std::size_t begin = index == 0 ? 0 : separators[index - 1] + 1;
        return value.substr(begin, separators[index] - begin);
    };
    std::u16string_view icon = IsBlank(field(0)) ? u"1" : field(0);
    std::u16string_view title = IsBlank(field(1)) ? u"" : field(1);
    std::u16string_view subject = IsBlank(field(2)) ? u"" : field(2);
    PDF::GetInstance().AddNotice(title, subject, icon, value.substr(separators[2] + 1));
}

bool SetAfterFirstPage(std::u16string_view name, std::u16string_view value) {
    struct LinkRow {
        std::u16string_view name;
        std::int32_t kind;
    };
    static constexpr LinkRow kLinks[] = {
        {u"DokumentlinkHinzufuegen"sv, 1}, {u"DateilinkHinzufuegen"sv, 2}, {u"WeblinkHinzufuegen"sv, 3}};
    for (const LinkRow &row : kLinks) {
        if (SameVariableName(name, row.name)) {
            PDF::GetInstance().AddLink(value, row.kind);
            return true;
        }
    }
    if (SameVariableName(name, u"HauptLesezeichenHinzufuegen"sv)) {
        PDF::GetInstance().AddBookmark(value, false);
    } else if (SameVariableName(name, u"UnterLesezeichenHinzufuegen"sv)) {
        PDF::GetInstance().AddBookmark(value, true);
    } else if (SameVariableName(name, u"BildHinzufuegen"sv)) {
        PDF::GetInstance().AddPicture(value);
    } else if (SameVariableName(name, u"NotizHinzufuegen"sv)) {
        AddNote(value);
    } else {
        return false;
    }
    return true;
}

}  // namespace

bool SameVariableName(std::u16string_view a, std::u16string_view b) {
    auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char16_t x, char16_t y) { return fold(x) == fold(y); });
}

std::vector<std::u16string> SplitFields(std::u16string_view value) {
    std::vector<std::u16string> fields;
    std::size_t start = 0;
    for (;;) {
        std::size_t separator = value.find(u';', start);
        fields.emplace_back(value.substr(start, separator - start));
        if (separator == std::u16string_view::npos) return fields;
        start = separator + 1;
    }
}

bool TrySetFileVariable(VariableGroup group, std::u16string_view name, std::u16string_view value) {
    switch (group) {
    case VariableGroup::Unguarded:
        return SetUnguarded(name, value);
    case VariableGroup::Guarded:
        return SetGuarded(name, value);
    case VariableGroup::AfterFirstPage:
        return SetAfterFirstPage(name, value);
    }
    return false;
}

}  // namespace ZavorPlugin
