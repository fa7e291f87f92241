#include "data_store.h"

#include "app_context.h"
#include "error_trap.h"
#include "logs.h"
#include "plant_store.h"
#include "settings_row.h"

namespace vorna {

void reset_variabili_impianto(AppContext& ctx) {
    ctx.plant.reset();
}

void reset_variabili_acquisizione(AppContext& ctx) {
    ctx.measurement.reset();
}

bool read_data_impianto_from_db_row(AppContext& ctx, const RecordSet& rs, PlantRecord& p) {
    return guard(ctx, QStringLiteral("read_data_impianto_from_db_row"), [&] {
        for (const PlantColumn& c : kPlantColumns) {
            const QString name = QLatin1String(c.name);
            if (c.number) p.*c.number = rs.number(name);
            if (c.flag) p.*c.flag = rs.boolean(name);
            if (c.text) p.*c.text = rs.text(name);
        }
        return true;
    });
}

bool write_data_impianto_in_db_row(AppContext& ctx, RecordSet& rs, const PlantRecord& p) {
    return guard(ctx, QStringLiteral("write_data_impianto_in_db_row"), [&] {
        rs.setField(QStringLiteral("tipo"), 1);
        for (const PlantColumn& c : kPlantColumns) {
            const QString name = QLatin1String(c.name);
            if (c.number) rs.setField(name, p.*c.number);
            if (c.flag) rs.setField(name, p.*c.flag);
            if (c.text) rs.setField(name, p.*c.text);
        }
        rs.setField(QStringLiteral("TEXT1"), ctx.fwVersionText);
        rs.setField(QStringLiteral("TEXT2"), ctx.swVersion);
        return true;
    });
}

bool leggi_impianto_per_ID(AppContext& ctx, qint64 id) {
    return guard(ctx, QStringLiteral("leggi_impianto_per_ID"), [&](TrapScope& s) {
        reset_variabili_impianto(ctx);
        s.step(1);
        const StoredPlant stored = PlantStore(ctx).load(id);
        if (!stored.found()) {
            s.falseIsFailure = true;
            if (stored.status == StoredPlant::Status::Missing)
                s.message = QStringLiteral("no plant ") + QString::number(id);
            else
                s.step(2);
            return s.fail(QString());
        }
        ctx.plant = stored.plant;
        return true;
    });
}

bool leggi_acquisizione_per_ID(AppContext& ctx, qint64 id, MeasurementSource source) {
    // Logged under the plant reader's name, as the error log has always shown it.
    const QString name = QStringLiteral("leggi_impianto_per_ID");
    return guard(ctx, name, [&] {
        reset_variabili_acquisizione(ctx);
        const QString table = source == MeasurementSource::Downloaded
                                  ? QStringLiteral("acquisizioni")
                                  : QStringLiteral("realtime");
        const RecordSet rs = RecordSet::query(ctx.db, table, QStringLiteral("WHERE ID=?"), {id});
        if (rs.eof()) {
            print_error(ctx, name, table + QStringLiteral(" ") + QString::number(id), 0, {});
            return false;
        }
        MeasurementRecord& m = ctx.measurement;
        m.data = rs.date(QStringLiteral("data"));
        m.ora = rs.time(QStringLiteral("ora"));
        for (const MeasurementColumn& c : kMeasurementNumbers)
            m.*c.field = rs.number(QLatin1String(c.name));
        m.ESITOAC = rs.boolean(QStringLiteral("ESITOAC"));
        m.TEXT1 = rs.text(QStringLiteral("TEXT1"));
        m.TEXT2 = rs.text(QStringLiteral("TEXT2"));
        return true;
    });
}

bool popola_cbselimp(AppContext& ctx, QStringList& list) {
    return guard(ctx, QStringLiteral("popola_cbselimp"), [&] {
        const PlantList stored = PlantStore(ctx).list();
        if (!stored.complete) return false;
        if (stored.plants.empty()) return true;
        QStringList entries{QString()};
        std::vector<qint64> ids;
        ids.reserve(stored.plants.size());
        for (const PlantRecord& p : stored.plants) {
            entries << p.nome + QStringLiteral(" (") + p.indirizzo + QStringLiteral(", ") +
                           p.NUMCIV + QStringLiteral(" - ") + p.comune + QStringLiteral(")");
            ids.push_back(p.ID);
        }
        list = entries;
        ctx.plantIdList = std::move(ids);
        return true;
    });
}

bool cancella_impianto_da_DB(AppContext& ctx, qint64 id) {
    return guard(ctx, QStringLiteral("cancella_impianto_da_DB"), [&](TrapScope& s) {
        Database::Transaction tx(ctx.db);
        s.step(1);
        ctx.db.prepare(QStringLiteral("DELETE FROM impianti WHERE ID=?")).bind(1, id).run();
        s.step(2);
        ctx.db.prepare(QStringLiteral("DELETE FROM acquisizioni WHERE IDIMP=?")).bind(1, id).run();
        s.step(3);
        ctx.db.prepare(QStringLiteral("DELETE FROM realtime WHERE IDIMP=?")).bind(1, id).run();
        tx.commit();
        return true;
    });
}

bool leggi_parametri_report(AppContext& ctx) {
    return guard(ctx, QStringLiteral("leggi_parametri_report"), [&] {
        ctx.reportModel = kReportModel;
        ctx.reportLogo = SettingsRow::storedLogo(ctx.db).value_or(QStringLiteral(" "));
        ctx.reportDate = QDate::currentDate();
        return true;
    });
}

} // namespace vorna
