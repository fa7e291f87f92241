#pragma once

#include "run_error.h"

#include <QString>
#include <functional>
#include <new>
#include <stdexcept>
#include <type_traits>

namespace vorna {

class AppContext;

void print_error(AppContext& ctx, const QString& name, const QString& message, int number = 0,
                 const QString& description = {});

// Why a body failed: the number and description the error log records.
struct TrapFailure {
    int number = 0;
    QString description;
};

// Runs body; an exception becomes the failure it describes. The one place that knows which
// exceptions a routine can raise and how the log names them.
template <typename F> bool trapped(TrapFailure& failure, F&& body) {
    try {
        body();
        return true;
    } catch (const RunError& e) {
        failure = {e.number(), e.description()};
    } catch (const std::out_of_range&) {
        failure = {err::kSubscriptOutOfRange, QStringLiteral("Subscript out of range")};
    } catch (const std::bad_alloc&) {
        failure = {err::kOutOfMemory, QStringLiteral("Out of memory")};
    } catch (const std::exception& e) {
        failure = {err::kGeneric, QString::fromLocal8Bit(e.what())};
    }
    return false;
}

// Statements whose errors the caller ignores.
template <typename F> void tolerant(F&& body) {
    TrapFailure ignored;
    trapped(ignored, std::forward<F>(body));
}

// What a routine has reached and how its failure is handled, so its log entry says where it
// failed. A body may set it up as it goes.
struct TrapScope {
    QString message;
    // Further log fields after the step, read when the failure is logged.
    std::function<QString()> details;
    // Undoes what the body left half done; runs before the log entry, its own errors ignored.
    std::function<void()> cleanup;
    // A body that returns false has failed too: clean up and log it.
    bool falseIsFailure = false;
    // A failure found without an exception (a time-out, a link marked down).
    TrapFailure failure;

    void step(int n) { message = QString::number(n); }
    bool fail(const QString& description) {
        failure.description = description;
        return false;
    }
};

// Runs a routine's body under the error trap: an exception is logged with the routine's name
// and the scope's message, and the routine returns its failure value. The body may take a
// TrapScope& to record the step it is at.
template <typename R, typename F>
R guard(AppContext& ctx, const QString& routine, R failValue, F&& body) {
    TrapScope scope;
    R result = failValue;
    const bool ran = trapped(scope.failure, [&] {
        if constexpr (std::is_invocable_v<F, TrapScope&>) {
            if constexpr (std::is_void_v<std::invoke_result_t<F, TrapScope&>>) {
                body(scope);
                result = R{true};
            } else {
                result = body(scope);
            }
        } else {
            if constexpr (std::is_void_v<std::invoke_result_t<F>>) {
                body();
                result = R{true};
            } else {
                result = body();
            }
        }
    });
    if constexpr (std::is_same_v<R, bool>) {
        if (ran && (result || !scope.falseIsFailure)) return result;
    } else {
        if (ran) return result;
    }
    if (scope.cleanup) tolerant(scope.cleanup);
    QString message = scope.message;
    if (scope.details) message += QLatin1Char('\t') + scope.details();
    print_error(ctx, routine, message, scope.failure.number, scope.failure.description);
    return failValue;
}

// The common case: a routine that reports success as a boolean.
template <typename F> bool guard(AppContext& ctx, const QString& routine, F&& body) {
    return guard<bool>(ctx, routine, false, std::forward<F>(body));
}

} // namespace vorna
