#pragma once

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QString>

namespace vorna {

// The toolbar's pictures, drawn by the program so nothing has to be shipped: one per toolbar
// key ("report", "realtime", "realtime_data", "installation", "setup", and the language keys
// "inglese" .. "italiano" as flags). An unknown key gives an empty icon.
QIcon toolbar_icon(const QString& key);

// Paints the picture of `key` on a kDrawnIconCanvas-square canvas (scale the painter for other
// sizes or devices); false, painting nothing, for an unknown key. Besides the toolbar keys,
// "firmware" is the uploaders' picture, shown by their menu entries.
inline constexpr int kDrawnIconCanvas = 32;
bool paintDrawnIcon(QPainter& p, const QString& key);

// The connection lamps: green for a link that is up, red for one that is down.
QPixmap lamp_pixmap(bool green, int size = 20);

} // namespace vorna
