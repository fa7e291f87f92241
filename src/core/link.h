#pragma once

#include "serial_port.h"

#include <QString>
#include <chrono>
#include <optional>

namespace vorna {

class AppContext;

// The state of the instrument link, held by the main window for the program's lifetime: the
// instrument port, the remote unit's port, the shared command and reply texts, what each port
// received and has not been consumed yet, and the flags that keep the receive handlers out of
// a running exchange.
class Link {
public:
    static constexpr std::chrono::milliseconds kReadTimeout{10000};
    // How long a wait blocks on the port before pumping events again.
    static constexpr int kPollSliceMs = 15;

    // Tests shorten the read time-out here; the program uses the 10 s default.
    explicit Link(std::chrono::milliseconds readTimeout = kReadTimeout);

    SerialPort serialeBase{QStringLiteral("serialeBase")};
    SerialPort serialeRemoto{QStringLiteral("serialeRemoto")};

    QString commandText;
    QString replyText;
    QString remoteReplyText;
    QString baseRxBuffer;
    QString remoteRxBuffer;

    bool baseLinkUp = false;
    bool remoteLinkUp = false;
    bool exchangeBusy = false;
    bool baseReadPending = false;
    bool remoteReadPending = false;
    bool writePending = false;
    bool trafficLogEnabled = false;

    // When the last remote reading was relayed to the instrument; none yet at start.
    std::optional<std::chrono::steady_clock::time_point> lastRelayTime;

    std::chrono::milliseconds readTimeout;
    int activity = 0; // the activity bar's value

    // A port counts as the instrument's (or the remote unit's) by its port number.
    bool isBasePort(const SerialPort& p) const {
        return p.portNumber() == serialeBase.portNumber();
    }
    bool isRemotePort(const SerialPort& p) const {
        return p.portNumber() == serialeRemoto.portNumber();
    }
};

// The command exchange: sends link.commandText to the instrument and leaves its reply line in
// link.replyText. callerWindow names the asking window in the error log.
bool trasmette(AppContext& ctx, const QString& callerWindow);
// One line (command + CR) on port.
bool write_on_com(AppContext& ctx, const QString& command, SerialPort& port);
// One line from port into reply (without its CR).
bool read_from_com(AppContext& ctx, QString& reply, SerialPort& port);
// Shows the link as lost.
void abbandona(AppContext& ctx);
// Waits without pumping events and without using the processor.
void ritardo(double seconds);
void apri_seriali(AppContext& ctx);
void chiudi_com_base(AppContext& ctx);
void chiudi_com_remota(AppContext& ctx);
void svuota_buffer_com_base(AppContext& ctx);
void svuota_buffer_com_remoto(AppContext& ctx);

} // namespace vorna
