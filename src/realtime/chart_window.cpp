#include "chart_window.h"

#include "app_context.h"
#include "chart_data.h"
#include "chart_options.h"
#include "data_store.h"
#include "day_chart.h"
#include "error_trap.h"
#include "option_group.h"
#include "realtime_data_window.h"
#include "save_name.h"
#include "text_grid.h"
#include "whole_file.h"

#include <QBuffer>
#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <limits>

namespace vorna {

namespace {

constexpr int kWidthTwips = 13260;
constexpr int kHeightTwips = 9540;
constexpr int kTitlePoints = 16;
constexpr int kOptionColumns = 7;

} // namespace

ChartWindow::ChartWindow(AppContext& ctx, RealtimeDataWindow& browser, QWidget* parent)
    : ChildWindow(ctx, QStringLiteral("grafico"), 0, kWidthTwips, kHeightTwips, parent),
      browser_(browser) {
    build();
    Form_Load_grafico();
}

ChartWindow::~ChartWindow() {
    Form_Unload_grafico();
}

void ChartWindow::build() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);

    mscGraf_ = named(dayChartPane(ctx_, NoValue::AsZero, kTitlePoints, this), "mscGraf");
    outer->addWidget(mscGraf_, 1);

    auto* bottom = new QHBoxLayout;
    auto* options = new QGridLayout;
    options->setSpacing(2);
    opSelMis_ = optionGroup(this, "opSelMis", QStringList(qsizetype(kChartOptions.size())),
                            [&](QRadioButton* b, int i) {
                                options->addWidget(b, i / kOptionColumns, i % kOptionColumns);
                            });
    bttSalva_ = named(new QPushButton(this), "bttSalva");
    bottom->addLayout(options, 1);
    bottom->addWidget(bttSalva_, 0, Qt::AlignBottom);
    outer->addLayout(bottom);

    connect(opSelMis_, &QButtonGroup::idClicked, this, &ChartWindow::opSelMis_Click);
    connect(bttSalva_, &QPushButton::clicked, this, &ChartWindow::bttSalva_Click);
    connect(mscGraf_, &ChartPane::saveRequested, this, &ChartWindow::mscGraf_Salva);
}

void ChartWindow::Form_Load_grafico() {
    guard(ctx_, QStringLiteral("Form_Load_grafico"), [&] {
        set_messages_grafico();
        opSelMis_->button(0)->setChecked(true);
        opSelMis_Click(0);
        return true;
    });
}

void ChartWindow::Form_Unload_grafico() {
    // The browser learns of it through its guarded pointer.
    guard(ctx_, QStringLiteral("Form_Unload_grafico"), [] { return true; });
}

void ChartWindow::set_messages_grafico() {
    guard(ctx_, QStringLiteral("set_messages_grafico"), [&] {
        setWindowTitle(ctx_.msg(169));
        for (int i = 0; i < int(kChartOptions.size()); ++i)
            opSelMis_->button(i)->setText(ctx_.msg(kChartOptions[size_t(i)].captionEntry));
        bttSalva_->setText(ctx_.msg(33));
        mscGraf_->setMessages();
        const QChart* c = mscGraf_->chart();
        mscGraf_->setTitles(c->title(), ctx_.msg(118), valueAxisTitle(ctx_, option_));
        return true;
    });
}

void ChartWindow::opSelMis_Click(int index) {
    handle([&] {
        guard(ctx_, QStringLiteral("opSelMis_Click"), [&] {
            if (index < 0 || index >= int(kChartOptions.size())) return false;
            option_ = index;
            disegna_grafico();
            mscGraf_->viewport()->update();
            return true;
        });
    });
}

bool ChartWindow::disegna_grafico() {
    return guard(ctx_, QStringLiteral("disegna_grafico"), [&](TrapScope& s) {
        // Everything is read and reckoned before the chart changes: a grid that cannot be drawn
        // leaves the previous drawing whole.
        s.step(1);
        const TextGrid& grid = browser_.grid();
        ChartData data =
            chartData(grid, kChartOptions[size_t(option_)].column, ctx_.decimalSeparator());
        s.step(2);
        if (!leggi_impianto_per_ID(ctx_, browser_.plantId())) return false;
        const QString title = dayChartTitle(ctx_.plant.nome, grid);
        s.step(3);
        // Drawn at 0 as always, but hovering one says "---".
        for (const qsizetype i : std::as_const(data.dashes))
            data.points[i].setY(std::numeric_limits<double>::quiet_NaN());
        mscGraf_->setPoints(std::move(data.points));
        mscGraf_->setTitles(title, ctx_.msg(118), valueAxisTitle(ctx_, option_));
        return true;
    });
}

void ChartWindow::bttSalva_Click() {
    handle([&] {
        guard(ctx_, QStringLiteral("bttSalva_Click"), [&] {
            mscGraf_->hideValue();
            Picture1_ = QImage(mscGraf_->size(), QImage::Format_RGB32);
            Picture1_.setDevicePixelRatio(1);
            Picture1_.fill(Qt::white);
            {
                QPainter painter(&Picture1_);
                mscGraf_->render(&painter);
            }
            const QString name = askSaveName(ctx_, QStringLiteral("(*.bmp);;(*.png)"),
                                             ctx_.appPath + QStringLiteral("chart"));
            if (name.isEmpty()) return false;
            // The proposed name has no suffix: the format is named, never guessed from it.
            const char* format =
                name.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive) ? "PNG" : "BMP";
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            if (!Picture1_.convertToFormat(QImage::Format_RGB888).save(&buffer, format))
                throw RunError(err::kFileAccess, QStringLiteral("cannot encode the chart"));
            writeWholeFile(name, bytes);
            return true;
        });
    });
}

void ChartWindow::mscGraf_Salva(ChartPane::Image kind) {
    handle([&] {
        guard(ctx_, QStringLiteral("mscGraf_Salva"), [&] { return mscGraf_->saveImage(kind); });
    });
}

} // namespace vorna
