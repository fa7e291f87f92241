#include "browser_steps.h"

#include <QApplication>
#include <QChart>
#include <QContextMenuEvent>
#include <QDateTimeAxis>
#include <QDir>
#include <QLineSeries>
#include <QMdiArea>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QValueAxis>
#include <QXmlStreamReader>
#include <ctime>

using namespace vorna;
using namespace vorna::test;

namespace {

// What the chart shows: "ymin..ymax/ticks hh:mm..hh:mm/ticks points|title|Y title|X title".
std::string chartShown(ChartWindow* w) {
    QChart* c = w->chartView()->chart();
    auto* y = qobject_cast<QValueAxis*>(c->axes(Qt::Vertical).value(0));
    auto* x = qobject_cast<QDateTimeAxis*>(c->axes(Qt::Horizontal).value(0));
    auto* series = qobject_cast<QLineSeries*>(c->series().value(0));
    if (!x || !y || !series) return "no chart";
    return QString("%1..%2/%3 %4..%5/%6 %7|%8|%9|%10")
        .arg(y->min())
        .arg(y->max())
        .arg(y->tickCount())
        .arg(x->min().toString("hh:mm"), x->max().toString("hh:mm"))
        .arg(x->tickCount())
        .arg(series->count())
        .arg(c->title(), y->titleText(), x->titleText())
        .toStdString();
}

void option(Rig& s, int i) {
    s.find<QRadioButton>(QString("opSelMis_%1").arg(i))->click();
}

// Plant "Impianto Uno" (padded) with three samples on 30/06/2011 at 9:05, 10:00 and 12:30.
qint64 chartDay(Rig& s) {
    const qint64 uno = insertPlant(s.db(), "  Impianto Uno ");
    insertStored(s.db(), uno, "2011-06-30", "09:05:00",
                 {{"rad", 120}, {"TEMPPAN", -3}, {"VDC2", -2000}, {"REAL2", 0.47}});
    insertStored(s.db(), uno, "2011-06-30", "10:00:00",
                 {{"rad", 500}, {"TEMPPAN", 10}, {"VDC2", 8000}, {"IDC2", 800}, {"REAL2", 0.8}});
    insertStored(s.db(), uno, "2011-06-30", "12:30:00",
                 {{"rad", 812}, {"TEMPPAN", 25}, {"VDC2", 300}, {"REAL2", 0.9}});
    return uno;
}

void openChart(Rig& s, qint64 plant, const QString& day = "2011/06/30") {
    openDay(s, plant, day);
    s.click("bttGrafico");
}

// "Impianto Due" on 01/07/2011: irradiance every 15 minutes from 9:05 to 16:50, 120 rising by
// 46 a quarter to 810 and falling again, 812 at 12:50, none ("---") at 12:05.
qint64 quarterHours(Rig& s) {
    const qint64 due = insertPlant(s.db(), "Impianto Due");
    for (int i = 0; i < 32; ++i)
        insertStored(s.db(), due, "2011-07-01", QTime(9, 5).addSecs(900 * i).toString("HH:mm:ss"),
                     {{"rad", i == 12   ? -2000
                              : i == 15 ? 812
                                        : 120 + 46 * std::min(i, 31 - i)}});
    return due;
}

// The image format and size ImageMagick reads in a file.
QString identify(const QString& file) {
    QProcess p;
    p.start("identify", {"-format", "%m %w %h", file});
    p.waitForFinished(20000);
    return QString::fromLatin1(p.readAllStandardOutput()).trimmed();
}

const char* const kTitles = "Impianto Uno (30/06/2011)";

} // namespace

// The options, ranges, ticks, titles and points; then bttSalva writes the bitmap (PNG for
// ".png"), the chart's menu PNG or SVG; closing the browser or the program closes the chart.
TEST(Chart, OptionsRangesSavingAndClosing) {
    Rig s;
    s.window->show();
    openChart(s, chartDay(s));
    ChartWindow* w = chart(s);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
    const std::string tail = std::string("|") + kTitles + "|";
    EXPECT_EQ(chartShown(w), "80..860/11 09:00..13:00/5 3" + tail + "Radiation [W/m2]|Time");
    option(s, 2);
    EXPECT_EQ(chartShown(w), "0..27/11 09:00..13:00/5 3" + tail + "Panel temperature [°C]|Time");
    // "---" (a missing value, an idle line) is drawn as 0.
    option(s, 6);
    EXPECT_EQ(chartShown(w), "0..330/11 09:00..13:00/5 3" + tail + "DC voltage #2 [V]|Time");
    option(s, 18);
    EXPECT_EQ(chartShown(w), "0.3..0.93/11 09:00..13:00/5 3" + tail + "PRp|Time");

    // A new range shows at the next option change; a range without samples changes nothing.
    chooseRange(s, 9, 0, 10, 0);
    EXPECT_EQ(chartShown(w), "0.3..0.93/11 09:00..13:00/5 3" + tail + "PRp|Time");
    option(s, 0);
    EXPECT_EQ(chartShown(w), "0..530/11 09:00..11:00/3 2" + tail + "Radiation [W/m2]|Time");
    chooseRange(s, 11, 0, 11, 59);
    option(s, 2);
    EXPECT_EQ(chartShown(w), "0..530/11 09:00..11:00/3 2" + tail + "Radiation [W/m2]|Time");
    EXPECT_TRUE(s.env.debugLog().contains("disegna_grafico"));

    QCoreApplication::processEvents();
    const QSize size = w->chartView()->size();
    const QString expected = QString("%1 %2").arg(size.width()).arg(size.height());
    auto save = [&](const char* action) {
        w->chartView()->findChild<QAction*>(action)->trigger();
        return s.env.prompts.saveShown.back();
    };
    // Cancelled: nothing written.
    w->findChild<QPushButton*>("bttSalva")->click();
    EXPECT_EQ(s.env.prompts.saveShown.back().filter, "(*.bmp);;(*.png)");
    EXPECT_EQ(s.env.prompts.saveShown.back().suggested, s.env.path("chart"));
    EXPECT_EQ(save("actSalvaPng").filter + save("actSalvaSvg").suggested,
              "(*.png)" + s.env.path("chart.svg"));
    EXPECT_TRUE(QDir(s.env.dir.path()).entryList({"chart*"}, QDir::Files).isEmpty());

    s.env.prompts.saveNames = {s.env.path("chart"), s.env.path("copy.PNG")};
    w->findChild<QPushButton*>("bttSalva")->click();
    w->findChild<QPushButton*>("bttSalva")->click();
    // ImageMagick names the Windows bitmap with a plain info header "BMP3".
    EXPECT_EQ(identify(s.env.path("chart")), "BMP3 " + expected);
    EXPECT_GT(size.width(), 600);
    EXPECT_EQ(identify(s.env.path("copy.PNG")), "PNG " + expected);
    EXPECT_EQ(int(uchar(readFile(s.env.path("chart")).at(28))), 24); // bits per pixel

    s.env.prompts.saveNames = {s.env.path("day"), s.env.path("day.svg")};
    save("actSalvaPng");
    save("actSalvaSvg");
    EXPECT_EQ(identify(s.env.path("day.png")), "PNG " + expected);
    QXmlStreamReader xml(readFile(s.env.path("day.svg")));
    QString viewBox, texts = "|";
    while (xml.readNext() != QXmlStreamReader::Invalid && !xml.atEnd()) {
        if (xml.isStartElement() && xml.name() == u"svg")
            viewBox = xml.attributes().value("viewBox").toString();
        if (xml.isStartElement() && xml.name() == u"text")
            texts += xml.readElementText(QXmlStreamReader::IncludeChildElements) + '|';
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(viewBox, "0 0 " + expected);
    EXPECT_TRUE(texts.contains(QString("|%1|Time|Radiation [W/m2]|").arg(kTitles)))
        << texts.toStdString();

    // The browser's frame closed as the user closes it.
    qobject_cast<QMdiSubWindow*>(browser(s)->parentWidget())->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return browser(s) == nullptr; }, 2000));
    EXPECT_EQ(chart(s), nullptr);
    EXPECT_TRUE(s.window->area()->subWindowList().isEmpty());
    EXPECT_EQ(s.ctx().childWindowOpen, 0);
    // The program closed with the chart open.
    openChart(s, s.ctx().plantIdList.front());
    ASSERT_NE(chart(s), nullptr);
    EXPECT_TRUE(s.window->close());
    EXPECT_FALSE(s.ctx().db.isOpen());
    EXPECT_EQ(s.ctx().childWindowOpen, 0);
}

TEST(Chart, LabelsRightOnAClockChangeDay) {
    const QByteArray old = qgetenv("TZ");
    qputenv("TZ", "Europe/Rome");
    tzset();
    {
        Rig s;
        const qint64 uno = insertPlant(s.db(), "Uno");
        insertStored(s.db(), uno, "2011-03-27", "01:30:00");
        insertStored(s.db(), uno, "2011-03-27", "03:30:00");
        openChart(s, uno, "2011/03/27");
        ASSERT_NE(chart(s), nullptr);
        const std::string shown = chartShown(chart(s));
        EXPECT_NE(shown.find(" 01:00..04:00/4 2|"), std::string::npos) << shown;
        // Three hours of axis for three hours of labels.
        auto* x = qobject_cast<QDateTimeAxis*>(
            chart(s)->chartView()->chart()->axes(Qt::Horizontal).value(0));
        EXPECT_EQ(x->min().msecsTo(x->max()), 3 * 3600 * 1000);
    }
    qputenv("TZ", old);
    tzset();
}

// Hovering shows a point's time and value, a dragged band is zoomed into and a double click
// gives back the day chart's axes; the browser and the chart pictured in both languages.
TEST(Chart, ValueZoomAndBackUnderTheMouse) {
    for (const auto& [language, locale, tag] :
         {std::tuple{0, kUsPc, "en"}, std::tuple{4, kItalianPc, "it"}}) {
        Rig s(englishRow({{"LINGUA", language}}), std::nullopt, {}, locale);
        s.window->show();
        openDay(s, quarterHours(s), "2011/07/01");
        QCoreApplication::processEvents();
        screenshot(browser(s), QString("realtime_data_%1").arg(tag));
        s.click("bttGrafico");
        ChartWindow* w = chart(s);
        ASSERT_NE(w, nullptr);
        QCoreApplication::processEvents();
        screenshot(w, QString("grafico_%1").arg(tag));
        ChartPane* p = w->chartView();
        const std::string home = chartShown(w), titles = home.substr(home.find('|'));
        EXPECT_EQ(home.substr(0, home.find('|')), "0..860/11 09:00..17:00/9 32");

        QWidget* v = p->viewport();
        QTest::mouseMove(v, p->viewportPoint({50700, 626}) + QPoint(2, -3));
        EXPECT_EQ(p->valueShown(), "14:05:00  626");
        QTest::mouseMove(v, p->viewportPoint({43500, 0}));
        EXPECT_EQ(p->valueShown(), "12:05:00  ---"); // drawn at 0

        // From 11:00 at 700 to 13:00 at 100, the divisions kept.
        const QPoint from = p->viewportPoint({39600, 700}), to = p->viewportPoint({46800, 100});
        QTest::mousePress(v, Qt::LeftButton, {}, from);
        QTest::mouseMove(v, to);
        QTest::mouseRelease(v, Qt::LeftButton, {}, to);
        EXPECT_EQ(chartShown(w), "100..700/11 11:00..13:00/9 32" + titles);
        EXPECT_EQ(p->showValueAt(p->viewportPoint({40800, 534}) + QPoint(-2, 2)), "11:20:00  534");
        QCoreApplication::processEvents();
        screenshot(w, QString("grafico_%1_zoomed_value").arg(tag));

        const QPoint middle = p->viewportPoint({42000, 400});
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
        QTest::mouseDClick(v, Qt::LeftButton, {}, middle);
        EXPECT_EQ(chartShown(w), home);
    }
}
