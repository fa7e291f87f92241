// Upload of a 128 KiB firmware by the current build to bootloader-sim paced at 38400 baud, once
// written only and once written and read back: the total times against the time the written
// bytes need on the line, and the CPU time the uploader used. Prints figures; not a pass/fail
// test.

#include "transfer_policy.h"
#include "bench_figures.h"
#include "upload_controller.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

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

struct Run {
    bool ok = false;
    double seconds = 0, cpu = 0;
};

// One upload from Start to the last row (and its read-back) against a fresh simulator.
Run upload(const QString& hexPath, const QString& link, bool verify) {
    QProcess sim;
    sim.start(QCoreApplication::applicationDirPath() + "/bootloader-sim",
              {"--link", link, "--baud", QString::number(kBaud)});
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "bench_upload: bootloader-sim did not start\n");
        return {};
    }
    Run run;
    {
        UploadController controller(sirvexTransfer());
        controller.setVerify(verify);
        controller.chooseFile(hexPath);
        controller.choosePort(link);
        if (!QTest::qWaitFor([&] { return controller.announced(); }, 5000)) {
            std::fprintf(stderr, "bench_upload: no announcement\n");
            return {};
        }
        const double cpuBefore = vorna::bench::cpuSeconds();
        QElapsedTimer clock;
        clock.start();
        run.ok = controller.start() == TransferOutcome::Done;
        run.seconds = double(clock.nsecsElapsed()) / 1e9;
        run.cpu = vorna::bench::cpuSeconds() - cpuBefore;
    }
    sim.terminate();
    sim.waitForFinished(3000);
    if (!run.ok) std::fprintf(stderr, "bench_upload: the transfer failed\n");
    return run;
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
    const Run written = upload(hexPath, link, false);
    const Run verified = upload(hexPath, link, true);
    if (!written.ok || !verified.ok) return 1;

    // Bytes on the line from Start on: identification (1 + 8), version (1 + 2), row 0 read
    // (4 + 1536), and per program row 4 + 1536 bytes out and one acknowledge back. The
    // read-back adds per row 4 bytes out and 1536 back.
    const int rowSize = 512;
    const int rows = kFirmwareBytes / (rowSize * 4);
    const qint64 bytes =
        (1 + 8) + (1 + 2) + (4 + 3 * rowSize) + qint64(rows) * (4 + 3 * rowSize + 1);
    const qint64 readBack = qint64(rows) * (4 + 3 * rowSize);
    const double lineSeconds = double(bytes) * 10.0 / kBaud;
    std::printf("upload of %d KiB firmware (%d program rows) at %d baud\n", kFirmwareBytes / 1024,
                rows, kBaud);
    std::printf("  bytes on the line:      %lld (read-back adds %lld)\n",
                static_cast<long long>(bytes), static_cast<long long>(readBack));
    std::printf("  line time of the write: %.3f s\n", lineSeconds);
    std::printf("  written:  total %.3f s, %.4f x line time (target <= 1.03), CPU %.2f %% of one "
                "core (target < 10 %%)\n",
                written.seconds, written.seconds / lineSeconds,
                100.0 * written.cpu / written.seconds);
    std::printf("  verified: total %.3f s, %.4f x line time of the write (target <= 2.05), CPU "
                "%.2f %% of one core\n",
                verified.seconds, verified.seconds / lineSeconds,
                100.0 * verified.cpu / verified.seconds);
    return 0;
}
