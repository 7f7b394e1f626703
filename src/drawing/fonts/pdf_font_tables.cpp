#include "drawing/fonts/pdf_font_tables.h"

#include <array>
#include <map>
#include <memory>
#include <mutex>

#include "drawing/fonts/pdf_font_table.h"
#include "pdf/pdf_document.h"

namespace ZavorPdf::Pdf::Advanced {

namespace {

struct Registration {
    // A document that went away without Release may leave its address to
    // a new one; the identifier tells them apart.
    std::array<std::uint8_t, 16> guid;
    std::unique_ptr<PdfFontTable> table;
};

std::mutex &Lock() {
    static std::mutex lock;
    return lock;
}

std::map<const PdfDocument *, Registration> &Tables() {
    static std::map<const PdfDocument *, Registration> tables;
    return tables;
}

}  // namespace

PdfFontTable &PdfFontTables::Of(PdfDocument &document) {
    // From the first font on, every save prepares the fonts and every
    // document that goes takes its table along.
    PdfDocument::BeforeSaveHook = &PdfFontTables::PrepareForSave;
    PdfDocument::DisposeHook = &PdfFontTables::Release;
    std::lock_guard<std::mutex> guard(Lock());
    Registration &entry = Tables()[&document];
    if (!entry.table || entry.guid != document.Guid()) {
        entry.guid = document.Guid();
        entry.table = std::make_unique<PdfFontTable>(document);
    }
    return *entry.table;
}

void PdfFontTables::PrepareForSave(PdfDocument &document) {
    PdfFontTable *table = nullptr;
    {
        std::lock_guard<std::mutex> guard(Lock());
        auto it = Tables().find(&document);
        if (it == Tables().end() || it->second.guid != document.Guid()) return;
        table = it->second.table.get();
    }
    table->PrepareForSave();
}

void PdfFontTables::Release(const PdfDocument *document) {
    std::lock_guard<std::mutex> guard(Lock());
    Tables().erase(document);
}

int PdfFontTables::Count() {
    std::lock_guard<std::mutex> guard(Lock());
    return static_cast<int>(Tables().size());
}

}  // namespace ZavorPdf::Pdf::Advanced
