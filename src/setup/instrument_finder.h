#pragma once

#include <QString>

namespace vorna {

class AppContext;

struct FindResult {
    int found = 0; // the port number the instrument answered on; 0 when none
    int tried = 0; // how many ports were asked
};

// The "Find" button's search: asks every existing device among the listed port numbers at once,
// except the remote unit's open port, whether the instrument answers "VERSION?". An instrument
// port left open by a failed connect is closed first, as connecting would. Ports that are busy or
// refuse are skipped and named in the error log under `routine`. Nothing is stored; the busy
// pointer shows meanwhile while the event loop runs.
FindResult find_instrument(AppContext& ctx, const QString& routine);

// The warning after a search that no port answered.
QString none_answered_text(const AppContext& ctx, int tried);

} // namespace vorna
