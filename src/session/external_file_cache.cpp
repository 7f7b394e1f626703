#include "session/external_file_cache.h"

#include <system_error>
#include <utility>

#include "pdf/pdf_document.h"

namespace ZavorPlugin {

using ZavorPdf::Pdf::PdfDocument;
using ZavorPdf::Pdf::PdfDocumentOpenMode;

ExternalFileCache::ExternalFileCache() = default;
ExternalFileCache::~ExternalFileCache() = default;

std::optional<ExternalFileCache::Key> ExternalFileCache::KeyOf(std::u16string_view file, PdfDocumentOpenMode mode,
                                                               const std::u16string &password) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::canonical(std::filesystem::path(std::u16string(file)), error);
    if (error) return std::nullopt;
    std::optional<ZavorPlatform::FileIdentity> identity = ZavorPlatform::IdentifyFile(path);
    if (!identity) return std::nullopt;
    return Key{path, *identity, mode, password};
}

PdfDocument &ExternalFileCache::Open(std::u16string_view file, PdfDocumentOpenMode mode,
                                     const std::u16string &password, Opener opener) {
    std::optional<Key> key = KeyOf(file, mode, password);
    // Objects that an operation gave up on when its budget ran out are
    // damaged only for that operation: the file is read afresh.
    if (key && key == key_ && !document_->Budget().WasRefused()) {
        document_->RenewBudget();
        return *document_;
    }
    // The old document goes first, so that two large files are never held
    // at once.
    Clear();
    std::unique_ptr<PdfDocument> opened = opener(file, mode, password);
    // A file changed while it was read may be half old, half new: it is
    // used once but not kept.
    if (key && key != KeyOf(file, mode, password)) key.reset();
    document_ = std::move(opened);
    key_ = std::move(key);
    return *document_;
}

void ExternalFileCache::KeepOnly(std::u16string_view file) {
    if (!key_) return;
    std::error_code error;
    std::filesystem::path path = std::filesystem::canonical(std::filesystem::path(std::u16string(file)), error);
    if (error || path != key_->path) Clear();
}

void ExternalFileCache::Clear() noexcept {
    key_.reset();
    document_.reset();
}

}  // namespace ZavorPlugin
