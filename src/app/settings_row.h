#pragma once

namespace vorna {

class AppContext;

// The settings row of table impostazioni. These throw RunError; the calling routine's error
// trap logs the failure.

// Language codes 0 English .. 4 Italian.
inline constexpr int kFirstLanguage = 0;
inline constexpr int kLastLanguage = 4;
inline constexpr int kDefaultLanguage = 1;

// Start-up: creates the row with its defaults when the table is empty, puts a language out of
// range back to French, and leaves the row open as ctx.settings with ctx.languageIndex set.
void open_settings_row(AppContext& ctx);

// Start-up: a missing remote port number is derived from the instrument's (2 when that is 1,
// otherwise 1).
void repair_remote_port(AppContext& ctx);

// Gives the two port objects the stored numbers, so connecting one port does not move the
// other's stored number to whatever the object held.
void apply_stored_port_numbers(AppContext& ctx);

// A language key: stores languageIndex into LINGUA.
void save_language(AppContext& ctx);

} // namespace vorna
