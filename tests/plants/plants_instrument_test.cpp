// The plant register window, instrument side: reading the instrument's list, copying a plant
// to the PC, sending one to the instrument, deleting one there; what goes over the line is
// checked in the simulator's echo.
#include "plants_test_rig.h"

#include <QPushButton>
#include <QTimer>

using namespace vorna;
using namespace vorna::test;

namespace {

QStringList listCommands(const QList<int>& numbers) {
    QStringList out{"IIMP"};
    for (int n : numbers)
        out << "LISTNIMPIANTO " + QString::number(n);
    return out;
}

// The six text lines and ICON that follow an IPAR line for the simulator's kind of plant.
QStringList textLines(const QString& name, const QString& cap = "20100") {
    return {"INOM " + name + "\t?", "IADD Via Roma\t?", "ICIV 12\t?", "ICAP " + cap + "\t?",
            "ICOM Milano\t?",       "ICDF RSSMRA\t?",   "ICON"};
}

QStringList fullInstrument() {
    QStringList plants;
    for (int n = 1; n <= 31; ++n)
        plants << simPlant(n, "3.0", "P" + QString::number(n));
    return plants;
}

} // namespace

TEST(PlantTransfer, ReadingTheInstrumentList) {
    {
        PlantsRig s({"pdcmax\t150"}); // no plants: "IIMP" answers an empty line
        s.click("bttLeggiStrum");
        EXPECT_EQ(s.commands(), QStringList{"IIMP"});
        EXPECT_TRUE(s.rows("lsbImpStrum").isEmpty());
    }
    // 3, 7 and 12 in that order; 7 has a "--" power and is left out, 12 keeps its own number.
    PlantsRig s({simPlant(3, "3.5", "Tre"), simPlant(7, "--", "Sette"),
                 simPlant(12, "25.0", "Dodici", "", "1")});
    s.click("bttLeggiStrum");
    EXPECT_EQ(s.commands(), listCommands({3, 7, 12}));
    EXPECT_EQ(s.rows("lsbImpStrum"), (QStringList{"Tre (Milano)", "Dodici"}));
    const auto& t = s.w->instrumentPlantTable();
    EXPECT_EQ(t.rowSlot, (std::vector<int>{0, 2}));
    EXPECT_EQ(t.numbers[0], 3);
    EXPECT_EQ(t.numbers[2], 12);
    EXPECT_EQ(t.numbers[3], -1);
    EXPECT_EQ(s.w->selectedInstrumentSlot(), -1);

    s.pick("lsbImpStrum", 1);
    EXPECT_EQ(s.w->selectedInstrumentSlot(), 2);
    EXPECT_EQ(s.text("tbPot"), "25.0");
    EXPECT_TRUE(s.find<QRadioButton>("obPotInv_1")->isChecked());

    // Deleting asks without an icon, sends the row's own number, re-reads, selects nothing.
    s.env.prompts.answers = {true};
    s.click("bttCancStrum");
    ASSERT_EQ(s.env.prompts.questions.size(), 1u);
    EXPECT_EQ(s.env.prompts.questions[0].text, "Are you sure you want to remove plant 'Dodici'?");
    EXPECT_EQ(s.env.prompts.questions[0].title, "VORNA_REPORT");
    EXPECT_EQ(s.env.prompts.questions[0].icon, QuestionIcon::None);
    EXPECT_EQ(s.commands(), QStringList{"CANCIMPPC 12"} + listCommands({3, 7}));
    EXPECT_EQ(s.rows("lsbImpStrum"), QStringList{"Tre (Milano)"});
    EXPECT_EQ(s.w->selectedInstrumentSlot(), -1);
    EXPECT_EQ(s.w->selectedPcRow(), -1);
    EXPECT_TRUE(s.list("lsbImpStrum")->selectedItems().isEmpty());
    EXPECT_TRUE(s.text("tbNome").isEmpty());

    // No sends nothing.
    s.pick("lsbImpStrum", 0);
    s.click("bttCancStrum");
    EXPECT_TRUE(s.commands().isEmpty());
    EXPECT_EQ(s.rows("lsbImpStrum"), QStringList{"Tre (Milano)"});
}

TEST(PlantTransfer, MoreThanThirtyOneNumbersLeaveTheListUntouched) {
    // Plants 2 to 33; 33 goes first so that the instrument lists 31 numbers.
    QStringList plants;
    for (int n = 2; n <= 33; ++n)
        plants << simPlant(n, "3.0", "P" + QString::number(n));
    PlantsRig s(plants);
    auto send = [&](const QString& command) {
        s.ctx().link.commandText = command;
        return trasmette(s.ctx(), "test");
    };
    ASSERT_TRUE(send("CANCIMPPC 33"));
    s.click("bttLeggiStrum");
    ASSERT_EQ(s.rows("lsbImpStrum").size(), 31);
    s.pick("lsbImpStrum", 30);
    ASSERT_EQ(s.w->selectedInstrumentSlot(), 30);
    const auto before = s.w->instrumentPlantTable().numbers;
    const QStringList rowsBefore = s.rows("lsbImpStrum");

    // A plant arrives at number 1: "IIMP" now lists 32 numbers.
    for (const char* line : {"IPAR 3.0\t45\t0.45\t0?", "ICON"})
        ASSERT_TRUE(send(line));
    s.commands();
    s.click("bttLeggiStrum");
    EXPECT_EQ(s.commands(), QStringList{"IIMP"});
    EXPECT_EQ(s.env.debugLog().count("\tleggi_impianti_da_strum\t"), 1);
    EXPECT_EQ(s.w->instrumentPlantTable().numbers, before);
    EXPECT_EQ(s.rows("lsbImpStrum"), rowsBefore);
    EXPECT_EQ(s.w->selectedInstrumentSlot(), 30);
    EXPECT_EQ(s.list("lsbImpStrum")->currentRow(), 30);

    // Deleting the still-listed plant sends its own number, not the renumbered slot's.
    s.env.prompts.answers = {true};
    s.click("bttCancStrum");
    EXPECT_EQ(s.commands().value(0), "CANCIMPPC 32");
}

TEST(PlantTransfer, LostLinkDuringTheListReadStopsIt) {
    PlantsRig s({simPlant(1, "3.0", "Uno"), simPlant(2, "3.0", "Due"), simPlant(3, "3.0", "Tre")},
                kUsPc, true, {"--close-on", "LISTNIMPIANTO 2"});
    s.click("bttLeggiStrum");
    EXPECT_EQ(s.rows("lsbImpStrum"), QStringList{"Uno (Milano)"});
    EXPECT_FALSE(s.ctx().link.baseLinkUp());
    EXPECT_EQ(s.env.debugLog().count("\ttrasmette\t"), 1); // not once more per remaining slot
    EXPECT_FALSE(s.find<QPushButton>("bttLeggiStrum")->isEnabled());
}

TEST(PlantTransfer, CopyToThePcAndHostileTextsVerbatim) {
    const QString hostile = "O'Brien; DROP TABLE impianti;--";
    PlantsRig s({simPlant(4, "3.5", hostile, "Milano", "0", "-0.45")});
    s.click("bttLeggiStrum");
    s.pick("lsbImpStrum", 0);
    s.click("bttStrumToPc");
    s.click("bttStrumToPc"); // no duplicate check: two rows
    const QString row = "3.5|0|45|-0.45|" + hostile + "|Via Roma|12|20100|Milano|RSSMRA70A01F205X";
    EXPECT_EQ(s.stored(), (QStringList{row, row}));
    EXPECT_EQ(s.rows("lsbImpPc"), (QStringList{hostile + " (Milano)", hostile + " (Milano)"}));

    // Exported and sent back as they are.
    s.pick("lsbImpPc", 0);
    const QString file = s.env.path("hostile.txt");
    s.env.prompts.saveNames = {file};
    s.click("bttSalvaFilePc");
    QFile f(file);
    ASSERT_TRUE(f.open(QFile::ReadOnly));
    EXPECT_TRUE(f.readAll().contains(("Name: " + hostile + "\r\n").toLatin1()));
    s.commands();
    s.click("bttPcToStrum");
    EXPECT_EQ(s.commands().mid(0, 5), (QStringList{"PDCMAX", "FREEIMP", "IPAR 3.5\t45.0\t-0.45\t0?",
                                                   "INOM " + hostile + "\t?", "IADD Via Roma\t?"}));

    // A negative gamma came over as it is; validation refuses it on modify.
    s.pick("lsbImpPc", 0);
    s.click("bttModPc");
    s.click("bttOk");
    ASSERT_FALSE(s.env.prompts.warnings.empty());
    EXPECT_TRUE(s.env.prompts.warnings.back().text.startsWith("'Gamma [%/°C]' must be"));
    EXPECT_TRUE(s.w->editMode());
    EXPECT_EQ(s.ctx().db.scalar("SELECT COUNT(*) FROM impianti"), 2);
}

TEST(PlantTransfer, SendingAPlantToTheInstrument) {
    const struct {
        const char* what;
        QLocale locale;
        QString pdcmax;
        double pot;
        bool above;
        QString cap;
        QStringList extraSim;
        QStringList simArgs;
        QStringList expected; // after PDCMAX
        QString warning;
    } cases[] = {
        {"comma PC",
         kItalianPc,
         "150.0",
         3.5,
         false,
         "20100",
         {},
         {},
         QStringList{"FREEIMP", "IPAR 3.5\t45.0\t0.45\t0?"} + textLines("Rossi") +
             listCommands({1}),
         ""},
        {"blank postal code, above 20 kW",
         kUsPc,
         "150.0",
         25,
         true,
         "",
         {},
         {},
         QStringList{"FREEIMP", "IPAR 25.0\t45.0\t0.45\t1?"} + textLines("Rossi", "?") +
             listCommands({1}),
         ""},
        {"equal to the maximum",
         kUsPc,
         "150",
         150,
         false,
         "20100",
         {},
         {},
         QStringList{"FREEIMP", "IPAR 150.0\t45.0\t0.45\t0?"} + textLines("Rossi") +
             listCommands({1}),
         ""},
        {"above the maximum",
         kUsPc,
         "150",
         150.01,
         false,
         "20100",
         {},
         {},
         {},
         "'Power [kW]' must be between 0 and 200 0.1 and 150"},
        {"above, Italian",
         kItalianPc,
         "150.5",
         151,
         false,
         "20100",
         {},
         {},
         {},
         "'Potenza [kW]' deve essere compreso tra 0,1 e 150,5"},
        {"no free position",
         kUsPc,
         "150",
         3,
         false,
         "20100",
         fullInstrument(),
         {},
         {"FREEIMP"},
         "There are no free memory position"},
        {"silence on ICOM",
         kUsPc,
         "150",
         3,
         false,
         "20100",
         {},
         {"--silent", "ICOM"},
         QStringList{"FREEIMP", "IPAR 3.0\t45.0\t0.45\t0?", "INOM Rossi\t?", "IADD Via Roma\t?",
                     "ICIV 12\t?", "ICAP 20100\t?", "ICOM Milano\t?"},
         ""},
        {"unreadable maximum", kUsPc, "many", 3, false, "20100", {}, {}, {}, ""},
    };
    for (const auto& c : cases) {
        PlantsRig s(QStringList{"pdcmax\t" + c.pdcmax} + c.extraSim, c.locale, true, c.simArgs,
                    englishRow({{"LINGUA", c.locale == kItalianPc ? 4 : 0}}));
        s.ctx()
            .db
            .prepare("INSERT INTO impianti (tipo, nome, indirizzo, NUMCIV, cap, comune, CODFISC, "
                     "POT, BOOL1, NOCT, REAL1) VALUES (1,'Rossi','Via Roma','12',?,'Milano',"
                     "'RSSMRA',?,?,45,0.45)")
            .bindAll({c.cap, c.pot, c.above})
            .run();
        ASSERT_TRUE(s.w->leggi_impianti_da_pc());
        s.pick("lsbImpPc", 0);
        s.commands();
        s.click("bttPcToStrum");
        QStringList got = s.commands();
        EXPECT_EQ(got.value(0), "PDCMAX") << c.what;
        got.removeFirst();
        EXPECT_EQ(got, c.expected) << c.what;
        if (c.warning.isEmpty()) {
            EXPECT_TRUE(s.env.prompts.warnings.empty()) << c.what;
        } else {
            ASSERT_EQ(s.env.prompts.warnings.size(), 1u) << c.what;
            EXPECT_TRUE(s.env.prompts.warnings[0].text.startsWith(c.warning))
                << c.what << ": " << s.env.prompts.warnings[0].text.toStdString();
            EXPECT_EQ(s.env.prompts.warnings[0].title, "Error");
        }
        if (QString(c.what) == "unreadable maximum") {
            EXPECT_EQ(s.env.debugLog().count("\tbttPcToStrum_Click\t"), 1);
        }
        // The buttons follow the link, also after a failed exchange.
        EXPECT_EQ(s.find<QPushButton>("bttLeggiStrum")->isEnabled(), s.ctx().link.baseLinkUp())
            << c.what;
    }
}

TEST(PlantTransfer, ClicksDuringAnExchangeDoNothing) {
    PlantsRig s({simPlant(1, "3.0", "Uno"), simPlant(2, "3.0", "Due")}, kUsPc, true,
                {"--delay", "LISTNIMPIANTO=300"});
    s.addPlant("Pc");
    ASSERT_TRUE(s.w->leggi_impianti_da_pc());
    int nested = 0;
    QTimer::singleShot(150, s.w, [&] {
        ++nested;
        s.click("bttLeggiStrum");
        s.pick("lsbImpPc", 0);
        s.w->closeWindow(); // waits for the read to end
    });
    s.click("bttLeggiStrum");
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(s.rows("lsbImpStrum").size(), 2);
    EXPECT_EQ(s.w->selectedPcRow(), -1);
    EXPECT_TRUE(s.list("lsbImpPc")->selectedItems().isEmpty());
    EXPECT_TRUE(s.text("tbNome").isEmpty());
    QTRY_VERIFY(s.find<PlantsWindow>("frmImpianti") == nullptr);
    EXPECT_EQ(s.commands(), listCommands({1, 2}));
}

// The register as a user sees it, in English and Italian: browsing with both lists filled and
// a plant shown, editing a new plant, and the main window holding the whole child.
TEST(Screenshots, PlantRegisterBrowsingAndEditing) {
    for (const auto& [language, tag, locale] :
         {std::tuple{0, "en", kUsPc}, std::tuple{4, "it", kItalianPc}}) {
        PlantsRig s(
            {simPlant(1, "3.5", "Rossi Mario"), simPlant(2, "25.0", "Ferri SRL", "Torino", "1")},
            locale, true, {}, englishRow({{"LINGUA", language}}));
        // The window opened on an 860 px wide main window: the main window grew to hold it.
        auto* sub = qobject_cast<QMdiSubWindow*>(s.w->parentWidget());
        ASSERT_NE(sub, nullptr);
        QCoreApplication::processEvents();
        EXPECT_TRUE(s.window->area()->viewport()->rect().contains(sub->geometry()))
            << sub->geometry().width() << " in " << s.window->area()->viewport()->width();
        EXPECT_EQ(s.w->windowTitle(), language == 0 ? "PLANTS" : "IMPIANTI");
        s.addPlant("Bianchi Anna", "Bergamo", 12.5);
        s.addPlant("Verdi Luca", "", 4.2);
        ASSERT_TRUE(s.w->leggi_impianti_da_pc());
        s.click("bttLeggiStrum");
        s.pick("lsbImpPc", 0);
        const QString dir = screenshotDir() + "/frmImpianti_" + tag;
        EXPECT_TRUE(s.w->grab().save(dir + "_browsing.png"));
        EXPECT_TRUE(s.window->grab().save(screenshotDir() + "/mdi_" + tag + "_plants.png"));
        s.click("bttNewPc");
        s.fill({"6", "46", "0,42", "Neri"});
        EXPECT_TRUE(s.w->grab().save(dir + "_editing.png"));
    }
}
