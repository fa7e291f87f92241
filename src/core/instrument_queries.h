#pragma once

#include "records.h"

#include <QDate>
#include <QString>
#include <QTime>
#include <array>

namespace vorna {

class AppContext;

// The fields of one multi-field reply, each trimmed.
inline constexpr int kValueSlots = 51;
using ValueList = std::array<QString, kValueSlots>;

// Splits a reply at TABs into values from slot 0, trimming each field; slots past the reply's
// fields are left alone. More than 51 fields throws RunError. Returns the number of fields.
int split_value_list(const QString& reply, ValueList& values);

// A list of numbers separated by TABs ("IIMP", "IMISPERIMP"): each piece's leading integer goes
// to the next slot, the remaining slots become -1. A reply ending in a TAB adds no slot; more
// numbers than slots, or a number too large, throws RunError. Returns how many were stored.
template <std::size_t N> int parse_number_list(const QString& reply, std::array<int, N>& out);
int parse_number_list(const QString& reply, int* out, int outCount);

// True when a field means "no value": empty or holding "--".
bool isTrattini(const QString& text);

// An instrument number ("." as decimal point) read the same on every PC: false when it is
// not a number in the check the program applies to the PC's own format.
bool instrument_number(const AppContext& ctx, const QString& field, double& value);

// The instrument's date (day/month/year with "/", "." or "-", two- or four-digit year) and
// time ("hh.mm.ss"), independent of the PC's regional settings. Throw RunError when unreadable.
QDate instrument_date(const QString& text);
QTime instrument_time(const QString& text);

// The reply parsers, apart from the exchange so they can be checked on their own. They throw
// RunError for replies the routines log as run-time errors.
// "LISTNIMPIANTO": fills plant field by field; false when a check fails (fields already
// copied stay).
bool parse_plant_reply(const AppContext& ctx, const QString& reply, PlantRecord& plant);
// "LISTMISURA": false when a check fails. TEXT1/TEXT2 come from the context.
bool parse_measurement_reply(const AppContext& ctx, const QString& reply,
                             MeasurementRecord& measurement);

// The instrument queries: each one exchange through trasmette, callerWindow naming the window.
bool read_versione_fw(AppContext& ctx, const QString& callerWindow);
void read_matricola_str(AppContext& ctx, const QString& callerWindow);
bool leggi_impianto_da_UT(AppContext& ctx, const QString& callerWindow, int plantNumber);
bool leggi_acquisizione_da_UT(AppContext& ctx, const QString& callerWindow, int plantNumber,
                              int measurementNumber);

template <std::size_t N> int parse_number_list(const QString& reply, std::array<int, N>& out) {
    return parse_number_list(reply, out.data(), int(N));
}

} // namespace vorna
