#include "instrument_finder.h"

#include "app_context.h"
#include "error_trap.h"
#include "link.h"
#include "port_names.h"
#include "port_probe.h"
#include "port_selection.h"

#include <QFileInfo>

namespace vorna {

namespace {

QString canonicalDevice(const SerialPort& port) {
    const QString path = port.devicePath();
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? path : c;
}

} // namespace

FindResult find_instrument(AppContext& ctx, const QString& routine) {
    Link& l = ctx.link;
    if (l.serialeBase.isOpen()) chiudi_com_base(ctx);
    // The remote unit must not hear "VERSION?", whatever number its device goes by.
    const bool remoteOpen = l.serialeRemoto.isOpen();
    const QString remoteDevice = remoteOpen ? canonicalDevice(l.serialeRemoto) : QString();
    QList<ProbeTarget> targets;
    for (int n = 1; n <= kListedPorts; ++n) {
        if (!portExists(n)) continue;
        const QString device = devicePathForPort(n);
        if (remoteOpen && (n == l.serialeRemoto.portNumber() ||
                           QFileInfo(device).canonicalFilePath() == remoteDevice))
            continue;
        targets.append({n, device});
    }
    ctx.indicators->setBusy(true);
    const std::vector<ProbeOutcome> outcomes = probePorts(targets);
    ctx.indicators->setBusy(false);
    const PortFaultTexts texts = port_fault_texts(ctx);
    FindResult result{0, int(targets.size())};
    for (const ProbeOutcome& o : outcomes) {
        if (o.kind == ProbeOutcome::Kind::Refused)
            print_error(ctx, routine,
                        ctx.msg(45) + QStringLiteral(" ") + QString::number(o.number) +
                            QStringLiteral(": ") + portFaultText(o.fault, texts));
        if (o.kind == ProbeOutcome::Kind::Answered && result.found == 0) result.found = o.number;
    }
    return result;
}

QString none_answered_text(const AppContext& ctx, int tried) {
    return ctx.text(QStringLiteral("ports.none_answered")).arg(tried);
}

} // namespace vorna
