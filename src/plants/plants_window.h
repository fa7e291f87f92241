#pragma once

#include "child_window.h"
#include "instrument_plants.h"

#include <vector>

class QGroupBox;
class QListWidget;
class QPushButton;

namespace vorna {

class PlantDetailsPane;

// frmImpianti: the plant register. The plants on the instrument and on the PC side by side,
// the details pane of one plant, and the transfers between the two.
//
// The lists run their Click routine on a user's selection only: the window fills and unselects
// them with their signals blocked. A click on a list while a handler runs puts the selection
// back to the plant the pane shows.
class PlantsWindow : public ChildWindow {
    Q_OBJECT
public:
    explicit PlantsWindow(AppContext& ctx, QWidget* parent = nullptr);

    void set_messages_impianti();
    bool leggi_impianti_da_pc();
    void gestione_bottoni();

    // The handlers; each runs through handle(), so a call runs it as a click does.
    void lsbImpPc_Click();
    void lsbImpPc_GotFocus();
    void lsbImpStrum_Click();
    void lsbImpStrum_GotFocus();
    void bttNewPc_Click();
    void bttModPc_Click();
    void bttOk_Click();
    void bttAnnulla_Click();
    void bttCancPc_Click();
    void bttSalvaFilePc_Click();
    void bttLeggiStrum_Click();
    void bttStrumToPc_Click();
    void bttPcToStrum_Click();
    void bttCancStrum_Click();

    void set_messages() override { set_messages_impianti(); }
    void linkChanged() override { gestione_bottoni(); }

    // The window state, for tests.
    int selectedPcRow() const { return selectedPcRow_; }
    int selectedInstrumentSlot() const { return selectedInstrumentSlot_; }
    bool editMode() const { return editMode_; }
    const std::vector<qint64>& pcPlantIdList() const { return pcPlantIdList_; }
    const InstrumentPlantTable& instrumentPlantTable() const { return table_; }

private:
    void build();
    void Form_Load_impianti();
    bool eventFilter(QObject* watched, QEvent* event) override;

    bool salva_impianto();
    bool leggi_impianti_da_strum();
    void en_dis_controls_dettagli_imp(bool enable);
    void clear_controls_dettagli_imp();
    void var_to_controls_dettagli_imp(const PlantRecord& plant);
    void controls_dettagli_imp_to_var(PlantRecord& plant);
    void array_to_controls_dettagli_imp(int slot);
    // The selected instrument plant as a plant not stored yet (ID -1).
    PlantRecord array_to_var() const;

    void fillInstrumentList();
    void unselect(QListWidget* list);
    void enableLists(bool enable);
    // Puts both lists' selection back to what the window state says.
    void restoreSelection();

    PlantDetailsPane* pane_ = nullptr;
    QGroupBox* frImpStrum_ = nullptr;
    QGroupBox* frImpPc_ = nullptr;
    QGroupBox* frDatiImp_ = nullptr;
    QListWidget* lsbImpStrum_ = nullptr;
    QListWidget* lsbImpPc_ = nullptr;
    QPushButton* bttNewPc_ = nullptr;
    QPushButton* bttModPc_ = nullptr;
    QPushButton* bttCancPc_ = nullptr;
    QPushButton* bttSalvaFilePc_ = nullptr;
    QPushButton* bttLeggiStrum_ = nullptr;
    QPushButton* bttCancStrum_ = nullptr;
    QPushButton* bttPcToStrum_ = nullptr;
    QPushButton* bttStrumToPc_ = nullptr;
    QPushButton* bttOk_ = nullptr;
    QPushButton* bttAnnulla_ = nullptr;

    std::vector<qint64> pcPlantIdList_;
    int selectedPcRow_ = -1;
    int selectedInstrumentSlot_ = -1;
    bool editMode_ = false;
    InstrumentPlantTable table_;
};

} // namespace vorna
