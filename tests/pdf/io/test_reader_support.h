// Source documents for the reader and import tests, written by our own
// writer, and small helpers around opening them.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "pdf/io/pdf_reader.h"
#include "pdf/pdf_document.h"

namespace ZavorTest {

// Pages of the given sizes (width, height in points); every page draws
// "page <n>" and uses font /F1, one dictionary shared by all pages. The
// title is "Reader test".
std::filesystem::path WriteSourcePdf(const std::string &name, const std::vector<std::pair<int, int>> &sizes);

// The message of the exception the call throws, "no failure" when it
// returns.
std::string FailureOf(const std::function<void()> &call);

// Width x height of a page's media box, "595x842".
std::string MediaBoxSize(ZavorPdf::Pdf::PdfPage &page);

// The decoded bytes of a page's single content stream as text.
std::string ContentText(ZavorPdf::Pdf::PdfPage &page);

}  // namespace ZavorTest
