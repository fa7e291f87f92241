#include "app_test_util.h"
#include "link_fixture.h"
#include "main_window.h"
#include "test_env.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace vorna;
using namespace vorna::test;

// The main window and the setup window as a user sees them, before and after connecting the
// simulated instrument, in English and in Italian.
TEST(Screenshots, MainAndSetupWindowsConnectedAndNot) {
    for (const auto& [language, tag] : {std::pair{0, "en"}, std::pair{4, "it"}}) {
        TestEnv env;
        SimProcess sim(env.dir.path(), 1, {});
        ASSERT_TRUE(sim.ready());
        presetSettings(env.dir.path(), {{"LINGUA", language}, {"COM", 1}, {"INT1", 2}});
        MainWindow window(*env.ctx, env.dir.path());
        ASSERT_TRUE(window.MDIForm_Load());
        window.show();
        QWidget* setup = window.currentChild();
        ASSERT_NE(setup, nullptr);

        const QString t = QString::fromLatin1(tag);
        saveScreenshot(&window, "mdi_" + t + "_disconnected");
        saveScreenshot(setup, "setup_" + t + "_disconnected");
        setup->findChild<QPushButton*>("bttCollegaBase")->click();
        ASSERT_TRUE(env.ctx->link.baseLinkUp);
        EXPECT_FALSE(window.findChild<QLabel*>("imSemVerde")->isHidden());
        saveScreenshot(&window, "mdi_" + t + "_connected");
        saveScreenshot(setup, "setup_" + t + "_connected");
        window.close();
    }
    for (const char* name : {"mdi_en_connected", "setup_it_disconnected"}) {
        const QImage shot(screenshotDir() + "/" + name + ".png");
        EXPECT_FALSE(shot.isNull()) << name;
    }
}
