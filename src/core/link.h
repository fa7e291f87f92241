#pragma once

#include "serial_port.h"

#include <QObject>
#include <QString>
#include <chrono>
#include <optional>

namespace vorna {

class AppContext;

// Which end of the link: the instrument or the remote unit.
enum class Unit { Base, Remote };

// The state of the instrument link, held by the main window for the program's lifetime: the
// instrument port, the remote unit's port, the shared command and reply texts, what each port
// received and has not been consumed yet, and the flags that keep the receive handlers out of
// a running exchange. Only the exchange routines set the flags; whoever brings a link up or
// down goes through setLinkUp or markDown, so linkStateChanged reaches every open window.
class Link : public QObject {
    Q_OBJECT
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

    bool trafficLogEnabled = false;

    // When the last remote reading was relayed to the instrument; none yet at start.
    std::optional<std::chrono::steady_clock::time_point> lastRelayTime;

    std::chrono::milliseconds readTimeout;
    int activity = 0; // the activity bar's value

    bool baseLinkUp() const { return baseLinkUp_; }
    bool remoteLinkUp() const { return remoteLinkUp_; }
    bool linkUp(Unit u) const { return u == Unit::Base ? baseLinkUp_ : remoteLinkUp_; }
    void setLinkUp(Unit u, bool up);
    // The port's link is lost (a failed read or write).
    void markDown(const SerialPort& port);

    bool exchangeBusy() const { return exchangeBusy_; }
    bool readPending(Unit u) const {
        return u == Unit::Base ? baseReadPending_ : remoteReadPending_;
    }
    bool writePending() const { return writePending_; }
    // An exchange, a read or a write is under way (each pumps events).
    bool busy() const {
        return exchangeBusy_ || baseReadPending_ || remoteReadPending_ || writePending_;
    }
    // Start-up: both links down, nothing pending, buffers empty.
    void resetForStart();

    SerialPort& port(Unit u) { return u == Unit::Base ? serialeBase : serialeRemoto; }
    // A port counts as the instrument's (or the remote unit's) by its port number.
    bool isBasePort(const SerialPort& p) const {
        return p.portNumber() == serialeBase.portNumber();
    }
    bool isRemotePort(const SerialPort& p) const {
        return p.portNumber() == serialeRemoto.portNumber();
    }

signals:
    // The base or the remote link went up or down.
    void linkStateChanged();

private:
    friend bool trasmette(AppContext& ctx, const QString& callerWindow);
    friend bool write_on_com(AppContext& ctx, const QString& command, SerialPort& port);
    friend bool read_from_com(AppContext& ctx, QString& reply, SerialPort& port);
    friend struct LinkTestAccess; // tests stage an interrupted exchange

    bool baseLinkUp_ = false;
    bool remoteLinkUp_ = false;
    bool exchangeBusy_ = false;
    bool baseReadPending_ = false;
    bool remoteReadPending_ = false;
    bool writePending_ = false;
};

// The command exchange: sends link.commandText to the instrument and leaves its reply line in
// link.replyText. callerWindow names the asking window in the error log.
bool trasmette(AppContext& ctx, const QString& callerWindow);
// The same for command: link.commandText is set to it first, as the behaviour shares it.
bool trasmette(AppContext& ctx, const QString& callerWindow, const QString& command);
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
