// Whether the data of a stream from a file read earlier decodes, before a
// copy of it is made: data that its own filters refuse would be written as
// damaged as it came, and every reader of the copy would stumble on it.
//
// A Flate layer whose data inflates to its end but whose checksum differs
// passes, as readers take such data as it is.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace ZavorPdf::Pdf {

class PdfDictionary;
class ReadBudget;

// Fails (PdfReaderException) when the stream's Flate data is damaged. Layers are checked up to the first filter
// that we do not decode; data of such filters passes as it is.
void CheckStreamData(const PdfDictionary &stream);

// The data of a content stream decoded, for a look at its tokens; nothing
// when a filter is known but not decoded here. Fails (PdfReaderException)
// for data its filters refuse and for a filter no one knows: no reader can
// show such content. What is decoded counts against the budget, when given
// (ReadBudgetExceededException once it runs out).
std::optional<std::vector<std::uint8_t>> DecodeContentData(const PdfDictionary &stream,
                                                           ReadBudget *budget = nullptr);

}  // namespace ZavorPdf::Pdf
