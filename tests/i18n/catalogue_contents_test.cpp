// The shipped catalogue against the texts the product defines, and the rules every entry keeps.
#include "given_texts.h"
#include "message_catalogue.h"
#include "message_data.h"

#include <QRegularExpression>
#include <QString>
#include <gtest/gtest.h>
#include <map>
#include <set>

using vorna::MessageCatalogue;

namespace {

constexpr int kEnglish = 0, kGerman = 3, kItalian = 4, kSpare = 5;
constexpr int kFilledLanguages = 5;
const std::set<int> kNeverFilled{40, 208, 216, 240, 299};

const MessageCatalogue& catalogue() {
    static const MessageCatalogue c = [] {
        MessageCatalogue m;
        const QByteArray data = vorna::builtInMessageData();
        vorna::fillMessages(m, 0, 98, data);
        vorna::fillMessages(m, 99, 199, data);
        vorna::fillMessages(m, 200, 298, data);
        return m;
    }();
    return c;
}

QString text(int language, int number) {
    return catalogue().text(language, number);
}

std::set<int> givenNumbers() {
    std::set<int> s;
    for (const auto& row : vorna::test::kFiveLanguages)
        s.insert(row.number);
    return s;
}

} // namespace

TEST(CatalogueContents, EnglishOfEveryMessageIsExact) {
    for (int n = 0; n < MessageCatalogue::kMessages; ++n)
        EXPECT_EQ(text(kEnglish, n), QString::fromUtf8(vorna::test::kEnglish[n]))
            << "message " << n;
}

TEST(CatalogueContents, FiveLanguageTableIsExact) {
    for (const auto& row : vorna::test::kFiveLanguages)
        for (int lang = 0; lang < kFilledLanguages; ++lang)
            EXPECT_EQ(text(lang, row.number), QString::fromUtf8(row.texts[lang]))
                << "message " << row.number << " language " << lang;
    // Spot checks of what a careless edit loses first: blanks and markup.
    EXPECT_EQ(text(kEnglish, 7), "THEORETICAL AVAILABLE POWER  [kW]");
    EXPECT_EQ(text(kGerman, 15), "DC-LEISTUNG ");
    EXPECT_TRUE(text(kEnglish, 210).endsWith("2% "));
    EXPECT_TRUE(text(2, 223).contains("producida  por"));
    EXPECT_EQ(text(kItalian, 211), "se Tcel &le; 40 °C");
    EXPECT_EQ(text(kItalian, 36), "scheda misurazioni");
    EXPECT_EQ(text(kItalian, 37), "dichiarazione");
}

TEST(CatalogueContents, TextsTheWindowsSpellOut) {
    // The range message reads "'Potenza [kW]' deve essere compreso tra 0,1 e 150" in Italian,
    // and the installation window's cancel key says "Annulla".
    EXPECT_EQ(text(kItalian, 146), "deve essere compreso tra");
    EXPECT_EQ(text(kItalian, 147), "e");
    EXPECT_EQ(text(kItalian, 130), "Annulla");
    EXPECT_EQ(text(kItalian, 82), "Potenza");
    for (int lang = 0; lang < kFilledLanguages; ++lang)
        EXPECT_TRUE(text(lang, 30).endsWith("TARVEN UT")) << lang;
}

TEST(CatalogueContents, SpareColumnHoldsOnlyMissing) {
    for (int n = 0; n < MessageCatalogue::kMessages; ++n)
        EXPECT_EQ(text(kSpare, n), n == 176 ? QString("missing") : QString()) << "message " << n;
}

TEST(CatalogueContents, EmptyAndPartialMessages) {
    for (int n : kNeverFilled)
        for (int lang = 0; lang < MessageCatalogue::kLanguages; ++lang)
            EXPECT_TRUE(text(lang, n).isEmpty()) << "message " << n << " language " << lang;
    for (int lang = 0; lang < MessageCatalogue::kLanguages; ++lang)
        EXPECT_EQ(text(lang, 203), lang == kGerman ? QString::fromUtf8(" wirklich löschen") : "")
            << lang;
}

TEST(CatalogueContents, NoOtherMessageIsEmpty) {
    for (int n = 0; n <= 298; ++n) {
        if (kNeverFilled.count(n) || n == 203) continue;
        for (int lang = 0; lang < kFilledLanguages; ++lang)
            EXPECT_FALSE(text(lang, n).trimmed().isEmpty())
                << "message " << n << " language " << lang;
    }
}

TEST(CatalogueContents, SecondBlockRepeatsTheFirst) {
    const std::map<std::pair<int, int>, QString> differences{
        {{kEnglish, 247}, "ver."},
        {{kGerman, 256}, "Umgebungstemp."},
        {{kGerman, 274}, "DC-Wirkungsgr."},
        {{kGerman, 276}, "AC-Wirkungsgr."},
        {{kGerman, 281}, "Bezeichnung"},
        {{kGerman, 290}, "DC-Wirkungsgrad"},
        {{kGerman, 291}, "AC-Wirkungsgrad"},
        {{kGerman, 292}, "Ergebnis DC-Wirkungsgrad"},
        {{kGerman, 293}, "Ergebnis AC-Wirkungsgrad"},
    };
    for (int n = 231; n <= 298; ++n)
        for (int lang = 0; lang < MessageCatalogue::kLanguages; ++lang) {
            const auto d = differences.find({lang, n});
            EXPECT_EQ(text(lang, n), d == differences.end() ? text(lang, n - 200) : d->second)
                << "message " << n << " language " << lang;
        }
    // The older German wordings stay in the first block.
    const std::map<int, QString> olderGerman{{56, "P. Neun"},
                                             {74, "Ergebnis Panel-Wirkungsgrad"},
                                             {76, "Inv-Wirkungsgrad"},
                                             {81, "NAME"},
                                             {90, "Panel-Wirkungsgrad"},
                                             {91, "Inv-Wirkungsgrad"},
                                             {92, "Ergebnis Panel-Wirkungsgrad"},
                                             {93, "Ergebnis Inv-Wirkungsgrad"}};
    for (const auto& [n, t] : olderGerman)
        EXPECT_EQ(text(kGerman, n), t) << n;
    EXPECT_EQ(text(kEnglish, 47), "Software version");
}

TEST(CatalogueContents, EveryTextSurvivesLatin1) {
    for (int n = 0; n < MessageCatalogue::kMessages; ++n)
        for (int lang = 0; lang < MessageCatalogue::kLanguages; ++lang) {
            const QString t = text(lang, n);
            EXPECT_EQ(QString::fromLatin1(t.toLatin1()), t)
                << "message " << n << " language " << lang;
        }
}

TEST(CatalogueContents, TranslationsKeepMarkupAndEdgeBlanks) {
    // Markup and blanks at the edges matter where texts are joined or go into the sheet; the
    // translations must carry what the English carries. The given table has its own wording.
    static const QRegularExpression markup(QStringLiteral("<[^>]+>|&[a-z]+;"));
    auto tags = [](const QString& t) {
        QStringList out;
        for (auto it = markup.globalMatch(t); it.hasNext();)
            out << it.next().captured();
        return out;
    };
    const std::set<int> given = givenNumbers();
    for (int n = 0; n <= 298; ++n) {
        if (given.count(n) || kNeverFilled.count(n)) continue;
        const QString en = text(kEnglish, n);
        for (int lang = 1; lang < kFilledLanguages; ++lang) {
            const QString t = text(lang, n);
            EXPECT_EQ(tags(t), tags(en)) << "message " << n << " language " << lang;
            EXPECT_EQ(t.startsWith(' '), en.startsWith(' ')) << n << " " << lang;
            EXPECT_EQ(t.endsWith(' '), en.endsWith(' ')) << n << " " << lang;
            EXPECT_FALSE(t.contains('\t') || t.contains('\n')) << n << " " << lang;
        }
    }
}

TEST(CatalogueContents, LookupOutsideTheTableThrows) {
    const MessageCatalogue& c = catalogue();
    EXPECT_THROW(c.text(6, 0), std::out_of_range);
    EXPECT_THROW(c.text(-1, 0), std::out_of_range);
    EXPECT_THROW(c.text(0, 300), std::out_of_range);
    EXPECT_THROW(c.text(0, -1), std::out_of_range);
    EXPECT_NO_THROW(c.text(5, 299));
}
