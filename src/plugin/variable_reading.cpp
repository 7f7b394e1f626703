#include <limits>
#include <optional>
#include <string>

#include "pdf/pdf_document.h"
#include "platform/code_page.h"
#include "plugin/ansi_text.h"
#include "plugin/exports.h"
#include "plugin/file_variable_commands.h"
#include "plugin/number_text.h"
#include "plugin/variable_commands.h"
#include "session/pdf.h"

namespace ZavorPlugin {

namespace {

struct InformationRow {
    std::u16string_view name;
    std::int32_t code;  // GetPDFInfo's field code
};

constexpr InformationRow kInformationRows[] = {
    {u"ExternePDFDatei_Info_AnzahlSeiten", 0}, {u"ExternePDFDatei_Info_Autor", 1},
    {u"ExternePDFDatei_Info_Titel", 2},        {u"ExternePDFDatei_Info_Keywords", 3},
    {u"ExternePDFDatei_Info_Ersteller", 4},    {u"ExternePDFDatei_Info_Erstelltmit", 5},
};

// "page;path" with the page counted from 1. Nothing when the argument is
// malformed or the text cannot be had: the script then gets no value at all,
// which it can tell from an empty page.
std::optional<std::u16string> ExtractedPageText(std::u16string_view argument) {
    std::vector<std::u16string> fields = SplitFields(argument);
    if (fields.size() < 2 || TrimWhiteSpace(fields[1]).empty()) return std::nullopt;
    std::u16string_view pageField = TrimWhiteSpace(fields[0]).empty() ? u"0" : std::u16string_view(fields[0]);
    std::optional<std::int32_t> page = TryParseStrictInteger(pageField);
    // The smallest integer has no page before it; counting down from it
    // would wrap round to a large positive index.
    if (!page || *page == std::numeric_limits<std::int32_t>::min()) return std::nullopt;
    try {
        return PDF::GetInstance().GetPDFText(fields[1], *page - 1);
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<std::u16string> VariableValue(std::u16string_view name, std::u16string_view argument) {
    if (SameVariableName(name, u"AnzahlSeiten")) {
        return ZavorPlatform::Utf8ToUtf16(std::to_string(PDF::GetInstance().document->PageCount()));
    }
    for (const InformationRow &row : kInformationRows) {
        if (SameVariableName(name, row.name)) return PDF::GetInstance().GetPDFInfo(argument, row.code);
    }
    if (SameVariableName(name, u"ExternePDFDatei_Text")) return ExtractedPageText(argument);
    if (SameVariableName(name, u"Fehler")) return PDF::GetInstance().fehlertext;
    return std::nullopt;
}

}  // namespace

std::int32_t ReadVariable(std::u16string_view name, std::u16string_view argument, char *result) {
    std::optional<std::u16string> value = VariableValue(name, argument);
    if (!value) return 0;
    // A page text has no natural bound and the host gives no size: the
    // boundary's documented maximum is all the host has to provide.
    return static_cast<std::int32_t>(WriteAnsi(result, *value, ZAVOR_GETVAR_RESULT_SIZE));
}

}  // namespace ZavorPlugin
