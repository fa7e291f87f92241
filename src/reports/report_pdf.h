#pragma once

#include <QByteArray>
#include <QString>

namespace vorna {

// What a PDF says about itself in its document information.
struct PdfMetadata {
    QString title;
    QString author;
    QString creator;
};

// An HTML document (ISO 8859-1 bytes, as the report generators make them) as a PDF on A4
// portrait with 15 mm margins: real text in embedded fonts, shrunk to the page width when its
// layout is wider. Needs a QGuiApplication; throws RunError without one or when the PDF cannot
// be made.
QByteArray htmlToPdf(const QByteArray& html, const PdfMetadata& metadata);

// The document as a PDF file, replacing the file only once the whole PDF is on disk, as
// write_report_file does for the HTML. Throws RunError.
void write_report_pdf(const QString& path, const QByteArray& html, const PdfMetadata& metadata);

} // namespace vorna
