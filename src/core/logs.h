#pragma once

#include <QString>

namespace vorna {

class AppContext;

// Kinds of event rows in tab1.
inline constexpr int kEventError = 1;
inline constexpr int kEventSerialLine = 2;
// Rows tab1 keeps at start-up.
inline constexpr int kEventRowLimit = 100000;

// The fixed key every event row is encoded with.
QString eventKey();

void print_error(AppContext& ctx, const QString& name, const QString& message, int number,
                 const QString& description);
void write_row_in_tab1(AppContext& ctx, const QString& encodedText, int kind);
int write_crc(const QString& text);
QString StringEncodeAndDecode(const QString& text, const QString& key);
bool delete_rows_by_tab1(AppContext& ctx);

// Builds the event row for a plain text: checksum character appended, then encoded.
void record_event(AppContext& ctx, const QString& text, int kind);
// Appends one line to the traffic log (appPath + "s.log"); the caller checks that it is on.
void append_traffic_log(AppContext& ctx, const QString& line);
// The error log file.
QString debugLogPath(const AppContext& ctx);

} // namespace vorna
