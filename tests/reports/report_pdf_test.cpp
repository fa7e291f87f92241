// The reports written as PDF, checked by poppler's tools rather than by anything of ours; a
// picture of page 1 is left for a person to look at.
#include "error_trap.h"
#include "report_fixture.h"
#include "report_writing.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace vorna::test {
namespace {

// What a poppler tool prints; a complaint of it (a damaged cross-reference, say) fails.
QString poppler(const QString& tool, const QStringList& args) {
    QProcess p;
    p.start(tool, args);
    EXPECT_TRUE(p.waitForFinished(30000)) << tool.toStdString() << " did not run";
    EXPECT_EQ(p.exitCode(), 0) << tool.toStdString();
    EXPECT_EQ(QString::fromLocal8Bit(p.readAllStandardError()).toStdString(), "")
        << tool.toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The value of one "Name: value" line of pdfinfo.
QString infoField(const QString& info, const QString& name) {
    const QRegularExpression line("^" + name + ":\\s*(.*)$", QRegularExpression::MultilineOption);
    return line.match(info).captured(1).trimmed();
}

TEST(ReportPdf, DocumentsAsPopplerReadsThem) {
    // An Italian passed measurement gives both documents; every line in use: the longest sheet.
    ReportEnv r(4, QLocale::Italian);
    r.ctx.db.exec("UPDATE acquisizioni SET VDC2=409.8, IDC2=10.97, VDC3=411, IDC3=11.05");
    r.loadSample();
    r.env.prompts.saveNames = {r.env.path("sheet.pdf"), r.env.path("certificate.pdf")};
    TrapScope scope;
    ASSERT_EQ(writeReports(r.ctx, MeasurementSource::Downloaded, 1, scope),
              ReportResult::SheetAndCertificate);
    const struct {
        QString document;
        int pages;
        QString title;
        QStringList texts;
    } cases[] = {
        // clang-format off
        // The text as text, signs outside ASCII included; what it says is the HTML tests'.
        {"sheet", 1, "SCHEDA MISURAZIONI IMPIANTO",
         {"ESITO TEST: PASS", "15/06/2026 11:32", "853,2 W/m", "27,5 °C", "≤ 20 kW", "Pca è"}},
        {"certificate", 2, "CERTIFICATO DI COLLAUDO",
         {"Via Roma, 12 - Milano", "Pca è la potenza attiva", "(se Pinv ≤ 20 kW)", "40 °C"}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title.toStdString());
        const QString pdf = r.env.path(c.document + ".pdf");

        const QString info = poppler("pdfinfo", {pdf});
        EXPECT_TRUE(QRegularExpression("^595(\\.\\d+)? x 84[12](\\.\\d+)? pts \\(A4\\)$")
                        .match(infoField(info, "Page size"))
                        .hasMatch())
            << infoField(info, "Page size").toStdString();
        const int pages = infoField(info, "Pages").toInt();
        EXPECT_TRUE(pages >= 1 && pages <= c.pages) << pages;
        EXPECT_EQ(infoField(info, "Title"), c.title);
        EXPECT_EQ(infoField(info, "Author"), "Studio Tecnico Bianchi");
        EXPECT_EQ(infoField(info, "Creator"), "VORNA REPORT ZMB 4.5");

        const QString text = poppler("pdftotext", {"-enc", "UTF-8", pdf, "-"}).simplified();
        for (const QString& t : c.texts)
            EXPECT_TRUE(text.contains(t)) << t.toStdString() << "\nin: " << text.toStdString();

        // Each font row ends with: emb sub uni object generation.
        const QStringList fonts = poppler("pdffonts", {pdf}).split('\n', Qt::SkipEmptyParts);
        ASSERT_GT(fonts.size(), 2);
        for (const QString& row : fonts.mid(2)) {
            const QStringList f = row.split(' ', Qt::SkipEmptyParts);
            EXPECT_EQ(f.value(f.size() - 5), "yes") << row.toStdString();
            // The faces the HTML asks for (Arial, Times New Roman) by their metric twins.
            EXPECT_TRUE(f.value(0).contains("Liberation")) << row.toStdString();
        }

        // The body text at 8 to 9 pt (Liberation's line box is 1.117 of its size): the height
        // of a word of the address, which both documents print in their body font.
        const QRegularExpression word("yMin=\"([\\d.]+)\" xMax=\"[\\d.]+\" "
                                      "yMax=\"([\\d.]+)\">Roma,<");
        const QRegularExpressionMatch m = word.match(poppler("pdftotext", {"-bbox", pdf, "-"}));
        const double pt = (m.captured(2).toDouble() - m.captured(1).toDouble()) / 1.117;
        EXPECT_TRUE(c.document == "sheet" ? pt > 8 && pt < 9 : pt > 10) << pt;

        QDir().mkpath(screenshotDir());
        poppler("pdftoppm", {"-png", "-r", "110", "-f", "1", "-l", "1", "-singlefile", pdf,
                             screenshotDir() + "/report_pdf_" + c.document});
    }
}

} // namespace
} // namespace vorna::test
