#include "live_steps.h"

#include <QCoreApplication>

using namespace vorna;
using namespace vorna::test;

// "Save table data" with two samples on a fixed clock: the plant block, three empty lines, the
// header and the samples as the grid shows them, a last empty line; CR LF and Latin-1
// throughout. Instrument with two DC lines and one AC phase: the absent ones stored as such and
// shown "---". Numbers go to the instrument with "." on a decimal-comma PC too, and a plant
// above 20 kW is sent as such. A cancelled dialog is the shared saving routine's, tested through
// the browser; "Delete table data" with the acquisition.
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
         "Potenza: 3,5 kW\r\nPotenza inverter: > 20 kW\r\nNoct: 45 \xb0"
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
        const bool it = c.pc == kItalianPc;
        RealtimeWindow* w = openRealtime(s, true, it);
        s.window->show();
        EXPECT_EQ(s.text("lbVal_PotImp") + " " + s.text("bttControllo"),
                  it ? "3,5 Acquisisci" : "3.5 Acquire");
        EXPECT_EQ(acquire(s).mid(1, 4), QStringList({"POWERRT 3.5", "NOCTRT 45", "GAMMART 0.45",
                                                     it ? "POTINVRT 1" : "POTINVRT 0"}));
        s.clock->advance(65000);
        acquire(s);
        EXPECT_EQ(samples(s, "VDC2, VDC3, IDC3, VAC2, IAC2, VAC3, IAC3").value(1),
                  "405.5|-10000|-10000|-10000|-10000|-10000|-10000");
        QCoreApplication::processEvents();
        screenshot(w, QString("realtime_%1_samples").arg(it ? "it" : "en"));
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
