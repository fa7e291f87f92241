#include "report_window.h"

#include "app_context.h"
#include "downloads.h"
#include "error_trap.h"
#include "link.h"
#include "report_download.h"
#include "report_writing.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>

namespace vorna {

namespace {

constexpr int kWidthTwips = 8190;
constexpr int kHeightTwips = 2550;
const QString kWindow = QStringLiteral("rep");

} // namespace

ReportWindow::ReportWindow(AppContext& ctx, QWidget* parent)
    : ChildWindow(ctx, kWindow, 1, kWidthTwips, kHeightTwips, parent),
      progress_(ctx, [this] { showProgress(); }) {
    build();
    Form_Load_rep();
}

void ReportWindow::build() {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setVerticalSpacing(4);
    bttSincr_ = named(new QPushButton(this), "bttSincr");
    pbScarica_ = named(new QProgressBar(this), "pbScarica");
    pbScarica_->setRange(0, DownloadProgress::kMaximum);
    pbScarica_->setTextVisible(false);
    lbScarica_ = named(new QLabel(this), "lbScarica");
    bttInterrompi_ = named(new QPushButton(this), "bttInterrompi");
    lbImp_ = named(new QLabel(this), "lbImp");
    cbImp_ = named(new QComboBox(this), "cbImp");
    lbMis_ = named(new QLabel(this), "lbMis");
    cbMis_ = named(new QComboBox(this), "cbMis");
    bttComando_ = named(new QPushButton(this), "bttComando");
    lbMessaggio_ = named(new QLabel(this), "lbMessaggio");
    for (QComboBox* cb : {cbImp_, cbMis_}) {
        cb->setMaxVisibleItems(15);
        cb->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    }

    grid->addWidget(bttSincr_, 0, 0);
    grid->addWidget(pbScarica_, 0, 1, 1, 2);
    grid->addWidget(bttInterrompi_, 0, 3);
    grid->addWidget(lbScarica_, 1, 1, 1, 3);
    grid->addWidget(lbImp_, 2, 0);
    grid->addWidget(cbImp_, 2, 1, 1, 3);
    grid->addWidget(lbMis_, 3, 0);
    grid->addWidget(cbMis_, 3, 1, 1, 2);
    grid->addWidget(bttComando_, 3, 3);
    grid->addWidget(lbMessaggio_, 2, 0, 2, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);

    connect(bttSincr_, &QPushButton::clicked, this, &ReportWindow::bttSincr_Click);
    connect(bttInterrompi_, &QPushButton::clicked, this, &ReportWindow::bttInterrompi_Click);
    connect(bttComando_, &QPushButton::clicked, this, &ReportWindow::bttComando_Click);
    // The user's choice only: refilling a list from code starts nothing.
    connect(cbImp_, &QComboBox::activated, this, &ReportWindow::cbImp_Click);
    connect(cbMis_, &QComboBox::activated, this, &ReportWindow::cbMis_Click);
}

void ReportWindow::Form_Load_rep() {
    guard(ctx_, QStringLiteral("Form_Load_rep"), [&] {
        set_messages();
        reportStep = 1;
        step();
    });
}

void ReportWindow::set_messages() {
    guard(ctx_, QStringLiteral("set_messages"), [&] {
        setWindowTitle(ctx_.msg(164));
        lbImp_->setText(ctx_.msg(50));
        lbMis_->setText(ctx_.msg(51));
        bttSincr_->setText(ctx_.msg(148));
        bttInterrompi_->setText(ctx_.msg(99));
        bttComando_->setText(reportStep == 4 ? QStringLiteral("OK") : ctx_.msg(49));
    });
}

void ReportWindow::linkChanged() {
    gestione_bottoni();
}

void ReportWindow::showProgress() {
    // The text first: whoever follows the bar then reads the text that goes with its value.
    lbScarica_->setText(progress_.text());
    pbScarica_->setValue(progress_.value());
    if (bttInterrompi_->isVisibleTo(this) != progress_.running()) gestione_bottoni();
}

void ReportWindow::bttSincr_Click() {
    handle([&] {
        guard(ctx_, QStringLiteral("bttSincr_Click"), [&](TrapScope& s) {
            s.step(1);
            QString logo;
            if (!ask_logo(ctx_, kWindow, logo)) return false;
            s.step(3);
            store_report_signature(ctx_, logo);
            s.step(4);
            download_plants_and_measurements(ctx_, kWindow, progress_);
            s.step(5);
            reportStep = 1;
            step();
            return true;
        });
    });
}

void ReportWindow::bttInterrompi_Click() {
    // It overlaps: it must work while the download's handler runs. The download ends before
    // its next exchange, never inside one, so the link stays up.
    handle([&] { progress_.requestStop(); }, Overlap::Runs);
}

void ReportWindow::closeEvent(QCloseEvent* event) {
    // Closing the window or the program ends a download the same way; the close itself waits
    // for the handler to return.
    if (progress_.running()) progress_.requestStop();
    ChildWindow::closeEvent(event);
}

void ReportWindow::cbImp_Click() {
    handle([&] {
        guard(ctx_, QStringLiteral("cbImp_Click"), [&] {
            reportStep = cbImp_->currentIndex() == 0 ? 1 : 2;
            step();
        });
    });
}

void ReportWindow::cbMis_Click() {
    handle([&] {
        guard(ctx_, QStringLiteral("cbMis_Click"), [&] {
            reportStep = 3;
            step();
        });
    });
}

void ReportWindow::bttComando_Click() {
    handle([&] {
        guard(ctx_, QStringLiteral("bttComando_Click"), [&](TrapScope& s) {
            if (reportStep == 4) {
                reportStep = 2;
            } else if (reportStep == 3) {
                s.step(1);
                const size_t k = size_t(cbMis_->currentIndex());
                const int source = entries_.measurementSource.at(k);
                const qint64 id = entries_.measurementId.at(k);
                if (source == -1) {
                    s.falseIsFailure = true;
                    return s.fail(QStringLiteral("no measurement chosen"));
                }
                s.step(2);
                const ReportResult written = writeReports(
                    ctx_, source == 1 ? MeasurementSource::Downloaded : MeasurementSource::Realtime,
                    id, s);
                if (written == ReportResult::Failed) return false;
                if (written == ReportResult::Cancelled) return true;
                lbMessaggio_->setText(
                    ctx_.msg(written == ReportResult::SheetAndCertificate ? 38 : 39));
                reportStep = 4;
            }
            step();
            return true;
        });
    });
}

void ReportWindow::step() {
    guard(ctx_, QStringLiteral("step"), [&](TrapScope& s) {
        s.step(1);
        gestione_bottoni();
        if (reportStep <= 2) cbMis_->clear();
        if (reportStep == 1) {
            s.step(2);
            QStringList plants;
            if (popola_cbselimp(ctx_, plants) && !plants.isEmpty()) {
                cbImp_->clear();
                cbImp_->addItems(plants);
            }
        } else if (reportStep == 2) {
            s.step(3);
            selectedPlantId = ctx_.plantIdList.at(size_t(cbImp_->currentIndex() - 1));
            entries_.clear();
            // What was read before an overflow stays selectable.
            const auto show = qScopeGuard([this] {
                cbMis_->addItems(entries_.texts);
                cbMis_->setCurrentIndex(-1);
            });
            fillMeasurementEntries(ctx_, selectedPlantId, entries_);
        }
        return true;
    });
}

void ReportWindow::gestione_bottoni() {
    guard(ctx_, QStringLiteral("gestione_bottoni"), [&] {
        // During a download nothing that would start another is enabled.
        const bool downloading = progress_.running();
        bttSincr_->setEnabled(!downloading && ctx_.link.baseLinkUp());
        for (QWidget* w : {static_cast<QWidget*>(cbImp_), static_cast<QWidget*>(cbMis_),
                           static_cast<QWidget*>(bttComando_)})
            w->setEnabled(!downloading);
        for (QWidget* w : {static_cast<QWidget*>(pbScarica_), static_cast<QWidget*>(lbScarica_),
                           static_cast<QWidget*>(bttInterrompi_)})
            w->setVisible(downloading);
        if (reportStep < 1 || reportStep > 4) return true;
        const bool lists = reportStep != 4;
        for (QWidget* w : {static_cast<QWidget*>(lbImp_), static_cast<QWidget*>(cbImp_),
                           static_cast<QWidget*>(lbMis_), static_cast<QWidget*>(cbMis_)})
            w->setVisible(lists);
        lbMessaggio_->setVisible(reportStep == 4);
        bttSincr_->setText(ctx_.msg(148));
        bttComando_->setVisible(reportStep >= 3);
        bttComando_->setText(reportStep == 4 ? QStringLiteral("OK") : ctx_.msg(49));
        return true;
    });
}

} // namespace vorna
