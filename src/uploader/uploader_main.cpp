#include "uploader_main.h"

#include "command_line.h"
#include "transfer_policy.h"
#include "uploader_window.h"

#include <QApplication>
#include <QCoreApplication>

namespace vorna::uploader {

int uploaderMain(Build build, int argc, char** argv) {
    const TransferPolicy& policy = transferPolicyFor(build);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (wantsCommandLine(arguments)) {
        QCoreApplication app(argc, argv);
        return runCommandLine(policy, arguments);
    }
    QApplication app(argc, argv);
    UploaderWindow window(policy);
    QObject::connect(&window, &UploaderWindow::programEnded, &app, &QCoreApplication::exit);
    QObject::connect(&window, &QDialog::rejected, &app, [] { QCoreApplication::exit(0); });
    window.show();
    return app.exec();
}

} // namespace vorna::uploader
