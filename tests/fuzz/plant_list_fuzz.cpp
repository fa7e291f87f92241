// The instrument's number lists ("IIMP", "IMISPERIMP"): TAB-separated, each piece's leading
// integer in the next slot, -1 after the last.
#include "fuzz_rig.h"
#include "instrument_queries.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>

using namespace vorna;
using namespace vorna::fuzz;

namespace {

// The leading integer of a piece as C reads it: blanks, an optional sign and digits; 0 for
// anything else, none when it does not fit.
std::optional<int> leadingInteger(const QString& piece) {
    const QByteArray bytes = piece.toLatin1();
    errno = 0;
    const long v = std::strtol(bytes.constData(), nullptr, 10);
    if (errno == ERANGE || v < INT_MIN || v > INT_MAX) return std::nullopt;
    return int(v);
}

} // namespace

VORNA_FUZZ_TARGET(plant_list) {
    const QString reply = latin1(data);
    QStringList pieces = reply.split(QLatin1Char('\t'));
    if (reply.isEmpty() || reply.endsWith(QLatin1Char('\t'))) pieces.removeLast();
    bool fits = pieces.size() <= 100;
    for (const QString& p : pieces)
        fits = fits && leadingInteger(p);

    std::array<int, 100> listed;
    listed.fill(12345);
    int count = 0;
    try {
        count = parse_number_list(reply, listed);
    } catch (const RunError&) {
        FUZZ_CHECK(!fits, "a list of numbers that fit refused");
        return;
    }
    FUZZ_CHECK(fits, "more numbers than slots, or one too large, taken");
    FUZZ_CHECK(count == pieces.size(), "numbers counted");
    for (int i = 0; i < 100; ++i)
        FUZZ_CHECK(listed[size_t(i)] == (i < count ? *leadingInteger(pieces[i]) : -1),
                   "slot " + std::to_string(i));
}
