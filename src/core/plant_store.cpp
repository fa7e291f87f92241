#include "plant_store.h"

#include "app_context.h"
#include "data_store.h"
#include "record_set.h"

namespace vorna {

namespace {

const QString kPlants = QStringLiteral("impianti");
// The texts compare without case: the columns are declared so.
const QString kListOrder = QStringLiteral("ORDER BY nome, comune, indirizzo, NUMCIV");

StoredPlant readRow(AppContext& ctx, const RecordSet& rs) {
    StoredPlant s;
    if (!read_data_impianto_from_db_row(ctx, rs, s.plant)) {
        s.status = StoredPlant::Status::Unreadable;
        return s;
    }
    s.plant.ID = rs.integer(QStringLiteral("ID"));
    s.status = StoredPlant::Status::Found;
    return s;
}

// The current row holds plant in all ten fields; a null never matches.
bool samePlant(const RecordSet& rs, const PlantRecord& p) {
    for (const PlantColumn& c : kPlantColumns) {
        const QString name = QLatin1String(c.name);
        if (rs.isNull(name)) return false;
        if (c.number && rs.number(name) != p.*c.number) return false;
        if (c.flag && rs.boolean(name) != p.*c.flag) return false;
        if (c.text && rs.text(name) != p.*c.text) return false;
    }
    return true;
}

} // namespace

PlantList PlantStore::list() {
    RecordSet rs = RecordSet::query(ctx_.db, kPlants, kListOrder);
    PlantList out;
    out.plants.reserve(size_t(rs.rowCount()));
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        StoredPlant s = readRow(ctx_, rs);
        if (!s.found()) {
            out.complete = false;
            break;
        }
        out.plants.push_back(std::move(s.plant));
    }
    return out;
}

StoredPlant PlantStore::load(qint64 id) {
    const RecordSet rs = RecordSet::query(ctx_.db, kPlants, QStringLiteral("WHERE ID=?"), {id});
    if (rs.eof()) return {};
    return readRow(ctx_, rs);
}

StoredPlant PlantStore::findFirst(const std::function<bool(const PlantRecord&)>& matches) {
    RecordSet rs = RecordSet::query(ctx_.db, kPlants, QString());
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        StoredPlant s = readRow(ctx_, rs);
        if (!s.found() || matches(s.plant)) return s;
    }
    return {};
}

qint64 PlantStore::findEqual(const PlantRecord& plant) {
    RecordSet rs = RecordSet::query(ctx_.db, kPlants, QString());
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        if (samePlant(rs, plant)) return rs.id();
    return -1;
}

qint64 PlantStore::save(const PlantRecord& plant, const RunError& missingRow) {
    const bool added = plant.ID < 0;
    RecordSet rs =
        added ? RecordSet::query(ctx_.db, kPlants, QStringLiteral("WHERE 0"))
              : RecordSet::query(ctx_.db, kPlants, QStringLiteral("WHERE ID=?"), {plant.ID});
    if (added) {
        rs.addNew();
    } else {
        if (rs.eof()) throw missingRow;
        rs.edit();
    }
    if (!write_data_impianto_in_db_row(ctx_, rs, plant)) {
        rs.cancelUpdate();
        return -1;
    }
    rs.update();
    return rs.id();
}

int PlantStore::count() {
    return int(ctx_.db.scalar(QStringLiteral("SELECT COUNT(*) FROM impianti")));
}

} // namespace vorna
