// The documents in every language, in a point region, a comma region and a comma region whose
// minus sign is not ASCII; each through the file writer and tidy, read back as ISO 8859-1.
#include "report_fixture.h"

#include "app_context.h"
#include "dichiarazione.h"
#include "report_file.h"
#include "run_error.h"
#include "scheda_misurazioni.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vorna::test {
namespace {

// Runs tidy on a file. Its exit code only tells errors (2) from warnings (1) and it calls many
// structural faults warnings, so every warning fails but two harmless ones: the transitional
// table's missing summary, and the empty font element of an empty certificate cell.
void expectTidyClean(const QString& path) {
    QProcess tidy;
    tidy.start(QStringLiteral("tidy"),
               {QStringLiteral("-q"), QStringLiteral("-e"), QStringLiteral("-latin1"), path});
    ASSERT_TRUE(tidy.waitForFinished(30000)) << "tidy did not run";
    const QString report = QString::fromLocal8Bit(tidy.readAllStandardError());
    EXPECT_LT(tidy.exitCode(), 2) << report.toStdString();
    for (const QString& line : report.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        EXPECT_TRUE(line.contains(QStringLiteral("<table> lacks \"summary\" attribute")) ||
                    line.contains(QStringLiteral("trimming empty <font>")))
            << line.toStdString();
}

// A row of a label cell and a value cell as the sheet (or the certificate) writes it.
QString row(const QString& label, const QString& value, bool certificate = false) {
    const QString font = certificate ? "Times New Roman, Times, serif\" size=\"2"
                                     : "Geneva, Arial, Helvetica, sans-serif\" size=\"1";
    const auto cell = [&](const QString& t) {
        return "<td>\r<font face=\"" + font + "\">\r" + t + "\r</font>\r</td>\r";
    };
    return "<tr>\r" + cell(label) + cell(value) + "</tr>";
}

enum Document { Sheet, SheetOutsideItalian, ItalianSheet, Certificate };

// In an expected fragment "{n}" stands for catalogue message n in the document's language and
// "#" for the decimal separator; a leading "DC|" or "AC|" looks only in that part of the sheet,
// a leading "!" expects the fragment to be absent.
struct Case {
    const char* name;
    Document document;
    std::function<void(AppContext&)> change;
    QStringList fragments;
};

void expectFragment(const AppContext& ctx, const QString& doc, QString want) {
    const bool present = !want.startsWith(QLatin1Char('!'));
    if (!present) want.remove(0, 1);
    QString scope = doc;
    if (want.startsWith(QStringLiteral("DC|")) || want.startsWith(QStringLiteral("AC|"))) {
        const bool dc = want.startsWith(QLatin1Char('D'));
        const qsizetype from = doc.indexOf(ctx.msg(dc ? 8 : 16));
        ASSERT_GE(from, 0) << "no section heading";
        scope = doc.mid(from, doc.indexOf(ctx.msg(dc ? 16 : 17), from + 1) - from);
        want.remove(0, 3);
    }
    want.replace(QLatin1Char('#'), ctx.decimalSeparator());
    static const QRegularExpression ref(QStringLiteral("\\{(\\d+)\\}"));
    for (auto m = ref.match(want); m.hasMatch(); m = ref.match(want))
        want.replace(m.capturedStart(), m.capturedLength(), ctx.msg(m.captured(1).toInt()));
    EXPECT_EQ(scope.contains(want), present) << want.toStdString();
}

TEST(Reports, EdgeCasesInEveryLanguageWithPointAndComma) {
    const QString comments = "</html>\r<!-- m: 07-1234 -->\r<!-- f: FV 2.1.5 -->\r<!-- sr. log: "
                             "ZMB 4.4 -->\r<!-- fa: FV 2.1.7 -->\r<!-- sra: ZMB 4.5 -->\r";
    const QString noTexts = "<!-- f:  -->\r<!-- sr. log:  -->\r";
    // clang-format off
    // Texts from the database and the instrument go in escaped: outside ISO 8859-1 (a lone
    // surrogate too) one "?" each, control characters a blank.
    const auto hostile = [](AppContext& c) {
        c.plant = {.ID = 1, .nome = "Rossi & Figli <B>", .indirizzo = "<script>alert(1)</script>",
                   .NUMCIV = "\"3\" bis", .cap = "20100", .comune = QStringLiteral("Łódź 😀") +
                   QChar(0xd800) + QStringLiteral("\x7f\u0085x"), .CODFISC = "AB\nCD\rEF"};
        c.reportLogo = QStringLiteral("</td></tr><tr><td>Studio &amp; Co.");
        c.settings->moveFirst();
        c.settings->edit();
        c.settings->setField(QStringLiteral("serial"), QStringLiteral("--><b>x</b>"));
        c.settings->update();
        c.measurement.TEXT1 = QStringLiteral("FV 2.1.5 -->");
        c.fwVersionText = QStringLiteral("<!-- ");
    };
    const QStringList escaped{"Rossi &amp; Figli &lt;B&gt;", "AB CD EF", "!<B>", "!<script>",
        "&lt;script&gt;alert(1)&lt;/script&gt;, &quot;3&quot; bis - ?ód? ??  x",
        "<!-- m: --&gt;&lt;b&gt;x&lt;/b&gt; -->", "<!-- f: FV 2.1.5 --&gt; -->",
        "<!-- fa: &lt;!--  -->"};
    const std::vector<Case> cases{
        {"sample: three-phase, DC line 2 idle, DC line 3 absent", Sheet, nullptr,
         {row("{26}:", "Rossi Mario"), row("&nbsp;", "Via Roma, 12 - Milano"), "!20157",
          row("&nbsp;", "RSSMRA80A01F205X"), "{120} (dd/mm/yyyy hh:mm): 15/06/2026 11:32\r",
          "{222}: VORNA METER PV 100, S/N: 07-1234\r", "{1}: 5#88 kW\r", ": &le; 20 kW\r",
          "{3}: 853#2 W/m<sup>2</sup>\r", "{171}: -0#45\r", "{4}: 27#5 °C\r", "{138}: 45 °C\r",
          "DC|V1: 412#3 V", "!DC|V2", "!DC|V3", "AC|V1: 230#1 V", "AC|I2: 6#47 A", "AC|V3: 231#4 V",
          "Rfv2 = 1 ({211}); Rfv2 = 1 - (Tcel - 40) * |gamma| / 100 ({212});\r", "\r{230};\r",
          "{0}", "{2}", "{210}", "{213}", "{214}", "{215}", "{223}", "{225}", "{226}", comments}},
        {"irradiance 2000", Sheet, [](auto& c) { c.measurement.rad = 2000; },
         {"{3}: 2000 W/m<sup>2</sup>\r"}},
        {"irradiance 2000.5", Sheet, [](auto& c) { c.measurement.rad = 2000.5; }, {"{3}: ---\r"}},
        {"irradiance -2000", Sheet, [](auto& c) { c.measurement.rad = kNoValue; },
         {"{3}: ---\r", "!-2000"}},
        {"single-phase AC", Sheet, [](auto& c) {
             auto& r = c.measurement;
             r.VAC2 = r.IAC2 = r.VAC3 = r.IAC3 = kNoChannel;
         },
         {"AC|I1: 6#52 A", "!AC|V2", "!AC|I3"}},
        {"the DC idle pair on an AC line is a reading", Sheet,
         [](auto& c) { c.measurement.VAC2 = 8000, c.measurement.IAC2 = 800; },
         {"AC|V2: 8000 V", "AC|I2: 800 A"}},
        {"the AC idle pair is left out, on a DC line it is a reading", Sheet,
         [](auto& c) { c.measurement.VAC2 = c.measurement.IAC2 = c.measurement.VDC2 = 800; },
         {"DC|V2: 800 V", "DC|I2: 800 A", "!AC|V2"}},
        {"reserved values in a written pair; line 1 is always written", Sheet, [](auto& c) {
             auto& r = c.measurement;
             r.VDC2 = r.VAC1 = kNoChannel, r.IDC2 = 9.75, r.VAC3 = 230, r.IAC3 = r.IAC1 = kNoValue;
         },
         {"DC|V2: ---\r", "DC|I2: 9#75 A", "AC|I3: ---\r", "AC|V1: -10000 V", "AC|I1: ---\r"}},
        {"numbers: 15 digits, no trailing zeros or grouping, a plain minus", Sheet, [](auto& c) {
             auto& r = c.measurement;
             r.POTRAD = 0.1 + 0.2, r.TEMPAMB = -3.50, r.POTDC = 12345.5, r.COEFFTEMP = 1.0;
             r.TEMPPAN = kNoValue, r.POTAC = 2.0 / 3.0, r.RENDDC = -0.0;
             r.RENDAC = 1.2345678901234567e17;
             c.plant.NOCT = 47.25;
         },
         {"{138}: 47#25 °C\r", "{7}: 0#3\r", "{4}: -3#5 °C\r", "{15}: 12345#5 kW\r", "{6}: 1\r", "{5}: ---\r",
          "{17}: 0#666666666666667 kW\r", "{19}: 0\r", "{20}: 1#23456789012346E+17\r"}},
        {"empty name and tax code, inverter over 20 kW", Sheet,
         [](auto& c) { c.plant.nome.clear(), c.plant.CODFISC.clear(), c.plant.BOOL1 = true; },
         {row("{26}:", "&nbsp;"), row("&nbsp;", "&nbsp;"), ": > 20 kW\r"}},
        {"empty TEXT1 and TEXT2", Sheet,
         [](auto& c) { c.measurement.TEXT1 = c.measurement.TEXT2 = ""; }, {noTexts}},
        {"hostile texts", Sheet, hostile, escaped},
        {"result in one spanning cell outside Italian", SheetOutsideItalian, nullptr,
         {"<td colspan= \"2\">\r<font face=\"Geneva, Arial, Helvetica, sans-serif\" size=\"1\">\r",
          " PRp: 0#8012\r", "!ESITO TEST"}},
        {"Italian result beside the literal test outcome", ItalianSheet, nullptr,
         {row("INDICE DI PRESTAZIONE PRp: 0#8012", "ESITO TEST: PASS"), "!colspan= "}},
        {"Italian failed result", ItalianSheet,
         [](auto& c) { c.measurement.ESITOAC = false, c.measurement.REAL2 = kNoValue; },
         {row("INDICE DI PRESTAZIONE PRp: ---", "ESITO TEST: FAULT")}},
        {"certificate: Italian in every language, dated the day it is made, no postcode",
         Certificate, [](auto& c) { c.reportDate = QDate(2031, 2, 3); },
         {"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\"",
          "<title>CERTIFICATO DI COLLAUDO</title>\r",
          row("Impianto fotovoltaico installato presso: ", "Rossi Mario", true),
          row("&nbsp;", "Via Roma, 12 - Milano", true), row("&nbsp;", "RSSMRA80A01F205X", true),
          row("<br>Il/La sottoscritto/a professionista/impresa", "<br>Studio Tecnico Bianchi",
              true),
          "PRp > 0,78 (se Pinv &le; 20 kW)", "collaudo: 03/02/2031<br>\r", "!15/06/2026",
          "!20157", "Pca è la potenza attiva", "superiore a 40 °C è ammessa", comments}},
        {"certificate: empty tax code", Certificate, [](auto& c) { c.plant.CODFISC.clear(); },
         {row("&nbsp;", "", true)}},
        {"certificate: hostile texts", Certificate, hostile, escaped +
         QStringList{"<br>&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;Studio &amp;amp; Co."}},
    };
    // clang-format on
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.htm"));
    for (const QLocale::Language region : {QLocale::English, QLocale::Italian, QLocale::Swedish}) {
        ReportEnv e(0, region);
        for (int lang = 0; lang <= 4; ++lang)
            for (const Case& c : cases) {
                if ((c.document == SheetOutsideItalian && lang == 4) ||
                    (c.document == ItalianSheet && lang != 4))
                    continue;
                SCOPED_TRACE(std::string(c.name) + ", language " + std::to_string(lang) + ", " +
                             e.ctx.locale.name().toStdString());
                e.loadSample();
                e.ctx.languageIndex = lang;
                if (c.change) c.change(e.ctx);
                const QByteArray bytes = c.document == Certificate ? make_dichiarazione_ver2(e.ctx)
                                                                   : make_scheda_misurazioni(e.ctx);
                ASSERT_FALSE(bytes.isEmpty()) << e.env.debugLog().toStdString();
                // Read back as ISO 8859-1, the accented catalogue texts must come out intact; the
                // only line feed is the writer's at the end.
                write_report_file(path, bytes);
                expectTidyClean(path);
                const QString doc = QString::fromLatin1(readFile(path));
                EXPECT_EQ(doc.indexOf(QLatin1Char('\n')), doc.size() - 1);
                for (const QString& fragment : c.fragments)
                    expectFragment(e.ctx, doc, fragment);
            }
    }
}

// Reading the parameters dates the certificate; a generator that fails logs itself, gives nothing.
TEST(Reports, FailuresLogTheRoutineAndGiveNothing) {
    ReportEnv e;
    EXPECT_EQ(e.ctx.reportDate, QDate::currentDate());
    e.ctx.settings = std::make_unique<RecordSet>(
        RecordSet::select(e.ctx.db, QStringLiteral("SELECT * FROM impostazioni WHERE 0"), {}));
    EXPECT_TRUE(make_scheda_misurazioni(e.ctx).isEmpty());
    EXPECT_TRUE(make_dichiarazione_ver2(e.ctx).isEmpty());
    const QString log = e.env.debugLog();
    EXPECT_TRUE(log.contains("make_scheda_misurazioni") && log.contains("make_dichiarazione_ver2"))
        << log.toStdString();
}

TEST(Reports, WriterReplacesTheWholeFileEvenWhenKilled) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("scheda.htm"));
    write_report_file(path, QByteArray(5000, 'x'));
    write_report_file(path, QByteArray()); // a failed generator: the file holds a line end
    EXPECT_EQ(readFile(path), QByteArray("\r\n"));
    EXPECT_THROW(write_report_file(dir.filePath(QStringLiteral("missing/scheda.htm")), "x"),
                 RunError);
    EXPECT_THROW(write_report_file(dir.path(), "x"), RunError);
    const QByteArray good = "<html>good</html>\r";
    write_report_file(path, good);
    const QByteArray big(64 * 1024 * 1024, 'n');
    for (int attempt = 0; attempt < 3; ++attempt) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            write_report_file(path, big);
            _exit(0);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2 + 3 * attempt));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const QByteArray now = readFile(path);
        // Either the old report or the whole new one, never a mixture or a stub.
        EXPECT_TRUE(now == good + "\r\n" || now == big + "\r\n") << "size " << now.size();
        if (now != good + "\r\n") write_report_file(path, good);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("scheda.htm")});
}

} // namespace
} // namespace vorna::test
