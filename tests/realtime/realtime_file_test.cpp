#include "live_steps.h"

#include <QFile>

using namespace vorna;
using namespace vorna::test;

// "Save table data" with two samples on a fixed clock: the plant block, three empty lines, the
// header and the samples as the grid shows them, a last empty line; CR LF and Latin-1
// throughout. Instrument with two DC lines and one AC phase.
TEST(RealtimeFile, SavedGridByteForByte) {
    const struct {
        QLocale pc;
        QByteArray expected;
    } cases[] = {
        {kUsPc,
         "Power: 3.5 kW\r\nInverter power: <= 20 kW\r\nNoct: 45 \xb0"
         "C\r\n"
         "Gamma: 0.45 %/\xb0"
         "C\r\nName: Rossi Mario\r\nAddress: Via Roma\r\nNumber: 12\r\n"
         "Zip Code: 20100\r\nCity: Milano\r\nTax identification number: RSSMRA70A01F205X\r\n"
         "\r\n\r\n\r\n"
         "Date\tTime\tRad.\tT. env.\tT. pan.\tTemp. Coeff.\tAvail. Power\tVDC1\tIDC1\tVDC2\t"
         "IDC2\tVDC3\tIDC3\tDC Power\tVAC1\tIAC1\tVAC2\tIAC2\tVAC3\tIAC3\tAC Power\tPRp\tResult\t"
         "Pan. Effic.\tInv. Effic.\t\r\n"
         "14/06/2024\t10:15:02\t812.5\t24.5\t41.2\t-0.45\t3.1\t410.2\t7\t405.5\t7.2\t---\t---\t"
         "8.6\t231\t12.1\t---\t---\t---\t---\t8.2\t0.89\tPASS\t0.93\t0.96\t\r\n"
         "14/06/2024\t10:16:07\t2000\t---\t41.2\t-0.45\t3.1\t410.2\t7\t405.5\t7.2\t---\t---\t"
         "8.6\t231\t12.1\t---\t---\t---\t---\t8.2\t0.89\tFAULT\t0.93\t---\t\r\n"
         "\r\n"},
        {kItalianPc,
         "Potenza: 3,5 kW\r\nPotenza inverter: <= 20 kW\r\nNoct: 45 \xb0"
         "C\r\n"
         "Gamma: 0,45 %/\xb0"
         "C\r\nNome: Rossi Mario\r\nIndirizzo: Via Roma\r\n"
         "Numero civico: 12\r\nCAP: 20100\r\nComune: Milano\r\n"
         "Codice fiscale: RSSMRA70A01F205X\r\n"
         "\r\n\r\n\r\n"
         "Data\tOra\tRad.\tT. amb.\tT. pan.\tCoeff. temp.\tPot. disp.\tVDC1\tIDC1\tVDC2\t"
         "IDC2\tVDC3\tIDC3\tPotenza DC\tVAC1\tIAC1\tVAC2\tIAC2\tVAC3\tIAC3\tPotenza AC\tPRp\t"
         "Esito\tRend. Pan.\tRend. Inv.\t\r\n"
         "14/06/2024\t10:15:02\t812,5\t24,5\t41,2\t-0,45\t3,1\t410,2\t7\t405,5\t7,2\t---\t---\t"
         "8,6\t231\t12,1\t---\t---\t---\t---\t8,2\t0,89\tPASS\t0,93\t0,96\t\r\n"
         "14/06/2024\t10:16:07\t2000\t---\t41,2\t-0,45\t3,1\t410,2\t7\t405,5\t7,2\t---\t---\t"
         "8,6\t231\t12,1\t---\t---\t---\t---\t8,2\t0,89\tFAULT\t0,93\t---\t\r\n"
         "\r\n"},
    };
    for (const auto& c : cases) {
        Rig s(rowFor(c.pc), {},
              liveContent({listval(), listval({{2, "2000"}, {3, "--"}, {23, "--"}, {24, "FAULT"}})},
                          {"linedc\t2", "phaseac\t1"}),
              c.pc);
        RealtimeWindow* w = openRealtime(s);
        acquire(s);
        s.clock->advance(65000);
        acquire(s);
        ScriptedPrompts& p = s.env.prompts;
        const QString path = s.env.path("log.txt");
        p.saveNames = {"   ", path}; // a name of blanks asks again
        s.click("bttSalva");
        EXPECT_EQ(p.saveDialogs, 2);
        EXPECT_EQ(p.saveShown.back().suggested, s.ctx().appPath + "datalogger");
        EXPECT_EQ(readFile(path), c.expected) << c.pc.name().toStdString();
        EXPECT_EQ(w->grid()->currentIndex().row(), 2); // back on the empty row
    }
}

// Cancel writes nothing; "Delete table data" keeps what is stored and turns both table
// buttons off until the next sample.
TEST(RealtimeFile, CancelWritesNothingAndDeleteKeepsTheTable) {
    Rig s(englishRow(), {}, liveContent({listval()}));
    RealtimeWindow* w = openRealtime(s);
    acquire(s);
    ScriptedPrompts& p = s.env.prompts;
    s.click("bttSalva"); // the scripted dialog answers Cancel
    EXPECT_EQ(p.saveDialogs, 1);
    EXPECT_FALSE(QFile::exists(s.ctx().appPath + "datalogger"));
    EXPECT_FALSE(QFile::exists(s.ctx().appPath + "datalogger.txt"));

    s.click("bttCancella");
    EXPECT_EQ(s.env.rows("realtime"), 1);
    EXPECT_EQ(gridSamples(w), 0);
    EXPECT_FALSE(s.on("bttSalva") || s.on("bttCancella"));
    acquire(s);
    EXPECT_TRUE(s.on("bttSalva") && s.on("bttCancella"));
}
