#include "app_test_util.h"
#include "link.h"
#include "port_selection.h"
#include "pseudo_terminal.h"
#include "setup_window.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

using namespace vorna;
using namespace vorna::test;

namespace {

// The configuration controls as one text: "on" or "off" ("mixed" when only some are
// enabled), the logo, the minimum radiation and the checked option of each group (-1: none).
std::string configShown(Rig& s) {
    const auto controls = s.window->findChildren<QWidget*>(
        QRegularExpression("^(tbLogo|tbRadMin|bttApplica|ob(Metodo|MisureDc|MisureAc)_\\d)$"));
    const auto on =
        std::count_if(controls.begin(), controls.end(), [](QWidget* w) { return w->isEnabled(); });
    QStringList shown{on == 0 ? "off" : (on == 11 ? "on" : "mixed"),
                      s.find<QLineEdit>("tbLogo")->text(), s.find<QLineEdit>("tbRadMin")->text()};
    for (const QString group : {"obMetodo", "obMisureDc", "obMisureAc"}) {
        int at = -1;
        for (int i = 0; i < 3; ++i)
            if (auto* b = s.find<QRadioButton>(group + "_" + QString::number(i));
                b && b->isChecked())
                at = i;
        shown << QString::number(at);
    }
    return shown.join('|').toStdString();
}

const std::string kLinkDown = "off|||-1|-1|-1";

// The last warning as "text/title", taken from the list; empty when there is none.
QString lastWarning(Rig& s) {
    auto& warnings = s.env.prompts.warnings;
    if (warnings.empty()) return {};
    const QString shown = warnings.back().text + "/" + warnings.back().title;
    warnings.clear();
    return shown;
}

} // namespace

TEST(SetupWindow, PortListsMissingPortsAndOneNumberForBothPorts) {
    Rig s;
    auto* base = s.find<QComboBox>("cbComBase");
    ASSERT_EQ(base->count(), 90);
    EXPECT_EQ(base->itemText(89), "90");
    EXPECT_EQ(base->currentText(), "1");
    EXPECT_EQ(s.find<QComboBox>("cbComRemoto")->currentText(), "2");
    EXPECT_EQ(configShown(s), kLinkDown);
    // The device each list number means is shown beside the list.
    qunsetenv("VORNA_COM12");
    base->setCurrentText("12");
    EXPECT_EQ(s.find<QLabel>("lbDevBase")->text(), "/dev/ttyS11");

    // A port that is not there is refused with a warning, and the stored one shown again.
    qputenv("VORNA_COM7", s.env.path("no-such-device").toLocal8Bit());
    base->setCurrentText("7");
    s.click("bttCollegaBase");
    qunsetenv("VORNA_COM7");
    EXPECT_FALSE(s.ctx().link.baseLinkUp());
    EXPECT_EQ(lastWarning(s), "COM 7 missing/Error");
    EXPECT_EQ(base->currentText(), "1");
    // A list text that is not a number means port 0.
    EXPECT_EQ(verifica_combase(s.ctx(), "abc"), PortCheck::Missing);
    EXPECT_EQ(lastWarning(s), "COM 0 missing/Error");
    EXPECT_EQ(verifica_comremoto(s.ctx(), ""), PortCheck::Missing);
    EXPECT_EQ(s.diff("COM=1;INT1=2"), "");

    // The same number for both ports moves the closed one.
    AppContext& c = s.ctx();
    sim::PseudoTerminal one(s.ptyLink("one")), three(s.ptyLink("three"));
    qputenv("VORNA_COM1", s.ptyLink("one").toLocal8Bit());
    qputenv("VORNA_COM3", s.ptyLink("three").toLocal8Bit());
    c.link.serialeRemoto.setPortNumber(1);
    EXPECT_EQ(verifica_combase(c, "1"), PortCheck::Connected);
    EXPECT_EQ(s.diff("COM=1;INT1=2"), "");
    c.link.serialeRemoto.setPortNumber(3);
    EXPECT_EQ(verifica_combase(c, "3"), PortCheck::Connected);
    EXPECT_EQ(s.diff("COM=3;INT1=1"), "");
    // The remote unit's port moves the closed instrument port the same way.
    chiudi_com_base(c);
    EXPECT_EQ(verifica_comremoto(c, "3"), PortCheck::Connected);
    EXPECT_EQ(s.diff("COM=1;INT1=3"), "");
    // An open port is not moved: the second open of the same device is refused instead.
    EXPECT_EQ(verifica_combase(c, "3"), PortCheck::Missing);
    EXPECT_EQ(lastWarning(s), "COM 3 missing/Error");
    qunsetenv("VORNA_COM1");
    qunsetenv("VORNA_COM3");
}

TEST(SetupWindow, ConnectReadsTheConfigurationAndDisconnectClearsIt) {
    Rig s(englishRow(), {},
          {"logo\tSOLAR LAB  ", "temperature\t2", "linedc\t2", "phaseac\t1", "minrad\t650.5",
           "serial\tSN-77", "version\tFirmware: FV 2.1.5 - FR 1.0.1"});
    s.click("bttCollegaBase");
    ASSERT_TRUE(s.ctx().link.baseLinkUp()) << s.env.debugLog().toStdString();
    EXPECT_EQ(
        s.diff("logo=SOLAR LAB;metcalc=2;INT2=2;misureac=1;REAL1=650.5;serial=SN-77;COM=1;INT1=2"),
        "");
    EXPECT_EQ(s.ctx().fwVersionText.trimmed(), "FV 2.1.5 - FR 1.0.1");
    EXPECT_EQ(s.sim->received(), (QStringList{"LOGO?", "TEMPERATURE?", "LINEDC?", "PHASEAC?",
                                              "MINRAD?", "SERIALNUM?", "VERSION?"}));
    EXPECT_EQ(configShown(s), "on|SOLAR LAB|650.5|1|1|0");
    EXPECT_EQ(s.find<QPushButton>("bttCollegaBase")->text(), "Disconnect Base unit");

    // Opening the window again with the link up reads the instrument once more.
    s.reopenSetup();
    EXPECT_EQ(s.sim->received().count("TEMPERATURE?"), 2);
    EXPECT_EQ(configShown(s), "on|SOLAR LAB|650.5|1|1|0");

    s.click("bttCollegaBase");
    EXPECT_FALSE(s.ctx().link.baseLinkUp());
    EXPECT_FALSE(s.ctx().link.serialeBase.isOpen());
    EXPECT_EQ(s.find<QPushButton>("bttCollegaBase")->text(), "Connect Base Unit");
    EXPECT_EQ(configShown(s), kLinkDown);
}

TEST(SetupWindow, ConnectWithRepliesMissingOrNotUnderstood) {
    const struct {
        QStringList args, data;
        bool up;
        QString stored;
        std::string shown;
    } cases[] = {
        // Unrecognised options are stored as 0, an empty logo as a blank.
        {{"--garbage", "TEMPERATURE?", "--garbage", "PHASEAC?"},
         {"logo\t", "minrad\t700"},
         true,
         "logo= ;metcalc=0;INT2=3;misureac=0",
         "on| |700|-1|2|-1"},
        // A read that fails late leaves the link down and the settings row as it was, and
        // no serial number of an instrument connected before.
        {{"--silent", "SERIALNUM?"}, {}, false, "logo=<null>;INT2=3;serial=<null>", kLinkDown},
    };
    for (const auto& c : cases) {
        Rig s(englishRow(), c.args, c.data);
        s.ctx().serialNumberText = "OLD-1";
        s.click("bttCollegaBase");
        EXPECT_EQ(s.ctx().link.baseLinkUp(), c.up);
        EXPECT_EQ(s.find("cbComBase")->isEnabled(), !c.up);
        EXPECT_EQ(s.diff(c.stored), "");
        EXPECT_EQ(configShown(s), c.shown);
        EXPECT_EQ(s.env.debugLog().contains("read_from_com"), !c.up);
        EXPECT_NE(s.ctx().serialNumberText, "OLD-1");
    }
}

TEST(SetupWindow, ApplySendsTheOptionsWithAPointAndStoresThem) {
    Rig s(englishRow({{"LINGUA", 4}}), QStringList{}, {}, kItalianPc);
    s.click("bttCollegaBase");
    ASSERT_TRUE(s.ctx().link.baseLinkUp()) << s.env.debugLog().toStdString();
    s.find<QLineEdit>("tbLogo")->setText("  Impianti Nord ");
    for (const char* option : {"obMetodo_1", "obMisureDc_0", "obMisureAc_1"})
        s.find<QRadioButton>(option)->setChecked(true);
    s.find<QLineEdit>("tbRadMin")->setText("12,5");
    s.click("bttApplica");
    EXPECT_EQ(lastWarning(s), "");
    const QStringList got = s.sim->received();
    EXPECT_EQ(got.mid(got.indexOf("LOGO   Impianti Nord ")),
              (QStringList{"LOGO   Impianti Nord ", "TEMPERATURE 2", "LINEDC 1", "PHASEAC 2",
                           "MINRAD 12.5"}));
    EXPECT_EQ(s.diff("logo=Impianti Nord;metcalc=2;INT2=1;misureac=2;REAL1=12.5"), "");
    // The instrument now answers with what was set: read back with a point, shown with a comma.
    s.reopenSetup();
    EXPECT_EQ(configShown(s), "on|Impianti Nord|12,5|1|0|1");
}

TEST(SetupWindow, MinimumRadiationCheckedAndApplyStoppedAtAFailedCommand) {
    Rig s(englishRow(), QStringList{"--silent", "PHASEAC "});
    s.click("bttCollegaBase");
    ASSERT_TRUE(s.ctx().link.baseLinkUp());
    auto* rad = s.find<QLineEdit>("tbRadMin");
    const auto leave = [&](const char* typed) {
        rad->setText(typed);
        static_cast<SetupWindow*>(s.window->currentChild())->tbRadMin_LostFocus();
        return rad->text() + ";" + lastWarning(s);
    };
    const QString outOfLimit = "Minimum radiation: Out of limit (1 < rad < 1999)/Error";
    EXPECT_EQ(leave("1"), "1;");
    EXPECT_EQ(leave("1999"), "1999;");
    EXPECT_EQ(leave("250.5"), "250.5;");
    EXPECT_EQ(leave("0.5"), "600;" + outOfLimit);
    EXPECT_EQ(leave("2000"), "600;" + outOfLimit);
    EXPECT_EQ(leave("12,5"), "600;Minimum radiation: Invalid format/Error");

    // A value applied without leaving the field gets the same check and sends nothing.
    const auto before = s.sim->received().size();
    rad->setText("5000");
    s.click("bttApplica");
    EXPECT_EQ(s.sim->received().size(), before);
    EXPECT_EQ(rad->text() + ";" + lastWarning(s), "600;" + outOfLimit);

    // A command the instrument does not take stops the rest, and nothing is stored.
    s.find<QLineEdit>("tbLogo")->setText("NEW");
    s.find<QRadioButton>("obMisureAc_0")->setChecked(true);
    rad->setText("700");
    s.click("bttApplica");
    EXPECT_FALSE(s.sim->received().contains("MINRAD 700"));
    EXPECT_EQ(s.diff("misureac=3;REAL1=600;logo=VORNA TEST LAB"), "");
}

// A lost link is shown as such wherever it was lost: the window follows the link, so the
// button offers to connect again instead of reconnecting on the next press.
TEST(SetupWindow, FollowsTheLinkWhenAnApplyOrAReadOnOpeningFails) {
    const auto shownAsDown = [](Rig& s) {
        EXPECT_FALSE(s.ctx().link.baseLinkUp());
        EXPECT_EQ(s.find<QPushButton>("bttCollegaBase")->text(), "Connect Base Unit");
        EXPECT_TRUE(s.find<QComboBox>("cbComBase")->isEnabled());
        EXPECT_EQ(configShown(s), kLinkDown);
    };
    {
        Rig s(englishRow(), QStringList{"--silent", "LINEDC "});
        s.click("bttCollegaBase");
        ASSERT_TRUE(s.ctx().link.baseLinkUp());
        s.find<QRadioButton>("obMisureDc_1")->setChecked(true);
        s.click("bttApplica");
        shownAsDown(s);
        const auto sent = s.sim->received().size();
        s.click("bttCollegaBase"); // connects again, reading the instrument
        EXPECT_TRUE(s.ctx().link.baseLinkUp());
        EXPECT_GT(s.sim->received().size(), sent);
    }
    {
        // Connected, then the instrument stops answering: opening the window again reads it,
        // fails, and shows the link down.
        Rig s(englishRow(), QStringList{"--silent", "MINRAD?"});
        s.closeChild();
        s.ctx().link.serialeBase.setPortNumber(1);
        s.ctx().link.setLinkUp(Unit::Base, true);
        s.key("setup")->trigger();
        shownAsDown(s);
    }
    {
        // The adapter unplugged while the configuration is read: lost at once, not after the
        // 10-s time-out; plugged in again, the same window connects without a restart.
        Rig s(englishRow(), QStringList{"--close-on", "MINRAD?"});
        s.ctx().link.readTimeout = std::chrono::seconds(10);
        QElapsedTimer clock;
        clock.start();
        s.click("bttCollegaBase");
        EXPECT_LT(clock.elapsed(), 1000);
        shownAsDown(s);
        s.sim = std::make_unique<SimProcess>(s.env.dir.path(), 1, QStringList{});
        ASSERT_TRUE(s.sim->ready());
        s.click("bttCollegaBase");
        EXPECT_TRUE(s.ctx().link.baseLinkUp());
        EXPECT_EQ(configShown(s), "on|VORNA TEST LAB|600|0|2|2");
    }
}

// The minimum-radiation check runs when the focus moves to another control of the window,
// not when the window closes or the program loses the focus.
TEST(SetupWindow, MinimumRadiationCheckedOnlyWhenTheFocusMovesWithinTheWindow) {
    Rig s(englishRow(), QStringList{});
    s.click("bttCollegaBase");
    ASSERT_TRUE(s.ctx().link.baseLinkUp());
    s.window->show();
    s.window->activateWindow();
    QApplication::setActiveWindow(s.window.get());
    auto* rad = s.find<QLineEdit>("tbRadMin");
    auto* logo = s.find<QLineEdit>("tbLogo");

    rad->setFocus(Qt::MouseFocusReason);
    rad->setText("5000");
    QApplication::setActiveWindow(nullptr); // the program loses the focus
    QCoreApplication::processEvents();
    EXPECT_EQ(rad->text(), "5000");
    EXPECT_EQ(lastWarning(s), "");

    QApplication::setActiveWindow(s.window.get());
    rad->setFocus(Qt::MouseFocusReason);
    logo->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(rad->text(), "600");
    EXPECT_EQ(lastWarning(s), "Minimum radiation: Out of limit (1 < rad < 1999)/Error");

    rad->setFocus(Qt::MouseFocusReason);
    rad->setText("5000");
    s.closeChild();
    EXPECT_EQ(lastWarning(s), "");
    EXPECT_EQ(s.diff("REAL1=600"), "");
}

// A logo longer than the box's limit, as the instrument or the database holds it, is shown and
// sent whole; only typing is limited.
TEST(SetupWindow, ALongLogoIsShownAndSentWholeAndOnlyTypingIsLimited) {
    const QString longLogo = QString("Studio Tecnico Associato Ingegneri Rossi & Bianchi Srl");
    ASSERT_GT(longLogo.size(), 50);
    Rig s(englishRow(), {}, {"logo\t" + longLogo});
    s.click("bttCollegaBase");
    ASSERT_TRUE(s.ctx().link.baseLinkUp());
    auto* logo = s.find<QLineEdit>("tbLogo");
    EXPECT_EQ(logo->text(), longLogo);
    s.click("bttApplica");
    EXPECT_TRUE(s.sim->received().contains("LOGO " + longLogo));
    EXPECT_EQ(s.diff("logo=" + longLogo), "");

    // Typing stops at 50 characters; shortening a longer text by hand still works.
    logo->setFocus();
    logo->end(false);
    QTest::keyClicks(logo, "X");
    EXPECT_EQ(logo->text(), longLogo);
    QTest::keyClick(logo, Qt::Key_Backspace);
    EXPECT_EQ(logo->text(), longLogo.chopped(1));
    logo->clear();
    QTest::keyClicks(logo, QString(60, 'a'));
    EXPECT_EQ(logo->text(), QString(50, 'a'));
}
