#pragma once

#include "run_error.h"

#include <QString>
#include <new>
#include <stdexcept>
#include <type_traits>

namespace vorna {

class AppContext;

void print_error(AppContext& ctx, const QString& name, const QString& message, int number = 0,
                 const QString& description = {});

// What a routine has reached, so its log entry says where it failed.
struct TrapScope {
    QString message;
    void step(int n) { message = QString::number(n); }
};

// Runs a routine's body under the error trap: an exception is logged with the routine's name
// and the scope's message, and the routine returns its failure value. The body may take a
// TrapScope& to record the step it is at.
template <typename R, typename F>
R guard(AppContext& ctx, const QString& routine, R failValue, F&& body) {
    TrapScope scope;
    auto run = [&]() -> R {
        if constexpr (std::is_invocable_v<F, TrapScope&>) {
            if constexpr (std::is_void_v<std::invoke_result_t<F, TrapScope&>>) {
                body(scope);
                return R{true};
            } else {
                return body(scope);
            }
        } else {
            if constexpr (std::is_void_v<std::invoke_result_t<F>>) {
                body();
                return R{true};
            } else {
                return body();
            }
        }
    };
    try {
        return run();
    } catch (const RunError& e) {
        print_error(ctx, routine, scope.message, e.number(), e.description());
    } catch (const std::out_of_range&) {
        print_error(ctx, routine, scope.message, err::kSubscriptOutOfRange,
                    QStringLiteral("Subscript out of range"));
    } catch (const std::bad_alloc&) {
        print_error(ctx, routine, scope.message, err::kOutOfMemory,
                    QStringLiteral("Out of memory"));
    } catch (const std::exception& e) {
        print_error(ctx, routine, scope.message, err::kGeneric, QString::fromLocal8Bit(e.what()));
    }
    return failValue;
}

// The common case: a routine that reports success as a boolean.
template <typename F> bool guard(AppContext& ctx, const QString& routine, F&& body) {
    return guard<bool>(ctx, routine, false, std::forward<F>(body));
}

} // namespace vorna
