// Time to read and format a HEX file holding a full program image, and the memory the image
// holds. Prints figures; not a pass/fail test.
#include "device_table.h"
#include "firmware_image.h"
#include "hex_reader.h"

#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

using namespace vorna::uploader;

namespace {

// 16-byte data records with extended linear address records, as compilers write them.
QByteArray makeHex(std::uint32_t bytes, std::uint32_t seed) {
    std::mt19937 rng(seed);
    QByteArray text;
    text.reserve(static_cast<qsizetype>(bytes / 16 * 44 + 1024));
    char line[64];
    const auto record = [&](int type, unsigned offset, const std::uint8_t* data, int n) {
        unsigned sum = static_cast<unsigned>(n) + (offset >> 8) + (offset & 0xFF) +
                       static_cast<unsigned>(type);
        int len = std::snprintf(line, sizeof line, ":%02X%04X%02X", n, offset, type);
        for (int i = 0; i < n; ++i) {
            len += std::snprintf(line + len, sizeof line - static_cast<unsigned>(len), "%02X",
                                 data[i]);
            sum += data[i];
        }
        std::snprintf(line + len, sizeof line - static_cast<unsigned>(len), "%02X\n",
                      (0x100 - (sum & 0xFF)) & 0xFF);
        text += line;
    };
    std::uint8_t data[16];
    for (std::uint32_t a = 0; a < bytes; a += 16) {
        if (a % 0x10000 == 0) {
            const std::uint8_t base[2] = {static_cast<std::uint8_t>(a >> 24),
                                          static_cast<std::uint8_t>(a >> 16)};
            record(4, 0, base, 2);
        }
        for (auto& b : data)
            b = static_cast<std::uint8_t>(rng());
        record(0, a & 0xFFFF, data, 16);
    }
    record(1, 0, nullptr, 0);
    return text;
}

struct Figures {
    double bestMs = 0, medianMs = 0;
    std::size_t imageBytes = 0;
    int rows = 0;
    int words = 0;
};

Figures measure(const QString& path, int runs) {
    std::vector<double> ms;
    Figures f;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        FirmwareImage image(kPic24H);
        const auto result = readHexFile(path, image, sirvexPolicy());
        image.formatRows(sirvexPolicy());
        const auto t1 = std::chrono::steady_clock::now();
        if (!result.ok()) {
            std::fprintf(stderr, "read failed: %s\n", qPrintable(result.error));
            std::exit(1);
        }
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        f.imageBytes = image.heapBytes();
        f.rows = image.nonEmptyRowCount();
        f.words = result.bytesStored / 2;
    }
    std::sort(ms.begin(), ms.end());
    f.bestMs = ms.front();
    f.medianMs = ms[ms.size() / 2];
    return f;
}

void report(const char* what, qint64 fileBytes, const Figures& f, bool target) {
    std::printf("%s\n", what);
    std::printf("  HEX file: %.1f KB, %d words into %d program rows\n", fileBytes / 1024.0, f.words,
                f.rows);
    std::printf("  read + format: best %.2f ms, median %.2f ms%s\n", f.bestMs, f.medianMs,
                target ? " (target < 50 ms)" : "");
    std::printf("  image memory after formatting: %.1f KB (row table and every row's words and "
                "bytes)\n",
                f.imageBytes / 1024.0);
}

} // namespace

int main() {
    QTemporaryDir dir;
    const struct {
        const char* what;
        std::uint32_t bytes;
        bool target;
    } cases[] = {
        {"256 KB program image (128 full rows of 512 instructions)", 256 * 1024, true},
        {"whole program range of the image (1536 rows, 3 MB of file bytes)", 1536 * 2048, false},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(QStringLiteral("image_%1.hex").arg(c.bytes));
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(makeHex(c.bytes, 42)) < 0) return 1;
        out.close();
        report(c.what, QFile(path).size(), measure(path, 15), c.target);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("process peak resident set: %.1f MB\n", usage.ru_maxrss / 1024.0);
    return 0;
}
