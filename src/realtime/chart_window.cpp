#include "chart_window.h"

#include "app_context.h"
#include "chart_axes.h"
#include "chart_data.h"
#include "chart_options.h"
#include "data_store.h"
#include "error_trap.h"
#include "option_group.h"
#include "realtime_data_window.h"
#include "save_name.h"
#include "text_grid.h"
#include "whole_file.h"

#include <QBuffer>
#include <QButtonGroup>
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QPainter>
#include <QPen>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QValueAxis>

namespace vorna {

namespace {

constexpr int kWidthTwips = 13260;
constexpr int kHeightTwips = 9540;
constexpr int kTitlePoints = 16;
constexpr int kOptionColumns = 7;

QFont titleFont() {
    QFont f;
    f.setPointSize(kTitlePoints);
    return f;
}

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

    series_ = new QLineSeries;
    // A cosmetic pen of one pixel: a wider one makes the painter work out a join at each of
    // 100,000 points.
    QPen pen = series_->pen();
    pen.setWidth(1);
    pen.setCosmetic(true);
    series_->setPen(pen);
    chart_ = new QChart;
    chart_->addSeries(series_);
    chart_->legend()->hide();
    // Axis numbers with the PC's decimal separator, as in the grid.
    chart_->setLocale(ctx_.locale);
    chart_->setLocalizeNumbers(true);
    chart_->setTitleFont(titleFont());
    axisX_ = new QDateTimeAxis;
    axisX_->setFormat(QStringLiteral("hh:mm"));
    axisX_->setTitleFont(titleFont());
    axisY_ = new QValueAxis;
    axisY_->setTickCount(11);
    axisY_->setTitleFont(titleFont());
    chart_->addAxis(axisX_, Qt::AlignBottom);
    chart_->addAxis(axisY_, Qt::AlignLeft);
    series_->attachAxis(axisX_);
    series_->attachAxis(axisY_);
    mscGraf_ = named(new QChartView(chart_, this), "mscGraf");
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
        setAxisTitles();
        return true;
    });
}

void ChartWindow::setAxisTitles() {
    const ChartOption& o = kChartOptions[size_t(option_)];
    axisX_->setTitleText(ctx_.msg(118));
    axisY_->setTitleText(ctx_.msg(o.titleEntry) + QString::fromUtf8(o.titleSuffix));
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
        const ValueAxis y = valueAxis(data.vmin, data.vmax);
        const TimeAxis x = timeAxis(data.tmin, data.tmax);
        s.step(3);
        if (!leggi_impianto_per_ID(ctx_, browser_.plantId())) return false;
        const QString title = ctx_.plant.nome.trimmed() + QStringLiteral(" (") +
                              grid.cellText(grid.rowCount() - 2, 1) + QLatin1Char(')');
        s.step(4);
        const qint64 day = referenceDayStart();
        for (QPointF& p : data.points)
            p.setX(double(day + qint64(p.x()) * 1000));
        // Each axis change lays out every point again: the old points go first and the new ones
        // come once the axes are set.
        series_->clear();
        axisY_->setRange(y.minimum, y.maximum);
        axisY_->setTickCount(y.divisions + 1);
        axisX_->setRange(QDateTime::fromMSecsSinceEpoch(day + qint64(x.minimum) * 1000),
                         QDateTime::fromMSecsSinceEpoch(day + qint64(x.maximum) * 1000));
        axisX_->setTickCount(x.divisions + 1);
        series_->replace(data.points);
        setAxisTitles();
        chart_->setTitle(title);
        return true;
    });
}

void ChartWindow::bttSalva_Click() {
    handle([&] {
        guard(ctx_, QStringLiteral("bttSalva_Click"), [&] {
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

} // namespace vorna
