// Beside the datalogger window tests, it runs them with each real-time window on its "Chart" tab
// in a shown main window, so every sample is drawn; their screenshots go to chart_shown/.
#include <QApplication>
#include <QMainWindow>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace {

struct ChartShown : QObject, ::testing::Environment {
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
    // Once the tests run: the application object exists, the build's folders are set.
    void SetUp() override {
        qputenv("VORNA_SCREENSHOT_DIR", qgetenv("VORNA_SCREENSHOT_DIR") + "/chart_shown");
        qApp->installEventFilter(this);
    }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new ChartShown);

} // namespace
