#include "realtime_data_window.h"

#include "app_context.h"
#include "chart_window.h"
#include "data_store.h"
#include "error_trap.h"
#include "regional_date.h"
#include "sample_grid_view.h"
#include "sample_panel.h"
#include "saved_files.h"
#include "stored_samples.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorna {

namespace {

constexpr int kWidthTwips = 13455;
constexpr int kHeightTwips = 7815;
constexpr int kFirstHour = 1;
constexpr int kLastHour = 22;

// The whole number a list entry shows ("7" for hour 7); -1 when it shows none.
int entryNumber(const QComboBox* list) {
    bool ok = false;
    const int n = list->currentText().toInt(&ok);
    return ok ? n : -1;
}

} // namespace

RealtimeDataWindow::RealtimeDataWindow(AppContext& ctx, QWidget* parent)
    : ChildWindow(ctx, QStringLiteral("realtime_data"), 1, kWidthTwips, kHeightTwips, parent) {
    build();
    Form_Load_realtime_data();
}

// Form_Unload_realtime_data: the base frees the toolbar and takes the chart with it.
RealtimeDataWindow::~RealtimeDataWindow() = default;

void RealtimeDataWindow::build() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->setSpacing(6);

    auto* choice = new QHBoxLayout;
    lbImp_ = named(new QLabel(this), "lbImp");
    cbImp_ = named(new QComboBox(this), "cbImp");
    lbDate_ = named(new QLabel(this), "lbDate");
    cbDate_ = named(new QComboBox(this), "cbDate");
    cbImp_->setMinimumContentsLength(40);
    cbImp_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbDate_->setMinimumContentsLength(10);
    choice->addWidget(lbImp_);
    choice->addWidget(cbImp_, 1);
    choice->addSpacing(12);
    choice->addWidget(lbDate_);
    choice->addWidget(cbDate_);
    outer->addLayout(choice);

    auto* range = new QHBoxLayout;
    frStart_ = timeFrame(this, "Start", "cb", cbStartH_, cbStartM_);
    frStop_ = timeFrame(this, "Stop", "cb", cbStopH_, cbStopM_);
    for (QComboBox* list : {cbStartH_, cbStartM_, cbStopH_, cbStopM_})
        list->setMinimumContentsLength(2);
    for (QGroupBox* frame : {frStart_, frStop_})
        frame->layout()->setContentsMargins(8, 4, 8, 4);
    bttSalva_ = named(new QPushButton(this), "bttSalva");
    bttGrafico_ = named(new QPushButton(this), "bttGrafico");
    range->addWidget(frStart_);
    range->addWidget(frStop_);
    range->addStretch(1);
    range->addWidget(bttSalva_);
    range->addWidget(bttGrafico_);
    outer->addLayout(range);

    grMis_ = named(new SampleGridView(ctx_.locale, CellRules::Stored, this), "grMis");
    outer->addWidget(grMis_, 1);

    connect(cbImp_, &QComboBox::activated, this, &RealtimeDataWindow::cbImp_Click);
    for (QComboBox* list : {cbDate_, cbStartH_, cbStartM_, cbStopH_, cbStopM_})
        connect(list, &QComboBox::activated, this, &RealtimeDataWindow::aggiornaMisureTabella);
    connect(bttSalva_, &QPushButton::clicked, this, &RealtimeDataWindow::bttSalva_Click);
    connect(bttGrafico_, &QPushButton::clicked, this, &RealtimeDataWindow::bttGrafico_Click);
}

void RealtimeDataWindow::Form_Load_realtime_data() {
    guard(ctx_, QStringLiteral("Form_Load_realtime_data"), [&] {
        popolaMinuti();
        for (int h = kFirstHour; h <= kLastHour; ++h) {
            cbStartH_->addItem(QString::number(h));
            cbStopH_->addItem(QString::number(h));
        }
        cbStartH_->setCurrentIndex(0);
        cbStartM_->setCurrentIndex(0);
        cbStopH_->setCurrentIndex(kLastHour - kFirstHour);
        cbStopM_->setCurrentIndex(59);
        set_messages_realtime_data();
        intestazione_griglia(ctx_, *grMis_);
        cbDate_->clear();
        cbDate_->setEnabled(false);
        bttSalva_->setEnabled(false);
        QStringList plants;
        popola_cbselimp(ctx_, plants);
        cbImp_->addItems(plants);
        cbImp_->setCurrentIndex(-1);
        return true;
    });
}

void RealtimeDataWindow::popolaMinuti() {
    guard(ctx_, QStringLiteral("popolaMinuti"), [&] {
        cbStartM_->clear();
        cbStopM_->clear();
        for (int m = 0; m < 60; ++m) {
            cbStartM_->addItem(QString::number(m));
            cbStopM_->addItem(QString::number(m));
        }
        return true;
    });
}

void RealtimeDataWindow::set_messages_realtime_data() {
    guard(ctx_, QStringLiteral("set_messages_realtime_data"), [&] {
        setWindowTitle(ctx_.msg(166));
        lbImp_->setText(ctx_.msg(78));
        bttGrafico_->setText(ctx_.msg(111));
        bttSalva_->setText(ctx_.msg(97));
        lbDate_->setText(ctx_.msg(28));
        frStart_->setTitle(ctx_.msg(100));
        frStop_->setTitle(ctx_.msg(99));
        grMis_->grid().setCaptions(gridCaptions(ctx_));
        return true;
    });
}

const TextGrid& RealtimeDataWindow::grid() const {
    return grMis_->grid().table();
}

ChartWindow* RealtimeDataWindow::chart() const {
    return chart_;
}

void RealtimeDataWindow::cbImp_Click() {
    handle([&] {
        guard(ctx_, QStringLiteral("cbImp_Click"), [&] {
            cbDate_->clear();
            bttSalva_->setEnabled(false);
            grMis_->grid().clearSamples();
            const int entry = cbImp_->currentIndex();
            if (entry < 1) {
                cbDate_->setEnabled(false);
                return true;
            }
            cbDate_->setEnabled(true);
            plantId_ = ctx_.plantIdList.at(size_t(entry - 1));
            for (const QDate& day : storedSampleDays(ctx_.db, plantId_))
                cbDate_->addItem(yearMonthDayText(ctx_.locale, day), day);
            // A filled list selects its first day by itself; the user has chosen none yet.
            cbDate_->setCurrentIndex(-1);
            return true;
        });
    });
}

bool RealtimeDataWindow::insert_new_row(const Statement& row, std::vector<SampleRow>& rows) {
    return guard(ctx_, QStringLiteral("insert_new_row"), [&] {
        rows.push_back(readStoredSample(row));
        return true;
    });
}

void RealtimeDataWindow::aggiornaMisureTabella() {
    handle([&] {
        for (const QComboBox* list : {cbDate_, cbStartH_, cbStartM_, cbStopH_, cbStopM_})
            if (list->currentText().isEmpty()) return;
        // The grid empties first; its rows' storage takes the new ones.
        std::vector<SampleRow> rows = grMis_->grid().takeSamples();
        rows.clear();
        bool busy = false;
        guard(ctx_, QStringLiteral("aggiornaMisureTabella"), [&] {
            const QDate day = cbDate_->currentData().toDate();
            const QTime start(entryNumber(cbStartH_), entryNumber(cbStartM_));
            const QTime stop(entryNumber(cbStopH_), entryNumber(cbStopM_));
            forEachStoredSample(ctx_.db, plantId_, day, start, stop, [&](Statement& row) {
                if (!busy) {
                    busy = true;
                    ctx_.indicators->setBusy(true);
                }
                insert_new_row(row, rows);
            });
            return true;
        });
        // Rows read before a database error stay.
        const bool any = !rows.empty();
        grMis_->grid().setSamples(std::move(rows));
        grMis_->grid().table().selectRow(grMis_->grid().table().rowCount() - 1);
        if (busy) ctx_.indicators->setBusy(false);
        if (any) bttSalva_->setEnabled(true);
    });
}

void RealtimeDataWindow::bttSalva_Click() {
    handle([&] {
        guard(ctx_, QStringLiteral("bttSalva_Click"), [&] {
            return saveDataloggerFile(ctx_, plantId_, grMis_->grid().table(), kStoredDatalogger);
        });
    });
}

void RealtimeDataWindow::bttGrafico_Click() {
    handle([&] {
        guard(ctx_, QStringLiteral("bttGrafico_Click"), [&] {
            if (cbImp_->currentIndex() < 1) {
                ctx_.prompts.warning(ctx_.msg(127));
                cbImp_->setFocus();
                return true;
            }
            if (cbDate_->currentIndex() < 0) {
                ctx_.prompts.warning(ctx_.msg(119));
                cbDate_->setFocus();
                return true;
            }
            // One chart at a time: asking again brings it to the front.
            openSubWindow(chart_, [&] { return new ChartWindow(ctx_, *this); });
            return true;
        });
    });
}

} // namespace vorna
