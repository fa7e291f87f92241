#include "child_window.h"
#include "pseudo_terminal.h"
#include "window_rig.h"

#include <QApplication>
#include <QImage>
#include <QProgressBar>
#include <QTimer>
#include <QtCore/qtestsupport_core.h>
#include <sys/stat.h>

using namespace vorna;
using namespace vorna::test;

namespace {

// The pressed language key; -1 for none or several.
int pressedLanguage(Rig& s) {
    int pressed = -1, count = 0;
    for (int i = 0; i < 5; ++i)
        if (s.key(MainWindow::languageKeys().at(i))->isChecked()) pressed = i, ++count;
    return count == 1 ? pressed : -1;
}

} // namespace

TEST(MainWindow, FirstStartCreatesTheSettingsRowAndSpeaksFrench) {
    Rig s{QVariantMap()};
    ASSERT_TRUE(s.loaded) << s.env.debugLog().toStdString();
    EXPECT_EQ(s.diff("LINGUA=1;COM=1;INT1=2;metcalc=1;INT2=3;misureac=3;REAL1=600;logo=<null>"),
              "");

    // French texts; the title holds the versions and the executable's build time as a US PC
    // writes it, taken from the file system here.
    const MessageCatalogue& m = s.ctx().messaggi;
    struct stat exe {};
    ASSERT_EQ(stat("/proc/self/exe", &exe), 0);
    const QDateTime builtAt = QDateTime::fromSecsSinceEpoch(exe.st_mtime);
    EXPECT_EQ(s.window->windowTitle(), "VORNA REPORT (" + m.text(1, 47) + ": ZMB 4.5, " +
                                           builtAt.toString("M/d/yy h:mm AP") + " - " +
                                           m.text(1, 186) + ": FV 2.1.5 - FR 1.0.1)");
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(s.key(MainWindow::functionKeys().at(i))->toolTip(), m.text(1, 164 + i));
    EXPECT_EQ(pressedLanguage(s), 1);

    // Links down: the disconnected lamp on. The setup window open at 10, 10 twips.
    EXPECT_TRUE(s.shown("imSemRosso") && !s.shown("imSemVerde"));
    ASSERT_NE(s.window->currentChild(), nullptr);
    EXPECT_EQ(s.window->currentChild()->objectName(), "setup");
    EXPECT_EQ(s.window->area()->subWindowList().first()->pos(), QPoint(1, 1));
    EXPECT_EQ(s.window->currentChild()->size(), QSize(433, 533));
}

TEST(MainWindow, SettingsRepairedAtStart) {
    // An unknown or missing language becomes French; a missing remote port is the one the
    // instrument does not use; a stored one is kept.
    const struct {
        QVariantMap preset;
        int language, base, remote;
    } cases[] = {
        {{{"LINGUA", 7}, {"COM", 3}, {"INT1", 4}}, 1, 3, 4},
        {{{"LINGUA", -1}, {"COM", 5}}, 1, 5, 1},
        {{{"LINGUA", QVariant()}, {"COM", 1}}, 1, 1, 2},
        {{{"LINGUA", 4}, {"COM", 2}, {"INT1", QVariant()}}, 4, 2, 1},
    };
    for (const auto& c : cases) {
        Rig s(c.preset);
        ASSERT_TRUE(s.loaded);
        EXPECT_EQ(s.diff(QString("LINGUA=%1;INT1=%2").arg(c.language).arg(c.remote)), "");
        EXPECT_EQ(s.ctx().languageIndex, c.language);
        EXPECT_EQ(s.ctx().link.serialeBase.portNumber(), c.base);
        EXPECT_EQ(s.ctx().link.serialeRemoto.portNumber(), c.remote);
    }
}

TEST(MainWindow, LanguageKeysOnlyWithoutAChildWindow) {
    Rig s;
    ASSERT_EQ(s.ctx().childWindowOpen, 1); // setup is open after start-up
    s.key("italiano")->trigger();
    EXPECT_EQ(s.ctx().languageIndex, 0);
    EXPECT_EQ(s.diff("LINGUA=0"), "");
    EXPECT_EQ(pressedLanguage(s), 0);

    s.closeChild();
    ASSERT_EQ(s.ctx().childWindowOpen, 0);
    const MessageCatalogue& m = s.ctx().messaggi;
    for (int language : {4, 4, 0, 1, 2, 3}) { // the current language's key again stays pressed
        s.key(MainWindow::languageKeys().at(language))->trigger();
        EXPECT_EQ(s.diff("LINGUA=" + QString::number(language)), "");
        EXPECT_EQ(pressedLanguage(s), language);
        EXPECT_TRUE(s.window->windowTitle().startsWith("VORNA REPORT (" + m.text(language, 47)));
        EXPECT_EQ(s.text("lbStatoConn"), m.text(language, 96));
    }
    s.key("setup")->trigger(); // opens again, in the new language
    ASSERT_NE(s.window->currentChild(), nullptr);
    EXPECT_EQ(s.window->currentChild()->windowTitle(), m.text(3, 168));
}

TEST(MainWindow, RealtimeKeyNeedsTheInstrumentAndOpensThePlantChooser) {
    Rig s(englishRow(), QStringList{});
    s.closeChild();
    QStringList opened;
    for (const char* name : {"installation", "frmImpianti", "rep", "realtime_data"})
        s.window->setChildWindow(name, [&opened, name](AppContext& c) -> ChildWindow* {
            opened << name;
            return new ChildWindow(c, name, 1, 3000, 2000);
        });
    s.key("realtime")->trigger();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_FALSE(s.ctx().realtimeFromToolbar);

    s.connect();
    s.closeChild();
    for (const QString key : {"realtime", "installation", "report", "realtime_data"}) {
        s.key(key)->trigger();
        s.key("report")->trigger(); // one child at a time
        EXPECT_EQ(s.ctx().realtimeFromToolbar, key == "realtime");
        s.closeChild();
    }
    EXPECT_EQ(opened, (QStringList{"installation", "frmImpianti", "rep", "realtime_data"}));
}

TEST(MainWindow, ConnectRelayAndCloseDuringAnExchange) {
    // The instrument says TOFF unasked after the version query, and once more in the middle
    // of the exchange of LINEDC? (where the exchange reads it and nothing is relayed).
    Rig s(englishRow(), QStringList{"--after", "VERSION?=TOFF 1", "--before", "LINEDC?=TOFF 2",
                                    "--delay", "PHASEAC?=400"});
    sim::PseudoTerminal remote(s.ptyLink("remote"));
    ASSERT_TRUE(remote.ok());
    qputenv("VORNA_COM2", s.ptyLink("remote").toLocal8Bit());
    s.window->show();
    // The main window and the setup window as a user sees them, before and after connecting:
    // the pictures read back whole, and the main window's differ where its lamps do.
    const auto pictured = [&](const QString& state) {
        QCoreApplication::processEvents();
        screenshot(s.window->currentChild(), "setup_en_" + state);
        return screenshot(s.window.get(), "mdi_en_" + state);
    };
    const QImage disconnected = pictured("disconnected");
    s.click("bttCollegaRem");
    ASSERT_TRUE(s.ctx().link.remoteLinkUp());
    // Halfway through the slow reply the pointer is busy and the activity bar moves.
    bool busy = false;
    int activity = 0;
    QTimer::singleShot(250, [&] {
        busy = QApplication::overrideCursor() &&
               QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        activity = s.find<QProgressBar>("ProgressBar1")->value();
    });
    s.click("bttCollegaBase");
    ASSERT_TRUE(s.ctx().link.baseLinkUp()) << s.env.debugLog().toStdString();
    EXPECT_TRUE(busy);
    EXPECT_GT(activity, 0);
    EXPECT_TRUE(s.find("imSemRosso")->isHidden() && s.shown("imSemVerde"));
    EXPECT_NE(pictured("connected"), disconnected);
    QByteArray relayed;
    (void)QTest::qWaitFor([&] { return (relayed += remote.read(5)).contains('\r'); }, 3000);
    EXPECT_EQ(relayed, QByteArray("TOFF 1\r"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(s.find<QProgressBar>("ProgressBar1")->value(), 0);

    s.click("bttCollegaRem");
    EXPECT_FALSE(s.ctx().link.serialeRemoto.isOpen());
    EXPECT_TRUE(s.find("cbComRemoto")->isEnabled());
    qunsetenv("VORNA_COM2");

    // The setup window and then the main window are asked to close in the middle of the
    // connect button's configuration read: they wait until it is over.
    s.click("bttCollegaBase");
    QMdiSubWindow* sub = s.window->area()->subWindowList().first();
    bool subClosed = true, mainClosed = true;
    QTimer::singleShot(150, [&] { subClosed = sub->close(); });
    QTimer::singleShot(250, [&] { mainClosed = s.window->close(); });
    s.click("bttCollegaBase");
    EXPECT_FALSE(subClosed || mainClosed);
    EXPECT_TRUE(s.ctx().link.baseLinkUp());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !s.window->isVisible(); }, 2000));
    EXPECT_FALSE(s.ctx().db.isOpen());
    EXPECT_FALSE(s.ctx().link.serialeBase.isOpen());
    EXPECT_EQ(s.ctx().childWindowOpen, 0);
}
