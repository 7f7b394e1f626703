// Whether the data of a stream from a file read earlier decodes, before a
// copy of it is made: data that its own filters refuse would be written as
// damaged as it came, and every reader of the copy would stumble on it.
#pragma once

namespace ZavorPdf::Pdf {

class PdfDictionary;

// Fails (PdfReaderException) when the stream's Flate data is damaged or its
// DCT data is no readable JPEG. Only the first of these layers is checked
// (after ASCII layers before it); data of other filters passes as it is.
void CheckStreamData(const PdfDictionary &stream);

}  // namespace ZavorPdf::Pdf
