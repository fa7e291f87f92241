#pragma once

#include "child_window.h"
#include "download_progress.h"
#include "measurement_list.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace vorna {

// rep: downloads the instrument's plants and measurements, lets the user choose a plant and
// one of its measurements, and writes the measurement sheet and the certificate. A four-step
// wizard driven by reportStep: 1 no plant chosen, 2 plant chosen, 3 measurement chosen,
// 4 report written.
class ReportWindow : public ChildWindow {
    Q_OBJECT
public:
    explicit ReportWindow(AppContext& ctx, QWidget* parent = nullptr);

    void bttSincr_Click();
    void bttInterrompi_Click();
    void cbImp_Click();
    void cbMis_Click();
    void bttComando_Click();
    void step();
    void gestione_bottoni();
    void set_messages() override;
    void linkChanged() override;

    int reportStep = 1;
    qint64 selectedPlantId = -1;
    const MeasurementEntries& entries() const { return entries_; }
    bool downloading() const { return progress_.running(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build();
    void Form_Load_rep();
    void showProgress();

    QPushButton* bttSincr_ = nullptr;
    QProgressBar* pbScarica_ = nullptr;
    QLabel* lbScarica_ = nullptr;
    QPushButton* bttInterrompi_ = nullptr;
    QLabel* lbImp_ = nullptr;
    QComboBox* cbImp_ = nullptr;
    QLabel* lbMis_ = nullptr;
    QComboBox* cbMis_ = nullptr;
    QPushButton* bttComando_ = nullptr;
    QLabel* lbMessaggio_ = nullptr;

    MeasurementEntries entries_;
    DownloadProgress progress_;
};

} // namespace vorna
