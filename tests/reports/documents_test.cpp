// Whole documents as files: valid HTML, single-byte text, safe against hostile plant texts,
// and written so that a good file is never left half overwritten.
#include "report_fixture.h"

#include "app_context.h"
#include "data_store.h"
#include "dichiarazione.h"
#include "html_text.h"
#include "report_file.h"
#include "report_values.h"
#include "run_error.h"
#include "scheda_misurazioni.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vorna::test {
namespace {

struct Document {
    QString name;
    QByteArray bytes;
};

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every language and separator, passed and failed, and the certificate of each passed one.
std::vector<Document> allDocuments() {
    std::vector<Document> docs;
    for (int lang = 0; lang <= 4; ++lang) {
        for (bool comma : {false, true}) {
            ReportEnv e(lang, comma ? commaLocale() : pointLocale());
            const QString tag = QStringLiteral("%1-%2").arg(lang).arg(comma ? "comma" : "point");
            docs.push_back({QStringLiteral("sheet-pass-") + tag, make_scheda_misurazioni(e.ctx)});
            docs.push_back({QStringLiteral("certificate-") + tag, make_dichiarazione_ver2(e.ctx)});
            e.ctx.measurement.ESITOAC = false;
            e.ctx.measurement.REAL2 = kNoValue;
            e.ctx.measurement.rad = kNoValue;
            docs.push_back({QStringLiteral("sheet-fault-") + tag, make_scheda_misurazioni(e.ctx)});
        }
    }
    return docs;
}

// Runs tidy on a file. Its exit code only tells errors (2) from warnings (1) and it calls many
// structural faults warnings, so every warning but the transitional table's missing summary
// fails too.
void expectTidyClean(const QString& path) {
    QProcess tidy;
    tidy.start(QStringLiteral("tidy"),
               {QStringLiteral("-q"), QStringLiteral("-e"), QStringLiteral("-latin1"), path});
    ASSERT_TRUE(tidy.waitForFinished(30000)) << "tidy did not run";
    const QString report = QString::fromLocal8Bit(tidy.readAllStandardError());
    EXPECT_LT(tidy.exitCode(), 2) << path.toStdString() << "\n" << report.toStdString();
    for (const QString& line : report.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        EXPECT_TRUE(line.contains(QStringLiteral("<table> lacks \"summary\" attribute")))
            << path.toStdString() << ": " << line.toStdString();
    }
}

TEST(ReportDocuments, EveryDocumentPassesTidy) {
    QTemporaryDir dir;
    for (const Document& d : allDocuments()) {
        ASSERT_FALSE(d.bytes.isEmpty()) << d.name.toStdString();
        const QString path = dir.filePath(d.name + QStringLiteral(".htm"));
        write_report_file(path, d.bytes);
        expectTidyClean(path);
    }
}

TEST(ReportDocuments, FilesAreSingleByteWithTheAccentedCatalogueTextsIntact) {
    QTemporaryDir dir;
    for (int lang = 0; lang <= 4; ++lang) {
        ReportEnv e(lang, commaLocale());
        const QString path = dir.filePath(QStringLiteral("sheet.htm"));
        write_report_file(path, make_scheda_misurazioni(e.ctx));
        const QByteArray raw = readFile(path);
        EXPECT_TRUE(raw.endsWith("-->\r\r\n"));
        const QString text = QString::fromLatin1(raw);
        EXPECT_FALSE(text.contains(QStringLiteral("Ã"))) << "UTF-8 bytes in language " << lang;
        EXPECT_TRUE(text.contains(QStringLiteral(" °C")));
        int accented = 0;
        for (int n : {0, 1, 2, 7, 8, 16, 26, 120, 210, 211, 212, 213, 214, 215, 223, 225, 226}) {
            const QString& msg = e.ctx.messaggi.text(lang, n);
            if (msg.isEmpty() || msg.toLatin1() == msg.toUtf8()) continue;
            ++accented;
            EXPECT_TRUE(text.contains(msg)) << "language " << lang << " message " << n;
        }
        if (lang != 0) {
            EXPECT_GT(accented, 0) << "language " << lang;
        }
    }
    ReportEnv it(4);
    const QString path = dir.filePath(QStringLiteral("certificate.htm"));
    write_report_file(path, make_dichiarazione_ver2(it.ctx));
    const QString text = QString::fromLatin1(readFile(path));
    EXPECT_TRUE(text.contains(QStringLiteral("Pca è la potenza attiva")));
    EXPECT_TRUE(text.contains(QStringLiteral("superiore a 40 °C è ammessa")));
}

TEST(ReportDocuments, HostilePlantAndInstrumentTextsAreEscaped) {
    ReportEnv e(4, commaLocale());
    // Through the real store, as the report window loads them.
    const qint64 id = [&] {
        Statement st = e.ctx.db.prepare(QStringLiteral(
            "INSERT INTO impianti (nome, indirizzo, NUMCIV, cap, comune, CODFISC, POT, BOOL1, "
            "NOCT, REAL1) VALUES (?,?,?,?,?,?,?,?,?,?)"));
        st.bindAll({QStringLiteral("Rossi & Figli <B>"),
                    QStringLiteral("<script>alert(1)</script>"), QStringLiteral("\"3\" bis"),
                    QStringLiteral("20100"), QStringLiteral("Łódź 😀"), QStringLiteral("AB\nCD\rEF"),
                    6.0, 1, 45.0, -0.4});
        st.run();
        return e.ctx.db.lastInsertId();
    }();
    ASSERT_TRUE(leggi_impianto_per_ID(e.ctx, id));
    e.ctx.reportLogo = QStringLiteral("</td></tr><tr><td>Studio &amp; Co.");
    e.setSerial(QStringLiteral("--><b>x</b>"));
    e.ctx.measurement.TEXT1 = QStringLiteral("FV 2.1.5 -->");
    e.ctx.fwVersionText = QStringLiteral("<!-- ");

    QTemporaryDir dir;
    for (const QByteArray& bytes :
         {make_scheda_misurazioni(e.ctx), make_dichiarazione_ver2(e.ctx)}) {
        const QString doc = QString::fromLatin1(bytes);
        EXPECT_TRUE(doc.contains(QStringLiteral("Rossi &amp; Figli &lt;B&gt;")));
        EXPECT_TRUE(doc.contains(QStringLiteral("&lt;script&gt;alert(1)&lt;/script&gt;, "
                                                "&quot;3&quot; bis - ?ód? ?")));
        EXPECT_TRUE(doc.contains(QStringLiteral("AB CD EF")));
        EXPECT_TRUE(doc.contains(QStringLiteral("<!-- m: --&gt;&lt;b&gt;x&lt;/b&gt; -->")));
        EXPECT_TRUE(doc.contains(QStringLiteral("<!-- f: FV 2.1.5 --&gt; -->")));
        EXPECT_TRUE(doc.contains(QStringLiteral("<!-- fa: &lt;!--  -->")));
        EXPECT_FALSE(doc.contains(QStringLiteral("<B>")));
        EXPECT_FALSE(doc.contains(QStringLiteral("<script>")));
        EXPECT_FALSE(doc.contains(QLatin1Char('\n')));
        const QString path = dir.filePath(QStringLiteral("hostile.htm"));
        write_report_file(path, bytes);
        expectTidyClean(path);
    }
    EXPECT_TRUE(QString::fromLatin1(make_dichiarazione_ver2(e.ctx))
                    .contains(QStringLiteral("<br>&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;Studio "
                                             "&amp;amp; Co.")));
}

TEST(ReportDocuments, EscapingAndNumberFormat) {
    EXPECT_EQ(htmlEscape(QStringLiteral("a<b>&\"c\"'")),
              QStringLiteral("a&lt;b&gt;&amp;&quot;c&quot;'"));
    EXPECT_EQ(htmlEscape(QStringLiteral("€1 Ω\t\x7f\u0085é")), QStringLiteral("?1 ?   é"));

    const QChar comma = QLatin1Char(',');
    EXPECT_EQ(generalNumber(-0.0, comma), QStringLiteral("0"));
    EXPECT_EQ(generalNumber(1234567.125, comma), QStringLiteral("1234567,125"));
    EXPECT_EQ(generalNumber(123456789012345678.0, QLatin1Char('.')),
              QStringLiteral("1.23456789012346e+17"));
    EXPECT_EQ(generalNumber(2.0 / 3.0, comma), QStringLiteral("0,666666666666667"));

    // Regions whose minus sign lies outside the single-byte page still print a plain "-".
    ReportEnv swedish(0, QLocale(QLocale::Swedish, QLocale::Sweden));
    swedish.ctx.measurement.TEMPAMB = -3.5;
    EXPECT_TRUE(swedish.sheet().contains(QStringLiteral("Air Temp.: -3,5 °C")));
}

TEST(ReportDocuments, EscapedRandomTextsStayInertAndSingleByte) {
    std::mt19937 rng(20261206);
    std::uniform_int_distribution<int> pick(0, 5);
    for (int round = 0; round < 2000; ++round) {
        QString in;
        for (int i = rng() % 40; i > 0; --i) {
            const char32_t pool[] = {char32_t(rng() % 0x80),    char32_t(rng() % 0x100),
                                     char32_t(rng() % 0x10000), char32_t(0x10000 + rng() % 0xfffff),
                                     U"<>&\"'\r\n"[rng() % 7],  U'\u00e8'};
            const char32_t c = pool[pick(rng)];
            if (c >= 0xd800 && c <= 0xdfff)
                in += QChar(char16_t(c)); // a lone surrogate
            else
                in += QString::fromUcs4(&c, 1);
        }
        const QString out = htmlEscape(in);
        for (const QChar c : out) {
            ASSERT_LE(c.unicode(), 0xff) << round;
            ASSERT_TRUE(c.unicode() >= 0x20 && (c.unicode() < 0x7f || c.unicode() > 0x9f)) << round;
            ASSERT_FALSE(c == u'<' || c == u'>' || c == u'"') << round;
        }
        QString back = out;
        back.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
            .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        ASSERT_EQ(back.size(), QStringView(in).toUcs4().size()) << round; // one character each
    }
}

TEST(ReportDocuments, WriterReplacesTheWholeFileAndAddsOneLineEnd) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("scheda.htm"));
    write_report_file(path, QByteArray(5000, 'x'));
    write_report_file(path, "<html>\r</html>\r");
    EXPECT_EQ(readFile(path), QByteArray("<html>\r</html>\r\r\n"));
    write_report_file(path, QByteArray()); // a failed generator: the file holds a line end
    EXPECT_EQ(readFile(path), QByteArray("\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("scheda.htm")});
    EXPECT_THROW(write_report_file(dir.filePath(QStringLiteral("missing/scheda.htm")), "x"),
                 RunError);
    EXPECT_THROW(write_report_file(dir.path(), "x"), RunError);
}

TEST(ReportDocuments, AKilledWriteLeavesTheOldReport) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("scheda.htm"));
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
        int status = 0;
        waitpid(child, &status, 0);
        const QByteArray now = readFile(path);
        // Either the old report or the whole new one, never a mixture or a stub.
        EXPECT_TRUE(now == good + "\r\n" || now == big + "\r\n") << "size " << now.size();
        if (now != good + "\r\n") write_report_file(path, good);
    }
}

} // namespace
} // namespace vorna::test
