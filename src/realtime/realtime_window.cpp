#include "realtime_window.h"

#include "acquisition.h"
#include "app_context.h"
#include "control_button.h"
#include "data_store.h"
#include "datalogger.h"
#include "error_trap.h"
#include "live_values.h"
#include "number_format.h"
#include "option_group.h"
#include "sample_grid_view.h"
#include "sample_panel.h"
#include "sample_store.h"
#include "saved_files.h"
#include "schedule.h"
#include "wall_clock.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vorna {

namespace {

constexpr int kWidthTwips = 13485;
constexpr int kHeightTwips = 8445;
constexpr int kAuto = 0;
constexpr int kManual = 1;

} // namespace

RealtimeWindow::RealtimeWindow(AppContext& ctx, QWidget* parent)
    : ChildWindow(ctx, QStringLiteral("realtime"), 2, kWidthTwips, kHeightTwips, parent) {
    build();
    Form_Load_realtime();
}

RealtimeWindow::~RealtimeWindow() {
    Form_Unload_realtime();
}

void RealtimeWindow::build() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    auto* top = new QHBoxLayout;
    outer->addLayout(top);

    fr_impianto_ = named(new QGroupBox(this), "fr_impianto");
    auto* plant = new QGridLayout(fr_impianto_);
    lbNomeImp_ = named(new QLabel(fr_impianto_), "lbNomeImp");
    lbVal_NomeImp_ = named(new QLabel(fr_impianto_), "lbVal_NomeImp");
    lbPotImp_ = named(new QLabel(fr_impianto_), "lbPotImp");
    lbVal_PotImp_ = named(new QLabel(fr_impianto_), "lbVal_PotImp");
    lbNomeImp_->setBuddy(lbVal_NomeImp_);
    lbPotImp_->setBuddy(lbVal_PotImp_);
    lbVal_NomeImp_->setMinimumWidth(200);
    plant->addWidget(lbNomeImp_, 0, 0);
    plant->addWidget(lbVal_NomeImp_, 0, 1);
    plant->addWidget(lbPotImp_, 1, 0);
    plant->addWidget(lbVal_PotImp_, 1, 1);
    top->addWidget(fr_impianto_);

    // The two mode captions are the same in every language.
    fr_modo_ = named(new QGroupBox(this), "fr_modo");
    auto* modes = new QVBoxLayout(fr_modo_);
    static_assert(kAuto == 0 && kManual == 1);
    obMode_ = optionGroup(fr_modo_, "obMode", {QStringLiteral("Auto"), QStringLiteral("Manuale")},
                          [&](QRadioButton* b, int) { modes->addWidget(b); });
    top->addWidget(fr_modo_);

    fr_start_ = timeFrame(this, "Start", "tb", tbStartH_, tbStartM_);
    fr_stop_ = timeFrame(this, "Stop", "tb", tbStopH_, tbStopM_);
    for (QLineEdit* field : {tbStartH_, tbStartM_, tbStopH_, tbStopM_})
        field->setMaximumWidth(36);
    top->addWidget(fr_start_);
    top->addWidget(fr_stop_);
    fr_intervallo_ = named(new QGroupBox(this), "fr_intervallo");
    cbIntervallo_ = named(new QComboBox(fr_intervallo_), "cbIntervallo");
    for (qint16 minutes : kIntervalMinutes)
        cbIntervallo_->addItem(QString::number(minutes));
    (new QVBoxLayout(fr_intervallo_))->addWidget(cbIntervallo_);
    top->addWidget(fr_intervallo_);
    top->addStretch(1);
    bttControllo_ = named(new QPushButton(this), "bttControllo");
    bttControllo_->setMinimumWidth(120);
    top->addWidget(bttControllo_, 0, Qt::AlignBottom);

    grMis_ = named(new SampleGridView(ctx_.locale, CellRules::Live, this), "grMis");
    outer->addWidget(grMis_, 1);

    auto* bottom = new QHBoxLayout;
    bttSalva_ = named(new QPushButton(this), "bttSalva");
    bttCancella_ = named(new QPushButton(this), "bttCancella");
    bottom->addWidget(bttSalva_);
    bottom->addWidget(bttCancella_);
    bottom->addStretch(1);
    outer->addLayout(bottom);

    // The timers sec2 and sec30 of the automatic run come from the context's clock. A tick's
    // sample is a handler, so a close waits for it, but one that overlaps: "Stop" must work
    // during it, and a second sample is refused by campiona itself.
    datalogger_ = new Datalogger(*ctx_.clock,
                                 {[this] { handle([&] { campiona(); }, Overlap::Runs); },
                                  [this] { bttControllo_Click(); },
                                  [this] {
                                      return dailyWindow(tbStartH_->text(), tbStartM_->text(),
                                                         tbStopH_->text(), tbStopM_->text());
                                  }},
                                 this);

    connect(obMode_, &QButtonGroup::idClicked, this, &RealtimeWindow::obMode_Click);
    connect(bttControllo_, &QPushButton::clicked, this, &RealtimeWindow::bttControllo_Click);
    connect(bttSalva_, &QPushButton::clicked, this, &RealtimeWindow::bttSalva_Click);
    connect(bttCancella_, &QPushButton::clicked, this, &RealtimeWindow::bttCancella_Click);
    connect(grMis_, &QAbstractItemView::clicked, this, &RealtimeWindow::grMis_Click);
    connect(cbIntervallo_, &QComboBox::activated, this, &RealtimeWindow::cbIntervallo_Click);
    // tbStartH_Change, tbStartM_Change, tbStopH_Change, tbStopM_Change.
    for (QLineEdit* field : {tbStartH_, tbStartM_, tbStopH_, tbStopM_})
        connect(field, &QLineEdit::textChanged, this, &RealtimeWindow::azioneValidaHhMm);
}

void RealtimeWindow::Form_Load_realtime() {
    guard(ctx_, QStringLiteral("Form_Load_realtime"), [&](TrapScope& s) {
        s.step(1);
        set_messages_reatime();
        s.step(2);
        obMode_->button(kManual)->setChecked(true);
        obMode_Click(kManual);
        s.step(3);
        plantId_ = ctx_.plant.ID;
        if (!leggi_impianto_per_ID(ctx_, plantId_)) return false;
        lbVal_NomeImp_->setText(ctx_.plant.nome);
        lbVal_PotImp_->setText(general_number(ctx_.locale, ctx_.plant.POT));
        s.step(4);
        intestazione_griglia(ctx_, *grMis_);
        gestione_contr();
        cbIntervallo_->setCurrentIndex(0);
        datalogger_->setInterval(kIntervalMinutes[0]);
        return true;
    });
}

void RealtimeWindow::Form_Unload_realtime() {
    // Nothing goes to the instrument: a closing window ends what it did, a run included.
    datalogger_->end();
    ctx_.realtimeFromToolbar = false;
}

void RealtimeWindow::set_messages_reatime() {
    guard(ctx_, QStringLiteral("set_messages_reatime"), [&] {
        setWindowTitle(ctx_.msg(165));
        fr_impianto_->setTitle(ctx_.msg(50));
        fr_modo_->setTitle(ctx_.msg(83));
        fr_start_->setTitle(ctx_.msg(100));
        fr_stop_->setTitle(ctx_.msg(99));
        fr_intervallo_->setTitle(ctx_.msg(84));
        lbNomeImp_->setText(ctx_.msg(81));
        lbPotImp_->setText(ctx_.msg(82));
        bttSalva_->setText(ctx_.msg(97));
        bttCancella_->setText(ctx_.msg(98));
        grMis_->grid().setCaptions(gridCaptions(ctx_));
        return true;
    });
}

bool RealtimeWindow::automatic() const {
    return mode_ == kAuto;
}

bool RealtimeWindow::running() const {
    return datalogger_->running();
}

void RealtimeWindow::obMode_Click(int index) {
    const bool ran = handle([&] {
        guard(ctx_, QStringLiteral("obMode_Click"), [&] {
            mode_ = index;
            for (QGroupBox* frame : {fr_intervallo_, fr_start_, fr_stop_})
                frame->setVisible(index == kAuto);
            if (index == kAuto)
                nested([&] { azioneValidaHhMm(); });
            else
                showControllo(ControlChange::ModeOrRun);
            return true;
        });
    });
    // The option has already moved; it goes back when the choice is refused.
    if (!ran) obMode_->button(mode_)->setChecked(true);
}

void RealtimeWindow::bttControllo_Click() {
    // Starting or ending a run sends nothing, so it overlaps: "Stop" works while a run's sample
    // is being taken.
    handle(
        [&] {
            guard(ctx_, QStringLiteral("bttControllo_Click"), [&] {
                auto modeFree = [this] {
                    fr_modo_->setEnabled(true);
                    for (QAbstractButton* b : obMode_->buttons())
                        b->setEnabled(true);
                };
                if (!automatic()) {
                    modeFree();
                    campiona();
                } else if (!datalogger_->running()) {
                    // A run only on a schedule the fields can hold: an empty or reversed one would
                    // fail or never sample.
                    if (!valida_hh_mm()) return true;
                    fr_modo_->setEnabled(false);
                    datalogger_->begin();
                } else {
                    modeFree();
                    datalogger_->end();
                }
                showControllo(ControlChange::ModeOrRun);
                gestione_contr();
                return true;
            });
        },
        automatic() ? Overlap::Runs : Overlap::Refused);
}

void RealtimeWindow::cbIntervallo_Click(int index) {
    handle([&] {
        guard(ctx_, QStringLiteral("cbIntervallo_Click"), [&] {
            datalogger_->setInterval(intervalAt(index, datalogger_->interval()));
            return true;
        });
    });
}

void RealtimeWindow::azioneValidaHhMm() {
    handle([&] {
        guard(ctx_, QStringLiteral("azioneValidaHhMm"), [&] {
            showControllo(ControlChange::ScheduleChecked);
            return true;
        });
    });
}

bool RealtimeWindow::valida_hh_mm() const {
    return vorna::valida_hh_mm(tbStartH_->text(), tbStartM_->text(), tbStopH_->text(),
                               tbStopM_->text());
}

void RealtimeWindow::campiona() {
    guard(ctx_, QStringLiteral("campiona"), [&] {
        // One exchange at a time: a tick or a click inside one finds it busy.
        if (acquiring_) return true;
        acquiring_ = true;
        gestione_contr();
        const bool ok = lettura(ctx_, lbVal_PotImp_->text(), values_);
        acquiring_ = false;
        if (!ok) {
            // One attempt. A run ends as if "Stop" were pressed; by hand the user may retry:
            // acquiring again at once would repeat without end while the link is down.
            if (datalogger_->running())
                bttControllo_Click();
            else
                gestione_contr();
            return true;
        }
        visualizza_ris();
        gestione_contr();
        return true;
    });
}

void RealtimeWindow::visualizza_ris() {
    guard(ctx_, QStringLiteral("visualizza_ris"), [&](TrapScope& s) {
        s.step(1);
        const QDateTime now = ctx_.clock->now();
        s.step(2);
        double plantPower = kNoValue;
        const MeasurementRecord m = live_sample(ctx_, values_, now, plantPower);
        ctx_.plant.POT = plantPower;
        ctx_.measurement = m;
        s.step(3);
        SampleGridModel& grid = grMis_->grid();
        store_realtime_sample(ctx_, plantId_, grid.table().rowCount() - 1, m);
        s.step(4);
        grid.appendSample(SampleRow::fromRecord(m));
        grid.table().selectRow(grid.table().rowCount() - 1);
        return true;
    });
}

void RealtimeWindow::gestione_contr() {
    guard(ctx_, QStringLiteral("gestione_contr"), [&] {
        const bool noSamples = grMis_->grid().table().sampleCount() == 0;
        const bool running = datalogger_->running();
        const bool tableButtons = !(noSamples || running || acquiring_);
        bttCancella_->setEnabled(tableButtons);
        bttSalva_->setEnabled(tableButtons);
        showControllo(ControlChange::Refresh);
        for (QGroupBox* frame : {fr_start_, fr_stop_, fr_intervallo_})
            frame->setEnabled(!running);
        if (!running)
            for (QWidget* w : std::initializer_list<QWidget*>{tbStartH_, tbStartM_, tbStopH_,
                                                              tbStopM_, cbIntervallo_})
                w->setEnabled(true);
        return true;
    });
}

void RealtimeWindow::showControllo(ControlChange change) {
    const ControlButton b = controlButton(
        change, {automatic(), datalogger_->running(), acquiring_, valida_hh_mm()}, controlCaption_);
    if (b.caption != controlCaption_) {
        controlCaption_ = b.caption;
        bttControllo_->setText(ctx_.msg(b.caption));
    }
    bttControllo_->setEnabled(b.enabled);
}

void RealtimeWindow::grMis_Click() {
    // It only moves the current row back, so it may come during an exchange.
    handle(
        [&] {
            guard(ctx_, QStringLiteral("grMis_Click"), [&] {
                // The next sample goes to the empty last row, whatever row was clicked.
                SampleTable& t = grMis_->grid().table();
                t.selectRow(t.rowCount() - 1);
                return true;
            });
        },
        Overlap::Runs);
}

void RealtimeWindow::bttSalva_Click() {
    handle([&] {
        guard(ctx_, QStringLiteral("bttSalva_Click"), [&] {
            return saveDataloggerFile(ctx_, plantId_, grMis_->grid().table(), kLiveDatalogger);
        });
    });
}

void RealtimeWindow::bttCancella_Click() {
    handle([&] {
        guard(ctx_, QStringLiteral("bttCancella_Click"), [&] {
            grMis_->grid().clearSamples();
            grMis_->grid().table().selectRow(1);
            gestione_contr();
            return true;
        });
    });
}

} // namespace vorna
