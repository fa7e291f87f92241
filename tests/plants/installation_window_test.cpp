#include "app_test_util.h"
#include "installation_window.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace vorna;
using namespace vorna::test;

namespace {

// The program with the simulated instrument connected (plants 1 and 4 on it), opened on the
// plant chooser through the toolbar. simData replaces the instrument's content.
struct Chooser {
    explicit Chooser(const QStringList& simData = {}, const QLocale& pc = kUsPc, int language = 0,
                     const QStringList& simArgs = {})
        : s(englishRow({{"LINGUA", language}}), simArgs, simData, pc) {
        s.click("bttCollegaBase");
        EXPECT_TRUE(s.ctx().link.baseLinkUp());
        s.closeChild();
        s.key("realtime")->trigger();
        w = qobject_cast<InstallationWindow*>(s.window->currentChild());
        EXPECT_NE(w, nullptr);
    }
    QComboBox* list() { return s.find<QComboBox>("cbSelImp"); }
    QLineEdit* box(const char* name) { return s.find<QLineEdit>(name); }
    void choose(int entry) {
        list()->setCurrentIndex(entry);
        emit list()->activated(entry);
    }
    // "caption/enabled" of the three buttons, "|"-separated.
    QString buttons() {
        QStringList out;
        for (const char* b : {"bttComm1", "bttComm2", "bttComm3"}) {
            auto* p = s.find<QPushButton>(b);
            out << p->text() + (p->isEnabled() ? "/on" : "/off");
        }
        return out.join('|');
    }
    void type(const QStringList& fields) {
        const char* names[] = {"tbPot",    "tbNoct", "tbGamma", "tbNome",  "tbIndirizzo",
                               "tbNumCiv", "tbCap",  "tbCom",   "tbCodice"};
        for (int i = 0; i < fields.size(); ++i)
            box(names[i])->setText(fields[i]);
    }
    int plants() { return int(s.ctx().db.scalar("SELECT COUNT(*) FROM impianti")); }
    QString windowName() {
        QWidget* c = s.window->currentChild();
        return c ? c->objectName() : QString();
    }

    Rig s;
    InstallationWindow* w = nullptr;
};

const QStringList kPlant{"12.5", "45",    "0.45",   "Bianchi Luca", "Via Po",
                         "3",    "10100", "Torino", "BNCLCU"};

// kPlant with one field changed.
QStringList plantWith(int field, const QString& text) {
    QStringList p = kPlant;
    p[field] = text;
    return p;
}

} // namespace

TEST(Installation, OpensFromTheToolbarOnlyWithTheInstrument) {
    Rig s;
    s.closeChild();
    s.key("realtime")->trigger();
    EXPECT_EQ(s.window->currentChild(), nullptr);
    EXPECT_EQ(s.ctx().childWindowOpen, 0);
}

// The buttons follow the state; the download needs the instrument.
TEST(Installation, ButtonsByState) {
    Chooser c;
    ASSERT_TRUE(c.w);
    EXPECT_EQ(c.s.ctx().childWindowOpen, 1);
    EXPECT_EQ(c.w->size(), QSize(473, 460));
    EXPECT_EQ(c.w->windowTitle(), "REAL TIME");
    EXPECT_EQ(c.buttons(), "New plant/on|Download from instrument/on|Real time/off");
    c.s.ctx().link.setLinkUp(Unit::Base, false);
    EXPECT_EQ(c.buttons(), "New plant/on|Download from instrument/off|Real time/off");
    c.s.ctx().link.setLinkUp(Unit::Base, true);

    c.s.click("bttComm2"); // download: plants 1 and 4
    ASSERT_EQ(c.list()->count(), 3);
    EXPECT_EQ(c.list()->itemText(0), "");
    c.choose(2);
    EXPECT_EQ(c.w->installationStep(), 2);
    EXPECT_EQ(c.buttons(), "Modify plant/on|Delete plant/on|Real time/on");
    c.s.ctx().link.setLinkUp(Unit::Base, false);
    EXPECT_EQ(c.buttons(), "Modify plant/on|Delete plant/on|Real time/on");
    EXPECT_FALSE(c.box("tbPot")->isEnabled());
    c.s.click("bttComm1");
    EXPECT_EQ(c.w->installationStep(), 3);
    EXPECT_EQ(c.buttons(), "Save/on|Delete/on|Real time/off"); // "Delete": the cancel key
    EXPECT_TRUE(c.box("tbPot")->isEnabled());
    EXPECT_FALSE(c.list()->isEnabled());

    // The empty first entry: state 1, no plant.
    c.s.click("bttComm2"); // cancel the edit
    c.choose(1);
    c.choose(0);
    EXPECT_EQ(c.w->installationStep(), 1);
    EXPECT_EQ(c.s.ctx().plant.ID, -1);
    EXPECT_EQ(c.box("tbPot")->text(), "");
}

// A download adds the instrument's plants once, however often it runs; the list shows them.
TEST(Installation, DownloadTwiceAddsEachPlantOnce) {
    Chooser c;
    c.s.click("bttComm2");
    c.s.click("bttComm2");
    EXPECT_EQ(c.plants(), 2);
    EXPECT_EQ(c.list()->count(), 3);
    c.choose(1);
    EXPECT_EQ(c.box("tbPot")->text(), "25"); // "Ferri SRL" sorts first; default number format
    EXPECT_EQ(c.box("tbGamma")->text(), "-0.4");
    EXPECT_TRUE(c.s.find<QRadioButton>("obPotInv_1")->isChecked());
}

// A download pumps events while it waits: the window's buttons and list do nothing meanwhile.
TEST(Installation, NothingElseRunsDuringADownload) {
    Chooser c({}, kUsPc, 0, {"--delay", "LISTNIMPIANTO=300"});
    int stepDuring = 0;
    QTimer::singleShot(200, [&] {
        c.s.click("bttComm1");
        c.s.click("bttComm2");
        c.choose(1);
        stepDuring = c.w->installationStep();
    });
    c.s.click("bttComm2");
    EXPECT_EQ(stepDuring, 1);
    EXPECT_EQ(c.s.env.debugLog().trimmed(), "");
    EXPECT_EQ(c.plants(), 2);
    EXPECT_EQ(c.w->installationStep(), 1);
    EXPECT_EQ(c.s.sim->received().count("IIMP"), 1);
}

TEST(Installation, NewModifyCancelAndDuplicate) {
    Chooser c;
    auto& warnings = c.s.env.prompts.warnings;
    c.s.click("bttComm1");
    c.type(kPlant);
    c.s.click("bttComm1");
    EXPECT_TRUE(warnings.empty()) << warnings.front().text.toStdString();
    EXPECT_EQ(c.plants(), 1);
    EXPECT_EQ(c.w->installationStep(), 1);
    EXPECT_EQ(c.list()->count(), 2);

    // The same plant again, typed as the default format shows it: a duplicate, nothing stored.
    c.s.click("bttComm1");
    c.type(kPlant);
    c.s.click("bttComm1");
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].text, c.s.ctx().msg(133));
    EXPECT_EQ(c.plants(), 1);
    EXPECT_EQ(c.w->installationStep(), 1);

    // Cancelling an edit of it leaves it as it was, and no plant chosen.
    c.choose(1);
    c.s.click("bttComm1");
    c.box("tbNome")->setText("Changed");
    c.s.click("bttComm2");
    EXPECT_EQ(c.w->installationStep(), 1);
    EXPECT_EQ(c.s.ctx().plant.ID, -1);
    EXPECT_EQ(c.box("tbNome")->text(), "");
    EXPECT_EQ(c.s.ctx().db.scalar("SELECT COUNT(*) FROM impianti WHERE nome='Bianchi Luca'"), 1);

    // Modify it: the same row changes.
    c.choose(1);
    c.s.click("bttComm1");
    c.box("tbPot")->setText("12.75");
    c.s.click("bttComm1");
    EXPECT_EQ(c.plants(), 1);
    EXPECT_EQ(c.s.ctx().db.scalar("SELECT COUNT(*) FROM impianti WHERE POT=12.75"), 1);

    // A new plant after choosing one is a new row, not the chosen one overwritten.
    c.choose(1);
    c.choose(0);
    c.s.click("bttComm1");
    c.type(plantWith(3, "Verdi Anna"));
    c.s.click("bttComm1");
    EXPECT_EQ(c.plants(), 2);
    // An invalid field keeps the edit open.
    c.s.click("bttComm1");
    c.type(plantWith(0, "4200.01"));
    c.s.click("bttComm1");
    EXPECT_EQ(c.w->installationStep(), 3);
    EXPECT_EQ(c.plants(), 2);
}

TEST(Installation, DeleteAskedFirstAndTheLastPlantLeavesTheList) {
    Chooser c;
    c.s.click("bttComm2");
    auto& p = c.s.env.prompts;
    c.choose(1);
    p.answers = {false};
    c.s.click("bttComm2");
    ASSERT_EQ(p.questions.size(), 1u);
    EXPECT_EQ(p.questions[0].text, c.s.ctx().msg(150));
    EXPECT_EQ(p.questions[0].title, c.s.ctx().msg(154));
    EXPECT_EQ(c.plants(), 2);
    EXPECT_EQ(c.w->installationStep(), 1);
    for (int left : {1, 0}) {
        c.choose(1);
        p.answers = {true};
        c.s.click("bttComm2");
        EXPECT_EQ(c.plants(), left);
        EXPECT_EQ(c.list()->count(), left ? left + 1 : 0);
    }
    c.choose(0);
    EXPECT_EQ(c.w->installationStep(), 1);
}

// The power check before the real-time window: 600 kW, or 4200 kW on an "SF" instrument.
TEST(Installation, PowerLimitBeforeRealTime) {
    const struct {
        QString version, power;
        bool opens;
    } cases[] = {
        {"Firmware: FV 2.1.5 - FR 1.0.1", "600", true},
        {"Firmware: FV 2.1.5 - FR 1.0.1", "600.01", false},
        {"Firmware: FV 2.1.5 SF - FR 1.0.1", "4200", true},
        {"Firmware: FV 2.1.5 SF - FR 1.0.1", "4200.01", false},
    };
    for (const auto& k : cases) {
        Chooser c({"version\t" + k.version,
                   "plant\t1\t" + k.power + "\t45\t0.45\tBig\tVia Po\t3\t10100\tTorino\tBG\t1"});
        c.s.click("bttComm2");
        c.choose(1);
        c.s.click("bttComm3");
        QTest::qWait(50);
        EXPECT_EQ(c.windowName(), k.opens ? "realtime" : "installation") << k.power.toStdString();
        if (k.opens) {
            EXPECT_EQ(c.s.ctx().childWindowOpen, 2);
            EXPECT_EQ(c.s.window->area()->subWindowList().size(), 1);
            EXPECT_EQ(c.s.find<QLabel>("lbVal_NomeImp")->text(), "Big");
            // Closing the real-time window frees the toolbar.
            c.s.closeChild();
            EXPECT_EQ(c.s.ctx().childWindowOpen, 0);
            c.s.key("setup")->trigger();
            EXPECT_EQ(c.windowName(), "setup");
        } else {
            ASSERT_EQ(c.s.env.prompts.warnings.size(), 1u);
            EXPECT_EQ(c.s.env.prompts.warnings[0].text, c.s.ctx().msg(204));
            EXPECT_EQ(c.w->installationStep(), 2);
        }
    }
}

// The chooser as a user sees it in its three states, in English and in Italian.
TEST(Screenshots, InstallationStates) {
    for (const auto& [language, tag] : {std::pair{0, "en"}, std::pair{4, "it"}}) {
        Chooser c({}, language ? kItalianPc : kUsPc, language);
        c.s.window->show();
        c.s.click("bttComm2");
        const std::pair<int, const char*> states[] = {{0, "1"}, {1, "2"}, {-1, "3"}};
        for (const auto& [entry, state] : states) {
            if (entry >= 0)
                c.choose(entry);
            else
                c.s.click("bttComm1");
            QCoreApplication::processEvents();
            EXPECT_TRUE(c.w->grab().save(screenshotDir() + "/installation_" + tag + "_state" +
                                         state + ".png"));
        }
    }
}
