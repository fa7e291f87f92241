// The chart window's pane under the mouse: hovering shows a point's time and value, a dragged
// band is zoomed into and a double click gives back the day chart's axes; the context menu
// saves the chart as shown, as PNG and SVG read back by other readers.
#include "browser_rig.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDateTimeAxis>
#include <QMenu>
#include <QProcess>
#include <QValueAxis>
#include <QXmlStreamReader>

using namespace vorna;
using namespace vorna::test;

namespace {

// "Impianto Due" on 01/07/2011: irradiance every 15 minutes from 9:05 to 16:50, 120 rising by
// 46 a quarter to 810 and falling again, 812 at 12:50, none ("---") at 12:05; then its chart.
ChartPane* chartDay(BrowserRig& s) {
    const qint64 plant = insertPlant(s.db(), "Impianto Due");
    for (int i = 0; i < 32; ++i)
        insertStored(s.db(), plant, "2011-07-01", QTime(9, 5).addSecs(900 * i).toString("HH:mm:ss"),
                     {{"rad", i == 12   ? -2000
                              : i == 15 ? 812
                                        : 120 + 46 * std::min(i, 31 - i)}});
    s.window->show();
    s.open();
    s.choosePlant(plant);
    s.chooseDay("2011/07/01");
    s.click("bttGrafico");
    QCoreApplication::processEvents();
    return s.chart() ? s.chart()->chartView() : nullptr;
}

QValueAxis* yAxis(ChartPane* p) {
    return qobject_cast<QValueAxis*>(p->chart()->axes(Qt::Vertical).value(0));
}
QDateTimeAxis* xAxis(ChartPane* p) {
    return qobject_cast<QDateTimeAxis*>(p->chart()->axes(Qt::Horizontal).value(0));
}
// "ymin..ymax/ticks hh:mm..hh:mm/ticks label-format".
std::string axes(ChartPane* p) {
    QDateTimeAxis* x = xAxis(p);
    return QString("%1..%2/%3 %4..%5/%6 %7")
        .arg(yAxis(p)->min())
        .arg(yAxis(p)->max())
        .arg(yAxis(p)->tickCount())
        .arg(x->min().toString("hh:mm"), x->max().toString("hh:mm"))
        .arg(x->tickCount())
        .arg(x->format())
        .toStdString();
}

// Viewport pixels: at fractions of the plot area, or at a sample as now shown.
QPoint at(ChartPane* p, double fx, double fy) {
    const QRectF plot = p->chart()->plotArea();
    return p->mapFromScene(p->chart()->mapToScene(
        QPointF(plot.left() + fx * plot.width(), plot.top() + fy * plot.height())));
}
QPoint atSample(ChartPane* p, QTime time, double value) {
    const QPointF data(QTime(0, 0).secsTo(time), value);
    return p->mapFromScene(
        p->chart()->mapToScene(pixelAt(p->zoom().shown(), p->chart()->plotArea(), data)));
}
void mouse(ChartPane* p, QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::NoButton) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent e(type, pos, p->viewport()->mapToGlobal(pos), button, held, {});
    QCoreApplication::sendEvent(p->viewport(), &e);
}

} // namespace

TEST(ChartView, ValueZoomAndBackUnderTheMouse) {
    for (const auto& [language, locale, tag] :
         {std::tuple{0, kUsPc, "en"}, std::tuple{4, kItalianPc, "it"}}) {
        BrowserRig s(language, locale);
        ChartPane* p = chartDay(s);
        ASSERT_NE(p, nullptr);
        const std::string home = "0..860/11 09:00..17:00/9 hh:mm";
        ASSERT_EQ(axes(p), home);

        mouse(p, QEvent::MouseMove, atSample(p, QTime(14, 5), 626) + QPoint(2, -3));
        EXPECT_EQ(p->valueShown(), "14:05:00  626");
        mouse(p, QEvent::MouseMove, atSample(p, QTime(12, 5), 0));
        EXPECT_EQ(p->valueShown(), "12:05:00  ---"); // drawn at 0
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(p, &leave);
        EXPECT_EQ(p->valueShown(), "");

        // A quarter to half the width (11:00 to 13:00), a quarter to three quarters of the height
        // (645 down to 215), the divisions kept.
        mouse(p, QEvent::MouseButtonPress, at(p, 0.25, 0.25), Qt::LeftButton);
        mouse(p, QEvent::MouseMove, at(p, 0.5, 0.75), Qt::LeftButton);
        mouse(p, QEvent::MouseButtonRelease, at(p, 0.5, 0.75), Qt::LeftButton);
        EXPECT_NEAR(yAxis(p)->min(), 215, 3);
        EXPECT_NEAR(yAxis(p)->max(), 645, 3);
        EXPECT_TRUE(axes(p).ends_with("/11 11:00..13:00/9 hh:mm")) << axes(p);
        mouse(p, QEvent::MouseMove, atSample(p, QTime(11, 20), 534) + QPoint(-2, 2));
        EXPECT_EQ(p->valueShown(), "11:20:00  534");
        QCoreApplication::processEvents();
        EXPECT_TRUE(s.chart()->grab().save(
            QString("%1/grafico_%2_zoomed_value.png").arg(screenshotDir(), tag)));

        const QPoint middle = at(p, 0.5, 0.5);
        QContextMenuEvent asked(QContextMenuEvent::Mouse, middle, p->mapToGlobal(middle));
        QCoreApplication::sendEvent(p->viewport(), &asked);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        QStringList entries;
        for (QAction* a : menu->actions())
            entries << a->text();
        EXPECT_EQ(entries.join('|'),
                  language == 0 ? "Reset zoom||Save as PNG...|Save as SVG..."
                                : "Ripristina lo zoom||Salva come PNG...|Salva come SVG...");
        menu->close();
        mouse(p, QEvent::MouseButtonDblClick, at(p, 0.7, 0.7), Qt::LeftButton);
        EXPECT_EQ(axes(p), home);
    }
}

TEST(ChartView, ContextMenuSavesPngAndSvgAsShown) {
    BrowserRig s;
    ChartPane* p = chartDay(s);
    ASSERT_NE(p, nullptr);
    auto save = [&](const char* action) { p->findChild<QAction*>(action)->trigger(); };
    save("actSalvaPng"); // cancelled: nothing written
    EXPECT_TRUE(QDir(s.env.dir.path()).entryList({"chart*"}, QDir::Files).isEmpty());
    EXPECT_EQ(s.env.prompts.saveShown.back().filter, "(*.png)");
    EXPECT_EQ(s.env.prompts.saveShown.back().suggested, s.env.path("chart.png"));
    s.env.prompts.saveNames = {s.env.path("day"), s.env.path("day.svg")};
    save("actSalvaPng");
    save("actSalvaSvg");

    QProcess identify;
    identify.start("identify", {"-format", "%m %w %h", s.env.path("day.png")});
    ASSERT_TRUE(identify.waitForFinished(20000));
    const QString size = QString("%1 %2").arg(p->width()).arg(p->height());
    EXPECT_EQ(QString::fromLatin1(identify.readAllStandardOutput()).trimmed(), "PNG " + size);
    QFile svg(s.env.path("day.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&svg);
    QString viewBox, texts = "|";
    while (xml.readNext() != QXmlStreamReader::Invalid && !xml.atEnd()) {
        if (xml.isStartElement() && xml.name() == u"svg")
            viewBox = xml.attributes().value("viewBox").toString();
        if (xml.isStartElement() && xml.name() == u"text")
            texts += xml.readElementText(QXmlStreamReader::IncludeChildElements) + '|';
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(viewBox, "0 0 " + size);
    EXPECT_TRUE(texts.contains("|Impianto Due (01/07/2011)|Time|Radiation [W/m2]|"));
}
