#include "app_test_util.h"
#include "mdi_title.h"
#include "pseudo_terminal.h"

#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vorna;
using namespace vorna::test;

namespace {

QList<bool> languageButtons(Rig& s) {
    QList<bool> pressed;
    for (const QString& k : MainWindow::languageKeys())
        pressed << s.key(k)->isChecked();
    return pressed;
}

QList<bool> only(int language) {
    QList<bool> pressed(5, false);
    pressed[language] = true;
    return pressed;
}

// A child window that counts itself open while it lives, as the real ones do.
struct CountedChild : QWidget {
    explicit CountedChild(AppContext& c) : ctx(c) { ++ctx.childWindowOpen; }
    ~CountedChild() override { --ctx.childWindowOpen; }
    AppContext& ctx;
};

} // namespace

TEST(MainWindow, FirstStartCreatesTheSettingsRowAndSpeaksFrench) {
    Rig s{QVariantMap()};
    ASSERT_TRUE(s.loaded) << s.env.debugLog().toStdString();
    EXPECT_EQ(s.diff({{"LINGUA", 1},
                      {"COM", 1},
                      {"INT1", 2},
                      {"metcalc", 1},
                      {"INT2", 3},
                      {"misureac", 3},
                      {"REAL1", 600},
                      {"logo", QVariant()}}),
              "");
    EXPECT_EQ(s.ctx().languageIndex, 1);

    // French texts; the title holds the versions and the executable's build time.
    const MessageCatalogue& m = s.ctx().messaggi;
    const QString title = s.window->windowTitle();
    EXPECT_TRUE(title.startsWith("VORNA REPORT (" + m.text(1, 47) + ": ZMB 4.5, "))
        << title.toStdString();
    EXPECT_TRUE(title.endsWith(" - " + m.text(1, 186) + ": FV 2.1.5 - FR 1.0.1)"));
    EXPECT_TRUE(title.contains(
        ", " + s.ctx().locale.toString(executable_modified(), QLocale::ShortFormat) + " - "));
    EXPECT_EQ(s.find<QLabel>("lbStatoConn")->text(), m.text(1, 96));
    EXPECT_EQ(s.find<QLabel>("lbRS232Activity")->text(), m.text(1, 103));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(s.key(MainWindow::functionKeys().at(i))->toolTip(), m.text(1, 164 + i));
    EXPECT_EQ(languageButtons(s), only(1));

    // Links down, the disconnected lamp on, the setup window open at 10, 10 twips.
    EXPECT_FALSE(s.find<QLabel>("imSemRosso")->isHidden());
    EXPECT_TRUE(s.find<QLabel>("imSemVerde")->isHidden());
    EXPECT_FALSE(s.ctx().link.baseLinkUp);
    ASSERT_NE(s.window->currentChild(), nullptr);
    EXPECT_EQ(s.window->currentChild()->objectName(), "setup");
    EXPECT_EQ(s.ctx().childWindowOpen, 1);
    EXPECT_EQ(s.window->area()->subWindowList().first()->pos(), QPoint(1, 1));
    EXPECT_EQ(s.window->currentChild()->size(), QSize(433, 533));
}

TEST(MainWindow, SettingsRepairedAtStart) {
    // An unknown or missing language becomes French; a missing remote port is the one the
    // instrument does not use; a stored one is kept.
    const struct {
        QVariantMap preset, stored;
        int base, remote;
    } cases[] = {
        {{{"LINGUA", 7}, {"COM", 3}, {"INT1", 4}}, {{"LINGUA", 1}, {"INT1", 4}}, 3, 4},
        {{{"LINGUA", -1}, {"COM", 5}}, {{"LINGUA", 1}, {"INT1", 1}}, 5, 1},
        {{{"LINGUA", QVariant()}, {"COM", 1}}, {{"LINGUA", 1}, {"INT1", 2}}, 1, 2},
        {{{"LINGUA", 0}, {"COM", 1}, {"INT1", QVariant()}}, {{"LINGUA", 0}, {"INT1", 2}}, 1, 2},
        {{{"LINGUA", 4}, {"COM", 2}, {"INT1", QVariant()}}, {{"LINGUA", 4}, {"INT1", 1}}, 2, 1},
    };
    for (const auto& c : cases) {
        Rig s(c.preset);
        ASSERT_TRUE(s.loaded);
        EXPECT_EQ(s.diff(c.stored), "");
        const int language = c.stored.value("LINGUA").toInt();
        EXPECT_EQ(s.ctx().languageIndex, language);
        EXPECT_EQ(s.key("setup")->toolTip(), s.ctx().messaggi.text(language, 168));
        EXPECT_EQ(s.ctx().link.serialeBase.portNumber(), c.base);
        EXPECT_EQ(s.ctx().link.serialeRemoto.portNumber(), c.remote);
    }
}

TEST(MainWindow, LanguageKeysOnlyWithoutAChildWindow) {
    Rig s;
    ASSERT_EQ(s.ctx().childWindowOpen, 1); // setup is open after start-up
    const QString englishTitle = s.window->windowTitle();
    s.key("italiano")->trigger();
    EXPECT_EQ(s.ctx().languageIndex, 0);
    EXPECT_EQ(s.diff({{"LINGUA", 0}}), "");
    EXPECT_EQ(s.window->windowTitle(), englishTitle);
    EXPECT_EQ(languageButtons(s), only(0));
    s.key("setup")->trigger(); // a second child is refused too
    EXPECT_EQ(s.window->area()->subWindowList().size(), 1);

    s.closeChild();
    ASSERT_EQ(s.ctx().childWindowOpen, 0);
    const MessageCatalogue& m = s.ctx().messaggi;
    for (int language : {4, 4, 3, 2, 1, 0}) { // the current language's key again stays pressed
        s.key(MainWindow::languageKeys().at(language))->trigger();
        EXPECT_EQ(s.ctx().languageIndex, language);
        EXPECT_EQ(s.diff({{"LINGUA", language}}), "");
        EXPECT_EQ(languageButtons(s), only(language));
        EXPECT_TRUE(s.window->windowTitle().startsWith("VORNA REPORT (" + m.text(language, 47)));
        EXPECT_EQ(s.key("realtime")->toolTip(), m.text(language, 165));
        EXPECT_EQ(s.find<QLabel>("lbStatoConn")->text(), m.text(language, 96));
    }
    s.key("tedesco")->trigger();
    s.key("setup")->trigger(); // opens again, in the new language
    ASSERT_NE(s.window->currentChild(), nullptr);
    EXPECT_EQ(s.window->currentChild()->windowTitle(), m.text(3, 168));
}

TEST(MainWindow, RealtimeKeyNeedsTheInstrumentAndOpensThePlantChooser) {
    Rig s;
    s.closeChild();
    QStringList opened;
    for (const char* name : {"installation", "frmImpianti", "rep", "realtime_data"})
        s.window->setChildWindow(name, [&opened, name](AppContext& c) -> QWidget* {
            opened << name;
            return new CountedChild(c);
        });
    s.key("realtime")->trigger();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_FALSE(s.ctx().realtimeFromToolbar);

    s.ctx().link.baseLinkUp = true;
    const std::pair<const char*, const char*> keys[] = {{"realtime", "installation"},
                                                        {"installation", "frmImpianti"},
                                                        {"report", "rep"},
                                                        {"realtime_data", "realtime_data"}};
    qsizetype count = 0;
    for (const auto& [key, window] : keys) {
        s.key(key)->trigger();
        EXPECT_EQ(opened.value(opened.size() - 1), window);
        EXPECT_EQ(s.ctx().realtimeFromToolbar, key == std::string_view("realtime"));
        s.key("report")->trigger(); // one child at a time
        EXPECT_EQ(opened.size(), ++count);
        s.closeChild();
    }
    s.ctx().link.baseLinkUp = false;
}

TEST(MainWindow, ConnectsThroughTheSetupWindowAndRelaysUnaskedLines) {
    TestEnv folder; // for the remote unit's line, which must exist before the start
    const QString remoteLink = ptyLinkPath(folder.dir.path(), "remote");
    sim::PseudoTerminal remote(remoteLink);
    ASSERT_TRUE(remote.ok());
    qputenv("VORNA_COM2", remoteLink.toLocal8Bit());
    // The instrument says TOFF unasked after the version query, and once more in the middle
    // of the exchange of LINEDC? (where the exchange reads it and nothing is relayed).
    Rig s(kEnglishRow, QStringList{"--after", "VERSION?=TOFF 1", "--before", "LINEDC?=TOFF 2",
                                   "--delay", "PHASEAC?=400"});
    s.click("bttCollegaRem");
    ASSERT_TRUE(s.ctx().link.remoteLinkUp);
    EXPECT_FALSE(s.find("cbComRemoto")->isEnabled());
    EXPECT_EQ(s.find<QPushButton>("bttCollegaRem")->text(), "Disconnect Remote Unit");
    // Halfway through the slow reply the pointer is busy and the activity bar moves.
    bool busyDuring = false;
    int activityDuring = 0;
    QTimer::singleShot(250, [&] {
        busyDuring = QApplication::overrideCursor() &&
                     QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        activityDuring = s.find<QProgressBar>("ProgressBar1")->value();
    });
    s.click("bttCollegaBase");
    ASSERT_TRUE(s.ctx().link.baseLinkUp) << s.env.debugLog().toStdString();
    EXPECT_TRUE(busyDuring);
    EXPECT_GT(activityDuring, 0);
    EXPECT_TRUE(s.find("imSemRosso")->isHidden());
    EXPECT_FALSE(s.find("imSemVerde")->isHidden());

    QByteArray relayed;
    waitUntil([&] { return (relayed += remote.read(5)).contains('\r'); }, 3000);
    EXPECT_EQ(relayed, QByteArray("TOFF 1\r"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(s.find<QProgressBar>("ProgressBar1")->value(), 0);

    s.click("bttCollegaRem");
    EXPECT_FALSE(s.ctx().link.remoteLinkUp);
    EXPECT_FALSE(s.ctx().link.serialeRemoto.isOpen());
    EXPECT_TRUE(s.find("cbComRemoto")->isEnabled());
    EXPECT_EQ(s.diff({{"COM", 1}, {"INT1", 2}}), "");
    // Leaving the program closes the ports and the database.
    s.window->close();
    EXPECT_FALSE(s.ctx().link.serialeBase.isOpen());
    EXPECT_FALSE(s.ctx().db.isOpen());
    qunsetenv("VORNA_COM2");
}

TEST(MainWindow, ClosingDuringAnExchangeWaitsForIt) {
    Rig s(kEnglishRow, QStringList{"--delay", "PHASEAC?=400"});
    s.window->show();
    QMdiSubWindow* sub = s.window->area()->subWindowList().first();
    // The setup window and then the main window are asked to close in the middle of the
    // connect button's configuration read.
    bool subClosed = true, mainClosed = true;
    QTimer::singleShot(150, [&] { subClosed = sub->close(); });
    QTimer::singleShot(250, [&] { mainClosed = s.window->close(); });
    s.click("bttCollegaBase");
    EXPECT_FALSE(subClosed);
    EXPECT_FALSE(mainClosed);
    EXPECT_TRUE(s.ctx().link.baseLinkUp); // the read went through
    EXPECT_EQ(s.diff({{"serial", "PV100-004711"}}), "");
    // Once it is over, the program closes as asked.
    EXPECT_TRUE(waitUntil([&] { return !s.window->isVisible(); }, 2000));
    EXPECT_FALSE(s.ctx().db.isOpen());
    EXPECT_FALSE(s.ctx().link.serialeBase.isOpen());
    EXPECT_EQ(s.ctx().childWindowOpen, 0);
}
