#include "plant_duplicate.h"

#include "app_context.h"
#include "data_store.h"
#include "validation.h"

namespace vorna {

DuplicateCheck find_duplicate_plant(AppContext& ctx, const PlantFields& f, bool aboveTwenty,
                                    NumberFormat format) {
    open_plant_query(ctx, QString());
    RecordSet& rs = *ctx.plants;
    const PlantRecord& p = ctx.plant;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        if (!read_data_impianto_from_db_row(ctx)) return DuplicateCheck::Unreadable;
        if (format(ctx.locale, p.POT) == f.pot && p.BOOL1 == aboveTwenty &&
            format(ctx.locale, p.NOCT) == f.noct && format(ctx.locale, p.REAL1) == f.gamma &&
            p.nome == f.nome && p.indirizzo == f.indirizzo && p.NUMCIV == f.numCiv &&
            p.cap == f.cap && p.comune == f.comune && p.CODFISC == f.codice)
            return DuplicateCheck::Found;
    }
    return DuplicateCheck::None;
}

} // namespace vorna
