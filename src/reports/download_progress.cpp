#include "download_progress.h"

#include "app_context.h"

#include <algorithm>

namespace vorna {

namespace {

QString count(int i, int n) {
    return QLatin1Char(' ') + QString::number(i) + QLatin1Char('/') + QString::number(n);
}

} // namespace

DownloadProgress::DownloadProgress(const AppContext& ctx, std::function<void()> changed)
    : ctx_(ctx), changed_(std::move(changed)) {}

void DownloadProgress::start() {
    running_ = true;
    stop_ = false;
    value_ = 0;
    text_.clear();
    if (changed_) changed_();
}

void DownloadProgress::finish() {
    running_ = false;
    if (changed_) changed_();
}

void DownloadProgress::plantStep(int plant, int plants) {
    show(0.5 * (plant - 1) / std::max(plants, 1), ctx_.msg(50) + count(plant, plants));
}

void DownloadProgress::measurementStep(int plant, int plants, int measurement, int measurements) {
    // Measurement j of a plant is read next: j - 1 of its m are done.
    const double inPlant =
        measurements > 0 ? double(std::max(measurement - 1, 0)) / measurements : 0.0;
    QString text = ctx_.msg(50) + count(plant, plants);
    if (measurements > 0)
        text += QStringLiteral("   ") + ctx_.msg(51) + count(measurement, measurements);
    show(0.5 + 0.5 * (plant - 1 + inPlant) / std::max(plants, 1), std::move(text));
}

void DownloadProgress::show(double done, QString text) {
    value_ = std::max(value_, std::clamp(int(done * kMaximum), 0, kMaximum));
    text_ = std::move(text);
    if (changed_) changed_();
}

} // namespace vorna
