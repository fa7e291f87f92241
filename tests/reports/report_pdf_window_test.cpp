// The report button's dialogs offering HTML and PDF: which filters, which file in which format,
// which filter the certificate's dialog starts on, and that a cancel writes nothing.
#include "report_window_util.h"

#include <QDir>

using namespace vorna;
using namespace vorna::test;

namespace {

const QString kHtm = "(*.htm)";
const QString kPdf = "PDF (*.pdf)";

// The files in the folder, each with the format its first bytes tell.
QStringList writtenFiles(const QString& folder) {
    QStringList files;
    for (const QString& name : QDir(folder).entryList(QDir::Files)) {
        QFile f(folder + "/" + name);
        const QByteArray start = f.open(QIODevice::ReadOnly) ? f.read(9) : QByteArray();
        files << name + (start.startsWith("%PDF-")       ? " PDF"
                         : start.startsWith("<!DOCTYPE") ? " HTML"
                                                         : " ?");
    }
    return files;
}

TEST(ReportPdfWindow, TheNameOrTheChosenFilterDecidesTheFormat) {
    const struct {
        const char* name;
        int language, passed;
        QStringList names;   // typed in each dialog; "" cancels
        QStringList filters; // picked in each dialog; "" keeps the one shown
        QStringList startedOn;
        QStringList written;
    } cases[] = {
        // clang-format off
        {"English FAULT sheet", 0, 0, {"one.pdf"}, {}, {kHtm}, {"one.pdf PDF"}},
        {"Italian PASS: the certificate starts on the sheet's format", 4, 1, {"one.pdf", "two"},
         {}, {kHtm, kPdf}, {"one.pdf PDF", "two.pdf PDF"}},
        {"no suffix, PDF chosen", 0, 1, {"one"}, {kPdf}, {kHtm}, {"one.pdf PDF"}},
        {"the suffix wins over the filter", 4, 1, {"one.HTM", "two.Pdf"}, {kPdf, ""},
         {kHtm, kHtm}, {"one.HTM HTML", "two.Pdf PDF"}},
        {"another suffix takes the filter's", 0, 1, {"one.txt"}, {kPdf}, {kHtm},
         {"one.txt.pdf PDF"}},
        {"cancel at the sheet", 4, 1, {""}, {kPdf}, {kHtm}, {}},
        {"cancel at the certificate", 4, 1, {"one.pdf", ""}, {}, {kHtm, kPdf}, {"one.pdf PDF"}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig s(englishRow({{"LINGUA", c.language}}));
        insertMeasurements(s.db(), "acquisizioni", insertPlant(s.db()),
                           QDateTime(QDate(2024, 6, 14), QTime(10, 15)), 1,
                           {{"ESITOAC", c.passed}});
        ReportWindow* rep = openReport(s, false);
        s.choose("cbImp", 1);
        s.choose("cbMis", 0);
        const QString folder = s.env.path("a");
        QDir().mkdir(folder);
        for (const QString& n : c.names)
            s.env.prompts.saveNames.push_back(n.isEmpty() ? n : folder + "/" + n);
        s.env.prompts.saveFilters.assign(c.filters.begin(), c.filters.end());
        s.click("bttComando");

        QStringList startedOn;
        for (const auto& d : s.env.prompts.saveShown)
            startedOn << d.selected;
        EXPECT_EQ(startedOn, c.startedOn);
        EXPECT_EQ(writtenFiles(folder), c.written);
        EXPECT_EQ(rep->reportStep, c.written.isEmpty() ? 3 : 4);
        EXPECT_EQ(s.env.loggedErrors(), "");
    }
}

} // namespace
