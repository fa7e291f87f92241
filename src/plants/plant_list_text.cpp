#include "plant_list_text.h"

#include "records.h"

namespace vorna {

QString plant_list_text(const PlantRecord& p) {
    if (p.comune.trimmed().isEmpty()) return p.nome;
    return p.nome + QStringLiteral(" (") + p.comune + QLatin1Char(')');
}

} // namespace vorna
