#include "pdf_info.h"

#include "run_error.h"

#include <QDateTime>
#include <QRegularExpression>

namespace vorna {

namespace {

// A PDF text string: UTF-16BE after its byte order mark, in hexadecimal, so that no character
// of the text needs an escape.
QByteArray textString(const QString& text) {
    QByteArray utf16("\xFE\xFF");
    for (const QChar c : text) {
        utf16 += char(c.unicode() >> 8);
        utf16 += char(c.unicode() & 0xFF);
    }
    return '<' + utf16.toHex().toUpper() + '>';
}

// D:YYYYMMDDHHmmSS+HH'mm'
QByteArray dateString(const QDateTime& at) {
    const int offset = at.offsetFromUtc() / 60;
    const int minutes = offset < 0 ? -offset : offset;
    return '(' + ("D:" + at.toString(QStringLiteral("yyyyMMddHHmmss"))).toLatin1() +
           (offset < 0 ? '-' : '+') +
           QString::asprintf("%02d'%02d'", minutes / 60, minutes % 60).toLatin1() + ')';
}

} // namespace

QByteArray withDocumentInfo(const QByteArray& pdf, const PdfMetadata& metadata) {
    // The last trailer: the next free object number, the catalogue, and where the
    // cross-reference section it closes starts.
    static const QRegularExpression end(
        QStringLiteral(R"(trailer\s*<<(.*)>>\s*startxref\s+(\d+)\s+%%EOF\s*$)"),
        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression size(QStringLiteral(R"(/Size\s+(\d+))"));
    static const QRegularExpression root(QStringLiteral(R"(/Root\s+(\d+\s+\d+\s+R))"));
    const QString tail = QString::fromLatin1(pdf.right(512));
    const QRegularExpressionMatch last = end.match(tail);
    const QRegularExpressionMatch next = size.match(last.captured(1));
    const QRegularExpressionMatch catalogue = root.match(last.captured(1));
    if (!last.hasMatch() || !next.hasMatch() || !catalogue.hasMatch())
        throw RunError(err::kFileAccess, QStringLiteral("PDF: no trailer at its end"));

    const QByteArray object = next.captured(1).toLatin1();
    QByteArray update = pdf.endsWith('\n') ? QByteArray() : QByteArray("\n");
    const qsizetype infoAt = pdf.size() + update.size();
    update += object + " 0 obj\n<<\n/Title " + textString(metadata.title) + "\n/Author " +
              textString(metadata.author) + "\n/Creator " + textString(metadata.creator) +
              "\n/Producer " + textString(QStringLiteral("Qt ") + QLatin1String(qVersion())) +
              "\n/CreationDate " + dateString(QDateTime::currentDateTime()) + "\n>>\nendobj\n";
    const qsizetype xrefAt = pdf.size() + update.size();
    // One subsection of one entry, 20 bytes as the format fixes them.
    update += "xref\n" + object + " 1\n" +
              QString::asprintf("%010lld 00000 n \n", qint64(infoAt)).toLatin1() +
              "trailer\n<<\n/Size " + QByteArray::number(object.toLongLong() + 1) + "\n/Root " +
              catalogue.captured(1).toLatin1() + "\n/Info " + object + " 0 R\n/Prev " +
              last.captured(2).toLatin1() + "\n>>\nstartxref\n" + QByteArray::number(xrefAt) +
              "\n%%EOF\n";
    return pdf + update;
}

} // namespace vorna
