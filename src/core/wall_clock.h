#pragma once

#include <QDateTime>

namespace vorna {

// Where the program reads the date and the time of day (a sample's time stamp). The program
// uses the system's; tests put a ManualClock in the context so stamps are known in advance.
class WallClock {
public:
    virtual ~WallClock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public WallClock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// Stands where it is set and moves only when told.
class ManualClock final : public WallClock {
public:
    explicit ManualClock(QDateTime start) : now_(std::move(start)) {}
    QDateTime now() const override { return now_; }
    void set(const QDateTime& t) { now_ = t; }
    void advance(qint64 ms) { now_ = now_.addMSecs(ms); }

private:
    QDateTime now_;
};

} // namespace vorna
