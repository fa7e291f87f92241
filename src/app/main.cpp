// VORNA_REPORT: the main program.

#include "app_context.h"
#include "main_window.h"
#include "qt_prompts.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VORNA_REPORT"));

    vorna::QtPrompts prompts;
    vorna::AppContext ctx(prompts, QString(), QLocale::system());
    // VORNA_DATA_DIR stands in for the program's folder when choosing the data folder, so the
    // demo and trials keep their database apart from a real one.
    const QString programDir =
        qEnvironmentVariable("VORNA_DATA_DIR", QCoreApplication::applicationDirPath());

    vorna::MainWindow window(ctx, programDir);
    window.MDIForm_Load();
    window.show();
    return app.exec();
}
