#include "app_test_util.h"
#include "link_fixture.h"
#include "main_window.h"
#include "mdi_title.h"
#include "pseudo_terminal.h"
#include "test_env.h"

#include <QAction>
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

// A program start on a test folder, optionally with a settings row written beforehand.
struct Started {
    explicit Started(const QVariantMap& preset = {}, bool withPreset = false) {
        if (withPreset) presetSettings(env.dir.path(), preset);
        window = std::make_unique<MainWindow>(*env.ctx, env.dir.path());
        loaded = window->MDIForm_Load();
    }
    TestEnv env;
    std::unique_ptr<MainWindow> window;
    bool loaded = false;

    AppContext& ctx() { return *env.ctx; }
    template <typename T> T* find(const char* name) {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    QAction* key(const char* name) { return find<QAction>(name); }
    void closeChild() {
        for (QMdiSubWindow* w : window->area()->subWindowList())
            delete w;
    }
    QList<bool> languageButtons() {
        QList<bool> pressed;
        for (const QString& k : MainWindow::languageKeys())
            pressed << window->findChild<QAction*>(k)->isChecked();
        return pressed;
    }
};

// A child window that counts itself open while it lives, as the real ones do.
struct CountedChild : QWidget {
    CountedChild(AppContext& c, const QString& name) : ctx(c) {
        setObjectName(name);
        setFixedSize(200, 100);
        ++ctx.childWindowOpen;
    }
    ~CountedChild() override { --ctx.childWindowOpen; }
    AppContext& ctx;
};

} // namespace

TEST(MainWindow, FirstStartCreatesTheSettingsRowAndSpeaksFrench) {
    Started s;
    ASSERT_TRUE(s.loaded) << s.env.debugLog().toStdString();
    const QVariantMap row = storedSettings(s.env.dir.path());
    EXPECT_EQ(row.value("LINGUA").toInt(), 1);
    EXPECT_EQ(row.value("COM").toInt(), 1);
    EXPECT_EQ(row.value("INT1").toInt(), 2);
    EXPECT_EQ(row.value("metcalc").toInt(), 1);
    EXPECT_EQ(row.value("INT2").toInt(), 3);
    EXPECT_EQ(row.value("misureac").toInt(), 3);
    EXPECT_EQ(row.value("REAL1").toDouble(), 600.0);
    EXPECT_TRUE(row.value("logo").isNull());
    EXPECT_EQ(s.ctx().languageIndex, 1);

    // French texts, the title built from the catalogue, the versions and the build time.
    const QString title = s.window->windowTitle();
    EXPECT_TRUE(title.startsWith("VORNA REPORT (" + s.ctx().messaggi.text(1, 47) + ": ZMB 4.5, "))
        << title.toStdString();
    EXPECT_TRUE(title.endsWith(" - " + s.ctx().messaggi.text(1, 186) + ": FV 2.1.5 - FR 1.0.1)"));
    EXPECT_TRUE(title.contains(
        ", " + s.ctx().locale.toString(executable_modified(), QLocale::ShortFormat) + " - "));
    EXPECT_EQ(s.find<QLabel>("lbStatoConn")->text(), s.ctx().messaggi.text(1, 96));
    EXPECT_EQ(s.find<QLabel>("lbRS232Activity")->text(), s.ctx().messaggi.text(1, 103));
    EXPECT_EQ(s.key("report")->toolTip(), QString("RAPPORT"));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(s.key(MainWindow::functionKeys().at(i).toLatin1())->toolTip(),
                  s.ctx().messaggi.text(1, 164 + i));
    EXPECT_EQ(s.languageButtons(), (QList<bool>{false, true, false, false, false}));

    // Links down, the disconnected lamp on, the setup window open at 10, 10 twips.
    EXPECT_FALSE(s.find<QLabel>("imSemRosso")->isHidden());
    EXPECT_TRUE(s.find<QLabel>("imSemVerde")->isHidden());
    EXPECT_FALSE(s.find<QLabel>("lbStatoConn")->isHidden());
    EXPECT_FALSE(s.ctx().link.baseLinkUp);
    ASSERT_NE(s.window->currentChild(), nullptr);
    EXPECT_EQ(s.window->currentChild()->objectName(), QString("setup"));
    EXPECT_EQ(s.ctx().childWindowOpen, 1);
    EXPECT_EQ(s.window->area()->subWindowList().first()->pos(), QPoint(1, 1));
    EXPECT_EQ(s.window->currentChild()->size(), QSize(433, 533));
    EXPECT_TRUE(QFile::exists(s.env.path("debug.log")));
}

TEST(MainWindow, SettingsRepairedAtStart) {
    {
        Started s({{"LINGUA", 7}, {"COM", 3}, {"INT1", 4}}, true);
        ASSERT_TRUE(s.loaded);
        EXPECT_EQ(storedSettings(s.env.dir.path()).value("LINGUA").toInt(), 1);
        EXPECT_EQ(s.ctx().languageIndex, 1);
        EXPECT_EQ(storedSettings(s.env.dir.path()).value("INT1").toInt(), 4);
        EXPECT_EQ(s.ctx().link.serialeBase.portNumber(), 3);
        EXPECT_EQ(s.ctx().link.serialeRemoto.portNumber(), 4);
    }
    {
        Started s({{"LINGUA", -1}}, true);
        EXPECT_EQ(storedSettings(s.env.dir.path()).value("LINGUA").toInt(), 1);
    }
    {
        // No language at all would have stopped the start-up before any text was set.
        Started s({{"LINGUA", QVariant()}, {"COM", 1}}, true);
        ASSERT_TRUE(s.loaded);
        EXPECT_EQ(storedSettings(s.env.dir.path()).value("LINGUA").toInt(), 1);
        EXPECT_EQ(s.key("setup")->toolTip(), s.ctx().messaggi.text(1, 168));
    }
    {
        Started s({{"LINGUA", 0}, {"COM", 1}, {"INT1", QVariant()}}, true);
        EXPECT_EQ(storedSettings(s.env.dir.path()).value("INT1").toInt(), 2);
        EXPECT_EQ(s.key("report")->toolTip(), QString("REPORT"));
    }
    {
        Started s({{"LINGUA", 4}, {"COM", 2}, {"INT1", QVariant()}}, true);
        const QVariantMap row = storedSettings(s.env.dir.path());
        EXPECT_EQ(row.value("INT1").toInt(), 1);
        EXPECT_EQ(row.value("COM").toInt(), 2);
        EXPECT_EQ(row.value("LINGUA").toInt(), 4);
    }
}

TEST(MainWindow, LanguageKeysOnlyWithoutAChildWindow) {
    Started s({{"LINGUA", 0}, {"COM", 1}, {"INT1", 2}}, true);
    ASSERT_EQ(s.ctx().childWindowOpen, 1); // setup is open after start-up
    const QString englishTitle = s.window->windowTitle();

    s.key("italiano")->trigger();
    EXPECT_EQ(s.ctx().languageIndex, 0);
    EXPECT_EQ(storedSettings(s.env.dir.path()).value("LINGUA").toInt(), 0);
    EXPECT_EQ(s.window->windowTitle(), englishTitle);
    EXPECT_EQ(s.languageButtons(), (QList<bool>{true, false, false, false, false}));
    s.key("setup")->trigger(); // a second child is refused too
    EXPECT_EQ(s.window->area()->subWindowList().size(), 1);

    s.closeChild();
    ASSERT_EQ(s.ctx().childWindowOpen, 0);
    s.key("italiano")->trigger();
    EXPECT_EQ(s.ctx().languageIndex, 4);
    EXPECT_EQ(storedSettings(s.env.dir.path()).value("LINGUA").toInt(), 4);
    EXPECT_TRUE(
        s.window->windowTitle().startsWith("VORNA REPORT (" + s.ctx().messaggi.text(4, 47)));
    EXPECT_EQ(s.key("realtime")->toolTip(), s.ctx().messaggi.text(4, 165));
    EXPECT_EQ(s.languageButtons(), (QList<bool>{false, false, false, false, true}));

    // Pressing the current language's button again leaves it pressed.
    s.key("italiano")->trigger();
    EXPECT_EQ(s.languageButtons(), (QList<bool>{false, false, false, false, true}));

    s.key("tedesco")->trigger();
    EXPECT_EQ(s.languageButtons(), (QList<bool>{false, false, false, true, false}));
    EXPECT_EQ(s.find<QLabel>("lbStatoConn")->text(), s.ctx().messaggi.text(3, 96));

    // The setup key opens the window again, in the new language.
    s.key("setup")->trigger();
    ASSERT_NE(s.window->currentChild(), nullptr);
    EXPECT_EQ(s.window->currentChild()->windowTitle(), s.ctx().messaggi.text(3, 168));
}

TEST(MainWindow, RealtimeKeyNeedsTheInstrumentAndOpensThePlantChooser) {
    Started s({{"LINGUA", 0}, {"COM", 1}, {"INT1", 2}}, true);
    s.closeChild();
    QStringList opened;
    for (const char* name : {"installation", "frmImpianti", "rep", "realtime_data"})
        s.window->setChildWindow(name, [&opened, name](AppContext& c) -> QWidget* {
            opened << name;
            return new CountedChild(c, name);
        });

    s.key("realtime")->trigger();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_FALSE(s.ctx().realtimeFromToolbar);

    s.ctx().link.baseLinkUp = true;
    s.key("realtime")->trigger();
    EXPECT_EQ(opened, QStringList{"installation"});
    EXPECT_TRUE(s.ctx().realtimeFromToolbar);
    s.key("report")->trigger(); // one child at a time
    EXPECT_EQ(opened.size(), 1);
    s.closeChild();

    s.key("installation")->trigger();
    EXPECT_EQ(opened.last(), QString("frmImpianti"));
    EXPECT_FALSE(s.ctx().realtimeFromToolbar);
    s.closeChild();
    s.key("report")->trigger();
    s.closeChild();
    s.key("realtime_data")->trigger();
    EXPECT_EQ(opened, (QStringList{"installation", "frmImpianti", "rep", "realtime_data"}));
    s.ctx().link.baseLinkUp = false;
}

TEST(MainWindow, ConnectsThroughTheSetupWindowAndRelaysUnaskedLines) {
    TestEnv probe; // only for a folder the simulator and the remote line live in
    const QString remoteLink = ptyLinkPath(probe.dir.path(), "remote");
    sim::PseudoTerminal remote(remoteLink);
    ASSERT_TRUE(remote.ok());
    qputenv("VORNA_COM2", remoteLink.toLocal8Bit());
    // The instrument says TOFF unasked after the version query, and once more in the middle
    // of the exchange of LINEDC? (where the exchange reads it and nothing is relayed).
    SimProcess sim(
        probe.dir.path(), 1,
        {"--after", "VERSION?=TOFF 1", "--before", "LINEDC?=TOFF 2", "--delay", "PHASEAC?=400"});
    ASSERT_TRUE(sim.ready());

    Started s({{"LINGUA", 0}, {"COM", 1}, {"INT1", 2}}, true);
    auto* setup = s.window->currentChild();
    ASSERT_NE(setup, nullptr);
    setup->findChild<QPushButton*>("bttCollegaRem")->click();
    ASSERT_TRUE(s.ctx().link.remoteLinkUp);
    // Halfway through the slow reply the pointer is busy and the activity bar moves.
    bool busyDuring = false;
    int activityDuring = 0;
    QTimer::singleShot(250, [&] {
        busyDuring = QApplication::overrideCursor() &&
                     QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        activityDuring = s.find<QProgressBar>("ProgressBar1")->value();
    });
    setup->findChild<QPushButton*>("bttCollegaBase")->click();
    ASSERT_TRUE(s.ctx().link.baseLinkUp) << s.env.debugLog().toStdString();
    EXPECT_TRUE(busyDuring);
    EXPECT_GT(activityDuring, 0);
    EXPECT_TRUE(s.find<QLabel>("imSemRosso")->isHidden());
    EXPECT_FALSE(s.find<QLabel>("imSemVerde")->isHidden());

    QByteArray relayed;
    waitUntil(
        [&] {
            relayed += remote.read(5);
            return relayed.contains('\r');
        },
        3000);
    EXPECT_EQ(relayed, QByteArray("TOFF 1\r"));
    EXPECT_FALSE(s.window->cursor().shape() == Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(s.find<QProgressBar>("ProgressBar1")->value(), 0);

    // Leaving the program closes both ports and the database.
    s.window->close();
    EXPECT_FALSE(s.ctx().link.serialeBase.isOpen());
    EXPECT_FALSE(s.ctx().link.serialeRemoto.isOpen());
    EXPECT_FALSE(s.ctx().db.isOpen());
    qunsetenv("VORNA_COM2");
}

TEST(MainWindow, ClosingDuringAnExchangeWaitsForIt) {
    TestEnv probe;
    SimProcess sim(probe.dir.path(), 1, {"--delay", "PHASEAC?=400"});
    ASSERT_TRUE(sim.ready());
    Started s({{"LINGUA", 0}, {"COM", 1}, {"INT1", 2}}, true);
    s.window->show();
    QMdiSubWindow* sub = s.window->area()->subWindowList().first();

    // The setup window and then the main window are asked to close in the middle of the
    // connect button's configuration read.
    bool subClosed = true, mainClosed = true;
    QTimer::singleShot(150, [&] { subClosed = sub->close(); });
    QTimer::singleShot(250, [&] { mainClosed = s.window->close(); });
    sub->widget()->findChild<QPushButton*>("bttCollegaBase")->click();
    EXPECT_FALSE(subClosed);
    EXPECT_FALSE(mainClosed);
    EXPECT_TRUE(s.ctx().link.baseLinkUp); // the read went through
    EXPECT_EQ(storedSettings(s.env.dir.path()).value("serial").toString(), "PV100-004711");

    // Once it is over, the program closes as asked.
    EXPECT_TRUE(waitUntil([&] { return !s.window->isVisible(); }, 2000));
    EXPECT_FALSE(s.ctx().db.isOpen());
    EXPECT_FALSE(s.ctx().link.serialeBase.isOpen());
    EXPECT_EQ(s.ctx().childWindowOpen, 0);
}
