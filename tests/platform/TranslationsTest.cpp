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
        QString oneFile, twoFiles, oneByte, twoBytes;
    };
    const Case cases[] = {
        {"en_GB", QStringLiteral("1 file, all from the cache."), QStringLiteral("2 files, all from the cache."),
         QStringLiteral("The file is only 1 byte long; a ROM image has at least 4,096 bytes."),
         QStringLiteral("The file is only 2 bytes long; a ROM image has at least 4,096 bytes.")},
        // A language without a catalogue is read in English, its plurals right all the same.
        {"sw_KE", QStringLiteral("1 file, all from the cache."), QStringLiteral("2 files, all from the cache."),
         QStringLiteral("The file is only 1 byte long; a ROM image has at least 4,096 bytes."),
         QStringLiteral("The file is only 2 bytes long; a ROM image has at least 4,096 bytes.")},
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
    }
    QLocale::setDefault(before);
}
