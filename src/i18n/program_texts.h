#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <array>

namespace vorna {

// The program's own texts: those of features beyond the numbered catalogue, by key, in the
// catalogue's five languages (0 English, 1 French, 2 Spanish, 3 German, 4 Italian).
class ProgramTexts {
public:
    static constexpr int kLanguages = 5;

    // The built-in table (program_texts.tsv).
    ProgramTexts();
    // A table from data in the format of program_texts.tsv; throws MessageDataError at a fault.
    explicit ProgramTexts(const QByteArray& data);

    // The text of key in language; a language outside the five gives English. Throws
    // std::out_of_range for a key the table does not hold.
    const QString& text(int language, const QString& key) const;
    QList<QString> keys() const { return texts_.keys(); }

private:
    QHash<QString, std::array<QString, kLanguages>> texts_;
};

} // namespace vorna
