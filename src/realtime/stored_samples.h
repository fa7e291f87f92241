#pragma once

#include "sample_table.h"

#include <QDate>
#include <QTime>
#include <functional>
#include <vector>

namespace vorna {

class Database;
class Statement;

// The days on which a plant has stored samples, oldest first. Days whose stored text is not a
// date are left out: no row could be chosen through them.
std::vector<QDate> storedSampleDays(Database& db, qint64 plantId);

// The stored samples of a plant and day from second 0 of the start minute to second 59 of the
// stop minute, in time order; onRow gets the statement on each row in turn (columns as
// readStoredSample expects them).
void forEachStoredSample(Database& db, qint64 plantId, const QDate& day, const QTime& startMinute,
                         const QTime& stopMinute, const std::function<void(Statement&)>& onRow);

// The row forEachStoredSample stands on as a sample. A null in any column throws RunError.
SampleRow readStoredSample(const Statement& row);

} // namespace vorna
