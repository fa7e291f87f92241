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

TEST(PlantRegister, NewPlantIntoAnEmptyTableRefusedUntilItsFieldsAreSound) {
    Rig s;
    PlantsWindow* w = openRegister(s);
    EXPECT_TRUE(s.entries("lsbImpPc").isEmpty());
    EXPECT_EQ(s.ctx().childWindowOpen, 1);
    EXPECT_EQ(w->size(), QSize(1012, 512));
    EXPECT_EQ(s.find("lsbImpPc")->accessibleName(), "Plants list on PC");

    s.click("bttNewPc");
    EXPECT_FALSE(s.on("lsbImpPc"));
    fill(s, kRossi, true);
    // The rules are validazione_dati_imp's; here the window's caption names the field and a
    // refused plant keeps the edit with what was typed.
    type(s, "tbCodice", "RSS-MRA");
    s.click("bttOk");
    EXPECT_EQ(s.env.prompts.lastWarning(),
              "'Tax identification number' contains an invalid character/Error");
    EXPECT_TRUE(storedPlants(s).isEmpty());
    EXPECT_TRUE(w->editMode());
    EXPECT_EQ(s.text("tbCodice"), "RSS-MRA");
    type(s, "tbCodice", kRossi[8]);
    s.click("bttOk");
    EXPECT_TRUE(s.env.prompts.warnings.empty());
    EXPECT_EQ(storedPlants(s), QStringList{"3|1|45|0.45|Rossi Mario|Via Roma|12|20100|Milano|"
                                           "RSSMRA70A01F205X"});
    EXPECT_FALSE(w->editMode());
    EXPECT_TRUE(s.text("tbNome").isEmpty());

    // The list order and its texts are the store's and plant_list_text's, tested with them.
    EXPECT_EQ(s.entries("lsbImpPc"), QStringList{"Rossi Mario (Milano)"});
}

TEST(PlantRegister, DuplicateModifyCancelAndDelete) {
    Rig s;
    PlantsWindow* w = openRegister(s);
    insertPlant(s.db(), "Alfa");
    insertPlant(s.db(), "Beta");
    ASSERT_TRUE(w->leggi_impianti_da_pc());

    // What counts as a duplicate is find_duplicate_plant's; here an unchanged plant is refused
    // on saving and keeps its row.
    pick(s, "lsbImpPc", 1);
    const QStringList before = storedPlants(s);
    s.click("bttModPc");
    s.click("bttOk");
    EXPECT_EQ(s.env.prompts.lastWarning(), "Plant already existing/Error");
    EXPECT_EQ(storedPlants(s), before);
    EXPECT_FALSE(w->editMode());

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

    // No still clears the pane and reloads; Yes deletes (with its rows, as the store tests show).
    for (const qsizetype left : {2, 1}) {
        pick(s, "lsbImpPc", 1);
        s.env.prompts.answers = {left < 2};
        s.click("bttCancPc");
        EXPECT_TRUE(s.text("tbNome").isEmpty());
        EXPECT_EQ(w->selectedPcRow(), -1);
        EXPECT_EQ(storedPlants(s).size(), left);
    }
    const auto& asked = s.env.prompts.questions.at(0);
    EXPECT_TRUE((asked.title + ": " + asked.text).startsWith("ATTENTION: Do you want to delete"));
    EXPECT_EQ(s.entries("lsbImpPc"), QStringList{"Alfa (Milano)"});
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
