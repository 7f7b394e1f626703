#include "drawing/pdf_image_table.h"

#include <array>
#include <map>
#include <mutex>

#include "drawing/pdf_image.h"
#include "drawing/x_image.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_reference_table.h"

namespace ZavorPdf::Pdf::Advanced {
namespace {

struct DocumentImages {
    // Tells a document apart from a later one at the same address.
    std::array<std::uint8_t, 16> guid;
    std::map<std::string, PdfImage *> bySelector;  // non-owning
};

std::mutex &Lock() {
    static std::mutex lock;
    return lock;
}

std::map<const PdfDocument *, DocumentImages> &Tables() {
    static std::map<const PdfDocument *, DocumentImages> tables;
    return tables;
}

PdfImage *Find(const PdfDocument &document, const std::string &selector) {
    std::lock_guard<std::mutex> guard(Lock());
    auto it = Tables().find(&document);
    if (it == Tables().end() || it->second.guid != document.Guid()) return nullptr;
    auto image = it->second.bySelector.find(selector);
    return image == it->second.bySelector.end() ? nullptr : image->second;
}

}  // namespace

PdfImage &PdfImageTable::GetImage(PdfDocument &document, const Drawing::XImage &image) {
    const std::string &selector = image.Selector();
    if (PdfImage *known = Find(document, selector)) return *known;
    ImagePlan plan = PlanImage(image, document.Version());
    auto created = std::make_unique<PdfImage>(document, selector, plan);
    PdfImage &result = *created;
    document.ReferenceTable().Add(std::move(created));
    std::lock_guard<std::mutex> guard(Lock());
    DocumentImages &entry = Tables()[&document];
    if (entry.guid != document.Guid()) {
        entry.guid = document.Guid();
        entry.bySelector.clear();
    }
    entry.bySelector[selector] = &result;
    return result;
}

int PdfImageTable::Count(const PdfDocument &document) {
    std::lock_guard<std::mutex> guard(Lock());
    auto it = Tables().find(&document);
    return it == Tables().end() || it->second.guid != document.Guid() ? 0
                                                                       : static_cast<int>(it->second.bySelector.size());
}

void PdfImageTable::Forget(const PdfImage &image) {
    std::lock_guard<std::mutex> guard(Lock());
    auto it = Tables().find(image.Owner());
    if (it == Tables().end()) return;
    auto known = it->second.bySelector.find(image.Selector());
    if (known != it->second.bySelector.end() && known->second == &image) it->second.bySelector.erase(known);
    if (it->second.bySelector.empty()) Tables().erase(it);
}

}  // namespace ZavorPdf::Pdf::Advanced
