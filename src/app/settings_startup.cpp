#include "settings_startup.h"

#include "app_context.h"
#include "port_names.h"
#include "settings_row.h"

namespace vorna {

void repair_remote_port(AppContext& ctx) {
    SettingsRow row(ctx);
    if (row.remotePort()) return;
    row.setRemotePort(row.basePort() == 1 ? 2 : 1).save();
}

void apply_stored_port_numbers(AppContext& ctx) {
    const SettingsRow row(ctx);
    auto apply = [](std::optional<int> n, SerialPort& port) {
        if (!n || port.isOpen()) return;
        if (*n >= kFirstPortNumber && *n <= kLastPortNumber) port.setPortNumber(*n);
    };
    apply(row.basePort(), ctx.link.serialeBase);
    apply(row.remotePort(), ctx.link.serialeRemoto);
}

void save_language(AppContext& ctx) {
    SettingsRow(ctx).setLanguage(ctx.languageIndex).save();
}

} // namespace vorna
