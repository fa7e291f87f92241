#pragma once

#include <QByteArray>

namespace vorna {

class AppContext;

// The start-up fill of ctx.messaggi, each under the error trap: a failure is logged with the
// routine's name and leaves the entries not yet filled empty. `data` is the catalogue file
// (the built-in one when empty).
bool reset_messages(AppContext& ctx);
bool read_messagges_1(AppContext& ctx, const QByteArray& data = {}); // messages 0-98
bool read_messagges_2(AppContext& ctx, const QByteArray& data = {}); // messages 99-199
bool read_messagges_3(AppContext& ctx, const QByteArray& data = {}); // messages 200-298

} // namespace vorna
