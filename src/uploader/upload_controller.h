#pragma once

#include "announce_port.h"
#include "bootloader_session.h"
#include "direct_port.h"
#include "transfer_observer.h"
#include "transfer_policy.h"

#include <QObject>
#include <QStringList>
#include <vector>

namespace vorna::uploader {

// The port choice that listens on every port at once ("--port auto"), and how the windows list it.
inline constexpr char kAnyPort[] = "auto";
inline constexpr char kAnyPortText[] = "any port";

// The uploader's state and its two ports, free of widgets: the window and the command line both
// drive it and show what it reports. The announcement is heard on the event-driven port; the
// transfer then runs on the direct port, synchronously, as the user's step or (in the one-go
// build) as soon as the bootloader has announced itself.
class UploadController : public QObject, private TransferObserver {
    Q_OBJECT
public:
    explicit UploadController(const TransferPolicy& policy, TransferTiming timing = {},
                              QObject* parent = nullptr);
    ~UploadController() override;

    const TransferPolicy& policy() const { return policy_; }

    // Ports "COM<n>" whose device exists. The build that selects for the user applies the
    // first one; the list is reported through portsChanged.
    void refreshPorts();
    // A port by name ("COM12") or device path: reconfigures the event-driven port on it. kAnyPort
    // listens on every existing port at once; the first to announce itself is the one used and
    // the others are closed.
    void choosePort(const QString& portText);
    void detectPorts();
    void chooseFile(const QString& path);
    // Read the written rows back before the restart (off by default).
    void setVerify(bool verify) { verify_ = verify; }
    bool verify() const { return verify_; }
    // The user's steps of the current build.
    TransferOutcome start();
    void restart();

    bool announced() const { return announced_; }
    bool fileChosen() const { return !filePath_.isEmpty(); }
    bool busy() const { return busy_; }
    bool startEnabled() const { return startEnabled_; }
    bool restartEnabled() const { return restartEnabled_; }
    bool detectEnabled() const { return detectEnabled_; }
    // The port in use: the one chosen, or the one that announced itself after kAnyPort (empty
    // until then).
    QString portText() const { return portText_; }
    QString filePath() const { return filePath_; }
    QString statusText() const { return status_; }
    QString progressText() const { return progress_; }
    QString title() const { return title_; }
    int barMaximum() const { return barMaximum_; }
    int barValue() const { return barValue_; }
    // The last transfer's outcome (Done before any) and, when it failed, the text that said why.
    TransferOutcome lastOutcome() const { return lastOutcome_; }
    QString lastFailure() const { return lastFailure_; }

signals:
    void textChanged(vorna::uploader::TextField field, const QString& text);
    void titleChanged(const QString& text);
    void barChanged(int value, int maximum);
    void messageRequested(const QString& text, vorna::uploader::MessageIcon icon);
    void repaintRequested();
    // A wait on the line goes on; a window keeps itself painted meanwhile.
    void waiting();
    void buttonsChanged();
    void portsChanged(const QStringList& names, int selected);
    // The announcement was recognised (the user's Start can follow).
    void announcedChanged(bool announced);
    // A one-go transfer is over; the program ends with the build's exit code.
    void transferFinished(bool success);
    // The event-driven port could not be opened.
    void portFailed(const QString& text);
    // Listening on every port: one could not be opened, or the announcement came on one.
    void portSkipped(const QString& text);
    void portFound(const QString& portText);

private:
    void showText(TextField field, const QString& text) override;
    void showTitle(const QString& text) override;
    void setBarRange(int maximum) override;
    void stepBar() override;
    void resetBar() override;
    void message(const QString& text, MessageIcon icon) override;
    void repaint() override;

    void onAnnouncement(AnnouncePort& from, const QString& portText, const QByteArray& text);
    void onAnnounceLineError(const QString& portText, const QString& text);
    bool anyPort() const { return choice_ == QLatin1String(kAnyPort); }
    // Closes every listening port but `kept`.
    void closeListening(const AnnouncePort* kept = nullptr);
    void runOneGo();
    void finishTransfer(TransferOutcome outcome, const QString& failure);
    bool openDirect();
    void closeDirect();
    void listen();
    void setButtons(bool start, bool restart, bool detect);
    void setBusy(bool busy);
    QString device() const;

    const TransferPolicy& policy_;
    TransferTiming timing_;
    std::vector<AnnouncePort*> listening_; // children, one per port listened to
    DirectPort directPort_;
    QString choice_;
    QString portText_;
    QString filePath_;
    bool announced_ = false;
    bool verify_ = false;
    bool busy_ = false;
    bool listenFailed_ = false; // the event-driven port could not be opened
    bool startEnabled_ = false;
    bool restartEnabled_ = false;
    bool detectEnabled_ = true;
    QString status_;
    QString progress_;
    QString title_;
    int barMaximum_ = 100;
    int barValue_ = 0;
    TransferOutcome lastOutcome_ = TransferOutcome::Done;
    QString lastFailure_;
};

} // namespace vorna::uploader
