#include "downloads.h"

#include "app_context.h"
#include "error_trap.h"
#include "instrument_queries.h"
#include "link.h"
#include "logs.h"
#include "plant_store.h"
#include "record_set.h"

#include <algorithm>
#include <vector>

namespace vorna {

namespace {

const QString kMeasurements = QStringLiteral("acquisizioni");

// What a stored measurement is compared on.
struct MeasurementKey {
    QDate data;
    QTime ora;
    std::vector<double> numbers;
    bool ESITOAC = false;
    bool operator==(const MeasurementKey&) const = default;
};

MeasurementKey keyOf(const MeasurementRecord& m) {
    MeasurementKey k{m.data, m.ora, {}, m.ESITOAC};
    for (const MeasurementColumn& c : kMeasurementNumbers)
        k.numbers.push_back(m.*c.field);
    return k;
}

// The key of the current row; none when a compared field is null (it never matches).
std::optional<MeasurementKey> keyOf(const RecordSet& rs) {
    static const QString kData = QStringLiteral("data"), kOra = QStringLiteral("ora"),
                         kEsito = QStringLiteral("ESITOAC");
    if (rs.isNull(kData) || rs.isNull(kOra) || rs.isNull(kEsito)) return std::nullopt;
    MeasurementKey k{rs.date(kData), rs.time(kOra), {}, rs.boolean(kEsito)};
    for (const MeasurementColumn& c : kMeasurementNumbers) {
        const QString name = QLatin1String(c.name);
        if (rs.isNull(name)) return std::nullopt;
        k.numbers.push_back(rs.number(name));
    }
    return k;
}

void addMeasurementRow(RecordSet& rs, qint64 plantId, const MeasurementRecord& m) {
    rs.addNew();
    rs.setField(QStringLiteral("IDIMP"), plantId);
    rs.setField(QStringLiteral("data"), m.data);
    rs.setField(QStringLiteral("ora"), m.ora);
    for (const MeasurementColumn& c : kMeasurementNumbers)
        rs.setField(QLatin1String(c.name), m.*c.field);
    rs.setField(QStringLiteral("ESITOAC"), m.ESITOAC);
    rs.setField(QStringLiteral("TEXT1"), m.TEXT1);
    rs.setField(QStringLiteral("TEXT2"), m.TEXT2);
    rs.update();
}

// The observer wants the download to end before the next exchange.
bool stopped(DownloadObserver* observer) {
    return observer && observer->stopRequested();
}

// How many slots hold a plant number.
int listedPlants(const AppContext& ctx) {
    const auto& n = ctx.instrumentPlantNumbers;
    return int(std::find(n.begin(), n.end(), -1) - n.begin());
}

} // namespace

bool scarica_impianti(AppContext& ctx, const QString& callerWindow, DownloadObserver* observer) {
    const QString name = QStringLiteral("scarica_impianti");
    // Before anything can fail: tables left from an earlier download would file this
    // download's measurements under that download's plants.
    ctx.instrumentPlantNumbers.fill(-1);
    ctx.instrumentPlantIds.fill(-1);
    return guard(ctx, name, [&](TrapScope& s) {
        s.step(1);
        if (stopped(observer)) return false;
        if (!trasmette(ctx, callerWindow, QStringLiteral("IIMP"))) return false;
        s.step(2);
        parse_number_list(ctx.link.replyText, ctx.instrumentPlantNumbers);
        s.step(4);
        const int plants = listedPlants(ctx);
        PlantStore store(ctx);
        for (size_t slot = 0; slot < size_t(plants); ++slot) {
            if (observer) observer->plantStep(int(slot) + 1, plants);
            if (stopped(observer)) return false;
            if (!leggi_impianto_da_UT(ctx, callerWindow, ctx.instrumentPlantNumbers[slot])) {
                // An unreadable plant is skipped; a lost instrument ends the download, which
                // must not then report success.
                if (!ctx.link.baseLinkUp()) return false;
                continue;
            }
            qint64 id = store.findEqual(ctx.plant);
            if (id >= 0) {
                ctx.instrumentPlantIds[slot] = id;
                continue;
            }
            // Not stored yet: one new row, committed. The search that follows must find it;
            // if the stored row does not read back equal, the slot keeps the row just added
            // rather than adding another one.
            PlantRecord fresh = ctx.plant;
            fresh.ID = -1;
            const qint64 added = store.save(fresh);
            if (added < 0) continue;
            id = store.findEqual(ctx.plant);
            if (id < 0) {
                print_error(ctx, name,
                            QStringLiteral("4\tplant ") +
                                QString::number(ctx.instrumentPlantNumbers[slot]) +
                                QStringLiteral(" does not read back equal"));
                id = added;
            }
            ctx.instrumentPlantIds[slot] = id;
        }
        return true;
    });
}

bool scarica_acquisizioni_impianto(AppContext& ctx, const QString& callerWindow,
                                   DownloadObserver* observer) {
    return guard(ctx, QStringLiteral("scarica_acquisizioni_impianto"), [&](TrapScope& s) {
        const int plants = listedPlants(ctx);
        for (size_t slot = 0; slot < size_t(plants); ++slot) {
            const int plantNumber = ctx.instrumentPlantNumbers[slot];
            const qint64 plantId = ctx.instrumentPlantIds[slot];
            const int plant = int(slot) + 1;
            // A plant that found no row: its measurements would be filed under no plant.
            if (plantId == -1) continue;
            s.step(1);
            if (observer) observer->measurementStep(plant, plants, 0, 0);
            if (stopped(observer)) return false;
            if (!trasmette(ctx, callerWindow,
                           QStringLiteral("IMISPERIMP ") + QString::number(plantNumber)))
                return false;
            s.step(2);
            std::array<int, 100> numbers;
            const int count = parse_number_list(ctx.link.replyText, numbers);
            s.step(3);
            // The plant's stored measurements, read once; rows added here join them, so an
            // instrument listing the same measurement twice still adds one row.
            RecordSet rs =
                RecordSet::query(ctx.db, kMeasurements, QStringLiteral("WHERE IDIMP=?"), {plantId});
            std::vector<MeasurementKey> stored;
            for (rs.moveFirst(); !rs.eof(); rs.moveNext())
                if (auto k = keyOf(rs)) stored.push_back(std::move(*k));
            for (int i = 0; i < count; ++i) {
                if (observer) observer->measurementStep(plant, plants, i + 1, count);
                if (stopped(observer)) return false;
                if (!leggi_acquisizione_da_UT(ctx, callerWindow, plantNumber, numbers[size_t(i)])) {
                    if (!ctx.link.baseLinkUp()) return false;
                    continue;
                }
                MeasurementKey k = keyOf(ctx.measurement);
                if (std::find(stored.begin(), stored.end(), k) != stored.end()) continue;
                addMeasurementRow(rs, plantId, ctx.measurement);
                stored.push_back(std::move(k));
            }
        }
        return true;
    });
}

} // namespace vorna
