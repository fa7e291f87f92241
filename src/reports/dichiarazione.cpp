#include "dichiarazione.h"

#include "app_context.h"
#include "error_trap.h"
#include "html_text.h"
#include "report_values.h"

namespace vorna {

namespace {

const QString kFont = QStringLiteral("<font face=\"Times New Roman, Times, serif\" size=\"2\">");
const QString kHeadingFont =
    QStringLiteral("<font face=\"Times New Roman, Times, serif\" size=\"3\">");
const QString kFontEnd = QStringLiteral("</font>");

// A row of a body-font label cell and a body-font value cell.
void labelRow(HtmlDocument& doc, const QString& label, const QString& value) {
    doc << "<tr>"
        << "<td>" << kFont << label << kFontEnd << "</td>"
        << "<td>" << kFont << value << kFontEnd << "</td>"
        << "</tr>";
}

void declaration(HtmlDocument& doc, const QDate& reportDate) {
    doc << "<tr>"
        << "<td colspan=\"2\">" << kFont
        << "L'esito positivo delle seguenti verifiche da effettuare per ciascun \"generatore "
           "fotovoltaico\", inteso come insieme di moduli fotovoltaici con stessa inclinazione e "
           "stesso orientamento, ed irraggiamento sul piano dei moduli superiore a 600 "
           "W/m<sup>2</sup>):<br>"
        << "<br>"
        << "<u>Indice di prestazione PRp</u> (corretto in temperatura), che valuta le "
           "prestazioni in potenza in fase di avvio dell'impianto fotovoltaico con PRp > 0,78 "
           "(se Pinv &le; 20 kW) e PRp > 0,80 (se Pinv > 20 kW)<br>"
        << "<br>"
        << "PRp = Pca / (Rfv2 * (Gp / G<sub>STC</sub>) * Pn)"
        << "<br>"
        << "<br>"
        << "dove:<br>" << kFontEnd;
    static const char* const items[] = {
        "Pca è la potenza attiva (in kW) prodotta in corrente alternata dall'impianto "
        "fotovoltaico, con incertezza non superiore al 2%;",
        "Pcc è la potenza (in kW) prodotta in corrente continua dall'impianto fotovoltaico, con "
        "incertezza non superiore al 2%;",
        "P<sub>teorica-disponibile</sub> è la potenza teorica (in kW) in funzione del valore di "
        "irraggiamento Gp, confrontato con il valore della Pn riferita all'irraggiamento solare "
        "G<sub>STC</sub>;",
        "Rfv2 = 1 (se Tcel &le; 40 °C); Rfv2 = 1 - (Tcel - 40) * |gamma| / 100 (se Tcel > 40 "
        "°C);",
        "Gp è l'irraggiamento solare globale (in W/m<sup>2</sup>) misurato sul piano dei moduli "
        "con incertezza di misura del sensore solare non superiore al 3% e con incertezza di "
        "misura della tensione in uscita dal sensore non superiore all'1%;",
        "G<sub>STC</sub> è l'irraggiamento solare in STC (pari a 1000 W/m<sup>2</sup>);",
        "Pn è la potenza nominale (in kWp) del generatore fotovoltaico, determinata come somma "
        "delle singole potenze dei moduli desunte dai fogli rilasciati dal costruttore.",
    };
    doc << "<ul type=\"disc\">";
    for (const char* item : items)
        doc << "<li>" << kFont << item << kFontEnd << "</li>";
    doc << "</ul>";
    doc << kFont << "<br>"
        << "Qualora nel corso delle verifiche venga rilevata una temperatura sulla faccia "
           "posteriore dei moduli fotovoltaici superiore a 40 °C è ammessa la correzione in "
           "temperatura della potenza misurata come indicato nella Guida CEI 82-25; V1."
        << "<br>"
        << "<br>"
        << QStringLiteral("Data di elaborazione del certificato di collaudo: ") +
               reportDateText(reportDate) + QStringLiteral("<br>")
        << "<br>"
        << "<br>"
        << "Timbro e Firma: ................................................" << kFontEnd << "</td>"
        << "</tr>";
}

} // namespace

QByteArray make_dichiarazione_ver2(AppContext& ctx) {
    return guard<QByteArray>(
        ctx, QStringLiteral("make_dichiarazione_ver2"), QByteArray{}, [&](TrapScope& s) {
            s.step(1);
            const QString serial = settingsSerial(ctx);
            const PlantRecord& p = ctx.plant;
            // The certificate is dated the day it is written, whatever the measurement's date.
            const QDate reportDate =
                ctx.reportDate.isValid() ? ctx.reportDate : QDate::currentDate();
            HtmlDocument doc;
            s.step(2);
            doc << "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
                   "\"http://www.w3.org/TR/html4/loose.dtd\">"
                << "<html>"
                << "<head>"
                << "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">"
                << "<title>CERTIFICATO DI COLLAUDO</title>"
                << "</head>"
                << "<body lang=\"it\">"
                << "<table align=\"center\">"
                << "<colgroup align=\"left\" width=\"40%\"></colgroup>"
                << "<colgroup align=\"left\"></colgroup>";
            doc << "<tr valign=\"top\">"
                << "<td colspan=\"2\" align=\"center\" height=\"40\">" << kHeadingFont << "<br>"
                << "<br>"
                << "<br>"
                << "<b>CERTIFICATO DI COLLAUDO</b>"
                << "<br>"
                << "<br>"
                << "<br>" << kFontEnd << "</td>"
                << "</tr>";
            s.step(3);
            labelRow(doc, QStringLiteral("Impianto fotovoltaico installato presso: "),
                     htmlEscape(p.nome));
            labelRow(doc, QStringLiteral("&nbsp;"),
                     htmlEscape(p.indirizzo + QStringLiteral(", ") + p.NUMCIV +
                                QStringLiteral(" - ") + p.comune));
            labelRow(doc, QStringLiteral("&nbsp;"), htmlEscape(p.CODFISC));
            labelRow(doc, QStringLiteral("<br>Il/La sottoscritto/a professionista/impresa"),
                     QStringLiteral("<br>") + htmlEscape(ctx.reportLogo));
            doc << "<tr>"
                << "<td colspan=\"2\" align=\"center\" valign=\"middle\" height=\"40\">"
                << kHeadingFont << "<b>DICHIARA</b>" << kFontEnd << "</td>"
                << "</tr>";
            s.step(4);
            declaration(doc, reportDate);
            closeDocument(doc, reportOrigin(ctx, serial));
            return doc.bytes();
        });
}

} // namespace vorna
