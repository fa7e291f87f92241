// Upload of a 128 KiB firmware by the current build to bootloader-sim paced at 38400 baud: the
// total time against the time its bytes need on the line, and the CPU time the uploader used.
// Prints figures; not a pass/fail test.

#include "transfer_policy.h"
#include "upload_controller.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <sys/resource.h>

using namespace vorna::uploader;

namespace {

constexpr int kBaud = 38400;
constexpr int kFirmwareBytes = 128 * 1024; // file bytes of program memory from address 0

QByteArray record(int type, unsigned offset, const QByteArray& data) {
    QByteArray body;
    body += char(data.size());
    body += char(offset >> 8);
    body += char(offset & 0xFF);
    body += char(type);
    body += data;
    unsigned sum = 0;
    for (char c : body)
        sum += quint8(c);
    body += char(-sum & 0xFF);
    return ':' + body.toHex().toUpper() + "\r\n";
}

QByteArray makeHex() {
    QByteArray text;
    for (unsigned at = 0; at < unsigned(kFirmwareBytes); at += 32) {
        if (at % 0x10000 == 0)
            text += record(
                4, 0, QByteArray::fromHex(QByteArray::number(at >> 16, 16).rightJustified(4, '0')));
        QByteArray data(32, Qt::Uninitialized);
        for (int i = 0; i < 32; ++i)
            data[i] = char((at + unsigned(i)) * 13 + 5);
        text += record(0, at & 0xFFFF, data);
    }
    return text + record(1, 0, {});
}

double cpuSeconds() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return double(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           double(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString hexPath = dir.path() + "/firmware.hex";
    const QString link = dir.path() + QStringLiteral("/bench-bl%1").arg(app.applicationPid());
    {
        QFile f(hexPath);
        if (!f.open(QIODevice::WriteOnly)) return 1;
        f.write(makeHex());
    }

    QProcess sim;
    sim.start(QCoreApplication::applicationDirPath() + "/bootloader-sim",
              {"--link", link, "--baud", QString::number(kBaud)});
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "bench_upload: bootloader-sim did not start\n");
        return 1;
    }

    UploadController controller(sirvexTransfer());
    controller.chooseFile(hexPath);
    controller.choosePort(link);
    if (!QTest::qWaitFor([&] { return controller.announced(); }, 5000)) {
        std::fprintf(stderr, "bench_upload: no announcement\n");
        return 1;
    }

    const double cpuBefore = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    const TransferOutcome outcome = controller.start();
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    const double cpu = cpuSeconds() - cpuBefore;
    sim.terminate();
    sim.waitForFinished(3000);
    if (outcome != TransferOutcome::Done) {
        std::fprintf(stderr, "bench_upload: the transfer failed\n");
        return 1;
    }

    // Bytes on the line from Start on: identification (1 + 8), version (1 + 2), row 0 read
    // (4 + 1536), and per program row 4 + 1536 bytes out and one acknowledge back.
    const int rowSize = 512;
    const int rows = kFirmwareBytes / (rowSize * 4);
    const qint64 bytes =
        (1 + 8) + (1 + 2) + (4 + 3 * rowSize) + qint64(rows) * (4 + 3 * rowSize + 1);
    const double lineSeconds = double(bytes) * 10.0 / kBaud;
    std::printf("upload of %d KiB firmware (%d program rows) at %d baud\n", kFirmwareBytes / 1024,
                rows, kBaud);
    std::printf("  bytes on the line:      %lld\n", static_cast<long long>(bytes));
    std::printf("  line time of the bytes: %.3f s\n", lineSeconds);
    std::printf("  total time:             %.3f s\n", seconds);
    std::printf("  total / line time:      %.4f (target <= 1.03)\n", seconds / lineSeconds);
    std::printf("  uploader CPU time:      %.3f s = %.2f %% of one core (target < 10 %%)\n", cpu,
                100.0 * cpu / seconds);
    return 0;
}
