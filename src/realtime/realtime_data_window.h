#pragma once

#include "child_window.h"

#include <QPointer>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace vorna {

class ChartWindow;
class SampleGridView;
class Statement;
struct SampleRow;
class TextGrid;

// realtime_data: the stored samples of one plant and day within a time range, in the grid of
// the real-time window; saved as a datalogger file or drawn by the chart window it owns.
class RealtimeDataWindow : public ChildWindow {
    Q_OBJECT
public:
    explicit RealtimeDataWindow(AppContext& ctx, QWidget* parent = nullptr);
    ~RealtimeDataWindow() override;

    void cbImp_Click();
    void aggiornaMisureTabella();
    void bttSalva_Click();
    void bttGrafico_Click();
    void set_messages_realtime_data();
    void set_messages() override { set_messages_realtime_data(); }

    // What the chart reads: the grid's texts and the plant they belong to.
    const TextGrid& grid() const;
    qint64 plantId() const { return plantId_; }
    ChartWindow* chart() const;

private:
    void build();
    void Form_Load_realtime_data();
    void popolaMinuti();
    bool insert_new_row(const Statement& row, std::vector<SampleRow>& rows);

    QLabel* lbImp_ = nullptr;
    QComboBox* cbImp_ = nullptr;
    QLabel* lbDate_ = nullptr;
    QComboBox* cbDate_ = nullptr;
    QGroupBox* frStart_ = nullptr;
    QGroupBox* frStop_ = nullptr;
    QComboBox* cbStartH_ = nullptr;
    QComboBox* cbStartM_ = nullptr;
    QComboBox* cbStopH_ = nullptr;
    QComboBox* cbStopM_ = nullptr;
    SampleGridView* grMis_ = nullptr;
    QPushButton* bttSalva_ = nullptr;
    QPushButton* bttGrafico_ = nullptr;

    qint64 plantId_ = -1;
    QPointer<ChartWindow> chart_;
};

} // namespace vorna
