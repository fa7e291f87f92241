// The details pane and the duplicate rule that both plant windows share.
#include "catalogue_loader.h"
#include "data_store.h"
#include "database_init.h"
#include "plant_details_pane.h"
#include "plant_duplicate.h"
#include "plant_list_text.h"
#include "plant_store.h"
#include "test_env.h"
#include "validation.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>
#include <map>

using namespace vorna;

namespace {

using test::kItalianPc;
using test::kUsPc;

struct Pane {
    explicit Pane(const QLocale& locale) : env(locale) {
        ctx.decimalProbe = locale.toString(5000.5, 'f', 1);
        ctx.languageIndex = locale.language() == QLocale::Italian ? 4 : 0;
        read_messagges_1(ctx);
        read_messagges_2(ctx);
        read_messagges_3(ctx);
        pane = std::make_unique<PlantDetailsPane>(ctx, one_or_two_decimals);
    }
    test::TestEnv env;
    AppContext& ctx = *env.ctx;
    std::unique_ptr<PlantDetailsPane> pane;

    template <typename T = QLineEdit> T* find(const char* name) {
        return pane->findChild<T*>(QString::fromLatin1(name));
    }
    // Every box's text, "|"-separated.
    QString shown() {
        QStringList out;
        for (QLineEdit* b : pane->findChildren<QLineEdit*>())
            out << b->text();
        return out.join('|');
    }
};

// clang-format off
PlantRecord rossi() {
    return {.POT = 3, .NOCT = 45, .REAL1 = 0.43, .nome = "Rossi Mario", .indirizzo = "Via Roma",
            .NUMCIV = "12", .cap = "20100", .comune = "Milano", .CODFISC = "RSSMRA70A01F205X"};
}
// clang-format on

} // namespace

TEST(PlantDetailsPane, ShowsReadsAndClearsThePlant) {
    Pane it(kItalianPc);
    PlantRecord p = rossi();
    p.POT = 3.5;
    p.BOOL1 = true;
    p.nome = QString(60, 'N'); // longer than the typing limit: shown whole
    it.pane->var_to_controls(p);
    EXPECT_EQ(it.shown(), "3,5|45,0|0,43|" + p.nome + "|Via Roma|12|20100|Milano|RSSMRA70A01F205X");
    EXPECT_TRUE(it.pane->aboveTwenty());

    it.find("tbNome")->setText("  Bianchi  ");
    it.find("tbNoct")->setText(" 47,5 ");
    PlantRecord back;
    back.ID = 7;
    it.pane->controls_to_var(back);
    EXPECT_EQ(QString::asprintf("%lld %g %g %g %d ", back.ID, back.POT, back.NOCT, back.REAL1,
                                int(back.BOOL1)) +
                  back.nome + " " + back.comune,
              "7 3.5 47.5 0.43 1 Bianchi Milano");

    it.pane->clear_controls();
    EXPECT_EQ(it.shown(), "||||||||");
    EXPECT_TRUE(it.find<QRadioButton>("obPotInv_0")->isChecked());
    EXPECT_FALSE(it.pane->aboveTwenty());
}

TEST(PlantDetailsPane, EnablesLimitsTypingAndLabelsItsFields) {
    Pane us(kUsPc);
    us.pane->en_dis_controls(false);
    for (QWidget* w : us.pane->findChildren<QWidget*>())
        EXPECT_TRUE(qobject_cast<QLabel*>(w) || !w->isEnabled()) << w->objectName().toStdString();
    us.pane->en_dis_controls(true);
    const struct {
        const char *box, *label;
        int limit;
    } fields[] = {
        {"tbNome", "lbNome", 40}, {"tbIndirizzo", "lbIndirizzo", 40}, {"tbNumCiv", "lbNumCiv", 5},
        {"tbCap", "lbCap", 5},    {"tbCom", "lbComune", 30},          {"tbCodice", "lbCodFisc", 16},
        {"tbPot", "lbPot", 80},   {"tbNoct", "lbNoct", 80},           {"tbGamma", "lbGamma", 80}};
    for (const auto& f : fields) {
        QLineEdit* b = us.find(f.box);
        ASSERT_NE(b, nullptr) << f.box;
        EXPECT_TRUE(b->isEnabled());
        QTest::keyClicks(b, QString(80, 'x'));
        EXPECT_EQ(b->text().size(), f.limit) << f.box;
        EXPECT_EQ(us.find<QLabel>(f.label)->buddy(), b) << f.label;
    }
    EXPECT_EQ(us.find<QLabel>("lbPotInv")->buddy(), us.find<QRadioButton>("obPotInv_0"));
    EXPECT_EQ(us.find<QLabel>("lbPot")->text(), "Power [kW]");
    EXPECT_EQ(us.find<QLabel>("lbGamma")->text(), "Gamma [%/°C]");
    EXPECT_EQ(us.find<QRadioButton>("obPotInv_1")->text(), "> 20 kW");
}

TEST(PlantDuplicate, ComparesTheShownTextsOfAllTenFields) {
    using enum DuplicateCheck;
    const struct {
        QLocale locale;
        NumberFormat format;
        QString changes; // "field=text;..." over the plant as shown; "above" the other class
        DuplicateCheck expected;
    } cases[] = {
        {kUsPc, one_or_two_decimals, "", Found},
        {kUsPc, one_or_two_decimals, "pot=3", None},
        {kItalianPc, one_or_two_decimals, "pot=3,0;noct=45,0;gamma=0,43", Found},
        {kItalianPc, one_or_two_decimals, "pot=3.0;noct=45,0;gamma=0,43", None},
        {kUsPc, general_number, "pot=3;noct=45", Found},
        {kUsPc, one_or_two_decimals, "above", None},
        {kUsPc, one_or_two_decimals, "nome=ROSSI MARIO", None},
        {kUsPc, one_or_two_decimals, "comune=Milano ", None},
        {kUsPc, one_or_two_decimals, "codice=X", None},
        {kUsPc, one_or_two_decimals, "gamma=0.44", None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.changes.toStdString());
        test::TestEnv env(c.locale);
        AppContext& ctx = *env.ctx;
        ASSERT_TRUE(database_init(ctx));
        PlantFields f;
        f.pot = "3.0", f.noct = "45.0", f.gamma = "0.43", f.nome = "Rossi Mario";
        f.indirizzo = "Via Roma", f.numCiv = "12", f.cap = "20100", f.comune = "Milano";
        f.codice = "RSSMRA70A01F205X";
        bool above = false;
        EXPECT_EQ(find_duplicate_plant(ctx, f, above, c.format), None);
        PlantRecord other = rossi();
        other.nome = "Other";
        for (const PlantRecord& p : {other, rossi()})
            ASSERT_GE(PlantStore(ctx).save(p), 0);
        const std::map<QString, QString*> fields{{"pot", &f.pot},       {"noct", &f.noct},
                                                 {"gamma", &f.gamma},   {"nome", &f.nome},
                                                 {"comune", &f.comune}, {"codice", &f.codice}};
        for (const QString& change : c.changes.split(';', Qt::SkipEmptyParts)) {
            if (change == "above")
                above = true;
            else
                *fields.at(change.section('=', 0, 0)) = change.section('=', 1);
        }
        EXPECT_EQ(find_duplicate_plant(ctx, f, above, c.format), c.expected);
    }
}

TEST(PlantListText, NameWithTheTownWhenThereIsOne) {
    PlantRecord p = rossi();
    EXPECT_EQ(plant_list_text(p), "Rossi Mario (Milano)");
    p.comune = "   ";
    EXPECT_EQ(plant_list_text(p), "Rossi Mario");
    p.comune = " Lodi ";
    EXPECT_EQ(plant_list_text(p), "Rossi Mario ( Lodi )");
}
