// The instrument's number lists ("IIMP", "IMISPERIMP"): TAB-separated, each piece's leading
// integer in the next slot, -1 after the last.
#include "fuzz_rig.h"
#include "instrument_queries.h"
#include "run_error.h"

#include <array>
#include <charconv>

using namespace vorna;
using namespace vorna::fuzz;

namespace {

// The leading integer of a piece: ASCII blanks, an optional sign and digits; 0 for anything else,
// none when it does not fit.
std::optional<int> leadingInteger(const QString& piece) {
    qsizetype i = 0;
    while (i < piece.size() && QStringView(u" \t\n\v\f\r").contains(piece[i]))
        ++i;
    std::string digits;
    if (i < piece.size() && (piece[i] == QLatin1Char('-') || piece[i] == QLatin1Char('+')))
        digits += char(piece[i++].unicode());
    while (i < piece.size() && piece[i] >= QLatin1Char('0') && piece[i] <= QLatin1Char('9'))
        digits += char(piece[i++].unicode());
    if (digits.empty() || digits.back() < '0' || digits.back() > '9') return 0;
    if (digits[0] == '+') digits.erase(0, 1);
    int v = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
    if (ec != std::errc()) return std::nullopt;
    return v;
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
