#pragma once

#include <QString>

class QObject;

namespace vorna {

class AppContext;
class SerialPort;

// True when text carries a key word relayed between the instrument and the remote unit
// ("PYSENS" is relayed but is not one of these).
bool isComandoRemoto(const QString& text);

// Relays a line that arrived unasked: instrument key words go to the remote unit when target
// is the remote port, remote readings go to the instrument when target is the instrument port.
void extract_cmd(AppContext& ctx, const QString& line, SerialPort& target);

// Receive events of the two ports: each complete line that arrived outside an exchange is read
// and handed to extract_cmd for the other port.
void serialeBase_OnComm(AppContext& ctx, int code);
void serialeRemoto_OnComm(AppContext& ctx, int code);

// Routes both ports' receive events to the handlers above for as long as context lives.
void connectReceiveEvents(AppContext& ctx, QObject* context);

} // namespace vorna
