#include "plants_window.h"

#include "app_context.h"
#include "data_store.h"
#include "error_trap.h"
#include "link.h"
#include "plant_details_pane.h"
#include "plant_duplicate.h"
#include "plant_list_text.h"
#include "plant_store.h"
#include "validation.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace vorna {

namespace {

constexpr int kWidthTwips = 15180;
constexpr int kHeightTwips = 7680;

bool byUser(const QFocusEvent* e) {
    switch (e->reason()) {
    case Qt::MouseFocusReason:
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
        return true;
    default:
        return false;
    }
}

} // namespace

PlantsWindow::PlantsWindow(AppContext& ctx, QWidget* parent)
    : ChildWindow(ctx, QStringLiteral("frmImpianti"), 1, kWidthTwips, kHeightTwips, parent) {
    build();
    Form_Load_impianti();
}

void PlantsWindow::build() {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setHorizontalSpacing(8);

    frImpStrum_ = named(new QGroupBox(this), "frImpStrum");
    lsbImpStrum_ = named(new QListWidget(frImpStrum_), "lsbImpStrum");
    frImpPc_ = named(new QGroupBox(this), "frImpPc");
    lsbImpPc_ = named(new QListWidget(frImpPc_), "lsbImpPc");
    for (auto [frame, list] :
         {std::pair{frImpStrum_, lsbImpStrum_}, std::pair{frImpPc_, lsbImpPc_}}) {
        auto* box = new QVBoxLayout(frame);
        box->setContentsMargins(6, 6, 6, 6);
        box->addWidget(list);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->installEventFilter(this);
    }
    frDatiImp_ = named(new QGroupBox(this), "frDatiImp");
    pane_ = new PlantDetailsPane(ctx_, one_or_two_decimals, frDatiImp_);
    auto* details = new QVBoxLayout(frDatiImp_);
    details->setContentsMargins(8, 6, 8, 6);
    details->addWidget(pane_);

    auto button = [this](const char* name) { return named(new QPushButton(this), name); };
    bttStrumToPc_ = button("bttStrumToPc");
    bttPcToStrum_ = button("bttPcToStrum");
    bttLeggiStrum_ = button("bttLeggiStrum");
    bttCancStrum_ = button("bttCancStrum");
    bttNewPc_ = button("bttNewPc");
    bttModPc_ = button("bttModPc");
    bttCancPc_ = button("bttCancPc");
    bttSalvaFilePc_ = button("bttSalvaFilePc");
    bttOk_ = button("bttOk");
    bttAnnulla_ = button("bttAnnulla");

    auto* transfer = new QVBoxLayout;
    transfer->addStretch(1);
    transfer->addWidget(bttStrumToPc_);
    transfer->addSpacing(12);
    transfer->addWidget(bttPcToStrum_);
    transfer->addStretch(1);

    auto* instrumentButtons = new QHBoxLayout;
    instrumentButtons->addWidget(bttLeggiStrum_);
    instrumentButtons->addWidget(bttCancStrum_);
    auto* pcButtons = new QGridLayout;
    pcButtons->addWidget(bttNewPc_, 0, 0);
    pcButtons->addWidget(bttModPc_, 0, 1);
    pcButtons->addWidget(bttCancPc_, 1, 0);
    pcButtons->addWidget(bttSalvaFilePc_, 1, 1);
    auto* editButtons = new QHBoxLayout;
    editButtons->addStretch(1);
    editButtons->addWidget(bttOk_);
    editButtons->addWidget(bttAnnulla_);

    grid->addWidget(frImpStrum_, 0, 0);
    grid->addLayout(transfer, 0, 1);
    grid->addWidget(frImpPc_, 0, 2);
    grid->addWidget(frDatiImp_, 0, 3, 2, 1);
    grid->addLayout(instrumentButtons, 1, 0);
    grid->addLayout(pcButtons, 1, 2);
    grid->addLayout(editButtons, 2, 3);
    grid->setColumnStretch(0, 5);
    grid->setColumnStretch(2, 5);
    grid->setColumnStretch(3, 7);
    grid->setRowStretch(0, 1);

    const std::pair<QPushButton*, void (PlantsWindow::*)()> handlers[] = {
        {bttNewPc_, &PlantsWindow::bttNewPc_Click},
        {bttModPc_, &PlantsWindow::bttModPc_Click},
        {bttOk_, &PlantsWindow::bttOk_Click},
        {bttAnnulla_, &PlantsWindow::bttAnnulla_Click},
        {bttCancPc_, &PlantsWindow::bttCancPc_Click},
        {bttSalvaFilePc_, &PlantsWindow::bttSalvaFilePc_Click},
        {bttLeggiStrum_, &PlantsWindow::bttLeggiStrum_Click},
        {bttStrumToPc_, &PlantsWindow::bttStrumToPc_Click},
        {bttPcToStrum_, &PlantsWindow::bttPcToStrum_Click},
        {bttCancStrum_, &PlantsWindow::bttCancStrum_Click},
    };
    for (const auto& [b, h] : handlers)
        connect(b, &QPushButton::clicked, this, h);
    // Filled and unselected from code only with signals blocked: a signal is the user's choice.
    connect(lsbImpPc_, &QListWidget::itemSelectionChanged, this, &PlantsWindow::lsbImpPc_Click);
    connect(lsbImpStrum_, &QListWidget::itemSelectionChanged, this,
            &PlantsWindow::lsbImpStrum_Click);
}

bool PlantsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && byUser(static_cast<QFocusEvent*>(event))) {
        if (watched == lsbImpPc_) lsbImpPc_GotFocus();
        if (watched == lsbImpStrum_) lsbImpStrum_GotFocus();
    }
    return ChildWindow::eventFilter(watched, event);
}

void PlantsWindow::Form_Load_impianti() {
    guard(ctx_, QStringLiteral("Form_Load_impianti"), [&](TrapScope& s) {
        s.step(1);
        set_messages_impianti();
        ctx_.plant.ID = -1;
        s.step(2);
        leggi_impianti_da_pc();
        selectedPcRow_ = selectedInstrumentSlot_ = -1;
        editMode_ = false;
        gestione_bottoni();
        en_dis_controls_dettagli_imp(false);
        return true;
    });
}

void PlantsWindow::set_messages_impianti() {
    guard(ctx_, QStringLiteral("set_messages_impianti"), [&] {
        setWindowTitle(ctx_.msg(167));
        pane_->set_messages();
        const std::pair<QPushButton*, int> buttons[] = {
            {bttAnnulla_, 187},    {bttCancPc_, 188},    {bttCancStrum_, 189},
            {bttLeggiStrum_, 190}, {bttModPc_, 191},     {bttNewPc_, 192},
            {bttOk_, 193},         {bttPcToStrum_, 194}, {bttSalvaFilePc_, 195},
            {bttStrumToPc_, 196}};
        for (const auto& [b, n] : buttons)
            b->setText(ctx_.msg(n));
        frImpStrum_->setTitle(ctx_.msg(197));
        frImpPc_->setTitle(ctx_.msg(198));
        frDatiImp_->setTitle(ctx_.msg(199));
        lsbImpStrum_->setAccessibleName(frImpStrum_->title());
        lsbImpPc_->setAccessibleName(frImpPc_->title());
        return true;
    });
}

bool PlantsWindow::leggi_impianti_da_pc() {
    return guard(ctx_, QStringLiteral("leggi_impianti_da_pc"), [&](TrapScope& s) {
        s.step(1);
        {
            const QSignalBlocker quiet(lsbImpPc_);
            lsbImpPc_->clear();
        }
        pcPlantIdList_.clear();
        selectedPcRow_ = -1;
        s.step(2);
        const PlantList stored = PlantStore(ctx_).list();
        s.step(3);
        QStringList rows;
        std::vector<qint64> ids;
        ids.reserve(stored.plants.size());
        for (const PlantRecord& p : stored.plants) {
            rows << plant_list_text(p);
            ids.push_back(p.ID);
        }
        const QSignalBlocker quiet(lsbImpPc_);
        lsbImpPc_->addItems(rows);
        pcPlantIdList_ = std::move(ids);
        return stored.complete;
    });
}

void PlantsWindow::gestione_bottoni() {
    const bool browsing = !editMode_;
    const bool pc = selectedPcRow_ >= 0;
    const bool instrument = selectedInstrumentSlot_ >= 0;
    const bool link = ctx_.link.baseLinkUp();
    bttOk_->setEnabled(editMode_);
    bttAnnulla_->setEnabled(editMode_);
    bttNewPc_->setEnabled(browsing);
    for (QPushButton* b : {bttModPc_, bttCancPc_, bttSalvaFilePc_})
        b->setEnabled(browsing && pc);
    bttCancStrum_->setEnabled(browsing && instrument);
    bttLeggiStrum_->setEnabled(browsing && link);
    bttPcToStrum_->setEnabled(browsing && pc && link);
    bttStrumToPc_->setEnabled(browsing && instrument && link);
}

void PlantsWindow::en_dis_controls_dettagli_imp(bool enable) {
    pane_->en_dis_controls(enable);
}

void PlantsWindow::clear_controls_dettagli_imp() {
    pane_->clear_controls();
}

void PlantsWindow::var_to_controls_dettagli_imp(const PlantRecord& plant) {
    pane_->var_to_controls(plant);
}

void PlantsWindow::controls_dettagli_imp_to_var(PlantRecord& plant) {
    pane_->controls_to_var(plant);
}

void PlantsWindow::array_to_controls_dettagli_imp(int slot) {
    pane_->var_to_controls(table_.plants.at(size_t(slot)));
}

PlantRecord PlantsWindow::array_to_var() const {
    PlantRecord plant;
    copy_plant_fields(table_.plants.at(size_t(selectedInstrumentSlot_)), plant);
    return plant;
}

void PlantsWindow::unselect(QListWidget* list) {
    const QSignalBlocker quiet(list);
    list->clearSelection();
    list->setCurrentRow(-1);
}

void PlantsWindow::enableLists(bool enable) {
    lsbImpPc_->setEnabled(enable);
    lsbImpStrum_->setEnabled(enable);
}

void PlantsWindow::restoreSelection() {
    const QSignalBlocker quietPc(lsbImpPc_);
    const QSignalBlocker quietStrum(lsbImpStrum_);
    lsbImpPc_->setCurrentRow(selectedPcRow_);
    const auto& rows = table_.rowSlot;
    const auto it = std::find(rows.begin(), rows.end(), selectedInstrumentSlot_);
    lsbImpStrum_->setCurrentRow(
        selectedInstrumentSlot_ >= 0 && it != rows.end() ? int(it - rows.begin()) : -1);
}

// ---- PC side ----

void PlantsWindow::lsbImpPc_Click() {
    const bool ran = handle([&] {
        guard(ctx_, QStringLiteral("lsbImpPc_Click"), [&](TrapScope& s) {
            const int row = lsbImpPc_->selectedItems().isEmpty() ? -1 : lsbImpPc_->currentRow();
            if (row < 0 || row >= int(pcPlantIdList_.size())) {
                clear_controls_dettagli_imp();
                selectedPcRow_ = selectedInstrumentSlot_ = -1;
                gestione_bottoni();
                return true;
            }
            s.step(2);
            const StoredPlant stored = PlantStore(ctx_).load(pcPlantIdList_[size_t(row)]);
            s.step(3);
            if (!stored.found()) {
                restoreSelection();
                s.falseIsFailure = true;
                return s.fail(QString());
            }
            var_to_controls_dettagli_imp(stored.plant);
            selectedPcRow_ = row;
            // One plant in the pane: the other list lets go of its own.
            selectedInstrumentSlot_ = -1;
            unselect(lsbImpStrum_);
            gestione_bottoni();
            return true;
        });
    });
    if (!ran) restoreSelection();
}

void PlantsWindow::lsbImpPc_GotFocus() {
    const bool ran = handle([&] {
        unselect(lsbImpStrum_);
        selectedInstrumentSlot_ = -1;
        nested([&] { lsbImpPc_Click(); });
    });
    if (!ran) restoreSelection();
}

void PlantsWindow::bttNewPc_Click() {
    handle([&] {
        editMode_ = true;
        selectedPcRow_ = -1;
        unselect(lsbImpPc_);
        en_dis_controls_dettagli_imp(true);
        clear_controls_dettagli_imp();
        enableLists(false);
        gestione_bottoni();
    });
}

void PlantsWindow::bttModPc_Click() {
    handle([&] {
        editMode_ = true;
        en_dis_controls_dettagli_imp(true);
        enableLists(false);
        gestione_bottoni();
    });
}

bool PlantsWindow::salva_impianto() {
    return guard(ctx_, QStringLiteral("salva_impianto"), [&](TrapScope& s) {
        s.step(1);
        const PlantFields fields = pane_->fields();
        if (!validazione_dati_imp(ctx_, fields)) return false;
        s.step(2);
        switch (find_duplicate_plant(ctx_, fields, pane_->aboveTwenty(), one_or_two_decimals)) {
        case DuplicateCheck::Unreadable:
            s.falseIsFailure = true;
            return s.fail(QString());
        case DuplicateCheck::Found:
            ctx_.prompts.warning(ctx_.msg(133));
            return true;
        case DuplicateCheck::None:
            break;
        }
        s.step(3);
        PlantStore store(ctx_);
        if (store.count() == 0) selectedPcRow_ = -1;
        PlantRecord plant;
        controls_dettagli_imp_to_var(plant);
        s.step(5);
        plant.ID = selectedPcRow_ >= 0 ? pcPlantIdList_.at(size_t(selectedPcRow_)) : -1;
        return store.save(plant) >= 0;
    });
}

void PlantsWindow::bttOk_Click() {
    handle([&] {
        if (!salva_impianto()) return;
        editMode_ = false;
        clear_controls_dettagli_imp();
        leggi_impianti_da_pc();
        en_dis_controls_dettagli_imp(false);
        enableLists(true);
        gestione_bottoni();
    });
}

void PlantsWindow::bttAnnulla_Click() {
    handle([&] {
        editMode_ = false;
        en_dis_controls_dettagli_imp(false);
        enableLists(true);
        // The selection stays, so the pane shows its plant again: the buttons act on it, and a
        // pane left blank would send or save an empty plant.
        if (selectedPcRow_ >= 0) {
            nested([&] { lsbImpPc_Click(); });
        } else if (selectedInstrumentSlot_ >= 0) {
            array_to_controls_dettagli_imp(selectedInstrumentSlot_);
        } else {
            clear_controls_dettagli_imp();
        }
        gestione_bottoni();
    });
}

void PlantsWindow::bttCancPc_Click() {
    handle([&] {
        guard(ctx_, QStringLiteral("bttCancPc_Click"), [&] {
            if (selectedPcRow_ < 0) return false;
            if (ctx_.prompts.question(ctx_.msg(150), ctx_.msg(154)) &&
                !cancella_impianto_da_DB(ctx_, pcPlantIdList_.at(size_t(selectedPcRow_))))
                return false;
            clear_controls_dettagli_imp();
            leggi_impianti_da_pc();
            return true;
        });
        gestione_bottoni();
    });
}

void PlantsWindow::bttSalvaFilePc_Click() {
    handle([&] {
        guard(ctx_, QStringLiteral("bttSalvaFilePc_Click"), [&] {
            if (selectedPcRow_ < 0) return false;
            return salva_impianto_su_file(ctx_, pcPlantIdList_.at(size_t(selectedPcRow_)));
        });
    });
}

// ---- instrument side ----

void PlantsWindow::fillInstrumentList() {
    const QSignalBlocker quiet(lsbImpStrum_);
    lsbImpStrum_->clear();
    for (int slot : table_.rowSlot)
        lsbImpStrum_->addItem(plant_list_text(table_.plants.at(size_t(slot))));
    lsbImpStrum_->setCurrentRow(-1);
    // The rebuilt list has no selection: a pane that showed an instrument plant lets it go.
    if (selectedInstrumentSlot_ >= 0) {
        selectedInstrumentSlot_ = -1;
        if (selectedPcRow_ < 0 && !editMode_) clear_controls_dettagli_imp();
    }
}

bool PlantsWindow::leggi_impianti_da_strum() {
    return vorna::leggi_impianti_da_strum(ctx_, table_, [this] { fillInstrumentList(); });
}

void PlantsWindow::bttLeggiStrum_Click() {
    handle([&] {
        leggi_impianti_da_strum();
        gestione_bottoni();
    });
}

void PlantsWindow::lsbImpStrum_Click() {
    const bool ran = handle([&] {
        guard(ctx_, QStringLiteral("lsbImpStrum_Click"), [&] {
            const int row =
                lsbImpStrum_->selectedItems().isEmpty() ? -1 : lsbImpStrum_->currentRow();
            if (row >= 0 && row < int(table_.rowSlot.size())) {
                const int slot = table_.rowSlot[size_t(row)];
                array_to_controls_dettagli_imp(slot);
                selectedInstrumentSlot_ = slot;
                selectedPcRow_ = -1;
                unselect(lsbImpPc_);
            } else {
                clear_controls_dettagli_imp();
                selectedInstrumentSlot_ = selectedPcRow_ = -1;
            }
            gestione_bottoni();
            return true;
        });
    });
    if (!ran) restoreSelection();
}

void PlantsWindow::lsbImpStrum_GotFocus() {
    const bool ran = handle([&] {
        unselect(lsbImpPc_);
        selectedPcRow_ = -1;
        gestione_bottoni();
        nested([&] { lsbImpStrum_Click(); });
    });
    if (!ran) restoreSelection();
}

void PlantsWindow::bttStrumToPc_Click() {
    handle([&] {
        guard(ctx_, QStringLiteral("bttStrumToPc_Click"), [&] {
            if (selectedInstrumentSlot_ < 0) return false;
            if (PlantStore(ctx_).save(array_to_var()) < 0) return false;
            leggi_impianti_da_pc();
            return true;
        });
        gestione_bottoni();
    });
}

void PlantsWindow::bttPcToStrum_Click() {
    handle([&] {
        if (selectedPcRow_ >= 0 &&
            send_plant_to_instrument(ctx_, QStringLiteral("bttPcToStrum_Click"), pane_->fields(),
                                     pane_->aboveTwenty()) == TransferResult::Sent)
            leggi_impianti_da_strum();
        gestione_bottoni();
    });
}

void PlantsWindow::bttCancStrum_Click() {
    handle([&] {
        guard(ctx_, QStringLiteral("bttCancStrum_Click"), [&](TrapScope& s) {
            if (selectedInstrumentSlot_ < 0) return false;
            const size_t slot = size_t(selectedInstrumentSlot_);
            s.step(1);
            if (!ctx_.prompts.question(ctx_.msg(202) + QStringLiteral(" '") +
                                           table_.plants[slot].nome + QLatin1Char('\'') +
                                           ctx_.msg(203) + QLatin1Char('?'),
                                       QStringLiteral("VORNA_REPORT"), QuestionIcon::None))
                return false;
            s.step(2);
            if (!delete_plant_on_instrument(ctx_, table_.numbers[slot])) return false;
            s.step(3);
            table_.rowSlot.clear();
            fillInstrumentList();
            leggi_impianti_da_strum();
            clear_controls_dettagli_imp();
            selectedPcRow_ = selectedInstrumentSlot_ = -1;
            unselect(lsbImpPc_);
            unselect(lsbImpStrum_);
            return true;
        });
        gestione_bottoni();
    });
}

} // namespace vorna
