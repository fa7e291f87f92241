// The plant register window, PC side: the list, the edit, the duplicate rule, delete, export,
// bad and hostile input, the button states.
#include "plant_steps.h"

#include <QPushButton>

using namespace vorna;
using namespace vorna::test;

namespace {

const QStringList kRossi{"3",  "45",    "0.45",   "Rossi Mario",     "Via Roma",
                         "12", "20100", "Milano", "RSSMRA70A01F205X"};

// Which of the ten link- and selection-dependent buttons are enabled, as a text.
QString enabledButtons(Rig& s) {
    QStringList on;
    for (const char* b :
         {"bttOk", "bttAnnulla", "bttNewPc", "bttModPc", "bttCancPc", "bttSalvaFilePc",
          "bttCancStrum", "bttLeggiStrum", "bttPcToStrum", "bttStrumToPc"})
        if (s.find<QPushButton>(b)->isEnabled()) on << QString(b).mid(3);
    return on.join(' ');
}

} // namespace

TEST(PlantRegister, NewPlantIntoAnEmptyTableAndTheListOrder) {
    Rig s;
    PlantsWindow* w = openRegister(s);
    EXPECT_TRUE(s.entries("lsbImpPc").isEmpty());
    EXPECT_EQ(enabledButtons(s), "NewPc");
    EXPECT_EQ(s.ctx().childWindowOpen, 1);
    EXPECT_EQ(w->size(), QSize(1012, 512));
    EXPECT_EQ(s.find("lsbImpPc")->accessibleName(), "Plants list on PC");

    s.click("bttNewPc");
    EXPECT_EQ(enabledButtons(s), "Ok Annulla");
    EXPECT_FALSE(s.on("lsbImpPc"));
    fill(s, kRossi, true);
    s.click("bttOk");
    EXPECT_TRUE(s.env.prompts.warnings.empty());
    EXPECT_EQ(storedPlants(s), QStringList{"3|1|45|0.45|Rossi Mario|Via Roma|12|20100|Milano|"
                                           "RSSMRA70A01F205X"});
    EXPECT_FALSE(w->editMode());
    EXPECT_TRUE(s.text("tbNome").isEmpty());

    // Case-insensitive order by name, town, street; a blank town gives the name alone.
    for (const auto& [nome, comune] : {std::pair{"bianchi", "Torino"},
                                       {"Bianchi", "  "},
                                       {"Verdi", "alba"},
                                       {"Verdi", "Zurigo"},
                                       {"Verdi", "Bra"}})
        insertPlant(s.db(), {.nome = nome, .comune = comune});
    ASSERT_TRUE(w->leggi_impianti_da_pc());
    EXPECT_EQ(s.entries("lsbImpPc"),
              (QStringList{"Bianchi", "bianchi (Torino)", "Rossi Mario (Milano)", "Verdi (alba)",
                           "Verdi (Bra)", "Verdi (Zurigo)"}));
    EXPECT_EQ(w->pcPlantIdList().size(), 6u);
}

TEST(PlantRegister, DuplicatesAreComparedAsShown) {
    for (const QLocale& locale : {kUsPc, kItalianPc}) {
        const bool it = locale == kItalianPc;
        Rig s(englishRow(), {}, {}, locale);
        PlantsWindow* w = openRegister(s);
        insertPlant(s.db(), {.codfisc = "RSSMRA", .pot = 3});
        ASSERT_TRUE(w->leggi_impianti_da_pc());
        pick(s, "lsbImpPc", 0);
        ASSERT_EQ(w->selectedPcRow(), 0);
        EXPECT_EQ(s.text("tbPot"), it ? "3,0" : "3.0");
        EXPECT_EQ(s.text("tbGamma"), it ? "0,45" : "0.45");

        // Unchanged: the plant matches its own row; nothing written, the edit ends.
        const QStringList before = storedPlants(s);
        s.click("bttModPc");
        s.click("bttOk");
        ASSERT_EQ(s.env.prompts.warnings.size(), 1u);
        EXPECT_EQ(s.env.prompts.warnings[0].text, "Plant already existing");
        EXPECT_EQ(s.env.prompts.warnings[0].title, "Error");
        EXPECT_EQ(storedPlants(s), before);
        EXPECT_FALSE(w->editMode());

        // "3" is not what a stored 3 is shown as: a new plant of the same data is stored.
        s.click("bttNewPc");
        fill(s, {"3", it ? "45,0" : "45.0", it ? "0,45" : "0.45", "Rossi Mario", "Via Roma", "12",
                 "20100", "Milano", "RSSMRA"});
        s.click("bttOk");
        EXPECT_EQ(s.env.prompts.warnings.size(), 1u);
        EXPECT_EQ(storedPlants(s).size(), 2);
        // Typed as shown it is a duplicate again.
        s.click("bttNewPc");
        fill(s, {it ? "3,0" : "3.0", it ? "45,0" : "45.0", it ? "0,45" : "0.45", "Rossi Mario",
                 "Via Roma", "12", "20100", "Milano", "RSSMRA"});
        s.click("bttOk");
        EXPECT_EQ(s.env.prompts.warnings.size(), 2u);
        EXPECT_EQ(storedPlants(s).size(), 2);
    }
}

TEST(PlantRegister, ModifyCancelAndDelete) {
    Rig s;
    PlantsWindow* w = openRegister(s);
    const qint64 keep = insertPlant(s.db(), "Alfa");
    const qint64 gone = insertPlant(s.db(), "Beta");
    for (const char* table : {"acquisizioni", "realtime"})
        for (qint64 id : {keep, gone})
            insertMeasurements(s.db(), table, id, QDateTime::currentDateTime());
    ASSERT_TRUE(w->leggi_impianti_da_pc());

    // Cancel shows the still-selected plant again; saving then changes only that plant.
    pick(s, "lsbImpPc", 1);
    s.click("bttModPc");
    type(s, "tbNome", "Gamma");
    s.click("bttAnnulla");
    EXPECT_EQ(s.text("tbNome"), "Beta");
    EXPECT_EQ(w->selectedPcRow(), 1);
    s.click("bttModPc");
    type(s, "tbCom", "Lodi");
    s.click("bttOk");
    EXPECT_EQ(s.entries("lsbImpPc"), (QStringList{"Alfa (Milano)", "Beta (Lodi)"}));
    EXPECT_EQ(storedPlants(s).size(), 2);

    // No still clears the pane and reloads; Yes takes the measurements and samples too.
    pick(s, "lsbImpPc", 1);
    s.click("bttCancPc");
    ASSERT_EQ(s.env.prompts.questions.size(), 1u);
    EXPECT_EQ(s.env.prompts.questions[0].title, "ATTENTION");
    EXPECT_TRUE(s.env.prompts.questions[0].text.startsWith("Do you want to delete"));
    EXPECT_TRUE(s.text("tbNome").isEmpty());
    EXPECT_EQ(w->selectedPcRow(), -1);
    EXPECT_EQ(storedPlants(s).size(), 2);
    pick(s, "lsbImpPc", 1);
    s.env.prompts.answers = {true};
    s.click("bttCancPc");
    EXPECT_EQ(s.entries("lsbImpPc"), QStringList{"Alfa (Milano)"});
    for (const QString table : {"acquisizioni", "realtime"}) {
        EXPECT_EQ(s.env.rows(table + " WHERE IDIMP=?", {gone}), 0);
        EXPECT_EQ(s.env.rows(table + " WHERE IDIMP=?", {keep}), 1);
    }
}

TEST(PlantRegister, ButtonsFollowSelectionEditAndLink) {
    const struct {
        const char* state;
        const char* up;
        const char* down;
    } table[] = {
        {"none", "NewPc LeggiStrum", "NewPc"},
        {"pc", "NewPc ModPc CancPc SalvaFilePc LeggiStrum PcToStrum",
         "NewPc ModPc CancPc SalvaFilePc"},
        {"instrument", "NewPc CancStrum LeggiStrum StrumToPc", "NewPc CancStrum"},
        {"editing", "Ok Annulla", "Ok Annulla"},
    };
    for (bool up : {true, false}) {
        Rig s(englishRow(), {}, {simPlant(5, plantFields("4.5", "Strum"))});
        PlantsWindow* w = openRegister(s);
        insertPlant(s.db(), "Pc");
        ASSERT_TRUE(w->leggi_impianti_da_pc());
        s.click("bttLeggiStrum");
        if (!up) s.loseLink();
        for (const auto& row : table) {
            const QString state = row.state;
            if (state == "pc") pick(s, "lsbImpPc", 0);
            if (state == "instrument") pick(s, "lsbImpStrum", 0);
            if (state == "editing") s.click("bttNewPc");
            if (state == "none") w->gestione_bottoni();
            EXPECT_EQ(enabledButtons(s), up ? row.up : row.down) << row.state << up;
            if (state == "editing") s.click("bttAnnulla");
        }
    }
}

// The rules are validazione_dati_imp's; here the window's captions name the field, a refused
// plant keeps the edit with what was typed, a hostile text is stored as it is.
TEST(PlantRegister, BadInputIsRefusedWithItsMessage) {
    const struct {
        int field;
        QString text;
        const char* message; // empty: accepted
    } cases[] = {
        {2, " ", "Power, Noct and Gamma can not be null"},
        {0, "4200.01", "'Power [kW]' must be between 0 and 200 0.1 and 4200"},
        {8, "RSS-MRA", "'Tax identification number' contains an invalid character"},
        {3, "DROP TABLE impianti", ""},
    };
    for (const auto& c : cases) {
        Rig s;
        PlantsWindow* w = openRegister(s);
        s.click("bttNewPc");
        QStringList f = kRossi;
        f[c.field] = c.text;
        fill(s, f);
        s.click("bttOk");
        const QString shown = s.env.prompts.lastWarning();
        EXPECT_EQ(shown, *c.message ? c.message + QString("/Error") : "") << c.text.toStdString();
        EXPECT_EQ(storedPlants(s).size(), *c.message ? 0 : 1);
        EXPECT_EQ(w->editMode(), *c.message != 0);
        EXPECT_EQ(s.text("tbNome"), *c.message ? f[3] : ""); // the typed values stay
        if (!*c.message) EXPECT_TRUE(storedPlants(s).value(0).contains("|" + c.text + "|"));
    }
}

TEST(PlantRegister, ExportWritesThePlantAndACancelledDialogNothing) {
    Rig s;
    PlantsWindow* w = openRegister(s);
    insertPlant(s.db(), {.pot = 3});
    ASSERT_TRUE(w->leggi_impianti_da_pc());
    pick(s, "lsbImpPc", 0);
    s.click("bttSalvaFilePc"); // cancelled
    EXPECT_EQ(s.env.prompts.saveDialogs, 1);
    EXPECT_TRUE(QDir(s.env.dir.path()).entryList({"*.txt"}).isEmpty());
    const QString file = s.env.path("rossi.txt");
    s.env.prompts.saveNames = {file};
    s.click("bttSalvaFilePc");
    EXPECT_EQ(readFile(file),
              QByteArray("Power: 3 kW\r\nInverter power: <= 20 kW\r\nNoct: 45 \xb0"
                         "C\r\nGamma: 0.45 %/\xb0"
                         "C\r\nName: Rossi Mario\r\nAddress: Via Roma\r\nNumber: "
                         "12\r\nZip Code: 20100\r\nCity: Milano\r\nTax identification number: "
                         "RSSMRA70A01F205X\r\n\r\n"));
}
