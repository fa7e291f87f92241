#pragma once

#include <functional>

class QGroupBox;
class QWidget;

namespace vorna {

class AppContext;
class SampleGridView;

// What the real-time window and the stored-data browser share around their grid grMis (the
// file it is saved as is saveDataloggerFile's).

// intestazione_griglia: the header in the current language, no sample, the empty row current.
void intestazione_griglia(AppContext& ctx, SampleGridView& grMis);

// fr_start or fr_stop (which: "Start" or "Stop"): an hour and a minute field, each followed by
// its label, "hr" and "min" in every language. The fields are named prefix + which + "H" and
// "M" (tbStartH, cbStopM), the labels "lb" + which + "H" and "M".
QGroupBox* timeFrame(QWidget* parent, const char* which, const char* prefix,
                     const std::function<QWidget*(QGroupBox* frame)>& makeField, QWidget*& hour,
                     QWidget*& minute);

template <typename Field>
QGroupBox* timeFrame(QWidget* parent, const char* which, const char* prefix, Field*& hour,
                     Field*& minute) {
    QWidget* h = nullptr;
    QWidget* m = nullptr;
    QGroupBox* frame = timeFrame(
        parent, which, prefix, [](QGroupBox* f) -> QWidget* { return new Field(f); }, h, m);
    hour = static_cast<Field*>(h);
    minute = static_cast<Field*>(m);
    return frame;
}

} // namespace vorna
