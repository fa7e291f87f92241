#pragma once

#include <QString>

namespace vorna {

class AppContext;

// The instrument's own options as the settings row holds them: codes 1.. for a recognised
// reply, 0 for one that was not recognised.
int temperature_code(const QString& reply); // "T photovoltaic" 1, "T environment" 2
int linedc_code(const QString& reply);      // "MONOLINE" 1, "BILINE" 2, "THREELINE" 3
int phaseac_code(const QString& reply);     // "MONOPHASE" 1, "BIPHASE" 2, "THREEPHASE" 3

// Reads the options, the serial number and the firmware version from the instrument into the
// settings row. False (nothing stored) when a query failed.
bool leggi_impostazioni_strum(AppContext& ctx);

// What the configuration controls show and what the user chose: option indexes 0.., -1 for
// none selected.
struct ConfigForm {
    bool enabled = false;
    QString logo;
    int metodo = -1;
    int misureDc = -1;
    int misureAc = -1;
    QString radMin;
};

// The controls' content from the settings row while the instrument link is up, empty and
// disabled while it is down.
ConfigForm config_from_settings(AppContext& ctx);

// Sends the form to the instrument and, when every command went through, stores it in the
// settings row. False at the first failed command (nothing stored).
bool applica_impostazioni(AppContext& ctx, const ConfigForm& form);

// Check of the minimum radiation typed by the user; 1 and 1999 are accepted.
enum class RadMinCheck { Ok, InvalidFormat, OutOfLimit };
inline constexpr double kRadMinLow = 1;
inline constexpr double kRadMinHigh = 1999;
RadMinCheck check_rad_min(const AppContext& ctx, const QString& text);
// The warning text for a refused minimum radiation; radMinCaption is the label's caption.
QString rad_min_warning(const AppContext& ctx, const QString& radMinCaption, RadMinCheck check);
// The stored minimum radiation as the field shows it.
QString stored_rad_min(AppContext& ctx);

} // namespace vorna
