#include "drawing/pdf_image.h"

#include "drawing/pdf_image_table.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_boolean.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_number.h"
#include "pdf/pdf_reference_table.h"

namespace ZavorPdf::Pdf::Advanced {
namespace {

void SetFilters(DictionaryElements &elements, const std::vector<std::string> &filters) {
    if (filters.empty()) return;
    if (filters.size() == 1) return elements.SetName(PdfImage::Keys::Filter, filters.front());
    auto array = std::make_unique<PdfArray>();
    for (const std::string &filter : filters) array->Elements().Add(std::make_unique<PdfName>(filter));
    elements.SetObject(PdfImage::Keys::Filter, std::move(array));
}

// "/Type /XObject /Subtype /Image" and the stream, its "/Length" first.
std::unique_ptr<PdfDictionary> NewImageObject(PdfDocument &document, const ImageStreamData &data) {
    auto object = std::make_unique<PdfDictionary>(&document);
    object->Elements().SetName(PdfImage::Keys::Type, "/XObject");
    object->Elements().SetName(PdfImage::Keys::Subtype, "/Image");
    object->CreateStream(data.bytes);
    SetFilters(object->Elements(), data.filters);
    return object;
}

const char *ColorSpaceName(ImageColorSpace space) {
    switch (space) {
    case ImageColorSpace::DeviceGray: return "/DeviceGray";
    case ImageColorSpace::DeviceCMYK: return "/DeviceCMYK";
    default: return "/DeviceRGB";
    }
}

}  // namespace

PdfImage::PdfImage(PdfDocument &document, std::string selector, const ImagePlan &plan)
    : PdfDictionary(&document), selector_(std::move(selector)) {
    Elements().SetName(Keys::Type, "/XObject");
    Elements().SetName(Keys::Subtype, "/Image");
    AddHelpers(document, plan);
    CreateStream(plan.samples.bytes);
    SetFilters(Elements(), plan.samples.filters);
    SetSampleEntries(plan);
}

PdfImage::PdfImage(const PdfImage &other) : PdfDictionary(other), selector_(other.selector_), registered_(false) {}

PdfImage::~PdfImage() {
    if (registered_) PdfImageTable::Forget(*this);
}

void PdfImage::AddHelpers(PdfDocument &document, const ImagePlan &plan) {
    PdfReferenceTable &table = document.ReferenceTable();
    PdfReference *palette = nullptr;
    if (plan.palette) {
        auto object = std::make_unique<PdfDictionary>(&document);
        object->CreateStream(plan.palette->bytes);
        SetFilters(object->Elements(), plan.palette->filters);
        palette = table.Add(std::move(object));
    }
    if (plan.stencilMask) {
        auto mask = NewImageObject(document, {*plan.stencilMask, {"/FlateDecode"}});
        mask->Elements().SetInteger(Keys::Width, plan.width);
        mask->Elements().SetInteger(Keys::Height, plan.height);
        mask->Elements().SetInteger(Keys::BitsPerComponent, 1);
        mask->Elements().SetBoolean(Keys::ImageMask, true);
        Elements().SetReference(Keys::Mask, table.Add(std::move(mask)));
    } else if (plan.colorKey) {
        auto range = std::make_unique<PdfArray>();
        range->Elements().Add(std::make_unique<PdfInteger>(plan.colorKey->first));
        range->Elements().Add(std::make_unique<PdfInteger>(plan.colorKey->second));
        Elements().SetObject(Keys::Mask, std::move(range));
    }
    if (plan.softMask) {
        auto soft = NewImageObject(document, {*plan.softMask, {"/FlateDecode"}});
        soft->Elements().SetInteger(Keys::Width, plan.width);
        soft->Elements().SetInteger(Keys::Height, plan.height);
        soft->Elements().SetInteger(Keys::BitsPerComponent, 8);
        soft->Elements().SetName(Keys::ColorSpace, "/DeviceGray");
        Elements().SetReference(Keys::SMask, table.Add(std::move(soft)));
    }
    if (palette != nullptr) {
        auto space = std::make_unique<PdfArray>();
        space->Elements().Add(std::make_unique<PdfName>("/Indexed"));
        space->Elements().Add(std::make_unique<PdfName>("/DeviceRGB"));
        space->Elements().Add(std::make_unique<PdfInteger>(plan.highestIndex));
        space->Elements().AddReference(palette);
        paletteSpace_ = std::move(space);
    }
}

void PdfImage::SetSampleEntries(const ImagePlan &plan) {
    Elements().SetInteger(Keys::Width, plan.width);
    Elements().SetInteger(Keys::Height, plan.height);
    Elements().SetInteger(Keys::BitsPerComponent, plan.bitsPerComponent);
    if (paletteSpace_)
        Elements().SetObject(Keys::ColorSpace, std::move(paletteSpace_));
    else
        Elements().SetName(Keys::ColorSpace, ColorSpaceName(plan.colorSpace));
    if (plan.inverseDecode) {
        auto decode = std::make_unique<PdfArray>();
        for (int i = 0; i < 4; ++i) {
            decode->Elements().Add(std::make_unique<PdfInteger>(1));
            decode->Elements().Add(std::make_unique<PdfInteger>(0));
        }
        Elements().SetObject(Keys::Decode, std::move(decode));
    }
    if (plan.interpolate) Elements().SetBoolean(Keys::Interpolate, true);
}

}  // namespace ZavorPdf::Pdf::Advanced
