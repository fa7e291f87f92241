#include "upload_controller.h"

#include "port_names.h"

#include <QFile>

namespace vorna::uploader {

namespace {
QString fromLatin1(const char* text) {
    return QString::fromLatin1(text);
}
} // namespace

UploadController::UploadController(const TransferPolicy& policy, TransferTiming timing,
                                   QObject* parent)
    : QObject(parent), policy_(policy), timing_(timing), title_(fromLatin1(policy.caption)) {
    directPort_.setIdleHook([this] { emit waiting(); });
    if (*policy_.statusIdle) status_ = fromLatin1(policy_.statusIdle);
    if (*policy_.progressIdle) progress_ = fromLatin1(policy_.progressIdle);
}

UploadController::~UploadController() {
    closeListening();
    directPort_.close();
}

void UploadController::closeListening(const AnnouncePort* kept) {
    for (AnnouncePort* p : listening_)
        if (p != kept) p->close();
}

QString UploadController::device() const {
    return deviceForPortText(portText_);
}

void UploadController::setButtons(bool start, bool restart, bool detect) {
    startEnabled_ = start;
    restartEnabled_ = restart;
    detectEnabled_ = detect;
    emit buttonsChanged();
}

void UploadController::setBusy(bool busy) {
    busy_ = busy;
    emit buttonsChanged();
}

void UploadController::refreshPorts() {
    const QStringList names = existingPortNames();
    const bool select = policy_.selectsFirstPort && !names.isEmpty();
    emit portsChanged(names, select ? 0 : -1);
    if (select) {
        choosePort(names.first());
    } else if (policy_.selectsFirstPort && !choice_.isEmpty()) {
        // The port listened to is gone from the list: stop listening to it.
        closeListening();
        choice_.clear();
        portText_.clear();
    }
}

void UploadController::choosePort(const QString& portText) {
    if (busy_) return;
    if (*policy_.statusIdle) showText(TextField::Status, fromLatin1(policy_.statusIdle));
    // A new port means a new conversation: whatever was announced on the old one is void.
    if (directPort_.isOpen()) directPort_.close();
    if (announced_) {
        announced_ = false;
        emit announcedChanged(false);
        setButtons(false, false, true);
    }
    choice_ = portText.trimmed().compare(QLatin1String(kAnyPort), Qt::CaseInsensitive) == 0
                  ? QString::fromLatin1(kAnyPort)
                  : portText;
    listen();
}

void UploadController::listen() {
    // Ports of an earlier listen go once their queued announcements can no longer arrive.
    for (AnnouncePort* p : listening_) {
        p->close();
        p->deleteLater();
    }
    listening_.clear();
    listenFailed_ = false;
    portText_ = anyPort() ? QString() : choice_;
    for (const QString& name : anyPort() ? existingPortNames() : QStringList{choice_}) {
        auto* port = new AnnouncePort(this, timing_.announceGap);
        listening_.push_back(port);
        // Queued, so a transfer never runs inside the port's own receive handler; the port is
        // the context, so an announcement still queued for a port gone is dropped with it.
        connect(
            port, &AnnouncePort::announcement, port,
            [this, port, name](const QByteArray& text) { onAnnouncement(*port, name, text); },
            Qt::QueuedConnection);
        connect(port, &AnnouncePort::lineError, port,
                [this, name](const QString& text) { onAnnounceLineError(name, text); });
        const QString device = deviceForPortText(name);
        if (port->open(device, policy_.image.lineSpeed)) continue;
        // The reason names the device; a port given by number is named too.
        const QString why = portFaultText(port->fault(), policy_.portTexts);
        const QString text = device == name ? why : name + QStringLiteral(": ") + why;
        if (anyPort()) {
            emit portSkipped(text);
            continue;
        }
        listenFailed_ = true;
        showText(TextField::Status, text);
        emit portFailed(text);
    }
}

void UploadController::onAnnounceLineError(const QString& portText, const QString& text) {
    const QString shown = QStringLiteral("%1: %2").arg(portText, text);
    if (anyPort() && portText_.isEmpty()) {
        emit portSkipped(shown);
        return;
    }
    showText(TextField::Status, shown);
    emit portFailed(shown);
}

void UploadController::detectPorts() {
    if (busy_ || !detectEnabled_) return;
    showText(TextField::Status, fromLatin1(policy_.statusDetect));
    listenFailed_ = false;
    refreshPorts();
    if (!listenFailed_) showText(TextField::Status, fromLatin1(policy_.statusIdle));
}

void UploadController::chooseFile(const QString& path) {
    if (busy_) return;
    if (policy_.userStarts) {
        if (path.isEmpty()) {
            message(fromLatin1(policy_.image.invalidFileText), MessageIcon::Error);
            return;
        }
        filePath_ = path;
        if (announced_) setButtons(true, restartEnabled_, detectEnabled_);
        return;
    }
    filePath_ = path;
    showText(TextField::Status, fromLatin1(policy_.statusTurnOn));
}

bool UploadController::openDirect() {
    return directPort_.open(device(), policy_.image.lineSpeed);
}

void UploadController::closeDirect() {
    directPort_.close();
    if (*policy_.statusIdle) showText(TextField::Status, fromLatin1(policy_.statusIdle));
}

void UploadController::onAnnouncement(AnnouncePort& from, const QString& portText,
                                      const QByteArray& text) {
    if (busy_ || !from.isOpen()) return;
    // Listening everywhere, the first port to announce itself wins: the others are closed.
    const auto take = [&] {
        closeListening(&from);
        if (portText_ == portText) return;
        portText_ = portText;
        emit portFound(portText);
    };
    if (policy_.userStarts) {
        announced_ = text == QByteArray(policy_.announcement);
        if (!announced_) {
            showText(TextField::Status, fromLatin1(policy_.statusNotRecognised));
            emit announcedChanged(false);
            return;
        }
        take();
        from.reply(QByteArray(policy_.announcementAnswer));
        from.close();
        openDirect(); // a failure here shows in the exchanges that follow
        showText(TextField::Status, fromLatin1(policy_.statusOnLine));
        setButtons(fileChosen(), true, false);
        emit announcedChanged(true);
        return;
    }
    // The one-go build: a transfer needs a file it can read.
    QFile probe(filePath_);
    if (filePath_.isEmpty() || !probe.open(QIODevice::ReadOnly)) {
        message(fromLatin1(policy_.image.invalidFileText), MessageIcon::Error);
        return;
    }
    probe.close();
    take();
    from.close();
    runOneGo();
}

void UploadController::finishTransfer(TransferOutcome outcome, const QString& failure) {
    lastOutcome_ = outcome;
    lastFailure_ = outcome == TransferOutcome::Done ? QString() : failure;
    setBusy(false);
}

void UploadController::runOneGo() {
    setBusy(true);
    BootloaderSession session(directPort_, policy_, timing_, *this);
    TransferOutcome outcome = TransferOutcome::LostConnection;
    QString failure = fromLatin1(policy_.connectionLostBox);
    if (!openDirect()) {
        message(fromLatin1(policy_.portSetupFailedBox), MessageIcon::Error);
        message(failure, MessageIcon::Exclamation);
    } else {
        const auto identity = session.identify(true);
        outcome = identity.outcome == TransferOutcome::Done
                      ? session.writeFirmware(filePath_, identity.family, verify_)
                      : identity.outcome;
        failure = session.failureText();
    }
    if (outcome == TransferOutcome::LostConnection && *policy_.connectionLostStatus)
        showText(TextField::Status, fromLatin1(policy_.connectionLostStatus));
    directPort_.close();
    finishTransfer(outcome, failure);
    const bool ok = outcome == TransferOutcome::Done;
    if (ok && *policy_.downloadCompletedBox)
        message(fromLatin1(policy_.downloadCompletedBox), MessageIcon::Exclamation);
    emit transferFinished(ok);
}

TransferOutcome UploadController::start() {
    if (busy_ || !startEnabled_) return TransferOutcome::IdentificationFailed;
    setBusy(true);
    setButtons(false, false, detectEnabled_);
    BootloaderSession session(directPort_, policy_, timing_, *this);
    const auto identity = session.identify(announced_);
    TransferOutcome outcome = identity.outcome;
    if (outcome != TransferOutcome::Done) {
        closeDirect();
    } else {
        if (const auto version = session.readVersion())
            showText(TextField::Status, fromLatin1(policy_.statusOnLine) +
                                            QString::asprintf(policy_.versionFormat, *version));
        outcome = session.writeFirmware(filePath_, identity.family, verify_);
        if (outcome == TransferOutcome::Done) {
            showText(TextField::Status, fromLatin1(policy_.statusReadyToRestart));
            setButtons(false, true, detectEnabled_);
        } else if (outcome == TransferOutcome::VerifyFailed) {
            // The bootloader still runs: the firmware can be written again, but the target
            // must not be restarted into what the check found wrong.
            setButtons(fileChosen(), false, detectEnabled_);
        } else if (outcome == TransferOutcome::LostConnection) {
            closeDirect();
            announced_ = false;
            emit announcedChanged(false);
            listen();
            setButtons(false, false, true);
        }
    }
    finishTransfer(outcome, session.failureText());
    return outcome;
}

void UploadController::restart() {
    if (busy_ || !restartEnabled_) return;
    setBusy(true);
    setButtons(false, false, true);
    BootloaderSession session(directPort_, policy_, timing_, *this);
    session.reset();
    closeDirect();
    announced_ = false;
    emit announcedChanged(false);
    listen();
    setBusy(false);
}

void UploadController::showText(TextField field, const QString& text) {
    (field == TextField::Status ? status_ : progress_) = text;
    emit textChanged(field, text);
}

void UploadController::showTitle(const QString& text) {
    title_ = text;
    emit titleChanged(text);
}

void UploadController::setBarRange(int maximum) {
    barMaximum_ = std::max(maximum, 0);
    barValue_ = 0;
    emit barChanged(barValue_, barMaximum_);
}

void UploadController::stepBar() {
    if (barValue_ >= barMaximum_) return;
    ++barValue_;
    emit barChanged(barValue_, barMaximum_);
}

void UploadController::resetBar() {
    barValue_ = 0;
    emit barChanged(barValue_, barMaximum_);
}

void UploadController::message(const QString& text, MessageIcon icon) {
    emit messageRequested(text, icon);
}

void UploadController::repaint() {
    emit repaintRequested();
}

} // namespace vorna::uploader
