#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace vorna::sim {

// The faults the simulator injects, each bound to the commands it hits: a command matches a
// rule when it starts with the rule's text ("*" matches every command).
struct FaultPlan {
    enum class Kind {
        Silent,  // no reply
        Pieces,  // the reply in three pieces with pauses between them
        Extra,   // a second line after the reply
        Garbage, // random bytes instead of the reply, then CR
        NoCr,    // the reply without its CR
        Delay,   // wait value milliseconds before replying
        Before,  // send text as a line before the reply (unsolicited, mid-exchange)
        Close,   // drop the line and end, instead of replying
        After,   // send text as a line unasked, kAfterMs after handling the command
        Reply,   // answer text instead of the instrument's reply
    };
    static constexpr int kAfterMs = 100;
    struct Rule {
        Kind kind;
        QByteArray match;
        QByteArray text;
        int value = 0;
    };
    // A line sent on the simulator's own, at a time after start.
    struct Said {
        int atMs;
        QByteArray line;
    };

    // Faults at random but seeded, for long runs: each command meets one with a chance of
    // perMille in 1000, then silence, a cut reply, pieces, garbage, an extra line, a reply
    // lateMs late or the line dropped and back, all alike likely.
    struct Random {
        quint32 seed = 0;
        int perMille = 0;
        int lateMs = 0;
    };

    std::vector<Rule> rules;
    std::vector<Said> said;
    Random random;

    // Takes the fault options from args ("--silent CMD", "--delay CMD=MS", "--before CMD=LINE",
    // "--after CMD=LINE", "--say MS=LINE", "--random-faults SEED:PERMILLE:MS", ...); false with a
    // reason on a malformed option. Options it does not know are left in args.
    bool take(QStringList& args, QString* error);

    // The rules that hit command, in the order given.
    std::vector<const Rule*> matching(const QByteArray& command) const;
    bool has(const QByteArray& command, Kind kind) const;

    static QString usage();
};

// "\t" in option texts stands for a TAB, so lines with fields fit on a command line.
QByteArray unescapeTabs(const QString& text);

} // namespace vorna::sim
