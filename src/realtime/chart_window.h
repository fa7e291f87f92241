#pragma once

#include "child_window.h"

#include <QImage>

class QButtonGroup;
class QChart;
class QChartView;
class QDateTimeAxis;
class QLineSeries;
class QPushButton;
class QValueAxis;

namespace vorna {

class RealtimeDataWindow;

// grafico: one column of the browser's grid against the time of day. It reads the browser's
// grid at every option change and is the browser's sub-window: it goes when the browser goes.
class ChartWindow : public ChildWindow {
    Q_OBJECT
public:
    ChartWindow(AppContext& ctx, RealtimeDataWindow& browser, QWidget* parent = nullptr);
    ~ChartWindow() override;

    void opSelMis_Click(int index);
    void bttSalva_Click();
    void set_messages_grafico();
    void set_messages() override { set_messages_grafico(); }

    QChartView* chartView() const { return mscGraf_; }

private:
    void build();
    void Form_Load_grafico();
    void Form_Unload_grafico();
    bool disegna_grafico();
    void setAxisTitles();

    RealtimeDataWindow& browser_;
    QButtonGroup* opSelMis_ = nullptr;
    QChartView* mscGraf_ = nullptr;
    QChart* chart_ = nullptr;
    QLineSeries* series_ = nullptr;
    QValueAxis* axisY_ = nullptr;
    QDateTimeAxis* axisX_ = nullptr;
    QPushButton* bttSalva_ = nullptr;
    QImage Picture1_;
    int option_ = 0;
};

} // namespace vorna
