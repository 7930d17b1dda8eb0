#include "platform/Translations.h"
#include "rom/ROM.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

// Each language in an application object of its own, with the catalogues the programs load:
// plural forms and numbers of the language, and Qt's own buttons in it too.
TEST(TranslationsTest, CountsReadInTheLanguagesPluralFormsAndQtsButtonsFollow)
{
    const QLocale before;
    int argc = 1;
    char name[] = "test", *argv[] = {name, nullptr};
    for (const auto &[language, expected] : {
             // Swahili has no catalogue: English, with its plurals right all the same.
             std::pair{"en_GB", "1 file|The file is only 1 byte long; a ROM image has at least 4,096 bytes.|2 files|"
                                "The file is only 2 bytes long; a ROM image has at least 4,096 bytes.|Cancel"},
             std::pair{"sw_KE", "1 file|The file is only 1 byte long; a ROM image has at least 4,096 bytes.|2 files|"
                                "The file is only 2 bytes long; a ROM image has at least 4,096 bytes.|Cancel"},
             std::pair{"de_DE", "1 Datei|Die Datei ist nur 1 Byte lang; ein ROM-Abbild hat mindestens 4.096 Bytes.|2 Dateien|"
                                "Die Datei ist nur 2 Bytes lang; ein ROM-Abbild hat mindestens 4.096 Bytes.|Abbrechen"}}) {
        QCoreApplication app(argc, argv);
        QLocale::setDefault(QLocale(QString::fromLatin1(language)));
        Translations::install(app);
        QStringList texts;
        for (const int n : {1, 2})
            texts << QCoreApplication::translate("GameLibrary", "%Ln file(s), all from the cache.", nullptr, n).section(QLatin1Char(','), 0, 0)
                  << ROM::describeRefusal(ROM::Refusal::TooShort, n, 0);
        EXPECT_EQ(texts.join(QLatin1Char('|')) + QLatin1Char('|') + QCoreApplication::translate("QPlatformTheme", "Cancel"),
                  QString::fromUtf8(expected));
    }
    QLocale::setDefault(before);
}
