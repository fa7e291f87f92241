#include "report_pdf.h"

#include "pdf_info.h"
#include "run_error.h"
#include "whole_file.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

namespace vorna {

namespace {

constexpr int kDotsPerInch = 1200;
constexpr qreal kMarginMm = 15;
// The documents' HTML font sizes scale this one: the sheet's size 1 comes out at about 8.5 pt
// once its 800-pixel table is shrunk to the page, the certificate's size 2 at about 11 pt.
constexpr qreal kBasePointSize = 14.3;

[[noreturn]] void fail(const QString& why) {
    throw RunError(err::kFileAccess, QStringLiteral("PDF: ") + why);
}

// Qt's HTML reader drops a "<" that starts no tag, where a browser shows it: the pass rules'
// "PRp < 0.78" would lose its bound.
QString withLiteralLessThan(const QByteArray& html) {
    static const QRegularExpression lone(QStringLiteral("<(?![A-Za-z/!?])"));
    return QString::fromLatin1(html).replace(lone, QStringLiteral("&lt;"));
}

// A browser skips the faces of a face list that the machine lacks; Qt's font matching takes
// fontconfig's default face for the first of them instead, so that the sheet's "Geneva" would
// hide the "Arial" after it. Each face that gives no more than a name that is nowhere (and is
// no installed family) is dropped, keeping the last one.
QString withInstalledFaces(const QString& html) {
    static const QRegularExpression faceList(QStringLiteral("face=\"([^\"]*)\""),
                                             QRegularExpression::CaseInsensitiveOption);
    const QString nowhere = QFontInfo(QFont(QStringLiteral("no-face-of-this-name"))).family();
    const auto lacked = [&](const QString& face) {
        return !QFontDatabase::hasFamily(face) && QFontInfo(QFont(face)).family() == nowhere;
    };
    QString out;
    qsizetype from = 0;
    for (const QRegularExpressionMatch& m : faceList.globalMatch(html)) {
        QStringList faces = m.captured(1).split(QLatin1Char(','));
        while (faces.size() > 1 && lacked(faces.front().trimmed()))
            faces.removeFirst();
        out += QStringView(html).mid(from, m.capturedStart(1) - from);
        out += faces.join(QLatin1Char(','));
        from = m.capturedEnd(1);
    }
    return out + QStringView(html).mid(from).toString();
}

// Table rows printed with less room above and below the text than the documents give them on
// a screen, so that the sheet's forty rows fit one page at a readable size; the columns and
// what is beside what stay as they are.
constexpr qreal kRowPaddingPx = 1;
void tightRows(QTextFrame* frame) {
    for (QTextFrame* child : frame->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child)) {
            for (int row = 0; row < table->rows(); ++row) {
                for (int column = 0; column < table->columns(); ++column) {
                    QTextTableCell cell = table->cellAt(row, column);
                    if (cell.row() != row || cell.column() != column) continue; // spanned
                    QTextTableCellFormat f = cell.format().toTableCellFormat();
                    f.setTopPadding(kRowPaddingPx);
                    f.setBottomPadding(kRowPaddingPx);
                    cell.setFormat(f);
                }
            }
        }
        tightRows(child);
    }
}

// A list item's bullet is sized and placed by its block's font, which is the document's, not
// that of the font element inside the item: the bullet is given its text's size.
void bulletsOfTheirTextSize(QTextDocument& doc) {
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (!b.textList() || b.begin().atEnd()) continue;
        QTextCharFormat f = b.charFormat();
        f.setFont(b.begin().fragment().charFormat().font());
        QTextCursor(b).setBlockCharFormat(f);
    }
}

} // namespace

QByteArray htmlToPdf(const QByteArray& html, const PdfMetadata& metadata) {
    // Fonts and layout need the GUI side of Qt; without it Qt would abort the program.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        fail(QStringLiteral("no QGuiApplication"));
    QByteArray pdf;
    QBuffer out(&pdf);
    out.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&out);
        writer.setResolution(kDotsPerInch);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                         QPageLayout::Millimeter));

        QTextDocument doc;
        // Laid out in the writer's own units, so that what is measured is what is printed.
        doc.documentLayout()->setPaintDevice(&writer);
        // Text of no face in a browser's default one, which is Times New Roman.
        QFont base(QStringLiteral("Times New Roman"));
        base.setStyleHint(QFont::Serif);
        base.setPointSizeF(kBasePointSize);
        doc.setDefaultFont(base);
        doc.setDocumentMargin(0);
        doc.setUndoRedoEnabled(false);
        doc.setHtml(withInstalledFaces(withLiteralLessThan(html)));
        // One edit for all the format changes: each alone would lay the table out again.
        QTextCursor edit(&doc);
        edit.beginEditBlock();
        bulletsOfTheirTextSize(doc);
        tightRows(doc.rootFrame());
        edit.endEditBlock();

        const QSizeF page = writer.pageLayout().paintRectPixels(kDotsPerInch).size();
        doc.setPageSize(page);
        // A table wider than the page (the sheet's is 800 pixels) is laid out at its width
        // and the whole page shrunk to fit, as a browser prints it.
        const qreal wide = doc.documentLayout()->documentSize().width();
        const qreal scale = wide > page.width() ? page.width() / wide : 1.0;
        if (scale < 1.0) doc.setPageSize(page / scale);
        const QSizeF laid = doc.pageSize();

        QPainter painter;
        if (!painter.begin(&writer)) fail(QStringLiteral("cannot start the PDF"));
        for (int i = 0; i < doc.pageCount(); ++i) {
            if (i > 0 && !writer.newPage()) fail(QStringLiteral("cannot add a page"));
            painter.save();
            painter.scale(scale, scale);
            painter.translate(0, -i * laid.height());
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = QRectF(QPointF(0, i * laid.height()), laid);
            painter.setClipRect(context.clip);
            doc.documentLayout()->draw(&painter, context);
            painter.restore();
        }
        if (!painter.end()) fail(QStringLiteral("cannot finish the PDF"));
    }
    return withDocumentInfo(pdf, metadata);
}

void write_report_pdf(const QString& path, const QByteArray& html, const PdfMetadata& metadata) {
    writeWholeFile(path, htmlToPdf(html, metadata));
}

} // namespace vorna
