#include "instrument_finder.h"
#include "link.h"
#include "port_selection.h"
#include "pseudo_terminal.h"
#include "window_rig.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTest>
#include <QTimer>

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
    EXPECT_EQ(s.find<QLabel>("lbDevBase")->text(), "12 — /dev/ttyS11");

    // A port that is not there is refused with a warning, and the stored one shown again.
    qputenv("VORNA_COM7", s.env.path("no-such-device").toLocal8Bit());
    base->setCurrentText("7");
    s.click("bttCollegaBase");
    EXPECT_FALSE(s.ctx().link.baseLinkUp());
    EXPECT_EQ(s.env.prompts.lastWarning(),
              "COM 7 missing\n" + s.env.path("no-such-device") + ": no such device/Error");
    EXPECT_EQ(base->currentText(), "1");
    EXPECT_EQ(s.diff("COM=1;INT1=2"), "");

    // The same number for both ports moves the closed one.
    AppContext& c = s.ctx();
    sim::PseudoTerminal one(s.ptyLink("one")), three(s.ptyLink("three"));
    routePorts({{1, s.ptyLink("one")}, {3, s.ptyLink("three")}});
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
    EXPECT_EQ(s.env.prompts.lastWarning(),
              "COM 3 missing\n" + s.ptyLink("three") + ": in use by another program/Error");
}

TEST(SetupWindow, ConnectReadsTheConfigurationAndDisconnectClearsIt) {
    Rig s(englishRow(), {},
          {"logo\tSOLAR LAB  ", "temperature\t2", "linedc\t2", "phaseac\t1", "minrad\t650.5",
           "serial\tSN-77", "version\tFirmware: FV 2.1.5 - FR 1.0.1"});
    s.connect();
    EXPECT_EQ(
        s.diff("logo=SOLAR LAB;metcalc=2;INT2=2;misureac=1;REAL1=650.5;serial=SN-77;COM=1;INT1=2"),
        "");
    EXPECT_EQ(s.ctx().fwVersionText.trimmed(), "FV 2.1.5 - FR 1.0.1");
    EXPECT_EQ(s.sim->received(), (QStringList{"LOGO?", "TEMPERATURE?", "LINEDC?", "PHASEAC?",
                                              "MINRAD?", "SERIALNUM?", "VERSION?"}));
    EXPECT_EQ(configShown(s), "on|SOLAR LAB|650.5|1|1|0");
    EXPECT_EQ(s.find<QPushButton>("bttCollegaBase")->text(), "Disconnect Base unit");

    s.click("bttCollegaBase");
    EXPECT_FALSE(s.ctx().link.baseLinkUp() || s.ctx().link.serialeBase.isOpen());
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

// A logo longer than the box's limit (55 characters) is sent, stored and shown whole; only
// typing is limited.
TEST(SetupWindow, ApplySendsTheOptionsWithAPointAndStoresThem) {
    const QString logo = "Studio Tecnico Associato Ingegneri Rossi & Bianchi Srl";
    Rig s(englishRow({{"LINGUA", 4}}), QStringList{}, {}, kItalianPc);
    s.connect();
    s.find<QLineEdit>("tbLogo")->setText("  " + logo + " ");
    for (const char* option : {"obMetodo_1", "obMisureDc_0", "obMisureAc_1"})
        s.find<QRadioButton>(option)->setChecked(true);
    s.find<QLineEdit>("tbRadMin")->setText("12,5");
    s.click("bttApplica");
    EXPECT_EQ(s.env.prompts.lastWarning(), "");
    const QStringList got = s.sim->received();
    EXPECT_EQ(got.mid(got.indexOf("LOGO   " + logo + " ")),
              (QStringList{"LOGO   " + logo + " ", "TEMPERATURE 2", "LINEDC 1", "PHASEAC 2",
                           "MINRAD 12.5"}));
    EXPECT_EQ(s.diff("logo=" + logo + ";metcalc=2;INT2=1;misureac=2;REAL1=12.5"), "");
    // The instrument now answers with what was set: read back with a point, shown with a comma.
    s.reopenSetup();
    EXPECT_EQ(configShown(s), "on|" + logo.toStdString() + "|12,5|1|0|1");
    // Typing stops at 50 characters (how the limit works is limitTyping's).
    auto* box = s.find<QLineEdit>("tbLogo");
    box->clear();
    QTest::keyClicks(box, QString(60, 'a'));
    EXPECT_EQ(box->text(), QString(50, 'a'));
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
        // A command the instrument does not take stops the rest, and nothing is stored.
        Rig s(englishRow(), QStringList{"--silent", "LINEDC "});
        s.connect();
        s.find<QLineEdit>("tbLogo")->setText("NEW");
        s.find<QRadioButton>("obMisureDc_1")->setChecked(true);
        s.click("bttApplica");
        EXPECT_EQ(s.diff("logo=VORNA TEST LAB;INT2=3"), "");
        shownAsDown(s);
    }
    {
        // Connected, then the instrument is gone: opening the window again reads it, fails,
        // and shows the link down.
        Rig s(englishRow(), QStringList{});
        s.connect();
        s.sim->kill();
        s.reopenSetup();
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

// Not checked when the window closes or the program loses the focus; a refused value is
// replaced by the stored one. The limits are check_rad_min's.
TEST(SetupWindow, MinimumRadiationCheckedWhenTheFocusMovesWithinTheWindowOrOnApply) {
    Rig s(englishRow(), QStringList{});
    s.connect();
    s.window->show();
    s.window->activateWindow();
    QApplication::setActiveWindow(s.window.get());
    auto* rad = s.find<QLineEdit>("tbRadMin");
    const auto shown = [&] { return rad->text() + ";" + s.env.prompts.lastWarning(); };
    const auto typeAndTab = [&](const char* typed) {
        rad->setFocus(Qt::MouseFocusReason);
        rad->setText(typed);
        s.find("tbLogo")->setFocus(Qt::TabFocusReason);
        return shown();
    };

    rad->setFocus(Qt::MouseFocusReason);
    rad->setText("5000");
    QApplication::setActiveWindow(nullptr); // the program loses the focus
    QCoreApplication::processEvents();
    EXPECT_EQ(shown(), "5000;");
    QApplication::setActiveWindow(s.window.get());
    EXPECT_EQ(typeAndTab("250.5"), "250.5;");
    EXPECT_EQ(typeAndTab("12,5"), "600;Minimum radiation: Invalid format/Error");

    // A value applied without leaving the field gets the same check and sends nothing.
    const auto before = s.sim->received().size();
    rad->setText("5000");
    s.click("bttApplica");
    EXPECT_EQ(s.sim->received().size(), before);
    EXPECT_EQ(shown(), "600;Minimum radiation: Out of limit (1 < rad < 1999)/Error");

    rad->setFocus(Qt::MouseFocusReason);
    rad->setText("5000");
    s.closeChild();
    EXPECT_EQ(s.env.prompts.lastWarning(), "");
    EXPECT_EQ(s.diff("REAL1=600"), "");
}

// Find: three ports (silent, garbage, the instrument), one the user's other program holds, and
// the remote unit's open port, which must never hear "VERSION?".
TEST(SetupWindow, FindAsksEveryPortAtOnceAndConnectsTheOneThatAnswers) {
    Rig s(englishRow({{"COM", 40}}));
    sim::PseudoTerminal quiet(s.ptyLink("quiet")), held(s.ptyLink("held"));
    routePorts({{3, quiet.devicePath()}, {9, held.devicePath()}});
    QSerialPort other;
    other.setPortName(held.devicePath());
    ASSERT_TRUE(other.open(QIODevice::ReadWrite));
    // The adapter behind 3 as the system would describe it, with its stable name.
    qputenv("VORNA_SERIAL_INFO",
            quiet.devicePath().toLocal8Bit() + "\tFTDI\tFTDI FT232R USB UART\tA12345");
    qputenv("VORNA_SERIAL_BY_ID", s.env.path("by-id").toLocal8Bit());
    QDir().mkpath(s.env.path("by-id"));
    QFile::link(quiet.devicePath(), s.env.path("by-id/usb-FTDI_FT232R-if00"));
    SimProcess remote(s.env.dir.path(), 2, {"--remote"}),
        garbage(s.env.dir.path(), 5, {"--garbage", "VERSION?"});
    // Two instruments: the lower number wins.
    auto instrument = std::make_unique<SimProcess>(s.env.dir.path(), 7, QStringList{});
    auto second = std::make_unique<SimProcess>(s.env.dir.path(), 8, QStringList{});
    s.reopenSetup();
    s.click("bttCollegaRem");
    ASSERT_TRUE(s.ctx().link.remoteLinkUp());

    auto* base = s.find<QComboBox>("cbComBase");
    const QString adapter = "3 — " + quiet.devicePath() + " — FTDI FT232R USB UART (A12345)";
    EXPECT_EQ(base->itemData(2, Qt::ToolTipRole).toString(),
              adapter + "\n" + s.env.path("by-id/usb-FTDI_FT232R-if00"));
    EXPECT_TRUE(base->itemData(2, Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(base->itemData(3, Qt::FontRole).value<QFont>().bold());
    base->setCurrentText("3");
    EXPECT_EQ(s.find<QLabel>("lbDevBase")->text(), adapter);

    // While the ports are asked (3 is silent: 7 wins only after its time is up) the window
    // paints, the pointer is busy and Find cannot start again.
    const auto findAndLook = [&](const QString& shot) {
        bool looked = false;
        QTimer::singleShot(150, [&] {
            looked = QApplication::overrideCursor() &&
                     QApplication::overrideCursor()->shape() == Qt::WaitCursor &&
                     !s.find("bttCerca")->isEnabled();
            screenshot(s.window.get(), "setup_en_" + shot);
        });
        QElapsedTimer clock;
        clock.start();
        s.click("bttCerca");
        EXPECT_LT(clock.elapsed(), 1000);
        EXPECT_TRUE(looked);
    };
    findAndLook("finding");
    EXPECT_TRUE(s.ctx().link.baseLinkUp()) << s.env.debugLog().toStdString();
    EXPECT_EQ(base->currentText(), "7");
    EXPECT_EQ(s.diff("COM=7;INT1=2"), "");
    const QStringList asked = instrument->received();
    EXPECT_EQ(asked.mid(0, 3), (QStringList{"VERSION?", "LOGO?", "TEMPERATURE?"}));
    EXPECT_EQ(quiet.read(100), "VERSION?\r");
    EXPECT_EQ(garbage.received(), QStringList{"VERSION?"});
    EXPECT_EQ(second->received(), QStringList{"VERSION?"});
    EXPECT_EQ(remote.received(), QStringList{});
    EXPECT_TRUE(s.env.debugLog().contains("bttCerca_Click\tCOM 9: " + held.devicePath()));
    screenshot(s.window.get(), "setup_en_found");

    // No instrument anywhere: the warning, nothing stored, every port free again.
    s.click("bttCollegaBase");
    instrument.reset();
    second.reset();
    findAndLook("finding_none");
    EXPECT_EQ(s.env.prompts.lastWarning(), none_answered_text(s.ctx(), 3) + "/Error");
    EXPECT_EQ(s.diff("COM=7;INT1=2"), "");
    EXPECT_FALSE(s.ctx().link.baseLinkUp());
    for (const QString& device : {quiet.devicePath(), s.ptyLink("com5")}) {
        QSerialPort free(device);
        EXPECT_TRUE(free.open(QIODevice::ReadWrite)) << device.toStdString();
    }
    qunsetenv("VORNA_SERIAL_INFO");
    qunsetenv("VORNA_SERIAL_BY_ID");
}
