#include "platform/Translations.h"
#include "rom/ROM.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

// Each language in an application object of its own, with the catalogues the programs load.
TEST(TranslationsTest, CountsReadInTheLanguagesPluralFormsAndItsNumbers)
{
    struct Case
    {
        const char *language;
        QString oneFile, twoFiles, oneByte, twoBytes, cancel;
    };
    const Case cases[] = {
        // Qt's own catalogue comes with ours: its standard buttons speak German too.
        {"de_DE", QStringLiteral("1 Datei, alle aus dem Zwischenspeicher."), QStringLiteral("2 Dateien, alle aus dem Zwischenspeicher."),
         QStringLiteral("Die Datei ist nur 1 Byte lang; ein ROM-Abbild hat mindestens 4.096 Bytes."),
         QStringLiteral("Die Datei ist nur 2 Bytes lang; ein ROM-Abbild hat mindestens 4.096 Bytes."), QStringLiteral("Abbrechen")},
        {"en_GB", QStringLiteral("1 file, all from the cache."), QStringLiteral("2 files, all from the cache."),
         QStringLiteral("The file is only 1 byte long; a ROM image has at least 4,096 bytes."),
         QStringLiteral("The file is only 2 bytes long; a ROM image has at least 4,096 bytes."), QStringLiteral("Cancel")},
        // A language without a catalogue is read in English, its plurals right all the same.
        {"sw_KE", QStringLiteral("1 file, all from the cache."), QStringLiteral("2 files, all from the cache."),
         QStringLiteral("The file is only 1 byte long; a ROM image has at least 4,096 bytes."),
         QStringLiteral("The file is only 2 bytes long; a ROM image has at least 4,096 bytes."), QStringLiteral("Cancel")},
    };
    const QLocale before;
    for (const Case &c : cases) {
        int argc = 1;
        char name[] = "test";
        char *argv[] = {name, nullptr};
        QCoreApplication app(argc, argv);
        const QLocale locale(QString::fromLatin1(c.language));
        QLocale::setDefault(locale);
        Translations::install(app, locale);
        const auto files = [](int n) {
            return QCoreApplication::translate("GameLibrary", "%Ln file(s), all from the cache.", nullptr, n);
        };
        EXPECT_EQ(files(1), c.oneFile) << c.language;
        EXPECT_EQ(files(2), c.twoFiles) << c.language;
        EXPECT_EQ(ROM::describeRefusal(ROM::Refusal::TooShort, 1, 0), c.oneByte) << c.language;
        EXPECT_EQ(ROM::describeRefusal(ROM::Refusal::TooShort, 2, 0), c.twoBytes) << c.language;
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), c.cancel) << c.language;
    }
    QLocale::setDefault(before);
}
