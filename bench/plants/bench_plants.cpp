// The plant register window on 1,000 stored plants: filling the PC list, and saving a new plant
// (whose duplicate check reads every row); then a plant sent to an instrument paced at 38400
// baud with the re-read of its 31 plants, against the time those bytes need on the line.
#include "bench_setup.h"
#include "plants_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <cstdio>

using namespace vorna;

namespace {

constexpr int kPlants = 1000;
constexpr int kRuns = 15;
constexpr int kBaud = 38400;

double msOf(const std::function<void()>& f) {
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

void type(PlantsWindow& w, const char* box, const QString& text) {
    w.findChild<QLineEdit*>(QString::fromLatin1(box))->setText(text);
}

qint64 lineBytes(test::SimProcess& sim, qsizetype& seen) {
    qint64 bytes = 0;
    QStringList all = sim.received(200);
    for (const QString& l : all.mid(seen))
        bytes += l.size() + 1;
    seen = all.size();
    return bytes;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::findSimulator();
    test::LinkEnv t(QLocale(QLocale::English, QLocale::UnitedStates), Link::kReadTimeout);
    t.ctx.decimalProbe = QStringLiteral("5000.5");
    {
        Database::Transaction tx(t.ctx.db);
        for (int i = 0; i < kPlants; ++i)
            t.ctx.db
                .prepare(QStringLiteral("INSERT INTO impianti (tipo, nome, indirizzo, NUMCIV, cap, "
                                        "comune, CODFISC, POT, BOOL1, NOCT, REAL1) VALUES "
                                        "(1,?,'Via dei Pini',?,'20100','Bergamo','CF',?,0,45,0.4)"))
                .bindAll({QStringLiteral("Plant %1").arg(i), QString::number(i % 100), 1 + i % 90})
                .run();
        tx.commit();
    }
    if (!t.startInstrument({QStringLiteral("--generate"), QStringLiteral("30x0"),
                            QStringLiteral("--baud"), QString::number(kBaud)})) {
        std::fprintf(stderr, "instrument-sim did not start\n");
        return 1;
    }
    PlantsWindow w(t.ctx);

    std::vector<double> fill, save;
    for (int i = 0; i < kRuns; ++i)
        fill.push_back(msOf([&] { w.leggi_impianti_da_pc(); }));
    for (int i = 0; i < kRuns; ++i) {
        w.bttNewPc_Click();
        for (auto [box, text] : {std::pair{"tbPot", "12.5"},
                                 {"tbNoct", "45"},
                                 {"tbGamma", "0.4"},
                                 {"tbIndirizzo", "Via Larga"},
                                 {"tbCom", "Lodi"}})
            type(w, box, QString::fromLatin1(text));
        type(w, "tbNome", QStringLiteral("New plant %1").arg(i));
        save.push_back(msOf([&] { w.bttOk_Click(); }));
    }
    const int stored = t.rows(QStringLiteral("impianti"));
    std::printf("plant register with %d plants (%d after the saves):\n", kPlants, stored);
    std::printf("  PC list fill: median %.1f ms, worst %.1f ms (target: under 100 ms)\n",
                bench::percentile(fill, 0.5), bench::percentile(fill, 1.0));
    std::printf("  save with duplicate check: median %.1f ms, worst %.1f ms (target: under "
                "100 ms)\n",
                bench::percentile(save, 0.5), bench::percentile(save, 1.0));

    // The transfer: PDCMAX, FREEIMP, the eight plant lines, then IIMP and 31 LISTNIMPIANTO.
    w.findChild<QListWidget*>(QStringLiteral("lsbImpPc"))->setCurrentRow(0);
    qsizetype in = 0, out = 0;
    lineBytes(*t.instrument, in);
    {
        QStringList sent = t.instrument->sent();
        out = sent.size();
    }
    QElapsedTimer wall;
    wall.start();
    w.bttPcToStrum_Click();
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    const qint64 commands = t.instrument->received(200).size() - in;
    qint64 bytes = lineBytes(*t.instrument, in);
    const QStringList sent = t.instrument->sent();
    for (const QString& l : sent.mid(out))
        bytes += l.size() + 1;
    const double lineSeconds = double(bytes) * 10.0 / kBaud;
    const auto listed = w.instrumentPlantTable().rowSlot.size();
    std::printf("transfer of one plant at %d baud with the re-read: %lld exchanges, %lld bytes, "
                "%zu plants listed after\n",
                kBaud, commands, bytes, listed);
    std::printf("  %.3f s wall against %.3f s of line time: ratio %.3f (target: at most 1.1)\n",
                seconds, lineSeconds, seconds / lineSeconds);
    return listed == 31 ? 0 : 1;
}
