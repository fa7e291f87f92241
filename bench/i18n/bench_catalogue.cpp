// Start-up cost of the catalogue: emptying it and filling all three ranges from the built-in file.
#include "message_catalogue.h"
#include "message_data.h"

#include <QElapsedTimer>
#include <cstdio>

int main() {
    using namespace vorna;
    constexpr int kRuns = 200;
    QElapsedTimer first;
    first.start();
    MessageCatalogue catalogue;
    const QByteArray data = builtInMessageData();
    fillMessages(catalogue, 0, 98, data);
    const qint64 firstNs = first.nsecsElapsed();

    QElapsedTimer timer;
    timer.start();
    qsizetype chars = 0;
    for (int run = 0; run < kRuns; ++run) {
        catalogue.reset();
        const QByteArray d = builtInMessageData();
        fillMessages(catalogue, 0, 98, d);
        fillMessages(catalogue, 99, 199, d);
        fillMessages(catalogue, 200, 298, d);
        chars += catalogue.text(4, 213).size();
    }
    const double perFill = double(timer.nsecsElapsed()) / kRuns / 1e6;
    std::printf("data file: %lld bytes\n", static_cast<long long>(data.size()));
    std::printf("first read and fill of 0-98 (cold): %.3f ms\n", double(firstNs) / 1e6);
    std::printf("reset + read_messagges_1..3, mean of %d runs: %.3f ms\n", kRuns, perFill);
    return chars > 0 ? 0 : 1;
}
