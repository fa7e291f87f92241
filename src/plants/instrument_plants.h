#pragma once

#include "records.h"

#include <QString>
#include <array>
#include <functional>
#include <vector>

namespace vorna {

class AppContext;
struct PlantFields;

// The plants read from the instrument's memory, and which slot each row of the instrument list
// shows (rows and slots differ when a plant could not be read).
struct InstrumentPlantTable {
    static constexpr int kSlots = 31;
    std::array<int, kSlots> numbers; // the instrument's plant numbers; -1: empty slot
    std::array<PlantRecord, kSlots> plants;
    std::vector<int> rowSlot; // instrumentRowSlot

    InstrumentPlantTable() { numbers.fill(-1); }
};

// The exchanges name this window in the error log.
inline const QString kPlantsCaller = QStringLiteral("frmImpianti");

// Reads the instrument's plant list ("IIMP", then "LISTNIMPIANTO" for each number) into table.
// The numbers are parsed apart first, so a failed "IIMP" or more numbers than slots leaves the
// table as it was (the latter logged). rowsChanged is called whenever table.rowSlot changes.
// An unreadable plant is left out; a lost link ends the read with false, the plants read so far
// staying in the table.
bool leggi_impianti_da_strum(AppContext& ctx, InstrumentPlantTable& table,
                             const std::function<void()>& rowsChanged);

// Deletes the plant with this number from the instrument's memory.
bool delete_plant_on_instrument(AppContext& ctx, int plantNumber);

// The ten plant fields of `from` into `to`; the ID and anything else stay.
void copy_plant_fields(const PlantRecord& from, PlantRecord& to);

// What became of a plant sent to the instrument.
enum class TransferResult {
    Sent,    // "ICON" answered: the instrument holds the plant
    Refused, // too powerful or no free position: told the user, nothing sent after the check
    Failed,  // an exchange failed (the link shows it) or the maximum was unreadable (logged)
};

// Sends the plant a window shows (its boxes' texts, numbers in the PC's notation) to the
// instrument: "PDCMAX", "FREEIMP", then "IPAR", the six texts ("?" for a blank one) and "ICON".
// The power caption names the field in the range message. Logs under routine's name.
TransferResult send_plant_to_instrument(AppContext& ctx, const QString& routine,
                                        const PlantFields& fields, bool aboveTwenty);

} // namespace vorna
