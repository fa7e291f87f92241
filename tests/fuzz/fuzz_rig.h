#pragma once

#include "app_context.h"
#include "fuzz_target.h"
#include "pseudo_terminal.h"
#include "run_error.h"

#include <QByteArray>
#include <QSocketNotifier>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <optional>
#include <vector>

namespace vorna::fuzz {

// The input as the link decodes a line: each byte one ISO 8859-1 character.
QString latin1(Input data);
// The input cut at each '\n': the replies of one exchange after another.
std::vector<QByteArray> lines(Input data);

// A context with no screen and no database, on a PC with a decimal point (English) or a decimal
// comma (Italian).
AppContext& context(bool decimalComma);

// What the program takes for no value: empty, or dashes anywhere.
bool dashes(const QString& field);
// The ten plant fields the same.
bool samePlant(const PlantRecord& a, const PlantRecord& b);

// A reply parser's outcome on one PC: refused by an error, or what it returned and the record it
// filled.
template <class Record> struct Parsed {
    bool threw = false, ok = false;
    Record record;
};
// The reply parsed from `record` on a PC with a decimal point and on one with a decimal comma,
// each outcome checked; the instrument writes "." whatever the PC, so a reply without "," must
// come out the same on both.
template <class Record, class Parser, class Check, class Same>
void parseOnBoth(Parser parser, const QString& reply, const Record& record, Check check,
                 Same sameRecord) {
    const auto on = [&](bool decimalComma) {
        Parsed<Record> p{false, false, record};
        try {
            p.ok = parser(context(decimalComma), reply, p.record);
        } catch (const RunError&) {
            p.threw = true;
        }
        check(p, decimalComma);
        return p;
    };
    const Parsed<Record> point = on(false), comma = on(true);
    if (reply.contains(QLatin1Char(','))) return;
    FUZZ_CHECK(point.threw == comma.threw && point.ok == comma.ok &&
                   sameRecord(point.record, comma.record),
               "PCs disagree");
}

// Digits with an optional leading '-' and at most one separator ('.' or ',') between digits, and
// the value the standard library (not the program) reads: none for any other text, or too large.
bool plainDecimal(const QString& text, QChar separator);
std::optional<double> decimalValue(const QString& text, QChar separator);
// A number field of the instrument ('.' as decimal point) as a PC of either kind must take it:
// plain in that PC's form (every '.' a ','), with that value.
bool instrumentPlain(const QString& field, bool decimalComma);
std::optional<double> instrumentValue(const QString& field, bool decimalComma);

// The instrument on a pseudo-terminal inside this process, answering each command line with the
// next scripted reply (then empty lines); the context talks to it through its real port, with a
// database for the rows the link and the routines write.
class ScriptedInstrument {
public:
    // One per program: the port, the database and the context live for the whole run.
    static ScriptedInstrument& get();

    AppContext& ctx() { return ctx_; }
    // Starts a run: these replies, the link up, nothing received yet, no event rows, the
    // locale chosen.
    void script(std::vector<QByteArray> replies, bool decimalComma);
    const QStringList& commands() const { return commands_; }
    // Reply i of the script as the program receives it (empty past the end).
    QString reply(std::size_t i) const {
        return i < replies_.size() ? QString::fromLatin1(replies_[i]) : QString();
    }

private:
    ScriptedInstrument();
    // Runs while the program waits for a reply (its read pumps events).
    void answer();

    QTemporaryDir dir_;
    AppContext ctx_;
    sim::PseudoTerminal pty_;
    QSocketNotifier notifier_;
    std::vector<QByteArray> replies_; // as sent: without CR
    std::size_t next_ = 0;
    QByteArray pending_;
    QStringList commands_;
};

} // namespace vorna::fuzz
