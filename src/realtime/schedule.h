#pragma once

#include <QString>
#include <QTime>
#include <QtGlobal>
#include <optional>

namespace vorna {

// The daily window of a datalogger run, to the minute, start before stop on the same day.
struct DailyWindow {
    QTime start;
    QTime stop;
    // minute is a time of day already cut to the minute.
    bool contains(const QTime& minute) const { return start <= minute && minute <= stop; }
};

// The four schedule fields as typed. Each must be plain decimal digits (no blank, no sign) with a
// 16-bit value; hours 1 to 22, minutes 0 to 59, and the start strictly before the stop.
std::optional<DailyWindow> dailyWindow(const QString& startH, const QString& startM,
                                       const QString& stopH, const QString& stopM);
bool valida_hh_mm(const QString& startH, const QString& startM, const QString& stopH,
                  const QString& stopM);

// The entries of cbIntervallo, in minutes.
inline constexpr qint16 kIntervalMinutes[] = {1, 5, 10, 15, 20};
// cbIntervallo_Click: the interval for a list position; any other position keeps current.
qint16 intervalAt(int position, qint16 current);

} // namespace vorna
