#include "instrument_model.h"

#include <QFile>
#include <QList>
#include <QTime>

namespace vorna::sim {

namespace {

QByteArray joinTabs(const QList<QByteArray>& fields) {
    return fields.join('\t');
}

QByteArray num(double v, int decimals = 1) {
    return QByteArray::number(v, 'f', decimals);
}

// The value before the TAB of an "I..." line; "?" stands for an empty field.
QByteArray placeholderField(const QByteArray& args) {
    const QByteArray v = args.left(args.indexOf('\t') < 0 ? args.size() : args.indexOf('\t'));
    return v == "?" ? QByteArray() : v;
}

bool toInt(const QByteArray& text, int& out) {
    bool ok = false;
    out = text.trimmed().toInt(&ok);
    return ok;
}

} // namespace

InstrumentModel::InstrumentModel(quint32 seed) : random_(seed) {
    plants[1] = {"3.5", "45",    "-0.45",  "Rossi Mario",      "Via Roma",
                 "12",  "20100", "Milano", "RSSMRA70A01F205X", 0};
    plants[4] = {"25.0", "47.5",  "-0.4",   "Ferri SRL",   "Corso Italia",
                 "7b",   "10121", "Torino", "01234567890", 1};
    measurements[1][1] = "14/06/2024\t10.15.02\t812.5\t3.1\t24.5\t41.2\t410.2\t7.1\t0\t0\t0\t0\t"
                         "2.9\t231.0\t12.1\t0\t0\t0\t0\t2.8\t0.93\t0.96\t0\tPASS\t0.89\t-0.44";
    measurements[1][2] = "14/06/2024\t10.45.40\t845.0\t3.2\t--\t43.0\t412.0\t7.3\t0\t0\t0\t0\t"
                         "3.0\t230.5\t12.6\t0\t0\t0\t0\t2.9\t0.94\t0.95\t0\tFAULT\t0.86\t-0.45";
    measurements[4][1] = "02/07/2024\t12.00.00\t990.0\t24.7\t30.0\t52.1\t560.0\t15.2\t555.0\t"
                         "15.0\t0\t0\t16.9\t400.2\t20.1\t401.0\t20.0\t399.8\t20.2\t16.2\t0.91\t"
                         "0.97\t0\tPASS\t0.92\t-0.40";
}

bool InstrumentModel::load(const QString& path, QString* error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("cannot open ") + path;
        return false;
    }
    plants.clear();
    measurements.clear();
    int lineNo = 0;
    while (!f.atEnd()) {
        ++lineNo;
        const QByteArray line = f.readLine().replace("\r", "").replace("\n", "");
        if (line.trimmed().isEmpty() || line.startsWith('#')) continue;
        const QList<QByteArray> p = line.split('\t');
        const QByteArray key = p[0].trimmed();
        const QByteArray rest = line.mid(p[0].size() + 1);
        int a = 0, b = 0;
        bool ok = p.size() >= 2;
        if (!ok) {
        } else if (key == "version")
            version = rest;
        else if (key == "serial")
            serial = rest;
        else if (key == "logo")
            logo = rest;
        else if (key == "minrad")
            minRad = rest;
        else if (key == "pdcmax")
            pdcMax = rest;
        else if (key == "temperature")
            ok = toInt(rest, temperature);
        else if (key == "linedc")
            ok = toInt(rest, lineDc);
        else if (key == "phaseac")
            ok = toInt(rest, phaseAc);
        else if (key == "plant" && p.size() == 12 && toInt(p[1], a)) {
            Plant pl{p[2], p[3], p[4], p[5], p[6], p[7], p[8], p[9], p[10], 0};
            ok = toInt(p[11], pl.powerClass);
            plants[a] = pl;
        } else if (key == "listval") {
            listvalReplies.push_back(rest);
        } else if (key == "measure" && p.size() >= 4 && toInt(p[1], a) && toInt(p[2], b)) {
            measurements[a][b] = line.mid(p[0].size() + p[1].size() + p[2].size() + 3);
        } else
            ok = false;
        if (!ok) {
            if (error)
                *error = path + QStringLiteral(":") + QString::number(lineNo) +
                         QStringLiteral(": cannot read the line");
            return false;
        }
    }
    return true;
}

QByteArray InstrumentModel::measurementLine(int plant, int number) {
    std::uniform_real_distribution<double> u(0.0, 1.0);
    auto r = [&](double lo, double hi) { return lo + (hi - lo) * u(random_); };
    const int day = 1 + (plant + number) % 28, month = 1 + number % 12;
    const QByteArray date = QByteArray::number(day).rightJustified(2, '0') + '/' +
                            QByteArray::number(month).rightJustified(2, '0') + "/2024";
    const QByteArray time = QByteArray::number(8 + number % 10).rightJustified(2, '0') + '.' +
                            QByteArray::number(number % 60).rightJustified(2, '0') + '.' +
                            QByteArray::number(plant % 60).rightJustified(2, '0');
    const double rad = r(200, 1100);
    QList<QByteArray> f{date,
                        time,
                        num(rad),
                        num(r(1, 30), 2),
                        u(random_) < 0.1 ? QByteArray("--") : num(r(5, 35)),
                        num(r(20, 65))};
    for (int i = 0; i < 3; ++i)
        f << num(r(300, 700)) << num(r(0, 20), 2);
    f << num(r(1, 30), 2);
    for (int i = 0; i < 3; ++i)
        f << num(r(220, 240)) << num(r(0, 40), 2);
    f << num(r(1, 30), 2) << num(r(0.8, 1), 3) << num(r(0.8, 1), 3) << "0"
      << (u(random_) < 0.8 ? "PASS" : "FAULT") << num(r(0.7, 1), 3) << num(r(-0.5, -0.3), 2);
    return joinTabs(f);
}

void InstrumentModel::generate(int plantCount, int perPlant) {
    plants.clear();
    measurements.clear();
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int n = 1; n <= plantCount; ++n) {
        const double pot = 1 + 99 * u(random_);
        plants[n] = {num(pot, 2),
                     num(40 + 10 * u(random_)),
                     num(-0.5 + 0.2 * u(random_), 2),
                     "Plant " + QByteArray::number(n),
                     "Via dei Pini",
                     QByteArray::number(n),
                     "2010" + QByteArray::number(n % 10),
                     "Bergamo",
                     "CF" + QByteArray::number(100000 + n),
                     pot > 20 ? 1 : 0};
        for (int m = 1; m <= perPlant; ++m)
            measurements[n][m] = measurementLine(n, m);
    }
}

QByteArray InstrumentModel::listPlant(int number) const {
    const auto it = plants.find(number);
    if (it == plants.end()) return "ERR";
    const Plant& p = it->second;
    return joinTabs({QByteArray::number(number), p.pot, p.noct, p.gamma, p.nome, p.indirizzo,
                     p.numciv, p.cap, p.comune, p.codfisc, QByteArray::number(p.powerClass)});
}

QByteArray InstrumentModel::listValues() {
    if (!listvalReplies.empty())
        return listvalReplies[std::min(listvalNext_++, listvalReplies.size() - 1)];
    std::uniform_real_distribution<double> u(0.0, 1.0);
    auto r = [&](double lo, double hi) { return num(lo + (hi - lo) * u(random_), 2); };
    QList<QByteArray> f{num(rtPower_, 2), "0",           r(200, 1100), r(5, 35),
                        r(20, 65),        r(-0.5, -0.3), r(1, 30)};
    for (int i = 0; i < 3; ++i)
        f << r(300, 700) << r(0, 20);
    f << r(1, 30);
    for (int i = 0; i < 3; ++i)
        f << r(220, 240) << r(0, 40);
    f << r(1, 30) << r(0.8, 1) << "0" << r(0.8, 1) << (u(random_) < 0.8 ? "PASS" : "FAULT") << "0"
      << "0" << r(0.7, 1);
    return joinTabs(f);
}

std::optional<int> InstrumentModel::freeNumber() const {
    for (int n = 1; n <= kPlantSlots; ++n)
        if (!plants.count(n)) return n;
    return std::nullopt;
}

std::optional<QByteArray> InstrumentModel::answer(const QByteArray& line) {
    const QByteArray command = line.trimmed();
    if (command.isEmpty()) return std::nullopt;
    const qsizetype blank = command.indexOf(' ');
    const QByteArray word = blank < 0 ? command : command.left(blank);
    const QByteArray args = blank < 0 ? QByteArray() : command.mid(blank + 1);
    int n = 0, m = 0;
    static const QByteArray kOk = "OK";

    // Readings relayed from the remote unit are data, not commands: no answer.
    for (const char* reading : {"AMBIENTNEW", "REFNEW", "PIRANEW", "CELLNEW"})
        if (command.contains(reading)) return std::nullopt;
    if (word == "VERSION?") return version;
    if (word == "SERIALNUM?") return serial;
    if (word == "TIME?")
        return QTime::currentTime().toString(QStringLiteral("HH.mm.ss")).toLatin1();
    if (word == "IIMP") {
        QList<QByteArray> numbers;
        for (const auto& [number, plant] : plants)
            numbers << QByteArray::number(number);
        return joinTabs(numbers);
    }
    if (word == "LISTNIMPIANTO") return toInt(args, n) ? listPlant(n) : "ERR";
    if (word == "PDCMAX") return pdcMax;
    if (word == "FREEIMP") return freeNumber() ? QByteArray::number(*freeNumber()) : " ";
    if (word == "IPAR") {
        const QList<QByteArray> p = args.split('\t');
        if (p.size() != 4) return "ERR";
        incoming_ = Plant{p[0], p[1], p[2], {}, {}, {}, {}, {}, {}, p[3].startsWith('1') ? 1 : 0};
        return kOk;
    }
    static const std::pair<const char*, QByteArray Plant::*> kText[] = {
        {"INOM", &Plant::nome}, {"IADD", &Plant::indirizzo}, {"ICIV", &Plant::numciv},
        {"ICAP", &Plant::cap},  {"ICOM", &Plant::comune},    {"ICDF", &Plant::codfisc}};
    for (const auto& [name, field] : kText) {
        if (word != name) continue;
        if (!incoming_) return "ERR";
        (*incoming_).*field = placeholderField(args);
        return kOk;
    }
    if (word == "ICON") {
        const auto free = freeNumber();
        if (!incoming_ || !free) return "ERR";
        plants[*free] = *incoming_;
        incoming_.reset();
        return kOk;
    }
    if (word == "CANCIMPPC") {
        if (!toInt(args, n)) return "ERR";
        plants.erase(n);
        measurements.erase(n);
        return kOk;
    }
    if (word == "IMISPERIMP") {
        QList<QByteArray> numbers;
        if (toInt(args, n) && measurements.count(n))
            for (const auto& [number, text] : measurements[n])
                numbers << QByteArray::number(number);
        return joinTabs(numbers);
    }
    if (word == "LISTMISURA") {
        const QList<QByteArray> p = args.split(' ');
        if (p.size() != 2 || !toInt(p[0], n) || !toInt(p[1], m)) return "ERR";
        const auto plant = measurements.find(n);
        if (plant == measurements.end() || !plant->second.count(m)) return "ERR";
        return plant->second[m];
    }
    static const QByteArray kTemperature[] = {"T photovoltaic", "T environment"};
    static const QByteArray kLines[] = {"MONOLINE", "BILINE", "THREELINE"};
    static const QByteArray kPhases[] = {"MONOPHASE", "BIPHASE", "THREEPHASE"};
    auto setting = [&](int& value, int max) -> QByteArray {
        if (!toInt(args, n) || n < 1 || n > max) return "ERR";
        value = n;
        return kOk;
    };
    if (word == "LOGO?") return logo;
    if (word == "LOGO") return logo = args, kOk;
    if (word == "TEMPERATURE?") return kTemperature[temperature == 2 ? 1 : 0];
    if (word == "TEMPERATURE") return setting(temperature, 2);
    if (word == "LINEDC?") return kLines[qBound(1, lineDc, 3) - 1];
    if (word == "LINEDC") return setting(lineDc, 3);
    if (word == "PHASEAC?") return kPhases[qBound(1, phaseAc, 3) - 1];
    if (word == "PHASEAC") return setting(phaseAc, 3);
    if (word == "MINRAD?") return minRad;
    if (word == "MINRAD") return minRad = args, kOk;
    if (word == "REALTIME") return realtime_ = args.trimmed() == "1", kOk;
    if (word == "POWERRT") {
        bool ok = false;
        const double v = args.toDouble(&ok);
        if (ok) rtPower_ = v;
        return ok ? kOk : "ERR";
    }
    if (word == "NOCTRT" || word == "GAMMART" || word == "POTINVRT") return kOk;
    if (word == "LISTVAL") return listValues();
    return "ERR";
}

} // namespace vorna::sim
