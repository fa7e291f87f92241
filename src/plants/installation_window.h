#pragma once

#include "child_window.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace vorna {

class PlantDetailsPane;

// installation: the plant chooser in front of the real-time window, and a compact plant editor
// (new, modify, delete, download from the instrument). installationStep: 1 browsing with no plant
// chosen, 2 a plant chosen, 3 editing. The third button opens the real-time window on the chosen
// plant and closes this one.
class InstallationWindow : public ChildWindow {
    Q_OBJECT
public:
    explicit InstallationWindow(AppContext& ctx, QWidget* parent = nullptr);

    void set_messages_installation();
    void gestione_bottoni();
    void step();
    void cbSelImp_Click();
    void bttComm1_Click();
    void bttComm2_Click();
    void bttComm3_Click();
    bool salva_impianto();

    void set_messages() override { set_messages_installation(); }
    void linkChanged() override { gestione_bottoni(); }

    int installationStep() const { return installationStep_; }

private:
    void build();
    void Form_Load_installation();
    // Refills cbSelImp from table impianti, with nothing left of the previous list.
    void refillPlants();

    int installationStep_ = 1;
    QLabel* lbSelImp_ = nullptr;
    QComboBox* cbSelImp_ = nullptr;
    PlantDetailsPane* pane_ = nullptr;
    QPushButton* bttComm1_ = nullptr;
    QPushButton* bttComm2_ = nullptr;
    QPushButton* bttComm3_ = nullptr;
};

} // namespace vorna
