#include "plant_store.h"

#include "app_context.h"
#include "data_store.h"
#include "run_error.h"

namespace vorna {

bool store_current_plant(AppContext& ctx, qint64 id) {
    if (id >= 0) {
        open_plant_query(ctx, QStringLiteral("WHERE ID=?"), {id});
        if (ctx.plants->eof())
            throw RunError(err::kDatabaseBase + 21, QStringLiteral("No current record"));
        ctx.plants->edit();
    } else {
        open_plant_query(ctx, QStringLiteral("WHERE 0"));
        ctx.plants->addNew();
    }
    if (!write_data_impianto_in_db_row(ctx)) {
        ctx.plants->cancelUpdate();
        return false;
    }
    ctx.plants->update();
    return true;
}

} // namespace vorna
