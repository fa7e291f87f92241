#pragma once

#include <QString>
#include <stdexcept>

namespace vorna {

// Error numbers recorded in the error log. Database and port errors add the engine's own code
// to their base so the log tells them apart.
namespace err {
inline constexpr int kGeneric = 5;
inline constexpr int kOutOfMemory = 7;
inline constexpr int kSubscriptOutOfRange = 9;
inline constexpr int kTypeMismatch = 13;
inline constexpr int kFileNotFound = 53;
inline constexpr int kFileAccess = 75;
inline constexpr int kDatabaseBase = 3000;
inline constexpr int kPortBase = 8000;
} // namespace err

// The one exception type that routines throw; the error trap turns it into a log entry.
class RunError : public std::runtime_error {
public:
    RunError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), number_(number),
          description_(description) {}

    int number() const { return number_; }
    const QString& description() const { return description_; }

private:
    int number_;
    QString description_;
};

} // namespace vorna
