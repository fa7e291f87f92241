// The shipped catalogue against texts written out independently of it (expected_*.txt), and the
// rules every entry keeps.
#include "message_catalogue.h"
#include "message_data.h"
#include "test_env.h"

#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>

using vorna::MessageCatalogue;

namespace {

constexpr int kGerman = 3, kSpare = 5, kFilledLanguages = 5;
const std::set<int> kNeverFilled{40, 208, 216, 240, 299};

const MessageCatalogue& catalogue() {
    static const MessageCatalogue c = [] {
        MessageCatalogue m;
        const QByteArray data = vorna::builtInMessageData();
        for (auto [first, last] : {std::pair{0, 98}, {99, 199}, {200, 298}})
            vorna::fillMessages(m, first, last, data);
        return m;
    }();
    return c;
}

QString text(int language, int number) {
    return catalogue().text(language, number);
}

struct Expected {
    int number, language;
    QString text;
};

// Lines "number [language] |text|" of a file beside this test; no language means English.
std::vector<Expected> expected(const QString& file) {
    QFile f(vorna::test::sourceDir() + QStringLiteral("/tests/i18n/") + file);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << f.fileName().toStdString();
    static const QRegularExpression form(
        QStringLiteral("^(\\d+) (?:(fr|es|de|it|en) )?\\|(.*)\\|$"));
    static const QStringList codes{"en", "fr", "es", "de", "it"};
    std::vector<Expected> out;
    for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        const auto m = form.match(line);
        EXPECT_TRUE(m.hasMatch()) << line.toStdString();
        out.push_back({m.captured(1).toInt(),
                       int(std::max(qsizetype(0), codes.indexOf(m.captured(2)))), m.captured(3)});
    }
    return out;
}

} // namespace

TEST(CatalogueContents, GivenTextsAreExact) {
    const auto english = expected(QStringLiteral("expected_english.txt"));
    ASSERT_EQ(english.size(), size_t(MessageCatalogue::kMessages));
    for (int n = 0; n < MessageCatalogue::kMessages; ++n)
        EXPECT_EQ(english[size_t(n)].number, n);
    const auto others = expected(QStringLiteral("expected_five_languages.txt"));
    ASSERT_GE(others.size(), 66u * kFilledLanguages);
    for (const auto* list : {&english, &others})
        for (const Expected& e : *list)
            EXPECT_EQ(text(e.language, e.number).toStdString(), e.text.toStdString())
                << "message " << e.number << " language " << e.language;
}

TEST(CatalogueContents, EveryEntryIsFilledOrEmptyAsListedAndFitsLatin1) {
    for (int n = 0; n < MessageCatalogue::kMessages; ++n)
        for (int lang = 0; lang < MessageCatalogue::kLanguages; ++lang) {
            const QString t = text(lang, n);
            const std::string where =
                "message " + std::to_string(n) + " language " + std::to_string(lang);
            if (lang == kSpare)
                EXPECT_EQ(t, n == 176 ? QString("missing") : QString()) << where;
            else if (kNeverFilled.count(n) || (n == 203 && lang != kGerman))
                EXPECT_EQ(t, QString()) << where;
            else
                EXPECT_FALSE(t.trimmed().isEmpty()) << where;
            // The reports are written in ISO 8859-1.
            EXPECT_EQ(QString::fromLatin1(t.toLatin1()), t) << where;
        }
}

TEST(CatalogueContents, SecondBlockRepeatsTheFirst) {
    const std::map<std::pair<int, int>, QString> differences{
        {{kGerman, 256}, "Umgebungstemp."},           {{kGerman, 274}, "DC-Wirkungsgr."},
        {{kGerman, 276}, "AC-Wirkungsgr."},           {{kGerman, 281}, "Bezeichnung"},
        {{kGerman, 290}, "DC-Wirkungsgrad"},          {{kGerman, 291}, "AC-Wirkungsgrad"},
        {{kGerman, 292}, "Ergebnis DC-Wirkungsgrad"}, {{kGerman, 293}, "Ergebnis AC-Wirkungsgrad"},
    };
    for (int n = 231; n <= 298; ++n) // English is given whole
        for (int lang = 1; lang < MessageCatalogue::kLanguages; ++lang) {
            const auto d = differences.find({lang, n});
            EXPECT_EQ(text(lang, n), d == differences.end() ? text(lang, n - 200) : d->second)
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
    std::set<int> given(kNeverFilled);
    for (const Expected& e : expected(QStringLiteral("expected_five_languages.txt")))
        if (e.language == 1) given.insert(e.number);
    for (int n = 0; n <= 298; ++n) {
        if (given.count(n)) continue;
        const QString en = text(0, n);
        for (int lang = 1; lang < kFilledLanguages; ++lang) {
            const QString t = text(lang, n);
            EXPECT_EQ(tags(t), tags(en)) << "message " << n << " language " << lang;
            EXPECT_EQ(t.startsWith(' '), en.startsWith(' ')) << n << " " << lang;
            EXPECT_EQ(t.endsWith(' '), en.endsWith(' ')) << n << " " << lang;
            EXPECT_FALSE(t.contains('\t') || t.contains('\n')) << n << " " << lang;
        }
    }
}
