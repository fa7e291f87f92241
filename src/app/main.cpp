// VORNA_REPORT: the main program.

#include "app_context.h"
#include "main_window.h"
#include "qt_prompts.h"

#include <QApplication>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// SIGINT and SIGTERM close the window like the user would, so the ports and the database are
// closed properly when the session ends or the demo is stopped.
int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &c, 1);
}

void closeOnSignals(QWidget* window) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
        char c;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &c, 1);
        window->close();
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

// The demo's unattended run: VORNA_DEMO_CONNECT presses the instrument's connect button once
// the window is up, VORNA_DEMO_SECONDS closes the program after that many seconds.
void demoHooks(QWidget* window) {
    if (!qEnvironmentVariableIsEmpty("VORNA_DEMO_CONNECT"))
        QTimer::singleShot(1500, window, [window] {
            if (auto* b = window->findChild<QPushButton*>(QStringLiteral("bttCollegaBase")))
                b->click();
        });
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("VORNA_DEMO_SECONDS", &ok);
    if (ok && seconds > 0)
        QTimer::singleShot(seconds * 1000, window, [window] { window->close(); });
}

} // namespace

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
    closeOnSignals(&window);
    window.MDIForm_Load();
    window.show();
    demoHooks(&window);
    return app.exec();
}
