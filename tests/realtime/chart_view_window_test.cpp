// The chart window's pane under the mouse: hovering shows a point's time and value, a dragged
// band is zoomed into and a double click gives back the day chart's axes; the context menu
// saves the chart as shown, as PNG and SVG read back by other readers.
#include "browser_rig.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDateTimeAxis>
#include <QMenu>
#include <QMouseEvent>
#include <QProcess>
#include <QValueAxis>
#include <QXmlStreamReader>

using namespace vorna;
using namespace vorna::test;

namespace {

// "Impianto Due" on 01/07/2011: irradiance every 15 minutes from 9:05 to 16:50, 120 rising by
// 46 a quarter to 810 and falling again, 812 at 12:50, none ("---") at 12:05.
void chartDay(BrowserRig& s) {
    const qint64 plant = insertPlant(s.db(), "Impianto Due");
    for (int i = 0; i < 32; ++i) {
        const double rad = i == 12 ? -2000 : i == 15 ? 812 : 120 + 46 * std::min(i, 31 - i);
        insertStored(s.db(), plant, "2011-07-01", QTime(9, 5).addSecs(900 * i).toString("HH:mm:ss"),
                     {{"rad", rad}});
    }
    s.window->show();
    s.open();
    s.choosePlant(plant);
    s.chooseDay("2011/07/01");
    s.click("bttGrafico");
    QCoreApplication::processEvents();
}

// The pane's axes: "ymin..ymax/ticks hh:mm..hh:mm/ticks label format".
std::string axes(ChartPane* p) {
    auto* y = qobject_cast<QValueAxis*>(p->chart()->axes(Qt::Vertical).value(0));
    auto* x = qobject_cast<QDateTimeAxis*>(p->chart()->axes(Qt::Horizontal).value(0));
    return QString("%1..%2/%3 %4..%5/%6 %7")
        .arg(y->min())
        .arg(y->max())
        .arg(y->tickCount())
        .arg(x->min().toString("hh:mm"), x->max().toString("hh:mm"))
        .arg(x->tickCount())
        .arg(x->format())
        .toStdString();
}

// The mouse on the pane's viewport, at fractions of the plot area or at a sample.
struct Mouse {
    ChartPane* pane;
    QPoint at(double fx, double fy) const {
        const QRectF plot = pane->chart()->plotArea();
        return view({plot.left() + fx * plot.width(), plot.top() + fy * plot.height()});
    }
    QPoint atSample(QTime time, double value) const {
        return view(pixelAt(pane->zoom().shown(), pane->chart()->plotArea(),
                            {double(QTime(0, 0).secsTo(time)), value}));
    }
    QPoint view(QPointF onChart) const {
        return pane->mapFromScene(pane->chart()->mapToScene(onChart));
    }
    void send(QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::NoButton) const {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
        QMouseEvent e(type, pos, pane->viewport()->mapToGlobal(pos), button, held, {});
        QCoreApplication::sendEvent(pane->viewport(), &e);
    }
    void drag(QPoint from, QPoint to) const {
        send(QEvent::MouseButtonPress, from, Qt::LeftButton);
        send(QEvent::MouseMove, to, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, to, Qt::LeftButton);
    }
};

} // namespace

TEST(ChartView, ValueZoomAndBackUnderTheMouse) {
    for (const auto& [language, locale, tag] :
         {std::tuple{0, kUsPc, "en"}, std::tuple{4, kItalianPc, "it"}}) {
        BrowserRig s(language, locale);
        chartDay(s);
        ASSERT_NE(s.chart(), nullptr);
        const Mouse m{s.chart()->chartView()};
        const std::string home = "0..860/11 09:00..17:00/9 hh:mm";
        ASSERT_EQ(axes(m.pane), home);

        m.send(QEvent::MouseMove, m.atSample(QTime(14, 5), 626) + QPoint(2, -3));
        EXPECT_EQ(m.pane->valueShown(), "14:05:00  626");
        m.send(QEvent::MouseMove, m.atSample(QTime(12, 5), 0));
        EXPECT_EQ(m.pane->valueShown(), "12:05:00  ---"); // drawn at 0
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(m.pane, &leave);
        EXPECT_EQ(m.pane->valueShown(), "");

        // A quarter to half the width (11:00 to 13:00), a quarter to three quarters of the height
        // (645 down to 215); the divisions stay.
        m.drag(m.at(0.25, 0.25), m.at(0.5, 0.75));
        auto* y = qobject_cast<QValueAxis*>(m.pane->chart()->axes(Qt::Vertical).value(0));
        auto* x = qobject_cast<QDateTimeAxis*>(m.pane->chart()->axes(Qt::Horizontal).value(0));
        EXPECT_NEAR(y->min(), 215, 3);
        EXPECT_NEAR(y->max(), 645, 3);
        EXPECT_NEAR(QTime(11, 0).msecsTo(x->min().time()), 0, 60000);
        EXPECT_NEAR(QTime(13, 0).msecsTo(x->max().time()), 0, 60000);
        EXPECT_EQ(y->tickCount(), 11);
        EXPECT_EQ(x->tickCount(), 9);
        m.send(QEvent::MouseMove, m.atSample(QTime(11, 20), 534) + QPoint(-2, 2));
        EXPECT_EQ(m.pane->valueShown(), "11:20:00  534");
        QCoreApplication::processEvents();
        EXPECT_TRUE(s.chart()->grab().save(
            QString("%1/grafico_%2_zoomed_value.png").arg(screenshotDir(), tag)));

        // The context menu offers the way back and the two images.
        QContextMenuEvent menuAsked(QContextMenuEvent::Mouse, m.at(0.5, 0.5),
                                    m.pane->viewport()->mapToGlobal(m.at(0.5, 0.5)));
        QCoreApplication::sendEvent(m.pane->viewport(), &menuAsked);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        QStringList entries;
        for (QAction* a : menu->actions())
            if (!a->isSeparator()) entries << a->text() + (a->isEnabled() ? "" : " (off)");
        EXPECT_EQ(entries, language == 0
                               ? QStringList({"Reset zoom", "Save as PNG...", "Save as SVG..."})
                               : QStringList({"Ripristina lo zoom", "Salva come PNG...",
                                              "Salva come SVG..."}));
        menu->close();

        m.send(QEvent::MouseButtonDblClick, m.at(0.7, 0.7), Qt::LeftButton);
        EXPECT_EQ(axes(m.pane), home);
    }
}

TEST(ChartView, ContextMenuSavesPngAndSvgAsShown) {
    BrowserRig s;
    chartDay(s);
    ASSERT_NE(s.chart(), nullptr);
    ChartPane* pane = s.chart()->chartView();
    auto save = [&](const char* action) { pane->findChild<QAction*>(action)->trigger(); };
    save("actSalvaPng"); // cancelled: nothing written
    EXPECT_TRUE(QDir(s.env.dir.path()).entryList({"chart*"}, QDir::Files).isEmpty());
    ASSERT_EQ(s.env.prompts.saveShown.size(), 1u);
    EXPECT_EQ(s.env.prompts.saveShown[0].filter, "(*.png)");
    EXPECT_EQ(s.env.prompts.saveShown[0].suggested, s.env.path("chart.png"));

    s.env.prompts.saveNames = {s.env.path("day"), s.env.path("day.svg")};
    save("actSalvaPng");
    save("actSalvaSvg");
    EXPECT_EQ(s.env.prompts.saveShown.back().filter, "(*.svg)");
    QProcess identify;
    identify.start("identify", {"-format", "%m %w %h", s.env.path("day.png")});
    ASSERT_TRUE(identify.waitForFinished(20000));
    EXPECT_EQ(QString::fromLatin1(identify.readAllStandardOutput()).trimmed(),
              QString("PNG %1 %2").arg(pane->width()).arg(pane->height()));

    QFile svg(s.env.path("day.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&svg);
    QString viewBox, texts = "|";
    int lines = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == u"svg") viewBox = xml.attributes().value("viewBox").toString();
        if (xml.name() == u"polyline") ++lines;
        if (xml.name() == u"text")
            texts += xml.readElementText(QXmlStreamReader::IncludeChildElements) + '|';
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(viewBox, QString("0 0 %1 %2").arg(pane->width()).arg(pane->height()));
    EXPECT_TRUE(texts.contains("|Impianto Due (01/07/2011)|")) << texts.toStdString();
    EXPECT_TRUE(texts.contains("|Radiation [W/m2]|"));
    EXPECT_GE(lines, 31); // a segment between each two of the 32 samples, grid lines besides
}
