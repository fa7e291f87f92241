// Works on a data folder until killed: power_cut_child MODE FOLDER PORT. After the database's
// start-up it downloads the instrument's plants and measurements ("download"), takes live samples
// ("datalogger"), or copies the plants to the PC over and over ("transfer", "stored" after each).
#include "acquisition.h"
#include "database_init.h"
#include "downloads.h"
#include "instrument_plants.h"
#include "live_values.h"
#include "plant_store.h"
#include "sample_store.h"
#include "test_env.h"
#include "test_rows.h"

#include <QCoreApplication>
#include <cstdio>

using namespace vorna;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 4) return 2;
    const QByteArray mode = argv[1];
    test::ScriptedPrompts prompts;
    AppContext ctx(prompts, QString::fromLocal8Bit(argv[2]));
    if (!database_init(ctx)) return 1;
    ctx.link.serialeBase.setPortNumber(QByteArray(argv[3]).toInt());
    ctx.link.serialeRemoto.setPortNumber(99);
    ctx.link.setLinkUp(Unit::Base, true);
    if (mode == "download")
        return scarica_impianti(ctx, "cut") && scarica_acquisizioni_impianto(ctx, "cut") ? 0 : 1;
    if (mode == "datalogger") {
        ctx.plant.ID = test::insertPlant(ctx.db);
        ValueList values;
        for (int n = 1; lettura(ctx, "3.5", values); ++n) {
            double power = 0;
            store_realtime_sample(ctx, ctx.plant.ID, n,
                                  live_sample(ctx, values, QDateTime::currentDateTime(), power));
        }
        return 1;
    }
    for (;;) {
        InstrumentPlantTable table;
        if (!leggi_impianti_da_strum(ctx, table, [] {})) return 1;
        for (int slot : table.rowSlot) {
            PlantRecord plant; // a new row, as the copy to the PC makes it
            copy_plant_fields(table.plants.at(size_t(slot)), plant);
            if (PlantStore(ctx).save(plant) < 0) return 1;
            std::puts("stored");
            std::fflush(stdout);
        }
    }
}
