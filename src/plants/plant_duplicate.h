#pragma once

#include "number_format.h"

namespace vorna {

class AppContext;
struct PlantFields;

enum class DuplicateCheck { None, Found, Unreadable };

// Looks through every stored plant for one whose ten fields equal what a plant window shows:
// the numbers written with `format` against the boxes' texts, the flag against the "> 20 kW"
// option, the six texts exactly (case-sensitive, untrimmed). The rows are read in table order up
// to the first duplicate. Unreadable: a row before it could not be read; the caller logs it under
// its own name. Database errors throw, for the caller's trap.
DuplicateCheck find_duplicate_plant(AppContext& ctx, const PlantFields& fields, bool aboveTwenty,
                                    NumberFormat format);

} // namespace vorna
