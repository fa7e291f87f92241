#pragma once

#include <QByteArray>
#include <QString>

namespace vorna {

// Text from the database or the instrument, made safe for an HTML document in ISO 8859-1:
// markup characters become entities, a character outside the code page becomes one "?", and
// control characters become blanks so that no line break or stray byte enters the document.
QString htmlEscape(const QString& text);

// A document built fragment by fragment, each followed by a lone carriage return.
class HtmlDocument {
public:
    HtmlDocument& operator<<(const QString& fragment);
    HtmlDocument& operator<<(const char* fragment) { return *this << QString::fromUtf8(fragment); }
    // The document in ISO 8859-1, "?" for anything outside it.
    QByteArray bytes() const;

private:
    QString text_;
};

// The five comments that close both documents: instrument serial, firmware and program release
// of the measurement, firmware and program release that wrote the document.
struct ReportOrigin {
    QString serial;
    QString measurementFirmware;
    QString measurementRelease;
    QString currentFirmware;
    QString currentRelease;
};
void writeOriginComments(HtmlDocument& doc, const ReportOrigin& origin);
// Closes the outer table and the document, then writes the closing comments.
void closeDocument(HtmlDocument& doc, const ReportOrigin& origin);

} // namespace vorna
