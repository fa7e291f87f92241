#include "scheda_misurazioni.h"

#include "app_context.h"
#include "error_trap.h"
#include "html_text.h"
#include "records.h"
#include "report_values.h"

namespace vorna {

namespace {

constexpr int kItalian = 4;
// A channel reading of these two is shown as "---" inside a channel pair.
constexpr double kIdleCurrent = 800;
constexpr double kIdleDcVoltage = 8000;
constexpr double kIdleAcVoltage = 800;

const QString kFont =
    QStringLiteral("<font face=\"Geneva, Arial, Helvetica, sans-serif\" size=\"1\">");
const QString kFontEnd = QStringLiteral("</font>");

// Writes the sheet; every text from the plant, the measurement or the instrument is escaped,
// catalogue texts go in with their own markup.
class SheetWriter {
public:
    SheetWriter(AppContext& ctx, HtmlDocument& doc)
        : ctx_(ctx), doc_(doc), sep_(ctx.decimalSeparator()) {}

    void head();
    void plant(const QString& serial);
    void ambient();
    void channels(int heading, double v1, double i1, double v2, double i2, double v3, double i3,
                  double idleVoltage, int powerLabel, double power);
    void result();
    void formulas();
    void legend();
    void passRules();

private:
    const QString& m(int n) const { return ctx_.msg(n); }
    QString labelled(int n, double value, const QString& unit = {}) const {
        return m(n) + QStringLiteral(": ") + measuredText(value, unit, sep_);
    }
    // One body-font cell; a spanning one when asked.
    void cell(const QString& content, bool span = false) {
        doc_ << (span ? QStringLiteral("<td colspan=\"2\">") : QStringLiteral("<td>")) << kFont
             << content << kFontEnd << "</td>";
    }
    void spanningRow(const QString& content) {
        doc_ << "<tr>";
        cell(content, true);
        doc_ << "</tr>";
    }
    void pairRow(const QString& left, const QString& right) {
        doc_ << "<tr>";
        cell(left);
        cell(right);
        doc_ << "</tr>";
    }
    void heading(int n) { spanningRow(QStringLiteral("<b>") + m(n) + QStringLiteral("</b>")); }
    void rule() {
        doc_ << "<tr>"
             << "<td colspan=\"2\"><hr></td>"
             << "</tr>";
    }
    void bulletList(const QStringList& items) {
        doc_ << "<tr>"
             << "<td colspan=\"2\">"
             << "<ul>";
        for (const QString& item : items)
            doc_ << "<li>" << kFont << item + QLatin1Char(';') << kFontEnd << "</li>";
        doc_ << "</ul>"
             << "</td>"
             << "</tr>";
    }
    QString channelValue(double value, const QString& unit) const {
        return value == kNoChannel ? QStringLiteral("---") : measuredText(value, unit, sep_);
    }

    AppContext& ctx_;
    HtmlDocument& doc_;
    QChar sep_;
};

void SheetWriter::head() {
    doc_ << "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
            "\"http://www.w3.org/TR/html4/loose.dtd\">"
         << "<html>"
         << "<head>"
         << "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">"
         << "<title></title>"
         << "</head>"
         << "<body lang=\"it\">"
         << "<table border=\"0\" cellpadding=\"4\" cellspacing=\"0\" width=\"800\" "
            "align=\"center\">"
         << "<colgroup align=\"left\" width=\"50%\"></colgroup>"
         << "<colgroup align=\"left\" width=\"50%\"></colgroup>";
    doc_ << "<tr>"
         << "<td colspan=\"2\" align=\"center\">"
         << "<font size=\"4\">"
         << "<b><i><u>" + m(0) + "<br></u></i></b>"
         << "<br>" << kFontEnd << "</td>"
         << "</tr>";
}

void SheetWriter::plant(const QString& serial) {
    const PlantRecord& p = ctx_.plant;
    const MeasurementRecord& r = ctx_.measurement;
    const auto orSpace = [](const QString& t) {
        return t.isEmpty() ? QStringLiteral("&nbsp;") : htmlEscape(t);
    };
    pairRow(m(26) + QLatin1Char(':'), orSpace(p.nome));
    pairRow(QStringLiteral("&nbsp;"), htmlEscape(p.indirizzo + QStringLiteral(", ") + p.NUMCIV +
                                                 QStringLiteral(" - ") + p.comune));
    pairRow(QStringLiteral("&nbsp;"), orSpace(p.CODFISC));
    spanningRow(m(120) + QStringLiteral(" (dd/mm/yyyy hh:mm): ") + reportDateText(r.data) +
                QLatin1Char(' ') + reportTimeText(r.ora));
    spanningRow(m(222) + QStringLiteral(": ") + htmlEscape(ctx_.reportModel) +
                QStringLiteral(", S/N: ") + htmlEscape(serial));
    spanningRow(labelled(1, p.POT, QStringLiteral(" kW")));
    spanningRow(m(205).toUpper() + QStringLiteral(": ") +
                (p.BOOL1 ? QStringLiteral("> 20 kW") : QStringLiteral("&le; 20 kW")));
    rule();
}

void SheetWriter::ambient() {
    const MeasurementRecord& r = ctx_.measurement;
    heading(2);
    // The sensor reads up to 2000 W/m2; anything above is not a measurement.
    const bool radOk = r.rad != kNoValue && r.rad <= 2000;
    spanningRow(m(3) + QStringLiteral(": ") +
                (radOk ? generalNumber(r.rad, sep_) + QStringLiteral(" W/m<sup>2</sup>")
                       : QStringLiteral("---")));
    pairRow(labelled(4, r.TEMPAMB, QStringLiteral(" °C")),
            labelled(138, ctx_.plant.NOCT, QStringLiteral(" °C")));
    pairRow(labelled(5, r.TEMPPAN, QStringLiteral(" °C")), labelled(171, ctx_.plant.REAL1));
    spanningRow(labelled(6, r.COEFFTEMP));
    spanningRow(labelled(7, r.POTRAD));
    rule();
}

void SheetWriter::channels(int headingNumber, double v1, double i1, double v2, double i2, double v3,
                           double i3, double idleVoltage, int powerLabel, double power) {
    const QString volts = QStringLiteral(" V");
    const QString amps = QStringLiteral(" A");
    heading(headingNumber);
    pairRow(labelled(9, v1, volts), labelled(12, i1, amps));
    const auto optional = [&](int vLabel, int iLabel, double v, double i) {
        const bool absent = v == kNoChannel && i == kNoChannel;
        const bool idle = v == idleVoltage && i == kIdleCurrent;
        if (absent || idle) return;
        pairRow(m(vLabel) + QStringLiteral(": ") + channelValue(v, volts),
                m(iLabel) + QStringLiteral(": ") + channelValue(i, amps));
    };
    optional(10, 13, v2, i2);
    optional(11, 14, v3, i3);
    spanningRow(labelled(powerLabel, power, QStringLiteral(" kW")));
    rule();
}

void SheetWriter::result() {
    const MeasurementRecord& r = ctx_.measurement;
    heading(18);
    const bool italian = ctx_.languageIndex == kItalian;
    const QString prp =
        m(209).toUpper() + QStringLiteral(" PRp: ") + measuredText(r.REAL2, {}, sep_);
    doc_ << "<tr>";
    if (italian) {
        cell(prp);
        const MessageCatalogue& c = ctx_.messaggi;
        cell(c.text(kItalian, 21) + QStringLiteral(": ") + c.text(kItalian, r.ESITOAC ? 22 : 23));
    } else {
        // The start tag is kept exactly as the sheet has always written it.
        doc_ << "<td colspan= \"2\">" << kFont << prp << kFontEnd << "</td>";
    }
    doc_ << "</tr>";
    spanningRow(labelled(19, r.RENDDC));
    spanningRow(labelled(20, r.RENDAC));
    rule();
}

void SheetWriter::formulas() {
    heading(224);
    doc_ << "<tr valign=\"bottom\">";
    cell(QStringLiteral("<u>") + m(209).toUpper() +
             QStringLiteral("</u> PRp = Pca / (Rfv2 * (Gp / G<sub>STC</sub>) * Pn);"),
         true);
    doc_ << "</tr>";
    spanningRow(QStringLiteral("<u>") + m(19) +
                QStringLiteral("</u> = Pcc/P<sub>teorica-disponibile</sub>"));
    spanningRow(QStringLiteral("<u>") + m(20) + QStringLiteral("</u> = Pca/Pcc"));
}

void SheetWriter::legend() {
    doc_ << "<tr>"
         << "<td colspan=\"2\" height=\"50\" valign=\"bottom\">" << kFont << "<b>" + m(225) + "</b>"
         << kFontEnd << "</td>"
         << "</tr>";
    bulletList({m(210), m(223), m(226),
                QStringLiteral("Rfv2 = 1 (") + m(211) +
                    QStringLiteral("); Rfv2 = 1 - (Tcel - 40) * |gamma| / 100 (") + m(212) +
                    QLatin1Char(')'),
                m(213), m(214), m(215)});
}

void SheetWriter::passRules() {
    heading(21);
    bulletList({m(227), m(228), m(229), m(230)});
}

} // namespace

QByteArray make_scheda_misurazioni(AppContext& ctx) {
    return guard<QByteArray>(ctx, QStringLiteral("make_scheda_misurazioni"), QByteArray{},
                             [&](TrapScope& s) {
                                 s.step(1);
                                 const QString serial = settingsSerial(ctx);
                                 HtmlDocument doc;
                                 SheetWriter w(ctx, doc);
                                 s.step(2);
                                 w.head();
                                 w.plant(serial);
                                 s.step(3);
                                 w.ambient();
                                 const MeasurementRecord& r = ctx.measurement;
                                 w.channels(8, r.VDC1, r.IDC1, r.VDC2, r.IDC2, r.VDC3, r.IDC3,
                                            kIdleDcVoltage, 15, r.POTDC);
                                 w.channels(16, r.VAC1, r.IAC1, r.VAC2, r.IAC2, r.VAC3, r.IAC3,
                                            kIdleAcVoltage, 17, r.POTAC);
                                 s.step(4);
                                 w.result();
                                 w.formulas();
                                 w.legend();
                                 w.passRules();
                                 s.step(5);
                                 closeDocument(doc, reportOrigin(ctx, serial));
                                 return doc.bytes();
                             });
}

} // namespace vorna
