#pragma once

#include "records.h"
#include "run_error.h"

#include <functional>
#include <vector>

namespace vorna {

class AppContext;

// A stored plant as a read found it. Unreadable: the row is there but could not be read into a
// record (read_data_impianto_from_db_row has logged why).
struct StoredPlant {
    enum class Status { Found, Missing, Unreadable };
    Status status = Status::Missing;
    PlantRecord plant; // with its ID, when found

    bool found() const { return status == Status::Found; }
};

// The stored plants in list order. A row that cannot be read (logged) ends the list there:
// complete is false and plants holds the rows before it.
struct PlantList {
    std::vector<PlantRecord> plants;
    bool complete = true;
};

// Table impianti, read and written by value. Nothing stays open between two calls, so no
// routine depends on which one read the table last. Database errors throw RunError, for the
// caller's trap: the log entry names the caller.
class PlantStore {
public:
    explicit PlantStore(AppContext& ctx) : ctx_(ctx) {}

    // Every plant, each with its ID, ordered by name, town, street and house number without
    // regard to case, as a person reads a register.
    PlantList list();
    // The plant with this ID.
    StoredPlant load(qint64 id);
    // The first plant in table order that `matches` accepts (Missing: none does). A row that
    // cannot be read ends the search there.
    StoredPlant findFirst(const std::function<bool(const PlantRecord&)>& matches);
    // The ID of the first plant in table order whose ten fields, as stored, equal plant's; -1
    // when there is none. A null field never matches.
    qint64 findEqual(const PlantRecord& plant);
    // Writes plant into the row of its ID, or into a new row when it has none (-1), and commits it:
    // the row's ID. -1 when the record could not be written (logged; nothing is stored). An ID
    // that names no row raises missingRow.
    qint64 save(const PlantRecord& plant, const RunError& missingRow = noCurrentRecord());
    int count();

    // What a save into a row that is not there raises unless told otherwise.
    static RunError noCurrentRecord() {
        return RunError(err::kDatabaseBase + 21, QStringLiteral("No current record"));
    }

private:
    AppContext& ctx_;
};

} // namespace vorna
