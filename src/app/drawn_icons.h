#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace vorna {

// The toolbar's pictures, drawn by the program so nothing has to be shipped: one per toolbar
// key ("report", "realtime", "realtime_data", "installation", "setup", and the language keys
// "inglese" .. "italiano" as flags). An unknown key gives an empty icon.
QIcon toolbar_icon(const QString& key);

// The connection lamps: green for a link that is up, red for one that is down.
QPixmap lamp_pixmap(bool green, int size = 20);

} // namespace vorna
