#pragma once

#include "chart_pane.h"
#include "child_window.h"

#include <QImage>

class QButtonGroup;
class QPushButton;

namespace vorna {

class RealtimeDataWindow;

// grafico: one column of the browser's grid against the time of day. It reads the browser's
// grid at every option change and is the browser's sub-window: it goes when the browser goes.
// Its chart shows values, zooms and saves PNG or SVG (ChartPane); bttSalva saves the bitmap.
class ChartWindow : public ChildWindow {
    Q_OBJECT
public:
    ChartWindow(AppContext& ctx, RealtimeDataWindow& browser, QWidget* parent = nullptr);
    ~ChartWindow() override;

    void opSelMis_Click(int index);
    void bttSalva_Click();
    // The chart's context menu asked for the chart as an image file.
    void mscGraf_Salva(ChartPane::Image kind);
    void set_messages_grafico();
    void set_messages() override { set_messages_grafico(); }

    ChartPane* chartView() const { return mscGraf_; }

private:
    void build();
    void Form_Load_grafico();
    void Form_Unload_grafico();
    bool disegna_grafico();

    RealtimeDataWindow& browser_;
    QButtonGroup* opSelMis_ = nullptr;
    ChartPane* mscGraf_ = nullptr;
    QPushButton* bttSalva_ = nullptr;
    QImage Picture1_;
    int option_ = 0;
};

} // namespace vorna
