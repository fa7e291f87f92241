#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QVariant>

namespace vorna {

class AppContext;

// Kinds of event rows in tab1.
inline constexpr int kEventError = 1;
inline constexpr int kEventSerialLine = 2;
// Rows tab1 keeps at start-up.
inline constexpr int kEventRowLimit = 100000;

// A log line's time stamp: the region's date with a four-digit year and its time with seconds.
QString logTimeText(const QLocale& locale, const QDateTime& when);

// The fixed key every event row is encoded with.
QString eventKey();

void print_error(AppContext& ctx, const QString& name, const QString& message, int number,
                 const QString& description);
void write_row_in_tab1(AppContext& ctx, const QString& encodedText, int kind);
int write_crc(const QString& text);
QString StringEncodeAndDecode(const QString& text, const QString& key);
bool delete_rows_by_tab1(AppContext& ctx);

// The encoded text of a stored MEMO1: the Latin-1 bytes of a blob, or the text of a row written
// by an earlier version.
QString storedEventText(const QVariant& memo1);
// Builds the event row for a plain text: checksum character appended, then encoded.
void record_event(AppContext& ctx, const QString& text, int kind);
// Appends one line to the traffic log (appPath + "s.log") after the time stamp and a tab; the
// caller checks that it is on.
void append_traffic_log(AppContext& ctx, const QString& line);
// The error log file.
QString debugLogPath(const AppContext& ctx);

} // namespace vorna
