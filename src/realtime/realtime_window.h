#pragma once

#include "child_window.h"
#include "instrument_queries.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vorna {

class Datalogger;
enum class ControlChange;
class SampleGridView;

// realtime: live samples of the chosen plant (the current plant's ID when it opens), taken one
// at a time by hand or, in automatic mode, by a datalogger run on a daily schedule; each lands
// in table realtime and in the grid grMis.
class RealtimeWindow : public ChildWindow {
    Q_OBJECT
public:
    explicit RealtimeWindow(AppContext& ctx, QWidget* parent = nullptr);
    ~RealtimeWindow() override;

    void set_messages_reatime();
    void obMode_Click(int index);
    void bttControllo_Click();
    void campiona();
    void cbIntervallo_Click(int index);
    void azioneValidaHhMm();
    bool valida_hh_mm() const;
    void visualizza_ris();
    void gestione_contr();
    void grMis_Click();
    void bttSalva_Click();
    void bttCancella_Click();

    void set_messages() override { set_messages_reatime(); }

    SampleGridView* grid() const { return grMis_; }
    // lettura is running.
    bool acquiring() const { return acquiring_; }
    // An automatic run is active.
    bool running() const;

private:
    void build();
    void Form_Load_realtime();
    void Form_Unload_realtime();
    bool automatic() const;
    // bttControllo's caption and state after change.
    void showControllo(ControlChange change);

    qint64 plantId_ = -1;
    ValueList values_;
    bool acquiring_ = false;
    int mode_ = 1;           // the obMode option last chosen
    int controlCaption_ = 0; // the entry bttControllo says; none before the first mode
    Datalogger* datalogger_ = nullptr;

    QGroupBox* fr_impianto_ = nullptr;
    QLabel* lbNomeImp_ = nullptr;
    QLabel* lbVal_NomeImp_ = nullptr;
    QLabel* lbPotImp_ = nullptr;
    QLabel* lbVal_PotImp_ = nullptr;
    QGroupBox* fr_modo_ = nullptr;
    QButtonGroup* obMode_ = nullptr;
    QGroupBox* fr_start_ = nullptr;
    QLineEdit* tbStartH_ = nullptr;
    QLineEdit* tbStartM_ = nullptr;
    QGroupBox* fr_stop_ = nullptr;
    QLineEdit* tbStopH_ = nullptr;
    QLineEdit* tbStopM_ = nullptr;
    QGroupBox* fr_intervallo_ = nullptr;
    QComboBox* cbIntervallo_ = nullptr;
    QPushButton* bttControllo_ = nullptr;
    QPushButton* bttSalva_ = nullptr;
    QPushButton* bttCancella_ = nullptr;
    SampleGridView* grMis_ = nullptr;
};

} // namespace vorna
