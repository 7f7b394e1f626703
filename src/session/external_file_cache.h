// The external PDF file that the script read last, kept open between its
// operations: a script that reads page after page of one file would
// otherwise read and parse the whole file once for every page.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_identity.h"

namespace ZavorPdf::Pdf {
class PdfDocument;
enum class PdfDocumentOpenMode;
}  // namespace ZavorPdf::Pdf

namespace ZavorPlugin {

class ExternalFileCache {
public:
    // What decides whether the kept document still stands for the file: the
    // file itself (its canonical path, the file behind it, its size and time
    // of change) and how it was opened.
    struct Key {
        std::filesystem::path path;
        ZavorPlatform::FileIdentity identity;
        ZavorPdf::Pdf::PdfDocumentOpenMode mode{};
        std::u16string password;
        bool operator==(const Key &) const = default;
    };

    using Opener = std::unique_ptr<ZavorPdf::Pdf::PdfDocument> (*)(std::u16string_view file,
                                                                   ZavorPdf::Pdf::PdfDocumentOpenMode mode,
                                                                   const std::u16string &password);

    ExternalFileCache();
    ~ExternalFileCache();
    ExternalFileCache(const ExternalFileCache &) = delete;
    ExternalFileCache &operator=(const ExternalFileCache &) = delete;

    // The kept document when the key still matches and no operation ran
    // out of its budget, with the budget renewed for this operation;
    // otherwise the one kept before is dropped
    // and the file opened through the opener, whose failure reaches the
    // caller with nothing kept. A file whose state cannot be had is opened
    // every time and never kept.
    ZavorPdf::Pdf::PdfDocument &Open(std::u16string_view file, ZavorPdf::Pdf::PdfDocumentOpenMode mode,
                                     const std::u16string &password, Opener opener);
    // Drops the kept document unless it is the given file.
    void KeepOnly(std::u16string_view file);
    void Clear() noexcept;

private:
    static std::optional<Key> KeyOf(std::u16string_view file, ZavorPdf::Pdf::PdfDocumentOpenMode mode,
                                    const std::u16string &password);

    std::optional<Key> key_;
    std::unique_ptr<ZavorPdf::Pdf::PdfDocument> document_;
};

}  // namespace ZavorPlugin
