#include "installation_window.h"

#include "app_context.h"
#include "data_store.h"
#include "downloads.h"
#include "error_trap.h"
#include "link.h"
#include "number_format.h"
#include "plant_details_pane.h"
#include "plant_duplicate.h"
#include "plant_store.h"
#include "realtime_power.h"
#include "validation.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorna {

namespace {

constexpr int kWidthTwips = 7095;
constexpr int kHeightTwips = 6900;

} // namespace

InstallationWindow::InstallationWindow(AppContext& ctx, QWidget* parent)
    : ChildWindow(ctx, QStringLiteral("installation"), 1, kWidthTwips, kHeightTwips, parent) {
    build();
    Form_Load_installation();
}

void InstallationWindow::build() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(10, 10, 10, 10);
    auto* choice = new QHBoxLayout;
    lbSelImp_ = named(new QLabel(this), "lbSelImp");
    cbSelImp_ = named(new QComboBox(this), "cbSelImp");
    cbSelImp_->setMaxVisibleItems(20);
    lbSelImp_->setBuddy(cbSelImp_);
    choice->addWidget(lbSelImp_);
    choice->addWidget(cbSelImp_, 1);
    outer->addLayout(choice);
    outer->addSpacing(8);

    pane_ = new PlantDetailsPane(ctx_, general_number, this);
    outer->addWidget(pane_, 1);

    auto* buttons = new QHBoxLayout;
    bttComm1_ = named(new QPushButton(this), "bttComm1");
    bttComm2_ = named(new QPushButton(this), "bttComm2");
    bttComm3_ = named(new QPushButton(this), "bttComm3");
    for (QPushButton* b : {bttComm1_, bttComm2_, bttComm3_})
        buttons->addWidget(b);
    outer->addLayout(buttons);

    connect(cbSelImp_, &QComboBox::activated, this, &InstallationWindow::cbSelImp_Click);
    connect(bttComm1_, &QPushButton::clicked, this, &InstallationWindow::bttComm1_Click);
    connect(bttComm2_, &QPushButton::clicked, this, &InstallationWindow::bttComm2_Click);
    connect(bttComm3_, &QPushButton::clicked, this, &InstallationWindow::bttComm3_Click);
}

void InstallationWindow::Form_Load_installation() {
    guard(ctx_, QStringLiteral("Form_Load_installation"), [&] {
        set_messages_installation();
        ctx_.plant.ID = -1;
        installationStep_ = 1;
        step();
        return true;
    });
}

void InstallationWindow::set_messages_installation() {
    guard(ctx_, QStringLiteral("set_messages_installation"), [&] {
        setWindowTitle(ctx_.msg(165));
        lbSelImp_->setText(ctx_.msg(50));
        pane_->set_messages();
        gestione_bottoni();
        return true;
    });
}

void InstallationWindow::gestione_bottoni() {
    guard(ctx_, QStringLiteral("gestione_bottoni"), [&] {
        struct State {
            int caption1, caption2, caption3;
            bool second, third;
        };
        const bool linkUp = ctx_.link.baseLinkUp();
        const State states[] = {{128, 173, 132, linkUp, false},
                                {129, 149, 132, true, true},
                                {131, 130, 132, true, false}};
        const State& s = states[qBound(1, installationStep_, 3) - 1];
        bttComm1_->setEnabled(true);
        bttComm1_->setText(ctx_.msg(s.caption1));
        bttComm2_->setEnabled(s.second);
        bttComm2_->setText(ctx_.msg(s.caption2));
        bttComm3_->setEnabled(s.third);
        bttComm3_->setText(ctx_.msg(s.caption3));
        return true;
    });
}

void InstallationWindow::refillPlants() {
    // popola_cbselimp leaves the list alone when no plant is left: a deleted last plant would
    // stay listed.
    cbSelImp_->clear();
    ctx_.plantIdList.clear();
    QStringList entries;
    popola_cbselimp(ctx_, entries);
    cbSelImp_->addItems(entries);
}

void InstallationWindow::step() {
    guard(ctx_, QStringLiteral("step"), [&] {
        gestione_bottoni();
        switch (installationStep_) {
        case 1:
            cbSelImp_->setEnabled(true);
            refillPlants();
            pane_->en_dis_controls(false);
            // Browsing: no plant chosen, so a new plant is never saved over the last one shown.
            ctx_.plant.ID = -1;
            reset_variabili_impianto(ctx_);
            pane_->clear_controls();
            break;
        case 2:
            cbSelImp_->setEnabled(true);
            pane_->en_dis_controls(false);
            break;
        default:
            cbSelImp_->setEnabled(false);
            pane_->en_dis_controls(true);
            break;
        }
        return true;
    });
}

void InstallationWindow::cbSelImp_Click() {
    handle([&] {
        guard(ctx_, QStringLiteral("cbSelImp_Click"), [&](TrapScope& s) {
            const int entry = cbSelImp_->currentIndex();
            if (entry <= 0 || entry > int(ctx_.plantIdList.size())) {
                ctx_.plant.ID = -1;
                installationStep_ = 1;
                step();
                return true;
            }
            s.step(1);
            const qint64 id = ctx_.plantIdList[size_t(entry - 1)];
            ctx_.plant.ID = id;
            installationStep_ = 2;
            step();
            s.step(2);
            const StoredPlant stored = PlantStore(ctx_).load(id);
            if (!stored.found()) {
                s.falseIsFailure = true;
                return s.fail(QString());
            }
            ctx_.plant = stored.plant;
            pane_->var_to_controls(ctx_.plant);
            return true;
        });
    });
}

void InstallationWindow::bttComm1_Click() {
    handle([&] {
        guard(ctx_, QStringLiteral("bttComm1_Click"), [&] {
            if (installationStep_ != 3) {
                installationStep_ = 3;
                step();
            } else if (salva_impianto()) {
                installationStep_ = 1;
                step();
            }
            return true;
        });
    });
}

void InstallationWindow::bttComm2_Click() {
    handle([&] {
        guard(ctx_, QStringLiteral("bttComm2_Click"), [&] {
            switch (installationStep_) {
            case 1:
                if (!scarica_impianti(ctx_, QStringLiteral("installation"))) return false;
                break;
            case 2:
                if (ctx_.prompts.question(ctx_.msg(150), ctx_.msg(154)) &&
                    !cancella_impianto_da_DB(ctx_, ctx_.plant.ID))
                    return false;
                break;
            default:
                nested([&] { cbSelImp_Click(); });
                break;
            }
            installationStep_ = 1;
            step();
            return true;
        });
    });
}

void InstallationWindow::bttComm3_Click() {
    handle([&] {
        guard(ctx_, QStringLiteral("bttComm3_Click"), [&] {
            if (installationStep_ != 2) return true;
            if (!realtime_power_allowed(ctx_, pane_->tbPot()->text())) {
                ctx_.prompts.warning(ctx_.msg(204), QStringLiteral("Error"));
                return true;
            }
            ctx_.openWindow(QStringLiteral("realtime"));
            // Not at once: the close waits until this handler has returned.
            closeWindow();
            return true;
        });
    });
}

bool InstallationWindow::salva_impianto() {
    return guard(ctx_, QStringLiteral("salva_impianto"), [&](TrapScope& s) {
        s.step(1);
        if (!validazione_dati_imp(ctx_, pane_->fields())) return false;
        s.step(2);
        switch (find_duplicate_plant(ctx_, pane_->fields(), pane_->aboveTwenty(), general_number)) {
        case DuplicateCheck::Found:
            ctx_.prompts.warning(ctx_.msg(133), QStringLiteral("Error"));
            return true;
        case DuplicateCheck::Unreadable:
            s.falseIsFailure = true;
            return s.fail(QString());
        case DuplicateCheck::None:
            break;
        }
        s.step(3);
        PlantStore store(ctx_);
        PlantRecord& p = ctx_.plant;
        if (store.count() == 0) p.ID = -1;
        s.step(4);
        pane_->controls_to_var(p);
        // This window has always logged a vanished plant so.
        if (store.save(p, RunError(err::kDatabaseBase, QStringLiteral("no plant"))) < 0)
            return false;
        s.step(5);
        refillPlants();
        cbSelImp_->setCurrentIndex(0);
        nested([&] { cbSelImp_Click(); });
        return true;
    });
}

} // namespace vorna
