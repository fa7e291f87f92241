#pragma once

#include <QDate>
#include <QStringList>
#include <QTime>
#include <array>

namespace vorna {

class AppContext;

// The measurement list of the report window: one entry text per measurement, with the table
// it comes from (1 acquisizioni, 2 realtime, -1 none) and its row ID, entry by entry.
struct MeasurementEntries {
    static constexpr int kCapacity = 2001;
    std::array<int, kCapacity> measurementSource{};
    std::array<qint64, kCapacity> measurementId{};
    QStringList texts;

    MeasurementEntries() { clear(); }
    void clear();
};

// The entry text of a measurement: "dd/mm/yyyy   hh:nn   (PASS)" or "(FAULT)".
QString measurementEntryText(const QDate& date, const QTime& time, bool passed);

// Appends the plant's downloaded measurements, then its real-time samples, each newest first.
// A row past the capacity throws RunError; the entries made so far stay.
void fillMeasurementEntries(AppContext& ctx, qint64 plantId, MeasurementEntries& entries);

} // namespace vorna
