// Beside the datalogger window tests, it runs them with each real-time window on its "Chart" tab
// in a shown main window, so every sample is drawn.
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
    // Once the tests run: the application object exists.
    void SetUp() override { qApp->installEventFilter(this); }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new ChartShown);

} // namespace
