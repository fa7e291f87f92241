#pragma once

#include "downloads.h"

#include <QString>
#include <functional>

namespace vorna {

class AppContext;

// A download's progress as the report window shows it: a value that only moves forward (the
// plant pass fills the first half, the measurement pass the second), a text "Plant i/n" with
// "Measurement j/m" during the measurement pass, and the stop asked from the screen, which
// holds for the rest of the download.
class DownloadProgress : public DownloadObserver {
public:
    static constexpr int kMaximum = 1000;

    // changed runs whenever the value, the text or the running state changed.
    DownloadProgress(const AppContext& ctx, std::function<void()> changed);

    // A new download: no stop, nothing done; it runs until finish().
    void start();
    void finish();
    bool running() const { return running_; }
    void requestStop() { stop_ = true; }

    bool stopRequested() override { return stop_; }
    void plantStep(int plant, int plants) override;
    void measurementStep(int plant, int plants, int measurement, int measurements) override;

    int value() const { return value_; }
    const QString& text() const { return text_; }

private:
    void show(double done, QString text);

    const AppContext& ctx_;
    std::function<void()> changed_;
    bool running_ = false;
    bool stop_ = false;
    int value_ = 0;
    QString text_;
};

} // namespace vorna
