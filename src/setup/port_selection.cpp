#include "port_selection.h"

#include "app_context.h"
#include "error_trap.h"
#include "link.h"
#include "port_names.h"

#include <QFileInfo>

namespace vorna {

namespace {

RecordSet& settingsRow(AppContext& ctx) {
    if (!ctx.settings) throw RunError(err::kGeneric, QStringLiteral("settings not open"));
    ctx.settings->moveFirst();
    if (ctx.settings->eof()) throw RunError(err::kGeneric, QStringLiteral("no settings row"));
    return *ctx.settings;
}

int storedPort(AppContext& ctx, const QString& field) {
    return guard<int>(ctx, QStringLiteral("stored_port"), 0, [&] {
        RecordSet& row = settingsRow(ctx);
        return row.isNull(field) ? 0 : int(row.integer(field));
    });
}

PortCheck openPort(AppContext& ctx, const QString& routine, const QString& listText,
                   SerialPort& port, SerialPort& other) {
    try {
        if (port.isOpen()) port.close();
        port.setPortNumber(leading_port_number(listText));
        if (!port.isOpen()) port.open();
        if (!other.isOpen() && other.portNumber() == port.portNumber())
            other.setPortNumber(port.portNumber() == 1 ? 2 : 1);
    } catch (const std::exception&) {
        ctx.prompts.warning(ctx.msg(45) + QStringLiteral(" ") + QString::number(port.portNumber()) +
                                QStringLiteral(" ") + ctx.msg(176),
                            QStringLiteral("Error"));
        return PortCheck::Missing;
    }
    const bool stored = guard(ctx, routine, [&] {
        RecordSet& row = settingsRow(ctx);
        row.edit();
        row.setField(QStringLiteral("COM"), ctx.link.serialeBase.portNumber());
        row.setField(QStringLiteral("INT1"), ctx.link.serialeRemoto.portNumber());
        row.update();
        return true;
    });
    return stored ? PortCheck::Connected : PortCheck::NotStored;
}

} // namespace

QStringList port_list_texts() {
    QStringList texts;
    for (int n = 1; n <= kListedPorts; ++n)
        texts << QString::number(n);
    return texts;
}

int leading_port_number(const QString& text) {
    const QString t = text.trimmed();
    int n = 0;
    for (QChar c : t) {
        if (!c.isDigit() || c.unicode() > '9') break;
        n = n * 10 + c.digitValue();
        if (n > 100000) break; // no such port either way; keeps the number from overflowing
    }
    return n;
}

QString port_device_text(int number) {
    const QString path = devicePathForPort(number);
    if (path.isEmpty()) return {};
    const QFileInfo info(path);
    // A pseudo-terminal link shows where it points, so a simulator is recognisable.
    if (info.isSymLink()) return path + QStringLiteral(" -> ") + info.symLinkTarget();
    return path;
}

PortCheck verifica_combase(AppContext& ctx, const QString& listText) {
    return openPort(ctx, QStringLiteral("verifica_combase"), listText, ctx.link.serialeBase,
                    ctx.link.serialeRemoto);
}

PortCheck verifica_comremoto(AppContext& ctx, const QString& listText) {
    return openPort(ctx, QStringLiteral("verifica_comremoto"), listText, ctx.link.serialeRemoto,
                    ctx.link.serialeBase);
}

int stored_base_port(AppContext& ctx) {
    return storedPort(ctx, QStringLiteral("COM"));
}

int stored_remote_port(AppContext& ctx) {
    return storedPort(ctx, QStringLiteral("INT1"));
}

} // namespace vorna
