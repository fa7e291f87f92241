// The report window on the program started on a test folder, with instrument-sim on a
// pseudo-terminal.
#include "report_window_util.h"

#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTimer>
#include <QtCore/qtestsupport_core.h>

using namespace vorna;
using namespace vorna::test;

namespace {

const QDateTime kJune14(QDate(2024, 6, 14), QTime(10, 15, 2));

// The instrument of most download cases: two plants, three measurements.
const QString kFerri =
    "plant\t2\t25.0\t47.5\t-0.4\tFerri SRL\tCorso Italia\t7b\t10121\tTorino\t01234567890\t1";
const QStringList kInstrument{
    "logo\t  Studio Verdi  ",
    simPlant(1),
    kFerri,
    simMeasurement(1, 1),
    simMeasurement(1, 2, measurementReply("14/06/2024", "25.5", "412.0", "FAULT")),
    simMeasurement(2, 1, measurementReply("02/07/2024", "30.0", "560.0")),
};
const QStringList kInstrumentCommands{"LOGO?",           "IIMP",         "LISTNIMPIANTO 1",
                                      "LISTNIMPIANTO 2", "IMISPERIMP 1", "LISTMISURA 1 1",
                                      "LISTMISURA 1 2",  "IMISPERIMP 2", "LISTMISURA 2 1"};

// The controls of the wizard as one text: the step, whether the lists show, the entries of
// cbMis, the message (when shown) and bttComando's caption (when shown).
std::string shown(Rig& s, ReportWindow* rep) {
    const bool lists = s.shown("cbImp") && s.shown("lbImp") && s.shown("cbMis") && s.shown("lbMis");
    return QStringList{QString::number(rep->reportStep), lists ? "lists" : "no lists",
                       QString::number(s.entries("cbMis").size()),
                       s.shown("lbMessaggio") ? s.text("lbMessaggio") : "-",
                       s.shown("bttComando") ? s.text("bttComando") : "-"}
        .join('|')
        .toStdString();
}

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

} // namespace

TEST(ReportWindow, StepsOfTheWizard) {
    Rig s;
    const qint64 rossi = insertPlant(s.db(), "Rossi Mario");
    insertPlant(
        s.db(),
        {.nome = "bianchi Anna", .indirizzo = "Corso Po", .numciv = "3", .comune = "Torino"});
    // The verdict is AC's alone: passed, never stored, passed with DC failed, failed.
    insertMeasurements(s.db(), "acquisizioni", rossi, kJune14);
    insertMeasurements(s.db(), "acquisizioni", rossi, kJune14.addSecs(-3600), 1, {{"ESITOAC", {}}});
    insertMeasurements(s.db(), "acquisizioni", rossi, kJune14.addSecs(-7200), 1, {{"ESITODC", 0}});
    insertMeasurements(s.db(), "realtime", rossi, kJune14.addDays(1), 1, {{"ESITOAC", 0}});
    ReportWindow* rep = openReport(s, false);
    ASSERT_NE(rep, nullptr);
    EXPECT_EQ(std::pair(rep->size(), rep->windowTitle()),
              std::pair(QSize(546, 170), QString("REPORT")));
    // The instrument's link is down: no download.
    EXPECT_FALSE(s.on("bttSincr") || s.shown("pbScarica") || s.shown("bttInterrompi"));
    auto* cbImp = s.find<QComboBox>("cbImp");
    auto* cbMis = s.find<QComboBox>("cbMis");
    EXPECT_EQ(entries(cbImp), (QStringList{"", "bianchi Anna (Corso Po, 3 - Torino)",
                                           "Rossi Mario (Via Roma, 12 - Milano)"}));
    EXPECT_EQ(shown(s, rep), "1|lists|0|-|-");

    choose(cbImp, 2);
    EXPECT_EQ(shown(s, rep), "2|lists|4|-|-");
    EXPECT_EQ(rep->selectedPlantId, rossi);
    EXPECT_EQ(entries(cbMis),
              (QStringList{"14/06/2024   10:15   (PASS)", "14/06/2024   09:15   (FAULT)",
                           "14/06/2024   08:15   (PASS)", "15/06/2024   10:15   (FAULT)"}));
    EXPECT_EQ(cbMis->currentIndex(), -1);
    choose(cbImp, 0);
    EXPECT_EQ(shown(s, rep), "1|lists|0|-|-");
    choose(cbImp, 1); // a plant with nothing
    EXPECT_EQ(shown(s, rep), "2|lists|0|-|-");

    choose(cbImp, 2);
    choose(cbMis, 1);
    EXPECT_EQ(shown(s, rep), "3|lists|4|-|Make report");
    screenshot(rep, "rep_step3");
    s.env.prompts.saveNames = {s.env.path("sheet")};
    s.click("bttComando");
    EXPECT_EQ(shown(s, rep), "4|no lists|4|The report file has been saved|OK");
    screenshot(rep, "rep_step4");
    // "OK": back to the measurements of the same plant, none chosen.
    s.click("bttComando");
    EXPECT_EQ(shown(s, rep), "2|lists|4|-|-");
    EXPECT_EQ(std::pair(cbImp->currentIndex(), cbMis->currentIndex()), std::pair(2, -1));
    EXPECT_EQ(s.env.loggedErrors(), "");
}

TEST(ReportWindow, DownloadSendsTheCommandsAndStoresModelAndLogo) {
    const struct {
        QStringList args, data;
        QStringList commands;
        QString stored;
        int plants, measurements;
        bool earlier = false; // tables left from an earlier download of plant 1
    } cases[] = {
        // clang-format off
        {{}, kInstrument, kInstrumentCommands, "model=VORNA METER PV 100;logo=Studio Verdi", 2, 3},
        {{}, {"logo\t", "plant\t1\t" + kPlantFields}, {"LOGO?", "IIMP", "LISTNIMPIANTO 1", "IMISPERIMP 1"},
         "model=VORNA METER PV 100;logo= ", 1, 0},
        // An unreadable plant is skipped with its measurements.
        {{"--garbage", "LISTNIMPIANTO 1"}, kInstrument,
         {"LOGO?", "IIMP", "LISTNIMPIANTO 1", "LISTNIMPIANTO 2", "IMISPERIMP 2", "LISTMISURA 2 1"},
         "model=VORNA METER PV 100;logo=Studio Verdi", 1, 1},
        // A failed "LOGO?" sends nothing more and changes nothing.
        {{"--silent", "LOGO?"}, kInstrument, {"LOGO?"}, "model=<null>;logo=<null>", 0, 0},
        // 101 plant numbers: the earlier tables must not file this download's measurements.
        {{"--reply", "IIMP=" + QStringList(101, "1").join("\\t")}, kInstrument, {"LOGO?", "IIMP"},
         "model=VORNA METER PV 100;logo=Studio Verdi", 1, 0, true},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').left(40).toStdString());
        Rig s(englishRow(), c.args, c.data);
        // A silent "LOGO?" fails the setup window's read too.
        s.connect(!c.args.contains("LOGO?"));
        ASSERT_NE(openReport(s, false), nullptr);
        ASSERT_TRUE(s.on("bttSincr"));
        if (c.earlier) {
            s.ctx().instrumentPlantNumbers.fill(-1);
            s.ctx().instrumentPlantNumbers[0] = 1;
            s.ctx().instrumentPlantIds[0] = insertPlant(s.db(), "Earlier plant");
        }
        s.click("bttSincr");
        EXPECT_EQ(s.commands(), c.commands);
        EXPECT_EQ(s.diff(c.stored), "");
        EXPECT_EQ(std::pair(s.env.rows("impianti"), s.env.rows("acquisizioni")),
                  std::pair(c.plants, c.measurements));
        EXPECT_EQ(s.env.rows("acquisizioni WHERE IDIMP NOT IN (SELECT ID FROM impianti)"), 0);
        EXPECT_EQ(s.find<QComboBox>("cbImp")->count(), c.plants ? c.plants + 1 : 0);
        EXPECT_FALSE(s.shown("pbScarica") || s.shown("lbScarica") || s.shown("bttInterrompi"));
        EXPECT_TRUE(s.on("cbImp") && s.on("cbMis") && s.on("bttComando"));
        // A silent instrument is a lost one.
        EXPECT_EQ(s.find("bttSincr")->isEnabled(), c.plants > 0);
    }
}

TEST(ReportWindow, PacedDownloadShowsProgressAndStopsBetweenExchanges) {
    Rig s(englishRow(), QStringList{"--generate", "2x12", "--baud", "38400"});
    ReportWindow* rep = openReport(s);
    auto* bar = s.find<QProgressBar>("pbScarica");
    auto* label = s.find<QLabel>("lbScarica");
    // Every value the bar takes, with the text beside it. At each step an event is posted: it
    // must be served before the next step (the window is served during every exchange). During
    // the first download, once the fifth measurement of plant 1 is under way, Stop is pressed
    // through the event loop, as a user's click comes.
    std::vector<int> values;
    QStringList texts;
    int posted = 0, served = 0, unserved = 0;
    QString stoppedAt;
    bool stopping = true;
    const QRegularExpression plantOne("^Plant 1/2   Measurement (\\d+)/12$");
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) {
        if (!rep->downloading()) return; // the bar put back when it hides
        values.push_back(v);
        texts << label->text();
        if (posted == 0) screenshot(rep, "rep_downloading");
        if (served < posted) ++unserved;
        ++posted;
        QMetaObject::invokeMethod(
            bar, [&] { ++served; }, Qt::QueuedConnection);
        const auto m = plantOne.match(label->text());
        if (stopping && stoppedAt.isEmpty() && m.hasMatch() && m.captured(1) == "5") {
            stoppedAt = label->text();
            QMetaObject::invokeMethod(s.find<QPushButton>("bttInterrompi"), "click",
                                      Qt::QueuedConnection);
        }
    });

    s.click("bttSincr");
    ASSERT_EQ(stoppedAt, "Plant 1/2   Measurement 5/12");
    // The exchange under way was finished and nothing sent after it; the link stays up.
    const QStringList first = s.commands();
    EXPECT_EQ(first.last(), "LISTMISURA 1 5");
    EXPECT_EQ(first.count("IMISPERIMP 1"), 1);
    EXPECT_TRUE(s.ctx().link.baseLinkUp());
    EXPECT_EQ(s.env.rows("acquisizioni"), 5);
    EXPECT_EQ(rep->reportStep, 1);
    EXPECT_TRUE(bar->isHidden() && s.find("bttInterrompi")->isHidden());
    EXPECT_EQ(s.env.loggedErrors(), "");

    // The second download runs to the end and adds the rest, nothing twice; the plant list is
    // rebuilt and no measurement list is left from before.
    stopping = false;
    values.clear();
    s.choose("cbImp", 1);
    ASSERT_EQ(rep->reportStep, 2);
    s.click("bttSincr");
    EXPECT_EQ(shown(s, rep), "1|lists|0|-|-");
    EXPECT_EQ(s.find<QComboBox>("cbImp")->count(), 3);
    EXPECT_EQ(s.commands().count(), 2 + 2 + 2 + 24);
    EXPECT_EQ(s.env.rows("acquisizioni"), 24);
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
    EXPECT_TRUE(texts.contains("Plant 2/2")) << texts.join(", ").toStdString();
    EXPECT_TRUE(texts.contains("Plant 2/2   Measurement 12/12"));
    EXPECT_GT(posted, 24);
    EXPECT_EQ(unserved, 0);
}

TEST(ReportWindow, ClosingMidDownloadEndsAfterTheCurrentExchange) {
    Rig s(englishRow(), QStringList{"--generate", "2x12", "--baud", "38400"});
    openReport(s);
    QMdiSubWindow* sub = s.window->area()->subWindowList().first();
    bool refused = false;
    QTimer::singleShot(400, [&] { refused = !sub->close(); });
    s.click("bttSincr");
    EXPECT_TRUE(refused);
    EXPECT_TRUE(QTest::qWaitFor([&] { return s.window->currentChild() == nullptr; }, 3000));
    EXPECT_EQ(s.ctx().childWindowOpen, 0);
    EXPECT_TRUE(s.ctx().link.baseLinkUp());
    // Every measurement asked for was stored whole; the rest were not asked for.
    const int asked = int(s.commands().filter("LISTMISURA").size());
    EXPECT_GT(asked, 0);
    EXPECT_LT(asked, 24);
    EXPECT_EQ(s.env.rows("acquisizioni"), asked);
    EXPECT_EQ(s.env.loggedErrors(), "");
}

TEST(ReportWindow, MeasurementListTakesAtMost2001Entries) {
    // A German region writes dates with dots; the list keeps slashes.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const auto restore = qScopeGuard([&] { QLocale::setDefault(before); });
    Rig s(englishRow(), {}, {}, QLocale(QLocale::German, QLocale::Germany));
    const qint64 full = insertPlant(s.db(), "A full plant");
    insertMeasurements(s.db(), "acquisizioni", full, kJune14, 1500);
    insertMeasurements(s.db(), "realtime", full, kJune14.addYears(1), 600);
    ReportWindow* rep = openReport(s, false);
    auto* cbMis = s.find<QComboBox>("cbMis");
    s.choose("cbImp", 1);
    ASSERT_EQ(cbMis->count(), 2001);
    EXPECT_EQ(s.env.errorsOf("step"), 1);
    const auto& from = rep->entries().measurementSource;
    EXPECT_EQ(std::tuple(from[1499], from[1500], from[2000]), std::tuple(1, 2, 2));
    EXPECT_EQ(cbMis->itemText(0) + "|" + cbMis->itemText(1500),
              "14/06/2024   10:15   (PASS)|14/06/2025   10:15   (PASS)");
    // Entry 2000 (the 501st sample, newest first) is usable and reports from realtime.
    const QDateTime sample = kJune14.addYears(1).addSecs(-60 * 500);
    s.ctx().db.exec(QString("UPDATE realtime SET TEMPAMB=31.75 WHERE data='%1' AND ora='%2'")
                        .arg(sample.date().toString(Qt::ISODate), sample.time().toString()));
    choose(cbMis, 2000);
    s.env.prompts.saveNames = {s.env.path("last")};
    s.click("bttComando");
    EXPECT_EQ(rep->reportStep, 4);
    EXPECT_TRUE(readFile(s.env.path("last.htm")).contains("31,75"));
}

TEST(ReportWindow, ReportsAskForTheFilesTheyWrite) {
    const QString htm = "(*.htm)", pdf = "PDF (*.pdf)";
    const std::string savedEn = "4|no lists|1|The report file has been saved|OK",
                      savedIt = "4|no lists|1|Il file di report è stato salvato|OK",
                      bothIt = "4|no lists|1|I file di report sono stati salvati|OK";
    const struct {
        const char* name;
        int language, passed;
        QStringList names;   // typed in each dialog, in folder "a"; "" cancels
        QStringList filters; // picked in each dialog; "" keeps the one shown
        QStringList startedOn;
        QStringList written; // each with the format its first bytes tell
        std::string shown;
    } cases[] = {
        // clang-format off
        {"Italian FAULT", 4, 0, {"one"}, {}, {htm}, {"one.htm HTML"}, savedIt},
        {"a name of blanks asks again", 0, 1, {"  ", "one.HTM"}, {}, {htm, htm}, {"one.HTM HTML"},
         savedEn},
        {"the certificate starts on the sheet's format", 4, 1, {"one.pdf", "two"}, {}, {htm, pdf},
         {"one.pdf PDF", "two.pdf PDF"}, bothIt},
        {"no suffix, PDF chosen", 0, 1, {"one"}, {pdf}, {htm}, {"one.pdf PDF"}, savedEn},
        {"the suffix wins over the filter", 4, 1, {"one.HTM", "two.Pdf"}, {pdf, ""}, {htm, htm},
         {"one.HTM HTML", "two.Pdf PDF"}, bothIt},
        {"another suffix takes the filter's", 0, 1, {"one.txt"}, {pdf}, {htm}, {"one.txt.pdf PDF"},
         savedEn},
        {"cancel at the sheet", 4, 1, {""}, {pdf}, {htm}, {}, "3|lists|1|-|Genera report"},
        {"cancel at the certificate", 4, 1, {"one.pdf", ""}, {}, {htm, pdf}, {"one.pdf PDF"},
         savedIt},
        // clang-format on
    };
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig s(englishRow({{"LINGUA", c.language}}));
        insertMeasurements(s.db(), "acquisizioni", insertPlant(s.db()), kJune14, 1,
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
        EXPECT_EQ(shown(s, rep), c.shown);
        // A run's first dialog opens in Documents, the certificate's in the sheet's folder.
        const auto& dialogs = s.env.prompts.saveShown;
        QStringList startedOn;
        for (size_t i = 0; i < dialogs.size(); ++i) {
            const QFileInfo proposed(dialogs[i].suggested);
            startedOn << dialogs[i].selected;
            EXPECT_EQ(dialogs[i].filter, htm + ";;" + pdf);
            EXPECT_EQ(proposed.fileName(), c.language == 0 ? "measurement file Rossi Mario"
                                           : i == 0        ? "scheda misurazioni Rossi Mario"
                                                           : "dichiarazione Rossi Mario");
            EXPECT_EQ(proposed.absolutePath(), i > 0 && c.language == 4 ? folder : documents);
        }
        EXPECT_EQ(startedOn, c.startedOn);
        EXPECT_EQ(writtenFiles(folder), c.written);
        EXPECT_EQ(s.env.loggedErrors(), "");
    }
}

TEST(ReportWindow, AFailedReportKeepsTheStepAndAnyFileThere) {
    Rig s(englishRow());
    insertMeasurements(s.db(), "acquisizioni", insertPlant(s.db()), kJune14);
    ReportWindow* rep = openReport(s, false);
    s.choose("cbImp", 1);
    s.choose("cbMis", 0);

    // An unwritable folder: the file there keeps its bytes.
    const QString folder = s.env.path("locked");
    QDir().mkdir(folder);
    QFile old(folder + "/old.htm");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("GOOD") == 4);
    old.close();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    const auto unlock = qScopeGuard([&] {
        QProcess::execute("chattr", {"-i", folder});
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    if (QFile probe(folder + "/probe"); probe.open(QIODevice::WriteOnly)) {
        // The super-user writes anywhere: make the folder immutable instead.
        probe.remove();
        QProcess::execute("chattr", {"+i", folder});
    }
    if (QFile probe(folder + "/probe"); probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        GTEST_SKIP() << "no folder can be made unwritable here";
    }
    s.env.prompts.saveNames = {folder + "/old.htm"};
    s.click("bttComando");
    EXPECT_EQ(readFile(folder + "/old.htm"), "GOOD");
    EXPECT_EQ(shown(s, rep), "3|lists|1|-|Make report");
    EXPECT_EQ(s.env.errorsOf("bttComando_Click"), 1);

    // A generator that fails (no settings row) asks for nothing and writes nothing.
    s.ctx().db.exec("DELETE FROM impostazioni");
    s.ctx().settings.reset();
    s.click("bttComando");
    EXPECT_EQ(s.env.prompts.saveDialogs, 1);
    EXPECT_EQ(shown(s, rep), "3|lists|1|-|Make report");
    EXPECT_EQ(s.env.errorsOf("bttComando_Click"), 2);
}
