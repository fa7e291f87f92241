#pragma once

#include <QChar>
#include <QString>

namespace vorna {

class AppContext;

bool isInteger(const QString& text);
// A decimal number written with the given separator: optional "-", digits, optionally the
// separator and more digits.
bool isReal(const QString& text, QChar decimalSeparator);
bool isReal(const AppContext& ctx, const QString& text);
bool isLenZero(const QString& text);
// Empty texts are a run-time error of the caller: logged, false.
bool isNum(AppContext& ctx, const QString& text);
bool isNotNum(AppContext& ctx, const QString& text);
bool isValidString(const QString& text);
bool isValidCap(const QString& text);
QString correggiStringa(const QString& text);

// The texts of a plant window and the captions of their labels.
struct PlantFields {
    QString pot, noct, gamma;
    QString nome, indirizzo, numCiv, cap, comune, codice;
    QString lbPot, lbNoct, lbGamma;
    QString lbNome, lbIndirizzo, lbNumCiv, lbCap, lbComune, lbCodFisc;
};

// True when every field passes; otherwise one warning through ctx.prompts and false.
bool validazione_dati_imp(AppContext& ctx, const PlantFields& fields);

// The plant's description, one labelled line per field, in the current language.
QString write_info_impianto(AppContext& ctx, qint64 plantId);
// Asks for a file name and writes the plant's description there; a cancelled dialog writes
// nothing and returns false.
bool salva_impianto_su_file(AppContext& ctx, qint64 plantId);

} // namespace vorna
