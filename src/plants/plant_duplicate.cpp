#include "plant_duplicate.h"

#include "app_context.h"
#include "plant_store.h"
#include "validation.h"

namespace vorna {

DuplicateCheck find_duplicate_plant(AppContext& ctx, const PlantFields& f, bool aboveTwenty,
                                    NumberFormat format) {
    const StoredPlant found = PlantStore(ctx).findFirst([&](const PlantRecord& p) {
        return format(ctx.locale, p.POT) == f.pot && p.BOOL1 == aboveTwenty &&
               format(ctx.locale, p.NOCT) == f.noct && format(ctx.locale, p.REAL1) == f.gamma &&
               p.nome == f.nome && p.indirizzo == f.indirizzo && p.NUMCIV == f.numCiv &&
               p.cap == f.cap && p.comune == f.comune && p.CODFISC == f.codice;
    });
    switch (found.status) {
    case StoredPlant::Status::Found:
        return DuplicateCheck::Found;
    case StoredPlant::Status::Unreadable:
        return DuplicateCheck::Unreadable;
    case StoredPlant::Status::Missing:
        break;
    }
    return DuplicateCheck::None;
}

} // namespace vorna
