// Setting a plug-in variable: each name is an instruction to the session.
// Names fall into three groups: the first runs without any catch, the second
// under the catch-all, the third also under the catch-all but only after the
// document has its first page.
#include "plugin/variable_commands.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <span>

#include "pdf/pdf_document.h"
#include "pdf/pdf_document_information.h"
#include "pdf/pdf_page.h"
#include "plugin/export_guard.h"
#include "plugin/file_variable_commands.h"
#include "plugin/variable_values.h"
#include "session/pdf.h"

namespace ZavorPlugin {
namespace {

using Action = void (*)(PDF &session, std::u16string_view value);

struct Row {
    std::u16string_view name;
    Action action;
};

char16_t FoldAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool SameName(std::u16string_view a, std::u16string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char16_t x, char16_t y) { return FoldAscii(x) == FoldAscii(y); });
}

bool Perform(std::span<const Row> rows, std::u16string_view name, std::u16string_view value) {
    for (const Row &row : rows) {
        if (!SameName(row.name, name)) continue;
        row.action(PDF::GetInstance(), value);
        return true;
    }
    return false;
}

std::int32_t Clamped(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

const Row kUnguarded[] = {
    {u"Info_Titel", [](PDF &s, std::u16string_view v) { s.document->Info().SetTitle(std::u16string(v)); }},
    {u"Info_Autor", [](PDF &s, std::u16string_view v) { s.document->Info().SetAuthor(std::u16string(v)); }},
    {u"Info_Keywords", [](PDF &s, std::u16string_view v) { s.document->Info().SetKeywords(std::u16string(v)); }},
    {u"NeueSeite",
     [](PDF &s, std::u16string_view v) {
         if (!IsBlank(v)) s.GetConst(v, 0);
         s.AddPage();
     }},
    {u"Seite_Hoehe", [](PDF &s, std::u16string_view v) { s.vpage->SetHeight(ReadLeadingInteger(v)); }},
    {u"Seite_Breite", [](PDF &s, std::u16string_view v) { s.vpage->SetWidth(ReadLeadingInteger(v)); }},
    {u"AusrichtungSeite",
     [](PDF &s, std::u16string_view v) {
         s.vpage->SetOrientation(ReadLeadingInteger(v) == 1 ? ZavorPdf::Pdf::PageOrientation::Landscape
                                                            : ZavorPdf::Pdf::PageOrientation::Portrait);
     }},
};

const Row kGuarded[] = {
    {u"AktiveSeiteFestlegen",
     [](PDF &s, std::u16string_view v) { s.SetActivePage(Clamped(std::int64_t{ReadLeadingInteger(v)} - 1)); }},
    {u"PDFSpeichern", [](PDF &s, std::u16string_view v) { s.SavePDF(v); }},
};

// Shear and scale: two whole per-cent values; anything unreadable does
// nothing.
template <void (PDF::*Transform)(double, double)>
void TwoPercentages(PDF &s, std::u16string_view v) {
    if (IsBlank(v)) return;
    try {
        ValueFields fields(v);
        fields.DefaultIfBlank(0, u"0");
        fields.DefaultIfBlank(1, u"0");
        (s.*Transform)(fields.Integer(0), fields.Integer(1));
    } catch (...) {
    }
}

// Rounded rectangle, pie and arc: line width and two decimal numbers, with
// 0, 100, 100 for a blank value and whenever the fields cannot be read.
template <void (PDF::*Figure)(std::int32_t, double, double)>
void WidthAndTwoDecimals(PDF &s, std::u16string_view v) {
    std::int32_t width = 0;
    double first = 100, second = 100;
    if (!IsBlank(v)) {
        try {
            ValueFields fields(v);
            fields.DefaultIfBlank(0, u"0");
            fields.DefaultIfBlank(1, u"100");
            fields.DefaultIfBlank(2, u"100");
            std::int32_t readWidth = fields.Integer(0);
            double readFirst = fields.Decimal(1);
            double readSecond = fields.Decimal(2);
            width = readWidth;
            first = readFirst;
            second = readSecond;
        } catch (...) {
        }
    }
    (s.*Figure)(width, first, second);
}

void Polygon(PDF &s, std::u16string_view v) {
    if (IsBlank(v)) return;
    try {
        ValueFields fields(v);
        fields.DefaultIfBlank(0, u"1");
        if (fields.Count() < 2 || IsBlank(fields[1])) return;
        s.AddPolygon(fields.Integer(0), fields.All());
    } catch (...) {
    }
}

bool EffectOff(PDF &s, std::u16string_view v) {
    if (v != u"0" && !IsBlank(v)) return false;
    s.effect_typ = 0;
    return true;
}

// Radius and grid: two values and a pattern. Every field is checked for
// presence first; a field that is not a whole number ends the row, keeping
// what was assigned before it.
template <std::int32_t Kind>
void TwoValuesAndPattern(PDF &s, std::u16string_view v) {
    if (EffectOff(s, v)) return;
    try {
        ValueFields fields(v);
        for (std::size_t i = 0; i < 3; ++i) fields.DefaultIfBlank(i, u"1");
        s.effect_mod1 = fields.Integer(0);
        s.effect_mod2 = fields.Integer(1);
        s.effect_typ = Kind;
        s.SetDotStyle(fields.Integer(2));
    } catch (const FieldValueError &) {
    }
}

// Horizontal and vertical lines: spacing and pattern.
template <std::int32_t Kind>
void SpacingAndPattern(PDF &s, std::u16string_view v) {
    if (EffectOff(s, v)) return;
    try {
        ValueFields fields(v);
        fields.DefaultIfBlank(0, u"1");
        fields.DefaultIfBlank(1, u"1");
        s.effect_mod1 = fields.Integer(0);
        s.effect_typ = Kind;
        s.SetDotStyle(fields.Integer(1));
    } catch (const FieldValueError &) {
    }
}

template <std::int32_t PDF::*Component>
void Colour(PDF &s, std::u16string_view v) {
    s.*Component = ReadLeadingInteger(v);
    s.MkColor();
}

template <std::int32_t PDF::*Field>
void Number(PDF &s, std::u16string_view v) {
    s.*Field = ReadLeadingInteger(v);
}

template <void (PDF::*Figure)(std::int32_t)>
void WidthOnly(PDF &s, std::u16string_view v) {
    (s.*Figure)(ReadLeadingInteger(v));
}

const Row kAfterFirstPage[] = {
    {u"TextHinzufuegen",
     [](PDF &s, std::u16string_view v) {
         s.MkFont();
         s.AddText(v);
     }},
    {u"Schriftart", [](PDF &s, std::u16string_view v) { s.fontname = v; }},
    {u"Schriftgroesse", Number<&PDF::fontsize>},
    {u"FarbeAlpha", Colour<&PDF::ColA>},
    {u"FarbeRot", Colour<&PDF::ColR>},
    {u"FarbeGruen", Colour<&PDF::ColG>},
    {u"FarbeBlau", Colour<&PDF::ColB>},
    {u"Zielbox_X", Number<&PDF::BoxX>},
    {u"Zielbox_Y", Number<&PDF::BoxY>},
    {u"Zielbox_Hoehe", Number<&PDF::BoxH>},
    {u"Zielbox_Breite", Number<&PDF::BoxB>},
    {u"EllipseHinzufuegen", WidthOnly<&PDF::AddEllipse>},
    {u"LinieHinzufuegen", WidthOnly<&PDF::AddLine>},
    {u"RechteckHinzufuegen", WidthOnly<&PDF::AddRect>},
    {u"TextHAusrichtung",
     [](PDF &s, std::u16string_view v) { s.SetTextAlign(Clamped(std::int64_t{ReadLeadingInteger(v)} + 4)); }},
    {u"TextVAusrichtung", [](PDF &s, std::u16string_view v) { s.SetTextAlign(ReadLeadingInteger(v)); }},
    {u"Drehung", WidthOnly<&PDF::AddRotate>},
    {u"PolygonHinzufuegen", Polygon},
    {u"Schubeffekt", TwoPercentages<&PDF::AddShear>},
    {u"Skalieren", TwoPercentages<&PDF::AddScale>},
    {u"RundesRechteckHinzufuegen", WidthAndTwoDecimals<&PDF::AddRoundedRect>},
    {u"TorteHinzufuegen", WidthAndTwoDecimals<&PDF::AddPie>},
    {u"BogenHinzufuegen", WidthAndTwoDecimals<&PDF::AddArc>},
    {u"EffektTemplate_Radius", TwoValuesAndPattern<1>},
    {u"EffektTemplate_Horizontal", SpacingAndPattern<3>},
    {u"EffektTemplate_Vertikal", SpacingAndPattern<4>},
    {u"EffektTemplate_Gitter", TwoValuesAndPattern<5>},
    {u"TextfeldHinzufuegen", [](PDF &s, std::u16string_view) { s.AddInput(0); }},
    {u"ObjektFuellen", [](PDF &s, std::u16string_view v) { s.brushme = v != u"0"; }},
    {u"EffektTemplate_Bild",
     [](PDF &s, std::u16string_view v) {
         if (EffectOff(s, v)) return;
         s.effect_typ = 2;
         s.modfilename = v;
     }},
};

void SetGuarded(std::u16string_view name, std::u16string_view value) {
    if (TrySetFileVariable(VariableGroup::Guarded, name, value)) return;
    if (Perform(kGuarded, name, value)) return;
    // Every name from here on, known or not, gives the document its first
    // page.
    PDF &session = PDF::GetInstance();
    if (session.page == nullptr) session.AddPage();
    if (TrySetFileVariable(VariableGroup::AfterFirstPage, name, value)) return;
    Perform(kAfterFirstPage, name, value);
}

}  // namespace

std::int32_t SetVariable(std::u16string_view name, std::u16string_view value) {
    // The first group has no catch of its own; a failure there reaches the
    // export's guard, which shows the same box as the catch-all below.
    if (TrySetFileVariable(VariableGroup::Unguarded, name, value)) return 1;
    if (Perform(kUnguarded, name, value)) return 1;
    try {
        SetGuarded(name, value);
    } catch (const std::exception &error) {
        ShowUnexpectedFailure(error.what());
    } catch (...) {
        ShowUnexpectedFailure(nullptr);
    }
    return 1;
}

}  // namespace ZavorPlugin
