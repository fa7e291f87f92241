#include "app_test_util.h"
#include "catalogue_loader.h"
#include "database_init.h"
#include "instrument_settings.h"
#include "link.h"
#include "link_fixture.h"
#include "port_selection.h"
#include "pseudo_terminal.h"
#include "settings_row.h"
#include "setup_window.h"
#include "test_env.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace vorna;
using namespace vorna::test;

namespace {

// A started program's context (database, settings row, catalogue) with the setup window on
// it, and optionally a simulated instrument on port 1.
struct SetupRig {
    explicit SetupRig(const QStringList& simArgs = {}, bool withSim = true,
                      const QLocale& locale = QLocale(QLocale::English, QLocale::UnitedStates),
                      int language = 0)
        : env(locale) {
        if (withSim) sim = std::make_unique<SimProcess>(env.dir.path(), 1, simArgs);
        presetSettings(env.dir.path(), {{"LINGUA", language},
                                        {"COM", 1},
                                        {"INT1", 2},
                                        {"metcalc", 1},
                                        {"INT2", 3},
                                        {"misureac", 3},
                                        {"REAL1", 600}});
        AppContext& c = *env.ctx;
        c.link.readTimeout = std::chrono::milliseconds(1500);
        EXPECT_TRUE(database_init(c));
        open_settings_row(c);
        apply_stored_port_numbers(c);
        reset_messages(c);
        read_messagges_1(c);
        read_messagges_2(c);
        read_messagges_3(c);
        window = std::make_unique<SetupWindow>(c);
    }
    ~SetupRig() {
        window.reset();
        chiudi_com_base(ctx());
        chiudi_com_remota(ctx());
    }

    TestEnv env;
    std::unique_ptr<SimProcess> sim;
    std::unique_ptr<SetupWindow> window;

    AppContext& ctx() { return *env.ctx; }
    template <typename T> T* find(const char* name) {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    QLineEdit* edit(const char* name) { return find<QLineEdit>(name); }
    QRadioButton* option(const char* name) { return find<QRadioButton>(name); }
    void click(const char* name) { find<QPushButton>(name)->click(); }
    QVariantMap stored() { return storedSettings(env.dir.path()); }
    // Checked index of a group of option buttons, -1 when none.
    int checked(const char* prefix, int count) {
        int at = -1;
        for (int i = 0; i < count; ++i)
            if (option((QString(prefix) + "_" + QString::number(i)).toLatin1())->isChecked()) {
                EXPECT_EQ(at, -1) << prefix;
                at = i;
            }
        return at;
    }
    bool configEnabled() {
        bool any = false, all = true;
        for (const char* n : {"tbLogo", "tbRadMin"}) {
            any |= edit(n)->isEnabled();
            all &= edit(n)->isEnabled();
        }
        for (const char* n : {"obMetodo_0", "obMetodo_1", "obMisureDc_0", "obMisureDc_1",
                              "obMisureDc_2", "obMisureAc_0", "obMisureAc_1", "obMisureAc_2"}) {
            any |= option(n)->isEnabled();
            all &= option(n)->isEnabled();
        }
        any |= find<QPushButton>("bttApplica")->isEnabled();
        all &= find<QPushButton>("bttApplica")->isEnabled();
        EXPECT_EQ(any, all) << "configuration controls half enabled";
        return all;
    }
    // A query of the instrument's current setting, outside the window.
    QString ask(const QString& command) {
        ctx().link.commandText = command;
        return trasmette(ctx(), "test") ? ctx().link.replyText : QStringLiteral("<failed>");
    }
};

void expectLinkDownControls(SetupRig& s) {
    EXPECT_FALSE(s.configEnabled());
    EXPECT_EQ(s.edit("tbLogo")->text(), "");
    EXPECT_EQ(s.edit("tbRadMin")->text(), "");
    EXPECT_EQ(s.checked("obMetodo", 2), -1);
    EXPECT_EQ(s.checked("obMisureDc", 3), -1);
    EXPECT_EQ(s.checked("obMisureAc", 3), -1);
}

} // namespace

TEST(SetupWindow, LoadsWithTheLinkDown) {
    SetupRig s({}, false);
    EXPECT_EQ(s.ctx().childWindowOpen, 1);
    EXPECT_EQ(s.window->windowTitle(), "SETTINGS");
    EXPECT_EQ(s.window->size(), QSize(433, 533));
    auto* base = s.find<QComboBox>("cbComBase");
    ASSERT_EQ(base->count(), 90);
    EXPECT_EQ(base->itemText(89), "90");
    EXPECT_EQ(base->currentText(), "1");
    EXPECT_EQ(s.find<QComboBox>("cbComRemoto")->currentText(), "2");
    EXPECT_TRUE(base->isEnabled());
    EXPECT_EQ(s.find<QPushButton>("bttCollegaBase")->text(), "Connect Base Unit");
    EXPECT_EQ(s.find<QPushButton>("bttCollegaRem")->text(), "Connect Remote Unit");
    EXPECT_EQ(s.find<QLabel>("lbBaudRate")->text(), "Baud rate: 38400");
    EXPECT_EQ(s.find<QLabel>("lbWord")->text(), "Word: 8 bit");
    EXPECT_EQ(s.find<QLabel>("lbBitStop")->text(), "Bit stop: 1 bit");
    EXPECT_EQ(s.find<QLabel>("lbParity")->text(), "Parity: disabled");
    EXPECT_EQ(s.find<QLabel>("lbLogo")->text(), "Logo");
    EXPECT_EQ(s.option("obMisureDc_2")->text(), "1+2+3");
    expectLinkDownControls(s);

    // The device each list number means is shown beside the list.
    qunsetenv("VORNA_COM12");
    base->setCurrentText("12");
    EXPECT_EQ(s.find<QLabel>("lbDevBase")->text(), "/dev/ttyS11");
    s.window.reset();
    EXPECT_EQ(s.ctx().childWindowOpen, 0);
}

TEST(SetupWindow, ConnectReadsTheConfigurationAndDisconnectClearsIt) {
    TestEnv data;
    const QString file =
        writeSimData(data.dir.path(),
                     {"logo\tSOLAR LAB  ", "temperature\t2", "linedc\t2", "phaseac\t1",
                      "minrad\t650.5", "serial\tSN-77", "version\tFirmware: FV 2.1.5 - FR 1.0.1"});
    SetupRig s({"--data", file});
    ASSERT_TRUE(s.sim->ready());
    EXPECT_TRUE(s.find<QLabel>("lbDevBase")
                    ->text()
                    .startsWith(qEnvironmentVariable("VORNA_COM1") + " -> /dev/pts"));
    s.click("bttCollegaBase");
    ASSERT_TRUE(s.ctx().link.baseLinkUp) << s.env.debugLog().toStdString();

    const QVariantMap row = s.stored();
    EXPECT_EQ(row.value("logo").toString(), "SOLAR LAB");
    EXPECT_EQ(row.value("metcalc").toInt(), 2);
    EXPECT_EQ(row.value("INT2").toInt(), 2);
    EXPECT_EQ(row.value("misureac").toInt(), 1);
    EXPECT_DOUBLE_EQ(row.value("REAL1").toDouble(), 650.5);
    EXPECT_EQ(row.value("serial").toString(), "SN-77");
    EXPECT_EQ(row.value("COM").toInt(), 1);
    EXPECT_EQ(row.value("INT1").toInt(), 2);
    EXPECT_EQ(s.ctx().fwVersionText.trimmed(), "FV 2.1.5 - FR 1.0.1");
    EXPECT_EQ(s.sim->received(), (QStringList{"LOGO?", "TEMPERATURE?", "LINEDC?", "PHASEAC?",
                                              "MINRAD?", "SERIALNUM?", "VERSION?"}));

    EXPECT_TRUE(s.configEnabled());
    EXPECT_EQ(s.edit("tbLogo")->text(), "SOLAR LAB");
    EXPECT_EQ(s.checked("obMetodo", 2), 1);
    EXPECT_EQ(s.checked("obMisureDc", 3), 1);
    EXPECT_EQ(s.checked("obMisureAc", 3), 0);
    EXPECT_EQ(s.edit("tbRadMin")->text(), "650.5");
    EXPECT_FALSE(s.find<QComboBox>("cbComBase")->isEnabled());
    EXPECT_EQ(s.find<QPushButton>("bttCollegaBase")->text(), "Disconnect Base unit");

    // Opening the window again with the link up reads the instrument once more.
    s.window = std::make_unique<SetupWindow>(s.ctx());
    EXPECT_EQ(s.sim->received().count("TEMPERATURE?"), 2);
    EXPECT_FALSE(s.find<QComboBox>("cbComBase")->isEnabled());
    EXPECT_EQ(s.edit("tbLogo")->text(), "SOLAR LAB");

    s.click("bttCollegaBase");
    EXPECT_FALSE(s.ctx().link.baseLinkUp);
    EXPECT_FALSE(s.ctx().link.serialeBase.isOpen());
    EXPECT_TRUE(s.find<QComboBox>("cbComBase")->isEnabled());
    EXPECT_EQ(s.find<QPushButton>("bttCollegaBase")->text(), "Connect Base Unit");
    expectLinkDownControls(s);
}

TEST(SetupWindow, UnrecognisedRepliesAndAnEmptyLogo) {
    TestEnv data;
    const QString file = writeSimData(data.dir.path(), {"logo\t", "minrad\t700"});
    SetupRig s({"--data", file, "--garbage", "TEMPERATURE?", "--garbage", "PHASEAC?"});
    s.click("bttCollegaBase");
    ASSERT_TRUE(s.ctx().link.baseLinkUp) << s.env.debugLog().toStdString();
    const QVariantMap row = s.stored();
    EXPECT_EQ(row.value("logo").toString(), " ");
    EXPECT_EQ(row.value("metcalc").toInt(), 0);
    EXPECT_EQ(row.value("INT2").toInt(), 3);
    EXPECT_EQ(row.value("misureac").toInt(), 0);
    EXPECT_EQ(s.edit("tbLogo")->text(), " ");
    EXPECT_EQ(s.checked("obMetodo", 2), -1);
    EXPECT_EQ(s.checked("obMisureDc", 3), 2);
    EXPECT_EQ(s.checked("obMisureAc", 3), -1);
    EXPECT_TRUE(s.configEnabled());
}

TEST(SetupWindow, FailedConfigurationReadLeavesTheLinkDown) {
    SetupRig s({"--silent", "LINEDC?"});
    s.click("bttCollegaBase");
    EXPECT_FALSE(s.ctx().link.baseLinkUp);
    EXPECT_EQ(s.find<QPushButton>("bttCollegaBase")->text(), "Connect Base Unit");
    EXPECT_TRUE(s.find<QComboBox>("cbComBase")->isEnabled());
    expectLinkDownControls(s);
    // The settings row keeps what it had.
    EXPECT_EQ(s.stored().value("INT2").toInt(), 3);
    EXPECT_TRUE(s.stored().value("serial").isNull());
    EXPECT_TRUE(s.env.debugLog().contains("read_from_com"));
}

TEST(SetupWindow, ApplySendsTheOptionsWithAPointAndStoresThem) {
    SetupRig s({}, true, QLocale(QLocale::Italian, QLocale::Italy), 4);
    EXPECT_EQ(s.window->windowTitle(), s.ctx().messaggi.text(4, 168));
    s.click("bttCollegaBase");
    ASSERT_TRUE(s.ctx().link.baseLinkUp) << s.env.debugLog().toStdString();
    EXPECT_EQ(s.edit("tbRadMin")->text(), "600");

    s.edit("tbLogo")->setText("  Impianti Nord ");
    s.option("obMetodo_1")->setChecked(true);
    s.option("obMisureDc_0")->setChecked(true);
    s.option("obMisureAc_1")->setChecked(true);
    s.edit("tbRadMin")->setText("12,5");
    s.click("bttApplica");
    EXPECT_TRUE(s.env.prompts.warnings.empty());

    const QStringList got = s.sim->received();
    const QStringList sent = got.mid(got.indexOf("LOGO   Impianti Nord "));
    EXPECT_EQ(sent, (QStringList{"LOGO   Impianti Nord ", "TEMPERATURE 2", "LINEDC 1", "PHASEAC 2",
                                 "MINRAD 12.5"}));
    const QVariantMap row = s.stored();
    EXPECT_EQ(row.value("logo").toString(), "Impianti Nord");
    EXPECT_EQ(row.value("metcalc").toInt(), 2);
    EXPECT_EQ(row.value("INT2").toInt(), 1);
    EXPECT_EQ(row.value("misureac").toInt(), 2);
    EXPECT_DOUBLE_EQ(row.value("REAL1").toDouble(), 12.5);

    // The instrument now answers with what was set; read back with a point, shown with a comma.
    EXPECT_EQ(s.ask("MINRAD?"), "12.5");
    s.window = std::make_unique<SetupWindow>(s.ctx());
    EXPECT_EQ(s.edit("tbRadMin")->text(), "12,5");
    EXPECT_EQ(s.checked("obMetodo", 2), 1);
    EXPECT_EQ(s.checked("obMisureAc", 3), 1);
}

TEST(SetupWindow, ApplyStopsAtAFailedCommandAndStoresNothing) {
    SetupRig s({"--silent", "PHASEAC "});
    s.click("bttCollegaBase");
    ASSERT_TRUE(s.ctx().link.baseLinkUp);
    s.edit("tbLogo")->setText("NEW");
    s.option("obMisureAc_0")->setChecked(true);
    s.edit("tbRadMin")->setText("700");
    s.click("bttApplica");
    EXPECT_FALSE(s.sim->received().contains("MINRAD 700"));
    const QVariantMap row = s.stored();
    EXPECT_NE(row.value("logo").toString(), "NEW");
    EXPECT_EQ(row.value("misureac").toInt(), 3);
    EXPECT_DOUBLE_EQ(row.value("REAL1").toDouble(), 600);
}

TEST(SetupWindow, MinimumRadiationCheckedWhenLeavingTheField) {
    SetupRig s;
    s.click("bttCollegaBase");
    ASSERT_TRUE(s.ctx().link.baseLinkUp);
    auto* rad = s.edit("tbRadMin");
    auto& warnings = s.env.prompts.warnings;
    for (const char* good : {"1", "1999", "250.5"}) {
        rad->setText(good);
        s.window->tbRadMin_LostFocus();
        EXPECT_EQ(rad->text(), good);
    }
    EXPECT_TRUE(warnings.empty());
    for (const char* high : {"0.5", "2000"}) {
        rad->setText(high);
        s.window->tbRadMin_LostFocus();
        EXPECT_EQ(rad->text(), "600");
        ASSERT_FALSE(warnings.empty());
        EXPECT_EQ(warnings.back().text, "Minimum radiation: Out of limit (1 < rad < 1999)");
        EXPECT_EQ(warnings.back().title, "Error");
    }
    rad->setText("12,5");
    s.window->tbRadMin_LostFocus();
    EXPECT_EQ(warnings.back().text, "Minimum radiation: Invalid format");
    EXPECT_EQ(rad->text(), "600");
    EXPECT_EQ(warnings.size(), 3u);

    // Applying an unchecked value sends nothing.
    const int before = s.sim->received().size();
    rad->setText("5000");
    s.click("bttApplica");
    EXPECT_EQ(s.sim->received().size(), before);
    EXPECT_EQ(warnings.size(), 4u);
    EXPECT_EQ(rad->text(), "600");
}

TEST(SetupWindow, MissingPortsAreRefusedWithAWarning) {
    SetupRig s({}, false);
    qputenv("VORNA_COM7", s.env.path("no-such-device").toLocal8Bit());
    auto* base = s.find<QComboBox>("cbComBase");
    base->setCurrentText("7");
    s.click("bttCollegaBase");
    EXPECT_FALSE(s.ctx().link.baseLinkUp);
    ASSERT_EQ(s.env.prompts.warnings.size(), 1u);
    EXPECT_EQ(s.env.prompts.warnings[0].text, "COM 7 missing");
    EXPECT_EQ(s.env.prompts.warnings[0].title, "Error");
    EXPECT_EQ(base->currentText(), "1"); // the stored port back in the list
    EXPECT_EQ(s.stored().value("COM").toInt(), 1);
    qunsetenv("VORNA_COM7");

    // A list text that is not a number means port 0.
    EXPECT_EQ(verifica_combase(s.ctx(), "abc"), PortCheck::Missing);
    EXPECT_EQ(s.env.prompts.warnings.back().text, "COM 0 missing");
    EXPECT_EQ(verifica_comremoto(s.ctx(), ""), PortCheck::Missing);
    EXPECT_EQ(s.stored().value("INT1").toInt(), 2);
}

TEST(SetupWindow, SameNumberForBothPortsMovesTheClosedOne) {
    SetupRig s({}, false);
    AppContext& c = s.ctx();
    const QString oneLink = ptyLinkPath(s.env.dir.path(), "one");
    const QString threeLink = ptyLinkPath(s.env.dir.path(), "three");
    sim::PseudoTerminal one(oneLink), three(threeLink);
    qputenv("VORNA_COM1", oneLink.toLocal8Bit());
    qputenv("VORNA_COM3", threeLink.toLocal8Bit());

    c.link.serialeRemoto.setPortNumber(1);
    EXPECT_EQ(verifica_combase(c, "1"), PortCheck::Connected);
    EXPECT_EQ(c.link.serialeRemoto.portNumber(), 2);
    EXPECT_EQ(s.stored().value("INT1").toInt(), 2);

    c.link.serialeRemoto.setPortNumber(3);
    EXPECT_EQ(verifica_combase(c, "3"), PortCheck::Connected);
    EXPECT_EQ(s.stored().value("COM").toInt(), 3);
    EXPECT_EQ(s.stored().value("INT1").toInt(), 1);

    // The remote unit's port moves the closed instrument port the same way.
    chiudi_com_base(c);
    EXPECT_EQ(verifica_comremoto(c, "3"), PortCheck::Connected);
    EXPECT_EQ(c.link.serialeBase.portNumber(), 1);
    EXPECT_EQ(s.stored().value("INT1").toInt(), 3);
    EXPECT_EQ(s.stored().value("COM").toInt(), 1);

    // An open port is not moved: the second open of the same device is refused instead.
    EXPECT_EQ(verifica_combase(c, "3"), PortCheck::Missing);
    EXPECT_EQ(s.env.prompts.warnings.back().text, "COM 3 missing");
    qunsetenv("VORNA_COM1");
    qunsetenv("VORNA_COM3");
}

TEST(SetupWindow, RemoteUnitConnectAndDisconnect) {
    SetupRig s({}, false);
    const QString remoteLink = ptyLinkPath(s.env.dir.path(), "remote");
    sim::PseudoTerminal remote(remoteLink);
    qputenv("VORNA_COM2", remoteLink.toLocal8Bit());
    s.click("bttCollegaRem");
    EXPECT_TRUE(s.ctx().link.remoteLinkUp);
    EXPECT_FALSE(s.find<QComboBox>("cbComRemoto")->isEnabled());
    EXPECT_EQ(s.find<QPushButton>("bttCollegaRem")->text(), "Disconnect Remote Unit");
    EXPECT_EQ(s.stored().value("INT1").toInt(), 2);
    s.click("bttCollegaRem");
    EXPECT_FALSE(s.ctx().link.remoteLinkUp);
    EXPECT_FALSE(s.ctx().link.serialeRemoto.isOpen());
    EXPECT_TRUE(s.find<QComboBox>("cbComRemoto")->isEnabled());
    EXPECT_EQ(s.find<QPushButton>("bttCollegaRem")->text(), "Connect Remote Unit");
    qunsetenv("VORNA_COM2");
}
