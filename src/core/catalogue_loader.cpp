#include "catalogue_loader.h"

#include "app_context.h"
#include "error_trap.h"
#include "message_data.h"

namespace vorna {

namespace {
bool fill(AppContext& ctx, const char* routine, int first, int last, const QByteArray& data) {
    return guard(ctx, QString::fromLatin1(routine), [&] {
        fillMessages(ctx.messaggi, first, last, data.isEmpty() ? builtInMessageData() : data);
    });
}
} // namespace

bool reset_messages(AppContext& ctx) {
    return guard(ctx, QStringLiteral("reset_messages"), [&] { ctx.messaggi.reset(); });
}

bool read_messagges_1(AppContext& ctx, const QByteArray& data) {
    return fill(ctx, "read_messagges_1", 0, 98, data);
}

bool read_messagges_2(AppContext& ctx, const QByteArray& data) {
    return fill(ctx, "read_messagges_2", 99, 199, data);
}

bool read_messagges_3(AppContext& ctx, const QByteArray& data) {
    return fill(ctx, "read_messagges_3", 200, 298, data);
}

} // namespace vorna
