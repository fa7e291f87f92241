#include "app_test_util.h"

#include <QCoreApplication>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace vorna;
using namespace vorna::test;

// The main window and the setup window as a user sees them, before and after connecting the
// simulated instrument, in English and in Italian.
TEST(Screenshots, MainAndSetupWindowsConnectedAndNot) {
    for (const auto& [language, tag] : {std::pair{0, "en"}, std::pair{4, "it"}}) {
        QVariantMap row = kEnglishRow;
        row["LINGUA"] = language;
        Rig s(row, QStringList{});
        s.window->show();
        for (const QString state : {"disconnected", "connected"}) {
            if (state == "connected") {
                s.click("bttCollegaBase");
                ASSERT_TRUE(s.ctx().link.baseLinkUp);
                EXPECT_FALSE(s.find("imSemVerde")->isHidden());
            }
            for (QWidget* w : {static_cast<QWidget*>(s.window.get()), s.window->currentChild()}) {
                const QString name = (w == s.window.get() ? "mdi_" : "setup_") +
                                     QString::fromLatin1(tag) + "_" + state + ".png";
                QCoreApplication::processEvents();
                EXPECT_TRUE(w->grab().save(screenshotDir() + "/" + name)) << name.toStdString();
            }
        }
    }
}
