// Writes the seed corpora of the fuzz targets from what the simulators' models answer and from
// the HEX fixtures: make_seeds CORPUS_DIR SOURCE_DIR.
#include "bootloader_model.h"
#include "instrument_model.h"
#include "session_run.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <set>

using namespace vorna;

namespace {

QString corpus;

void put(const char* target, const QString& name, const QByteArray& bytes) {
    const QString dir = corpus + QLatin1Char('/') + QLatin1String(target);
    QDir().mkpath(dir);
    QFile f(dir + QLatin1Char('/') + name);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "make_seeds: cannot write %s\n", qPrintable(f.fileName()));
        std::exit(1);
    }
}

// The line to the simulated bootloader: what it answers is what the session reads, and what
// the session read is the seed.
class ModelLink : public uploader::ByteLink {
public:
    explicit ModelLink(const sim::BootloaderConfig& config) : model_(config) {}
    void purge() override { pending_.clear(); }
    bool write(const QByteArray& bytes, Milliseconds) override {
        pending_ += model_.feed(bytes).reply;
        return true;
    }
    QByteArray read(qsizetype n, Milliseconds) override {
        const QByteArray got = pending_.left(n);
        pending_.remove(0, got.size());
        read_ += got;
        return got;
    }
    void pause(Milliseconds) override {}
    const QByteArray& readBytes() const { return read_; }

private:
    sim::BootloaderModel model_;
    QByteArray pending_, read_;
};

void bootloaderSeeds() {
    sim::BootloaderConfig pic24h;
    pic24h.row0 = QByteArray::fromHex("a1b2c3d4e5f6");
    sim::BootloaderConfig dsPic30f = pic24h;
    dsPic30f.deviceId = 0x0040; // dsPIC30F2010
    dsPic30f.processId = 1;
    dsPic30f.rowSize = 32;
    dsPic30f.configWords = 7;
    sim::BootloaderConfig refusing = pic24h;
    refusing.refuse = 2;
    const struct {
        const char* name;
        const sim::BootloaderConfig& config;
        fuzz::SessionSetup setup;
    } seeds[] = {
        {"sirvex", pic24h, {}},
        {"sirvex-verify", pic24h, {false, true}},
        {"sirvex-refused", refusing, {}},
        {"sirvex-unannounced", pic24h, {false, false, false}},
        {"tamrix", pic24h, {true}},
        {"tamrix-verify", pic24h, {true, true}},
        {"tamrix-dspic30f", dsPic30f, {true}},
    };
    for (const auto& s : seeds) {
        ModelLink link(s.config);
        fuzz::runSession(link, s.setup);
        put("bootloader_session", QLatin1String(s.name), char(s.setup.flags()) + link.readBytes());
    }
}

void instrumentSeeds(const QString& source) {
    std::vector<std::pair<QString, sim::InstrumentModel>> models(3);
    models[0].first = QStringLiteral("builtin");
    models[1].first = QStringLiteral("example");
    QString error;
    if (!models[1].second.load(
            source + QStringLiteral("/tools/instrument_sim/example_instrument.txt"), &error)) {
        std::fprintf(stderr, "make_seeds: %s\n", qPrintable(error));
        std::exit(1);
    }
    models[2].first = QStringLiteral("generated");
    sim::InstrumentModel& generated = models[2].second;
    generated.generate(4, 3);
    generated.temperature = 2;
    generated.lineDc = 1;
    generated.phaseAc = 2;
    generated.minRad = "12.5";
    generated.version = "Firmware: FV 2.1.5 SF";

    std::set<QByteArray> numbers;
    for (auto& [name, m] : models) {
        const auto ask = [&m = m](const QByteArray& command) {
            return m.answer(command).value_or(QByteArray());
        };
        const QByteArray iimp = ask("IIMP");
        put("plant_list", name + QStringLiteral("-iimp"), iimp);
        QByteArray download = iimp;
        for (const auto& [n, plant] : m.plants) {
            const QByteArray number = QByteArray::number(n);
            const QByteArray reply = ask("LISTNIMPIANTO " + number);
            put("plant_reply", name + QStringLiteral("-plant") + number, reply);
            download += '\n' + reply;
            for (const QByteArray& f : reply.split('\t').mid(1, 3))
                numbers.insert(f);
            put("plant_list", name + QStringLiteral("-measurements") + number,
                ask("IMISPERIMP " + number));
        }
        put("plant_download", name, download);
        int kept = 0;
        for (const auto& [plant, list] : m.measurements)
            for (const auto& [n, text] : list) {
                if (kept++ >= 3) break;
                const QByteArray reply =
                    ask("LISTMISURA " + QByteArray::number(plant) + ' ' + QByteArray::number(n));
                put("measurement_reply", name + QStringLiteral("-%1-%2").arg(plant).arg(n), reply);
                for (const QByteArray& f : reply.split('\t'))
                    numbers.insert(f);
            }
        QByteArray session;
        for (const char* c :
             {"LOGO?", "TEMPERATURE?", "LINEDC?", "PHASEAC?", "MINRAD?", "SERIALNUM?", "VERSION?"})
            session += (session.isEmpty() ? "" : "\n") + ask(c);
        put("instrument_session", name, session);
        ask("REALTIME 1");
        const QByteArray listval = ask("LISTVAL");
        put("live_values", name, listval + '\n' + ask("LINEDC?") + '\n' + ask("PHASEAC?"));
        for (const QByteArray& f : listval.split('\t'))
            numbers.insert(f);
    }
    // One field of each shape (digits aside) is seed enough.
    std::set<QByteArray> shapes;
    for (const QByteArray& n : numbers) {
        QByteArray shape = n;
        for (char& c : shape)
            c = c >= '0' && c <= '9' ? '9' : c;
        if (!n.isEmpty() && shapes.insert(shape).second)
            put("numbers", QString::fromLatin1(n.toHex()), n);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_seeds CORPUS_DIR SOURCE_DIR\n");
        return 2;
    }
    corpus = QString::fromLocal8Bit(argv[1]);
    const QString source = QString::fromLocal8Bit(argv[2]);
    const QDir fixtures(source + QStringLiteral("/tests/uploader/fixtures"));
    for (const QString& name : fixtures.entryList({QStringLiteral("*.hex")}, QDir::Files)) {
        QFile f(fixtures.filePath(name));
        if (!f.open(QIODevice::ReadOnly)) return 1;
        put("hex_image", name, f.readAll());
    }
    bootloaderSeeds();
    instrumentSeeds(source);
    return 0;
}
