#include "installation_window.h"
#include "plant_steps.h"

#include <QTest>

using namespace vorna;
using namespace vorna::test;

namespace {

// The plant chooser opened from the toolbar with the simulated instrument connected (plants 1
// and 4 on it unless the rig gives the instrument's content).
InstallationWindow* openChooser(Rig& s) {
    s.connect();
    auto* w = s.open<InstallationWindow>("realtime");
    EXPECT_NE(w, nullptr);
    return w;
}

// "step: caption/enabled" of the window's step and its three buttons, "|"-separated.
QString buttons(Rig& s) {
    QStringList out{
        QString::number(s.find<InstallationWindow>("installation")->installationStep()) + ":"};
    for (const char* b : {"bttComm1", "bttComm2", "bttComm3"})
        out << s.text(b) + (s.on(b) ? "/on" : "/off");
    return out.join('|');
}

const QStringList kPlant{"12.5", "45",    "0.45",   "Bianchi Luca", "Via Po",
                         "3",    "10100", "Torino", "BNCLCU"};

} // namespace

// A picture of each state.
TEST(Installation, ButtonsByState) {
    Rig s(englishRow(), QStringList{});
    InstallationWindow* w = openChooser(s);
    s.window->show();
    ASSERT_TRUE(w);
    EXPECT_EQ(s.ctx().childWindowOpen, 1);
    EXPECT_EQ(w->size(), QSize(473, 460));
    EXPECT_EQ(w->windowTitle(), "REAL TIME");
    EXPECT_EQ(buttons(s), "1:|New plant/on|Download from instrument/on|Real time/off");

    s.click("bttComm2");                        // download: plants 1 and 4
    ASSERT_EQ(s.entries("cbSelImp").size(), 3); // the empty first entry is popola_cbselimp's
    // Shown in the default number format; "Ferri SRL" sorts first.
    s.choose("cbSelImp", 1);
    EXPECT_EQ(s.text("tbPot") + " " + s.text("tbGamma"), "25 -0.4");
    screenshot(w, "installation_en_state1");
    s.choose("cbSelImp", 2);
    EXPECT_EQ(buttons(s), "2:|Modify plant/on|Delete plant/on|Real time/on");
    screenshot(w, "installation_en_state2");
    s.loseLink();
    EXPECT_EQ(buttons(s), "2:|Modify plant/on|Delete plant/on|Real time/on");
    EXPECT_FALSE(s.on("tbPot"));
    s.click("bttComm1");
    EXPECT_EQ(buttons(s), "3:|Save/on|Delete/on|Real time/off"); // "Delete": the cancel key
    EXPECT_TRUE(s.on("tbPot"));
    EXPECT_FALSE(s.on("cbSelImp"));
    screenshot(w, "installation_en_state3");

    // The empty first entry: state 1, no plant; without the instrument, no download.
    s.click("bttComm2"); // cancel the edit
    s.choose("cbSelImp", 1);
    s.choose("cbSelImp", 0);
    EXPECT_EQ(s.ctx().plant.ID, -1);
    EXPECT_EQ(s.text("tbPot"), "");
    EXPECT_EQ(buttons(s), "1:|New plant/on|Download from instrument/off|Real time/off");

    // Deleting is asked first; the last plant gone leaves the list empty.
    auto& p = s.env.prompts;
    for (int left : {2, 1, 0}) { // No, then Yes twice
        s.choose("cbSelImp", 1);
        p.answers = {left < 2};
        s.click("bttComm2");
        EXPECT_EQ(s.env.rows("impianti"), left);
        EXPECT_EQ(s.entries("cbSelImp").size(), left ? left + 1 : 0);
        EXPECT_EQ(w->installationStep(), 1);
    }
    ASSERT_EQ(p.questions.size(), 3u);
    EXPECT_EQ(p.questions[0].title + ": " + p.questions[0].text,
              s.ctx().msg(154) + ": " + s.ctx().msg(150));
    s.choose("cbSelImp", 0);
    EXPECT_EQ(w->installationStep(), 1);
}

TEST(Installation, NewModifyCancelAndDuplicate) {
    Rig s(englishRow(), QStringList{});
    InstallationWindow* w = openChooser(s);
    // The same plant twice, typed as the default format shows it: the second is a duplicate,
    // nothing stored.
    for (const QString& warning : {QString(), s.ctx().msg(133) + "/Error"}) {
        s.click("bttComm1");
        fill(s, kPlant);
        s.click("bttComm1");
        EXPECT_EQ(s.env.prompts.lastWarning(), warning);
        EXPECT_EQ(s.env.rows("impianti"), 1);
        EXPECT_EQ(w->installationStep(), 1);
    }
    EXPECT_EQ(s.entries("cbSelImp").size(), 2);

    // Cancelling an edit of it leaves it as it was, and no plant chosen.
    s.choose("cbSelImp", 1);
    s.click("bttComm1");
    type(s, "tbNome", "Changed");
    s.click("bttComm2");
    EXPECT_EQ(w->installationStep(), 1);
    EXPECT_EQ(s.ctx().plant.ID, -1);
    EXPECT_EQ(s.text("tbNome"), "");
    EXPECT_EQ(s.env.rows("impianti WHERE nome='Bianchi Luca'"), 1);

    // Modify it: the same row changes.
    s.choose("cbSelImp", 1);
    s.click("bttComm1");
    type(s, "tbPot", "12.75");
    s.click("bttComm1");
    EXPECT_EQ(rowsAsText(s.db(), "SELECT POT FROM impianti"), QStringList{"12.75"});

    // A new plant after choosing one is a new row, not the chosen one overwritten.
    s.choose("cbSelImp", 1);
    s.choose("cbSelImp", 0);
    s.click("bttComm1");
    fill(s, kPlant);
    type(s, "tbNome", "Verdi Anna");
    s.click("bttComm1");
    EXPECT_EQ(s.env.rows("impianti"), 2);
    // An invalid field keeps the edit open.
    s.click("bttComm1");
    fill(s, kPlant);
    type(s, "tbPot", "4200.01");
    s.click("bttComm1");
    EXPECT_EQ(w->installationStep(), 3);
    EXPECT_EQ(s.env.rows("impianti"), 2);
}

// The power check before the real-time window; the limits are realtime_power_allowed's, here an
// "SF" instrument's version reaches it.
TEST(Installation, PowerLimitBeforeRealTime) {
    Rig s(englishRow(), {},
          {"version\tFirmware: FV 2.1.5 SF - FR 1.0.1",
           "plant\t1\t4200\t45\t0.45\tBig\tVia Po\t3\t10100\tTorino\tBG\t1",
           "plant\t4\t4200.01\t45\t0.45\tBigger\tVia Po\t3\t10100\tTorino\tBG\t1"});
    InstallationWindow* w = openChooser(s);
    s.click("bttComm2");
    s.choose("cbSelImp", 2);
    s.click("bttComm3");
    EXPECT_EQ(s.env.prompts.lastWarning(), s.ctx().msg(204) + "/Error");
    EXPECT_EQ(w->installationStep(), 2);

    s.choose("cbSelImp", 1);
    s.click("bttComm3");
    // The opening may finish after the handler has returned.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return s.window->currentChild()->objectName() == "realtime"; }));
    EXPECT_EQ(s.env.prompts.lastWarning(), "");
    EXPECT_EQ(s.ctx().childWindowOpen, 2);
    EXPECT_EQ(s.window->area()->subWindowList().size(), 1);
    EXPECT_EQ(s.text("lbVal_NomeImp"), "Big"); // closing it: RealtimeWindow's test
}
