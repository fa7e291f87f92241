#include "chart_window.h"
#include "realtime_data_window.h"
#include "test_rows.h"
#include "text_grid.h"
#include "window_rig.h"

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

using namespace vorna;
using namespace vorna::test;

namespace {

RealtimeDataWindow* browser(Rig& s) {
    return s.find<RealtimeDataWindow>("realtime_data");
}
ChartWindow* chart(Rig& s) {
    return s.find<ChartWindow>("grafico");
}

void choosePlant(Rig& s, qint64 id) {
    const auto& ids = s.ctx().plantIdList;
    s.choose("cbImp", int(std::find(ids.begin(), ids.end(), id) - ids.begin()) + 1);
}
void chooseDay(Rig& s, const QString& shown) {
    s.choose("cbDate", s.find<QComboBox>("cbDate")->findText(shown));
}
// Start and stop as list entries: hours 1 to 22, minutes 0 to 59.
void chooseRange(Rig& s, int startH, int startM, int stopH, int stopM) {
    s.choose("cbStartH", startH - 1);
    s.choose("cbStartM", startM);
    s.choose("cbStopH", stopH - 1);
    s.choose("cbStopM", stopM);
}
// The browser opened from the toolbar on a plant's day.
void openDay(Rig& s, qint64 plant, const QString& day) {
    s.open("realtime_data");
    choosePlant(s, plant);
    chooseDay(s, day);
}

// One column of the grid's sample rows.
QStringList column(Rig& s, int c) {
    const TextGrid& g = browser(s)->grid();
    QStringList out;
    for (int r = 1; r + 1 < g.rowCount(); ++r)
        out << g.cellText(r, c);
    return out;
}

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

// The image format and size ImageMagick reads in a file.
QString identify(const QString& file) {
    QProcess p;
    p.start("identify", {"-format", "%m %w %h", file});
    p.waitForFinished(20000);
    return QString::fromLatin1(p.readAllStandardOutput()).trimmed();
}

const char* const kTitles = "Impianto Uno (30/06/2011)";

} // namespace

// A day's range runs from its start's second 0 to its stop's second 59. A row with a null value
// is skipped and the numbers stay consecutive; one without the version texts is shown. The
// datalogger file as the real-time window writes it (byte for byte there), with what the browser
// does its own way: three bare CRs after the plant block and the stored rows' rules (no value and
// an idle pair "---").
TEST(RealtimeData, DayListsRangesSavingAndAnotherPlant) {
    Rig s;
    const qint64 uno = insertPlant(s.db(), "Uno "), due = insertPlant(s.db(), "Due");
    const qint64 tre = insertPlant(s.db(), "Tre");
    for (const char* day : {"2011-07-01", "2010-12-31", "2011-07-01"})
        insertStored(s.db(), uno, day, "10:00:00");
    for (const char* t : {"22:59:59", "00:59:59", "01:00:00", "09:04:59", "09:05:00", "23:00:00"})
        insertStored(s.db(), uno, "2011-06-30", t);
    insertStored(s.db(), uno, "2011-06-30", "09:05:59",
                 {{"rad", -2000}, {"VDC2", 8000}, {"IDC2", 800}, {"POTRAD", 2.25}, {"ESITOAC", 0}});
    insertStored(s.db(), uno, "2011-06-30", "09:05:30", {{"TEMPPAN", QVariant()}});
    insertStored(s.db(), uno, "2011-06-30", "09:06:00", {{"TEXT1", {}}, {"TEXT2", {}}});
    insertStored(s.db(), due, "2012-01-01", "10:00:00");
    s.open("realtime_data");
    ASSERT_NE(browser(s), nullptr);
    EXPECT_EQ(s.ctx().childWindowOpen, 1);
    EXPECT_EQ(s.entries("cbImp").size(), 4);
    EXPECT_EQ(s.entries("cbStartH").join(','), "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,"
                                               "20,21,22");
    EXPECT_EQ(s.entries("cbStopM").size(), 60);
    EXPECT_FALSE(s.on("cbDate") || s.on("bttSalva"));

    s.click("bttGrafico");
    EXPECT_EQ(s.env.prompts.lastWarning(), "Select plant/Error");

    choosePlant(s, uno);
    EXPECT_TRUE(s.find("cbDate")->isEnabled());
    EXPECT_EQ(s.entries("cbDate"), QStringList({"2010/12/31", "2011/06/30", "2011/07/01"}));
    s.click("bttGrafico"); // no day chosen yet, though the list has some
    EXPECT_EQ(s.env.prompts.lastWarning(), "Select date/Error");
    EXPECT_EQ(chart(s), nullptr);

    chooseDay(s, "2011/06/30");
    EXPECT_EQ(column(s, 2), QStringList({"01:00:00", "09:04:59", "09:05:00", "09:05:59", "09:06:00",
                                         "22:59:59"}));
    EXPECT_EQ(column(s, 0), QStringList({"1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(column(s, 1), QStringList(6, "30/06/2011"));
    EXPECT_TRUE(s.env.debugLog().contains("insert_new_row"));
    EXPECT_FALSE(s.env.debugLog().contains("aggiornaMisureTabella"));
    EXPECT_TRUE(s.env.prompts.warnings.empty());
    EXPECT_TRUE(s.find("bttSalva")->isEnabled());
    chooseRange(s, 9, 5, 9, 5);
    EXPECT_EQ(column(s, 2), QStringList({"09:05:00", "09:05:59"}));

    // Cancelled: no file, not even under the proposed name.
    s.click("bttSalva");
    EXPECT_EQ(s.env.prompts.saveDialogs, 1);
    EXPECT_EQ(s.env.prompts.saveShown.back().filter + s.env.prompts.saveShown.back().suggested,
              "(*.txt)" + s.env.path("datalogger"));
    EXPECT_EQ(QDir(s.env.dir.path()).entryList({"datalogger*"}, QDir::Files).size(), 0);

    const QString name = s.env.path("day.txt");
    s.env.prompts.saveNames = {name};
    s.click("bttSalva");
    const QList<QByteArray> lines = readFile(name).split('\n');
    ASSERT_EQ(lines.size(), 10 + 3 + 1 + 1);
    EXPECT_EQ(lines[4], "Name: Uno \r");
    EXPECT_TRUE(lines[10].startsWith("\r\r\rDate\tTime\tRad.\t"));
    const QString ones = QString("1.5\t").repeated(11);
    EXPECT_EQ(lines[12], ("30/06/2011\t09:05:59\t---\t1.5\t1.5\t1.5\t2.25\t1.5\t1.5\t---\t---\t" +
                          ones + "FAULT\t1.5\t1.5\t\r")
                             .toLatin1());
    EXPECT_EQ(lines[13], "\r");

    chooseRange(s, 10, 0, 9, 59);
    EXPECT_TRUE(column(s, 2).isEmpty());
    EXPECT_EQ(browser(s)->grid().rowCount(), 2);

    // Another plant empties the grid and the day list.
    choosePlant(s, due);
    EXPECT_EQ(s.entries("cbDate"), QStringList({"2012/01/01"}));
    EXPECT_TRUE(column(s, 0).isEmpty());
    EXPECT_FALSE(s.find("bttSalva")->isEnabled());

    // A plant without samples: an empty, enabled day list.
    choosePlant(s, tre);
    EXPECT_TRUE(s.entries("cbDate").isEmpty());
    EXPECT_TRUE(s.find("cbDate")->isEnabled());

    s.choose("cbImp", 0);
    EXPECT_FALSE(s.find("cbDate")->isEnabled());
    s.closeChild();
    EXPECT_EQ(s.ctx().childWindowOpen, 0);
}

// The options, ranges, ticks, titles and points; then bttSalva writes the bitmap (PNG for
// ".png"), the chart's menu PNG or SVG; closing the program closes the chart.
TEST(Chart, OptionsRangesSavingAndClosing) {
    Rig s;
    s.window->show();
    const qint64 uno = insertPlant(s.db(), "  Impianto Uno ");
    insertStored(s.db(), uno, "2011-06-30", "09:05:00",
                 {{"rad", 120}, {"TEMPPAN", -3}, {"REAL2", 0.47}});
    insertStored(s.db(), uno, "2011-06-30", "10:00:00",
                 {{"rad", 500}, {"TEMPPAN", 10}, {"REAL2", 0.8}});
    insertStored(s.db(), uno, "2011-06-30", "12:30:00",
                 {{"rad", 812}, {"TEMPPAN", 25}, {"REAL2", 0.9}});
    openDay(s, uno, "2011/06/30");
    s.click("bttGrafico");
    ChartWindow* w = chart(s);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
    const std::string tail = std::string("|") + kTitles + "|";
    EXPECT_EQ(chartShown(w), "80..860/11 09:00..13:00/5 3" + tail + "Radiation [W/m2]|Time");
    option(s, 2);
    EXPECT_EQ(chartShown(w), "0..27/11 09:00..13:00/5 3" + tail + "Panel temperature [°C]|Time");
    // PRp is read from column 22, the result's column 23 being no number.
    option(s, 18);
    const std::string prp = "0.3..0.93/11 09:00..13:00/5 3" + tail + "PRp|Time";
    EXPECT_EQ(chartShown(w), prp);

    // A new range shows at the next option change; a range without samples changes nothing.
    chooseRange(s, 9, 0, 10, 0);
    EXPECT_EQ(chartShown(w), prp);
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
    EXPECT_EQ(s.env.prompts.saveShown.back().filter + s.env.prompts.saveShown.back().suggested,
              "(*.bmp);;(*.png)" + s.env.path("chart"));
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

    // The program closed with the chart open.
    EXPECT_TRUE(s.window->close());
    EXPECT_FALSE(s.ctx().db.isOpen());
    EXPECT_EQ(s.ctx().childWindowOpen, 0);
}

// Hovering shows a point's time and value, a dragged band is zoomed into and a double click
// gives back the day chart's axes; the browser and the chart pictured in both languages. The
// day is one whose clocks go forward: its labels are still the samples' times.
// Irradiance every 15 minutes from 9:05 to 16:50, 120 rising by 46 a quarter to 810 and falling
// again, 812 at 12:50, none ("---") at 12:05.
TEST(Chart, ValueZoomAndBackUnderTheMouse) {
    const InTimeZone rome("Europe/Rome"); // its clocks went forward on 27/03/2011
    for (const auto& [language, locale, tag] :
         {std::tuple{0, kUsPc, "en"}, std::tuple{4, kItalianPc, "it"}}) {
        Rig s(englishRow({{"LINGUA", language}}), std::nullopt, {}, locale);
        s.window->show();
        const qint64 due = insertPlant(s.db(), "Impianto Due");
        for (int i = 0; i < 32; ++i)
            insertStored(s.db(), due, "2011-03-27",
                         QTime(9, 5).addSecs(900 * i).toString("HH:mm:ss"),
                         {{"rad", i == 12   ? -2000
                                  : i == 15 ? 812
                                            : 120 + 46 * std::min(i, 31 - i)}});
        openDay(s, due, "2011/03/27");
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
