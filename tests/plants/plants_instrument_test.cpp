// The plant register's instrument side; what goes over the line is the simulator's echo.
#include "plant_steps.h"

#include <QPushButton>

using namespace vorna;
using namespace vorna::test;

namespace {

QStringList listCommands(const QList<int>& numbers) {
    QStringList out{"IIMP"};
    for (int n : numbers)
        out << "LISTNIMPIANTO " + QString::number(n);
    return out;
}

// Instrument plants `from` to `to`, each with its own name.
QStringList numberedPlants(int from, int to) {
    QStringList plants;
    for (int n = from; n <= to; ++n)
        plants << simPlant(n, plantFields("3.0", "P" + QString::number(n)));
    return plants;
}

} // namespace

TEST(PlantTransfer, ReadingTheInstrumentList) {
    // 3, 7 and 12 in that order; 7 has a "--" power and is left out, 12 keeps its own number.
    Rig s(englishRow(), {},
          {simPlant(3, plantFields("3.5", "Tre")), simPlant(7, plantFields("--", "Sette")),
           simPlant(12, plantFields("25.0", "Dodici", "", "1"))});
    PlantsWindow* w = openRegister(s);
    s.click("bttLeggiStrum");
    EXPECT_EQ(s.commands(), listCommands({3, 7, 12}));
    EXPECT_EQ(s.entries("lsbImpStrum"), (QStringList{"Tre (Milano)", "Dodici"}));
    EXPECT_EQ(w->selectedInstrumentSlot(), -1);

    pick(s, "lsbImpStrum", 1);
    EXPECT_EQ(w->selectedInstrumentSlot(), 2);
    EXPECT_EQ(s.text("tbPot"), "25.0");

    // Deleting asks without an icon, sends the row's own number, re-reads, selects nothing.
    s.env.prompts.answers = {true};
    s.click("bttCancStrum");
    const auto& asked = s.env.prompts.questions.at(0);
    EXPECT_EQ(asked.title + ": " + asked.text,
              "VORNA_REPORT: Are you sure you want to remove plant 'Dodici'?");
    EXPECT_EQ(asked.icon, QuestionIcon::None);
    EXPECT_EQ(s.commands(), QStringList{"CANCIMPPC 12"} + listCommands({3, 7}));
    EXPECT_EQ(s.entries("lsbImpStrum"), QStringList{"Tre (Milano)"});
    EXPECT_EQ(std::pair(w->selectedInstrumentSlot(), w->selectedPcRow()), std::pair(-1, -1));
    EXPECT_TRUE(s.find<QListWidget>("lsbImpStrum")->selectedItems().isEmpty());
    EXPECT_TRUE(s.text("tbNome").isEmpty());

    // No sends nothing.
    pick(s, "lsbImpStrum", 0);
    s.click("bttCancStrum");
    EXPECT_TRUE(s.commands().isEmpty());
    EXPECT_EQ(s.entries("lsbImpStrum"), QStringList{"Tre (Milano)"});
}

TEST(PlantTransfer, MoreThanThirtyOneNumbersLeaveTheListUntouched) {
    // Plants 2 to 33; 33 goes first so that the instrument lists 31 numbers.
    Rig s(englishRow(), {}, numberedPlants(2, 33));
    PlantsWindow* w = openRegister(s);
    auto send = [&](const QString& command) {
        s.ctx().link.commandText = command;
        return trasmette(s.ctx(), "test");
    };
    ASSERT_TRUE(send("CANCIMPPC 33"));
    s.click("bttLeggiStrum");
    ASSERT_EQ(s.entries("lsbImpStrum").size(), 31);
    pick(s, "lsbImpStrum", 30);
    ASSERT_EQ(w->selectedInstrumentSlot(), 30);
    const auto before = w->instrumentPlantTable().numbers;
    const QStringList rowsBefore = s.entries("lsbImpStrum");

    // A plant arrives at number 1: "IIMP" now lists 32 numbers.
    for (const char* line : {"IPAR 3.0\t45\t0.45\t0?", "ICON"})
        ASSERT_TRUE(send(line));
    s.commands();
    s.click("bttLeggiStrum");
    EXPECT_EQ(s.commands(), QStringList{"IIMP"});
    EXPECT_EQ(s.env.errorsOf("leggi_impianti_da_strum"), 1);
    EXPECT_EQ(w->instrumentPlantTable().numbers, before);
    EXPECT_EQ(s.entries("lsbImpStrum"), rowsBefore);
    EXPECT_EQ(
        std::pair(w->selectedInstrumentSlot(), s.find<QListWidget>("lsbImpStrum")->currentRow()),
        std::pair(30, 30));

    // Deleting the still-listed plant sends its own number, not the renumbered slot's.
    s.env.prompts.answers = {true};
    s.click("bttCancStrum");
    EXPECT_EQ(s.commands().value(0), "CANCIMPPC 32");
}

TEST(PlantTransfer, LostLinkDuringTheListReadStopsIt) {
    Rig s(englishRow(), QStringList{"--close-on", "LISTNIMPIANTO 2"}, numberedPlants(1, 3));
    openRegister(s);
    s.click("bttLeggiStrum");
    EXPECT_EQ(s.entries("lsbImpStrum"), QStringList{"P1 (Milano)"});
    EXPECT_FALSE(s.ctx().link.baseLinkUp());
    EXPECT_EQ(s.env.errorsOf("trasmette"), 1); // not once more per remaining slot
    EXPECT_FALSE(s.on("bttLeggiStrum"));
}

// A negative gamma comes over as it is; that validation refuses it on modify is its own test.
TEST(PlantTransfer, CopyToThePcAndHostileTextsVerbatim) {
    const QString hostile = "O'Brien; DROP TABLE impianti;--";
    Rig s(englishRow(), {}, {simPlant(4, plantFields("3.5", hostile))});
    PlantsWindow* w = openRegister(s);
    // The window opened on an 860 px wide main window: the main window grew to hold it.
    auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget());
    ASSERT_NE(sub, nullptr);
    QCoreApplication::processEvents();
    EXPECT_TRUE(s.window->area()->viewport()->rect().contains(sub->geometry()));
    EXPECT_EQ(w->windowTitle(), "PLANTS");
    s.click("bttLeggiStrum");
    pick(s, "lsbImpStrum", 0);
    s.click("bttStrumToPc");
    s.click("bttStrumToPc"); // no duplicate check: two rows
    const QString row = "3.5|0|45|-0.45|" + hostile + "|Via Roma|12|20100|Milano|RSSMRA70A01F205X";
    EXPECT_EQ(storedPlants(s), (QStringList{row, row}));
    EXPECT_EQ(s.entries("lsbImpPc"), (QStringList{hostile + " (Milano)", hostile + " (Milano)"}));

    // Exported and sent back as they are.
    pick(s, "lsbImpPc", 0);
    screenshot(w, "frmImpianti_en_browsing");
    screenshot(s.window.get(), "mdi_en_plants");
    const QString file = s.env.path("hostile.txt");
    s.env.prompts.saveNames = {file};
    s.click("bttSalvaFilePc");
    // The file's layout is write_info_impianto's, in English in the real-time window's test.
    EXPECT_TRUE(readFile(file).contains("\r\nName: " + hostile.toLatin1() + "\r\nAddress: "));
    s.commands();
    s.click("bttPcToStrum");
    EXPECT_EQ(s.commands().mid(0, 5), (QStringList{"PDCMAX", "FREEIMP", "IPAR 3.5\t45.0\t-0.45\t0?",
                                                   "INOM " + hostile + "\t?", "IADD Via Roma\t?"}));
    s.click("bttNewPc");
    fill(s, {"6", "46", "0.42", "Neri"});
    screenshot(w, "frmImpianti_en_editing");
}

TEST(PlantTransfer, SendingAPlantToTheInstrument) {
    // What follows PDCMAX for the tests' plant: its parameters, its texts, the list read again.
    const auto sent = [](const QString& ipar, const QString& cap = "20100") {
        const QStringList texts{
            "INOM Rossi Mario\t?", "IADD Via Roma\t?",         "ICIV 12\t?", "ICAP " + cap + "\t?",
            "ICOM Milano\t?",      "ICDF RSSMRA70A01F205X\t?", "ICON"};
        return QStringList{"FREEIMP", "IPAR " + ipar} + texts + listCommands({1});
    };
    const struct {
        const char* what;
        QLocale locale;
        QString pdcmax;
        TestPlant plant;
        QStringList simArgs;
        QStringList expected; // after PDCMAX
        QString warning;
        QStringList extraSim = {};
    } cases[] = {
        // clang-format off
        {"comma PC", kItalianPc, "150.0", {}, {}, sent("3.5\t45.0\t0.45\t0?"), ""},
        {"blank postal code, above 20 kW", kUsPc, "150.0", {.cap = "", .pot = 25, .above = true}, {},
         sent("25.0\t45.0\t0.45\t1?", "?"), ""},
        {"equal to the maximum", kUsPc, "150", {.pot = 150}, {}, sent("150.0\t45.0\t0.45\t0?"), ""},
        {"above the maximum", kUsPc, "150", {.pot = 150.01}, {}, {},
         "'Power [kW]' must be between 0 and 200 0.1 and 150"},
        {"above, Italian", kItalianPc, "150.5", {.pot = 151}, {}, {},
         "'Potenza [kW]' deve essere compreso tra 0,1 e 150,5"},
        {"no free position", kUsPc, "150", {.pot = 3}, {}, {"FREEIMP"},
         "There are no free memory position", numberedPlants(1, 31)},
        {"silence on ICOM", kUsPc, "150", {.pot = 3}, {"--silent", "ICOM"},
         sent("3.0\t45.0\t0.45\t0?").mid(0, 7), ""},
        {"unreadable maximum", kUsPc, "many", {.pot = 3}, {}, {}, ""},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rig s(rowFor(c.locale), c.simArgs, QStringList{"pdcmax\t" + c.pdcmax} + c.extraSim,
              c.locale);
        PlantsWindow* w = openRegister(s);
        insertPlant(s.db(), c.plant);
        ASSERT_TRUE(w->leggi_impianti_da_pc());
        pick(s, "lsbImpPc", 0);
        s.commands();
        s.click("bttPcToStrum");
        EXPECT_EQ(s.commands(), QStringList{"PDCMAX"} + c.expected);
        const QString warning = s.env.prompts.lastWarning(); // "text/title"
        EXPECT_TRUE(c.warning.isEmpty()
                        ? warning.isEmpty()
                        : warning.startsWith(c.warning) && warning.endsWith("/Error"))
            << warning.toStdString();
        if (QString(c.what) == "unreadable maximum") {
            EXPECT_EQ(s.env.errorsOf("bttPcToStrum_Click"), 1);
        }
        // The buttons follow the link, also after a failed exchange.
        EXPECT_EQ(s.find<QPushButton>("bttLeggiStrum")->isEnabled(), s.ctx().link.baseLinkUp());
    }
}
