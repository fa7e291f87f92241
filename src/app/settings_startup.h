#pragma once

namespace vorna {

class AppContext;

// Start-up and language-key steps on the settings row. These throw RunError; the calling
// routine's error trap logs the failure.

// A missing remote port number is derived from the instrument's (2 when that is 1, otherwise 1).
void repair_remote_port(AppContext& ctx);

// Gives the two port objects the stored numbers, so connecting one port does not move the
// other's stored number to whatever the object held.
void apply_stored_port_numbers(AppContext& ctx);

// A language key: stores languageIndex into the row.
void save_language(AppContext& ctx);

} // namespace vorna
