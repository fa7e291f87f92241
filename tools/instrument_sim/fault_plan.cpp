#include "fault_plan.h"

namespace vorna::sim {

namespace {

struct Option {
    const char* name;
    FaultPlan::Kind kind;
    enum Arg { Command, CommandAndNumber, CommandAndText } arg;
};
constexpr Option kOptions[] = {
    {"--silent", FaultPlan::Kind::Silent, Option::Command},
    {"--pieces", FaultPlan::Kind::Pieces, Option::Command},
    {"--extra", FaultPlan::Kind::Extra, Option::Command},
    {"--garbage", FaultPlan::Kind::Garbage, Option::Command},
    {"--no-cr", FaultPlan::Kind::NoCr, Option::Command},
    {"--close-on", FaultPlan::Kind::Close, Option::Command},
    {"--delay", FaultPlan::Kind::Delay, Option::CommandAndNumber},
    {"--before", FaultPlan::Kind::Before, Option::CommandAndText},
    {"--after", FaultPlan::Kind::After, Option::CommandAndText},
    {"--reply", FaultPlan::Kind::Reply, Option::CommandAndText},
};

} // namespace

QByteArray unescapeTabs(const QString& text) {
    return text.toLatin1().replace("\\t", "\t");
}

bool FaultPlan::take(QStringList& args, QString* error) {
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    QStringList rest;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const Option* opt = nullptr;
        for (const Option& o : kOptions)
            if (a == QLatin1String(o.name)) opt = &o;
        if (a == QLatin1String("--random-faults")) {
            const QStringList v = args.value(++i).split(QLatin1Char(':'));
            bool ok[3] = {};
            if (v.size() == 3) {
                random.seed = v[0].toUInt(&ok[0]);
                random.perMille = v[1].toInt(&ok[1]);
                random.lateMs = v[2].toInt(&ok[2]);
            }
            if (!ok[0] || !ok[1] || !ok[2] || random.perMille < 0 || random.perMille > 1000 ||
                random.lateMs < 0)
                return fail(QStringLiteral("--random-faults wants SEED:PERMILLE:MS"));
            continue;
        }
        if (!opt && a != QLatin1String("--say")) {
            rest << a;
            continue;
        }
        if (i + 1 >= args.size()) return fail(a + QStringLiteral(" needs a value"));
        const QString value = args[++i];
        const qsizetype eq = value.indexOf(QLatin1Char('='));
        if (a == QLatin1String("--say")) {
            bool ok = false;
            const int ms = value.left(eq).toInt(&ok);
            if (eq < 0 || !ok || ms < 0) return fail(QStringLiteral("--say wants MS=LINE"));
            said.push_back({ms, unescapeTabs(value.mid(eq + 1))});
            continue;
        }
        Rule r{opt->kind, {}, {}, 0};
        if (opt->arg == Option::Command) {
            r.match = unescapeTabs(value);
        } else {
            if (eq < 0) return fail(a + QStringLiteral(" wants COMMAND=VALUE"));
            r.match = unescapeTabs(value.left(eq));
            r.text = unescapeTabs(value.mid(eq + 1));
            bool ok = true;
            if (opt->arg == Option::CommandAndNumber) r.value = value.mid(eq + 1).toInt(&ok);
            if (!ok || r.value < 0) return fail(a + QStringLiteral(" wants a number of ms"));
        }
        rules.push_back(r);
    }
    args = rest;
    return true;
}

std::vector<const FaultPlan::Rule*> FaultPlan::matching(const QByteArray& command) const {
    std::vector<const Rule*> hits;
    for (const Rule& r : rules)
        if (r.match == "*" || command.startsWith(r.match)) hits.push_back(&r);
    return hits;
}

bool FaultPlan::has(const QByteArray& command, Kind kind) const {
    for (const Rule* r : matching(command))
        if (r->kind == kind) return true;
    return false;
}

QString FaultPlan::usage() {
    return QStringLiteral(
        "faults (CMD: a command prefix, * for all; \\t in texts is a TAB):\n"
        "  --silent CMD        never answer CMD\n"
        "  --pieces CMD        answer CMD in three pieces\n"
        "  --extra CMD         send a second line after the reply\n"
        "  --garbage CMD       answer random bytes and CR\n"
        "  --no-cr CMD         answer without the CR\n"
        "  --delay CMD=MS      wait MS before answering\n"
        "  --before CMD=LINE   send LINE before the reply\n"
        "  --close-on CMD      drop the line and exit when CMD arrives\n"
        "  --after CMD=LINE    send LINE unasked 100 ms after CMD\n"
        "  --reply CMD=LINE    answer LINE to CMD instead\n"
        "  --say MS=LINE       send LINE unasked MS after start\n"
        "  --random-faults SEED:PERMILLE:MS\n"
        "                      each command meets a fault with a chance of\n"
        "                      PERMILLE/1000: silent, no CR, pieces, garbage,\n"
        "                      extra line, MS late, or the line dropped and back;\n"
        "                      echoed as '! fault KIND'\n");
}

} // namespace vorna::sim
