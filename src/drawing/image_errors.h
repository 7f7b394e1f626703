// Failures of loading pictures that the shared error set has no type for.
#pragma once

#include <string>

#include "pdf/errors.h"

namespace ZavorPdf {

// A picture (or PDF) file named by the caller is not there. The message is
// "The file '{0}' does not exist." with the path as given after making it
// absolute.
class FileNotFoundException : public ZavorPdfException {
public:
    explicit FileNotFoundException(const std::string &path)
        : ZavorPdfException("The file '" + path + "' does not exist."), path_(path) {}
    const std::string &Path() const noexcept { return path_; }

private:
    std::string path_;
};

}  // namespace ZavorPdf
