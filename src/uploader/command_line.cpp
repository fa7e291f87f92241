#include "command_line.h"

#include "port_names.h"
#include "upload_controller.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

namespace vorna::uploader {

namespace {

void print(FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

QString helpText(const TransferPolicy& policy) {
    const QString name = QString::fromLatin1(policy.image.programName);
    QString text =
        QStringLiteral(
            "Usage: %1 --port COMn|DEVICE|auto --file FIRMWARE.hex%2 [--verify] [--wait SECONDS]\n"
            "\n"
            "Programs the instrument's firmware without the window. The program opens the port "
            "at %3 baud, waits for the instrument's bootloader to announce itself (turn the "
            "instrument on or reset it), then %4. Status and progress texts go to standard "
            "output, failures to standard error.\n"
            "\n"
            "Options:\n"
            "  --port COMn|DEVICE|auto\n"
            "                      serial port by number (COM1..COM99; the environment variable "
            "VORNA_COMn overrides the device of port n), a device path such as /dev/ttyUSB0, or "
            "auto: wait on every port at once and go on with the one the announcement comes on\n"
            "  --file FILE         Intel HEX firmware file\n")
            .arg(name, policy.userStarts ? QStringLiteral(" [--restart]") : QString())
            .arg(policy.image.lineSpeed)
            .arg(policy.userStarts
                     ? QStringLiteral("identifies the target and writes the firmware (Start); "
                                      "with --restart it then starts the new firmware (Restart)")
                     : QStringLiteral("identifies the target, writes the firmware and starts "
                                      "it"));
    if (policy.userStarts)
        text += QStringLiteral("  --restart           start the firmware once it is written\n");
    text += QStringLiteral(
        "  --verify            read every written program row back and compare it before the "
        "firmware is started\n"
        "  --wait SECONDS      how long to wait for the announcement (default 60, 0 = no "
        "limit)\n"
        "  --help              this text\n"
        "\n"
        "Exit status: 0 success; 1 the transfer failed (connection lost, target not "
        "identified, bad firmware file, verify failed); 2 bad arguments, unreadable file or port "
        "that cannot "
        "be opened; 3 no announcement within the wait.\n");
    return text;
}

} // namespace

bool wantsCommandLine(const QStringList& arguments) {
    // Only our own options: Qt's window options (-platform, -style, ...) keep the window.
    static const QStringList ours{QStringLiteral("--port"),    QStringLiteral("--file"),
                                  QStringLiteral("--restart"), QStringLiteral("--verify"),
                                  QStringLiteral("--wait"),    QStringLiteral("--help"),
                                  QStringLiteral("-h")};
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (ours.contains(arguments[i].section(QLatin1Char('='), 0, 0))) return true;
    return false;
}

int runCommandLine(const TransferPolicy& policy, const QStringList& arguments,
                   const TransferTiming& timing, FILE* out, FILE* err) {
    QCommandLineParser parser;
    const QCommandLineOption portOption(QStringLiteral("port"), QString(), QStringLiteral("port"));
    const QCommandLineOption fileOption(QStringLiteral("file"), QString(), QStringLiteral("file"));
    const QCommandLineOption restartOption(QStringLiteral("restart"));
    const QCommandLineOption verifyOption(QStringLiteral("verify"));
    const QCommandLineOption waitOption(QStringLiteral("wait"), QString(), QStringLiteral("s"),
                                        QStringLiteral("60"));
    const QCommandLineOption helpOption(QStringList{QStringLiteral("help"), QStringLiteral("h")});
    parser.addOptions({portOption, fileOption, verifyOption, waitOption, helpOption});
    if (policy.userStarts) parser.addOption(restartOption);

    const QString name = QString::fromLatin1(policy.image.programName);
    auto usageError = [&](const QString& why) {
        print(err, name + QStringLiteral(": ") + why);
        print(err, QStringLiteral("Try '%1 --help'.").arg(name));
        return exit_code::kUsage;
    };
    if (!parser.parse(arguments)) return usageError(parser.errorText());
    if (parser.isSet(helpOption)) {
        std::fputs(helpText(policy).toLocal8Bit().constData(), out);
        return exit_code::kSuccess;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("unexpected argument ") +
                          parser.positionalArguments().first());
    const QString port = parser.value(portOption).trimmed();
    const QString file = parser.value(fileOption);
    if (port.isEmpty() || file.isEmpty())
        return usageError(QStringLiteral("--port and --file are needed"));
    bool waitOk = false;
    const int waitSeconds = parser.value(waitOption).toInt(&waitOk);
    if (!waitOk || waitSeconds < 0) return usageError(QStringLiteral("--wait takes seconds"));
    if (QFile probe(file); !probe.open(QIODevice::ReadOnly))
        return usageError(QString::fromLatin1(policy.image.invalidFileText) + QStringLiteral(": ") +
                          file);
    const bool restart = policy.userStarts && parser.isSet(restartOption);

    UploadController controller(policy, timing);
    controller.setVerify(parser.isSet(verifyOption));
    QEventLoop loop;
    int result = exit_code::kTransferFailed;
    bool transferred = false; // the firmware is in; what the port does next is no failure
    auto finish = [&](int code) {
        result = code;
        loop.exit(code);
    };
    QStringList failuresPrinted;
    auto printFailure = [&](const QString& text) {
        const QString line = name + QStringLiteral(": ") + QString(text).replace('\n', ' ');
        if (failuresPrinted.contains(line)) return;
        failuresPrinted.append(line);
        print(err, line);
    };
    // Whatever ended a failed transfer is said on standard error, also when the build showed
    // it only in a field.
    auto finishTransfer = [&](bool ok) {
        if (!ok) {
            if (!controller.lastFailure().isEmpty()) printFailure(controller.lastFailure());
            return finish(exit_code::kTransferFailed);
        }
        transferred = true;
        finish(exit_code::kSuccess);
    };

    QString shown[2];
    QObject::connect(&controller, &UploadController::textChanged,
                     [&](TextField field, const QString& text) {
                         QString& last = shown[field == TextField::Status ? 0 : 1];
                         if (text.isEmpty() || text == last) return;
                         last = text;
                         print(out, text);
                     });
    QObject::connect(
        &controller, &UploadController::messageRequested,
        [&](const QString& text, MessageIcon icon) {
            // The one-go build's success box carries a warning icon too, but
            // only failures belong on standard error.
            const bool failure = (icon == MessageIcon::Error || icon == MessageIcon::Exclamation) &&
                                 text != QLatin1String(policy.downloadCompletedBox);
            if (failure)
                printFailure(text);
            else
                print(out, name + QStringLiteral(": ") + QString(text).replace('\n', ' '));
        });
    QObject::connect(&controller, &UploadController::portFailed, [&](const QString& text) {
        // After a transfer the instrument restarts, and a USB adapter may go with it.
        if (transferred) {
            print(out, name + QStringLiteral(": warning: the port is gone: ") + text);
            return;
        }
        print(err, name + QStringLiteral(": cannot use the port: ") + text);
        finish(exit_code::kUsage);
    });
    QObject::connect(&controller, &UploadController::portSkipped, [&](const QString& text) {
        print(out, name + QStringLiteral(": skipped ") + text);
    });
    QObject::connect(&controller, &UploadController::portFound, [&](const QString& found) {
        print(out, QStringLiteral("Announcement on %1 (%2)").arg(found, deviceForPortText(found)));
    });
    QObject::connect(&controller, &UploadController::transferFinished, finishTransfer);
    QObject::connect(
        &controller, &UploadController::announcedChanged, &loop,
        [&](bool announced) {
            if (!announced || !controller.startEnabled()) return;
            if (controller.start() != TransferOutcome::Done) return finishTransfer(false);
            transferred = true;
            if (restart) controller.restart();
            finishTransfer(true);
        },
        Qt::QueuedConnection);

    QTimer patience;
    patience.setSingleShot(true);
    QObject::connect(&patience, &QTimer::timeout, [&] {
        if (controller.busy()) return;
        print(err, QStringLiteral("%1: no announcement from the instrument within %2 s")
                       .arg(name)
                       .arg(waitSeconds));
        finish(exit_code::kNoAnnouncement);
    });

    controller.chooseFile(file);
    controller.choosePort(port);
    if (result == exit_code::kUsage) return result; // the port could not be opened
    if (port.compare(QLatin1String(kAnyPort), Qt::CaseInsensitive) == 0)
        print(out, QStringLiteral("Waiting for the instrument on any port (%1)")
                       .arg(existingPortNames().join(QStringLiteral(", "))));
    else
        print(out, QStringLiteral("Waiting for the instrument on %1 (%2)")
                       .arg(port, deviceForPortText(port)));
    if (waitSeconds > 0) patience.start(std::chrono::seconds(waitSeconds));
    loop.exec();
    return result;
}

} // namespace vorna::uploader
