#pragma once

#include "report_pdf.h"

namespace vorna {

// The PDF with its document information (title, author, creator, producer, creation date)
// replaced by an incremental update appended to it: the bytes before stay as they were.
// Throws RunError when the PDF's end (its cross-reference start and trailer) cannot be read.
QByteArray withDocumentInfo(const QByteArray& pdf, const PdfMetadata& metadata);

} // namespace vorna
