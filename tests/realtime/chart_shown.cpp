// Linked beside the datalogger window tests, it runs them with the live chart in view: each
// real-time window opens on its "Chart" tab in a shown main window, so every sample is drawn.
// Their screenshots go to a folder of their own.
#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QTabWidget>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

struct ChartShown : QObject {
    bool eventFilter(QObject* o, QEvent* e) override {
        // A child window gets its frame in the main window's area after it is built.
        if (e->type() != QEvent::ParentChange || o->objectName() != QLatin1String("realtime"))
            return false;
        if (auto* tabs = o->findChild<QTabWidget*>(QStringLiteral("tabMis")))
            tabs->setCurrentIndex(1);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<QMainWindow*>(w)) w->show();
        return false;
    }
};

struct Install {
    Install() {
        const char* shots = std::getenv("VORNA_SCREENSHOT_DIR");
        setenv("VORNA_SCREENSHOT_DIR",
               (std::string(shots ? shots : VORNA_SCREENSHOT_DIR_DEFAULT) + "/chart_shown").c_str(),
               1);
    }
} const install;

// The application object exists only once the tests run.
class Environment : public ::testing::Environment {
    void SetUp() override { qApp->installEventFilter(&filter); }
    void TearDown() override { qApp->removeEventFilter(&filter); }
    ChartShown filter;
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new Environment);

} // namespace
