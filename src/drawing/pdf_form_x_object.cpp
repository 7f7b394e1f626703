#include "drawing/pdf_form_x_object.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "pdf/errors.h"
#include "pdf/pdf_content.h"
#include "pdf/pdf_contents.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_import.h"
#include "pdf/pdf_imported_object_table.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"
#include "pdf/pdf_rectangle.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_reference_table.h"

namespace ZavorPdf::Pdf::Advanced {
namespace {

// Exact values for the quarter turns, so that a turned page gets a matrix of
// plain integers and no rounding residue such as 6.1e-17.
void CosSin(int degrees, double &cosine, double &sine) {
    switch (degrees) {
    case 0: cosine = 1; sine = 0; return;
    case 90: cosine = 0; sine = 1; return;
    case 180: cosine = -1; sine = 0; return;
    case 270: cosine = 0; sine = -1; return;
    default: {
        double radians = degrees * std::numbers::pi / 180;
        cosine = std::cos(radians);
        sine = std::sin(radians);
    }
    }
}

std::string RangeMessage(int pageNumber, int pageCount, const std::string &path) {
    return "The page cannot be imported from document '" + path +
           "', because the page number is out of range. The specified page number is " +
           std::to_string(pageNumber) + ", but it must be in the range from 1 to " + std::to_string(pageCount) + ".";
}

}  // namespace

PdfFormXObject::PdfFormXObject(PdfDocument *document) : PdfDictionary(document) {
    Elements().SetName(Keys::Type, "/XObject");
    Elements().SetName(Keys::Subtype, "/Form");
}

// A viewer turns a page with "/Rotate r" clockwise by r degrees. The form
// does the same: a clockwise turn in y-up space is the rotation by -r, and
// the turned box is then moved so that its lower-left corner is the origin,
// where the placement expects the form's extent of width x height points.
PdfMatrix PdfFormXObject::UprightMatrix(const PdfRectangle &mediaBox, int rotate) {
    int degrees = ((rotate % 360) + 360) % 360;
    double c = 0, s = 0;
    CosSin(degrees, c, s);
    // Rotation by -r: [cos -sin sin cos] in the row-vector convention.
    double a = c, b = -s, cc = s, d = c;
    double xs[] = {mediaBox.X1(), mediaBox.X2()};
    double ys[] = {mediaBox.Y1(), mediaBox.Y2()};
    double minX = INFINITY, minY = INFINITY;
    for (double x : xs) {
        for (double y : ys) {
            minX = std::min(minX, a * x + cc * y);
            minY = std::min(minY, b * x + d * y);
        }
    }
    // Adding 0.0 turns a negative zero into a plain one.
    return {a + 0.0, b + 0.0, cc + 0.0, d + 0.0, -minX + 0.0, -minY + 0.0};
}

PdfFormXObject &PdfFormXObject::FromExternalPage(PdfImportedObjectTable &table, int pageNumber,
                                                 const std::string &displayPath) {
    PdfDocument *external = table.ExternalDocument();
    if (external == nullptr)
        throw InvalidOperationException("The external document of the form is gone.");
    int pageCount = external->PageCount();
    if (pageNumber < 1 || pageNumber > pageCount)
        throw ArgumentException(RangeMessage(pageNumber, pageCount, displayPath), "pageNumber");
    PdfPage &page = external->Pages()[pageNumber - 1];
    CheckImportable(page, table);

    // Decoded before anything is copied: a page whose content cannot be had
    // (damaged, or past its file's budget) leaves the document untouched.
    std::unique_ptr<PdfContent> content = page.Contents().CreateSingleContent();
    PdfDocument &owner = table.Owner();
    auto created = std::make_unique<PdfFormXObject>(&owner);
    PdfFormXObject &form = *created;
    form.CopyResources(table, page);
    PdfRectangle box = page.MediaBox();
    form.Elements().SetRectangle(Keys::BBox, box);
    // Pages whose box starts at the origin and that are not turned need no
    // matrix; any other would be placed off its target.
    if (page.Rotate() % 360 != 0 || box.X1() != 0 || box.Y1() != 0)
        form.Elements().SetMatrix(Keys::Matrix, UprightMatrix(box, page.Rotate()));
    form.TakeContent(*content);
    owner.ReferenceTable().Add(std::move(created));
    return form;
}

void PdfFormXObject::CopyResources(PdfImportedObjectTable &table, PdfPage &page) {
    const PdfItemSlot *slot = nullptr;
    for (const auto &entry : page.Elements().Entries())
        if (entry.key == Keys::Resources)
            slot = &entry.value;
    if (slot == nullptr)
        return;
    const PdfItem *item = slot->IsReference() ? slot->Reference()->Value() : slot->Get();
    auto *resources = dynamic_cast<const PdfObject *>(item);
    if (resources == nullptr)
        return;
    PdfDocument &owner = table.Owner();
    PdfItemSlot copy = ImportClosure(table, owner, *resources);
    if (copy.IsReference()) {
        Elements().SetReference(Keys::Resources, copy.Reference());
        return;
    }
    auto *direct = dynamic_cast<PdfObject *>(copy.Get());
    if (direct == nullptr)
        return;
    std::unique_ptr<PdfItem> clone = direct->Clone();
    std::unique_ptr<PdfObject> object(static_cast<PdfObject *>(clone.release()));
    Elements().SetReference(Keys::Resources, owner.ReferenceTable().Add(std::move(object)));
}

void PdfFormXObject::TakeContent(const PdfContent &content) {
    if (const PdfItem *filter = content.Elements()[Keys::Filter])
        Elements().SetValue(Keys::Filter, filter->Clone());
    CreateStream(content.Stream()->Value());
}

void PdfFormXObject::WriteObject(IO::PdfWriter &writer) const {
    // The writer sees objects as const; the form compresses itself once as
    // part of being written, like a page's content.
    auto &self = const_cast<PdfFormXObject &>(*this);
    if (Owner() != nullptr && Owner()->Options().CompressContentStreams() && self.Stream() != nullptr)
        self.Stream()->Zip();
    PdfDictionary::WriteObject(writer);
}

}  // namespace ZavorPdf::Pdf::Advanced
