#pragma once

#include <QString>

namespace vorna {

struct PlantRecord;

// A plant's row in the register's lists: the name, then the town in brackets when there is one.
QString plant_list_text(const PlantRecord& plant);

} // namespace vorna
