#include "database_init.h"
#include "test_env.h"
#include "validation.h"

#include <gtest/gtest.h>
#include <vector>

using namespace vorna;

TEST(TextRules, NumbersIntegersAndFirstCharacters) {
    for (const char* good : {"7", "-12.50"})
        EXPECT_TRUE(isReal(good, '.')) << good;
    EXPECT_TRUE(isReal("12,5", ','));
    EXPECT_FALSE(isReal("12.5", ','));
    for (const char* bad :
         {"", "-", "+1", " 1", "1.", ".5", "1e3", "1.000.5", "1..2", "1-", "--1", "12,5"})
        EXPECT_FALSE(isReal(bad, '.')) << bad;

    EXPECT_TRUE(isInteger("007"));
    for (const char* bad : {"", "12a", "-1"})
        EXPECT_FALSE(isInteger(bad)) << bad;

    EXPECT_TRUE(isLenZero("   "));
    EXPECT_FALSE(isLenZero(" x "));

    test::TestEnv env;
    EXPECT_TRUE(isNum(*env.ctx, "3x"));
    EXPECT_TRUE(isNotNum(*env.ctx, "x3"));
    EXPECT_FALSE(isNum(*env.ctx, ""));
    EXPECT_FALSE(isNotNum(*env.ctx, ""));
    EXPECT_TRUE(env.debugLog().contains("isNotNum"));
}

TEST(TextRules, PlantTextsAndCorrection) {
    EXPECT_TRUE(isValidString(""));
    EXPECT_TRUE(isValidString("Via Roma 3. Int 2"));
    EXPECT_FALSE(isValidString("Rossi & Figli"));
    EXPECT_FALSE(isValidString(QString::fromUtf8("Città")));
    EXPECT_TRUE(isValidCap("10121"));
    EXPECT_TRUE(isValidCap(""));
    EXPECT_FALSE(isValidCap("101 21"));
    EXPECT_EQ(correggiStringa(QString::fromUtf8("D'Urso, via 3/b è ok.")), "D Urso  via 3 b   ok.");
}

namespace {
struct Validation : ::testing::Test {
    test::TestEnv env;
    AppContext& ctx = *env.ctx;
    PlantFields f;
    void SetUp() override {
        for (int n : {134, 144, 146, 147, 200})
            ctx.messaggi.set(0, n, QString("<m%1>").arg(n));
        f = {"4200",  "45",   "0.43",  "Rossi", "Via Roma", "3",   "10121", "Torino", "RSSMRA",
             "Power", "NOCT", "Gamma", "Name",  "Street",   "No.", "ZIP",   "Town",   "Tax code"};
    }
};
} // namespace

// Fields changed from a sound plant: the check it fails first, or none; the limits are inclusive.
// Emptiness is checked before any format, then each number in field order, then the texts.
TEST_F(Validation, EachFieldRefusedWithItsMessageTheFirstFailureWinning) {
    const struct {
        std::vector<std::pair<int, QString>> changes; // power, NOCT, gamma, then the six texts
        QString message;                              // empty: accepted
    } cases[] = {
        {{{0, "4200"}}, ""},
        {{{0, "0.1"}}, ""},
        {{{1, "99"}}, ""},
        {{{2, "0.01"}}, ""},
        {{{0, "4200.01"}}, "'Power' <m146> 0.1 <m147> 4200"},
        {{{0, ""}}, "<m134>"},
        {{{0, "abc"}}, "'Power' <m144>"},
        {{{0, "0.09"}}, "'Power' <m146> 0.1 <m147> 4200"},
        {{{1, "100"}}, "'NOCT' <m146> 1 <m147> 99"},
        {{{2, "-0.45"}}, "'Gamma' <m146> 0.01 <m147> 0.99"},
        {{{3, "Rossi 'Mario'"}}, "'Name' <m200>"},
        {{{3, "Rossi; Mario"}}, "'Name' <m200>"},
        {{{3, "DROP TABLE impianti"}}, ""},
        {{{4, "Via -- Roma"}}, "'Street' <m200>"},
        {{{5, "12/b"}}, "'No.' <m200>"},
        {{{6, "20 100"}}, "'ZIP' <m200>"},
        {{{7, "L@Aquila"}}, "'Town' <m200>"},
        {{{8, "RSS-MRA"}}, "'Tax code' <m200>"},
        {{{1, "4,5"}, {2, " "}}, "<m134>"},
        {{{1, "4,5"}, {2, "1"}}, "'NOCT' <m144>"}, // comma on a decimal-point PC
        {{{2, "1"}, {6, "10 121"}}, "'Gamma' <m146> 0.01 <m147> 0.99"},
        {{{6, "10 121"}, {8, "RSS/MRA"}}, "'ZIP' <m200>"},
    };
    for (const auto& c : cases) {
        PlantFields g = f;
        QString* fields[] = {&g.pot,    &g.noct, &g.gamma,  &g.nome,  &g.indirizzo,
                             &g.numCiv, &g.cap,  &g.comune, &g.codice};
        for (const auto& [field, text] : c.changes)
            *fields[field] = text;
        EXPECT_EQ(validazione_dati_imp(ctx, g), c.message.isEmpty()) << &c - cases;
        EXPECT_EQ(env.prompts.lastWarning(), c.message.isEmpty() ? "" : c.message + "/Error")
            << &c - cases;
    }
}

// On a decimal-comma PC the plant's numbers are typed and described with the comma.
TEST(CommaPc, PlantCheckedDescribedAndSavedToAFileUnlessCancelled) {
    test::TestEnv env(test::kItalianPc);
    AppContext& ctx = *env.ctx;
    PlantFields f{"4200,0", "45", "0,43", "", "", "", "", "", "",
                  "P",      "N",  "G",    "", "", "", "", "", ""};
    EXPECT_TRUE(validazione_dati_imp(ctx, f));
    f.gamma = "0.43";
    EXPECT_FALSE(validazione_dati_imp(ctx, f));

    ASSERT_TRUE(database_init(ctx));
    for (int n : {82, 205, 138, 171, 81, 139, 140, 141, 142, 143})
        ctx.messaggi.set(0, n, QString("L%1").arg(n));
    ctx.db.exec("INSERT INTO impianti (nome, indirizzo, NUMCIV, cap, comune, CODFISC, POT, BOOL1, "
                "NOCT, REAL1) "
                "VALUES ('Rossi', 'Via Po', '3', '10100', 'Torino', 'X1', 20.5, 1, 45, 0.43)");
    const QString text = write_info_impianto(ctx, 1);
    EXPECT_TRUE(
        text.startsWith("L82: 20,5 kW\r\nL205: > 20 kW\r\nL138: 45 °C\r\nL171: 0,43 %/°C\r\n"));
    EXPECT_TRUE(text.endsWith("L143: X1\r\n"));

    EXPECT_FALSE(salva_impianto_su_file(ctx, 1)); // cancelled
    EXPECT_EQ(env.prompts.saveDialogs, 1);

    env.prompts.saveNames.push_back(env.path("plant.txt"));
    ASSERT_TRUE(salva_impianto_su_file(ctx, 1));
    EXPECT_EQ(test::readFile(env.path("plant.txt")),
              (text + "\r\n").toLatin1()); // single-byte: "°" is one byte
}
