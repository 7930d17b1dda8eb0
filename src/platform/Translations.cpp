#include "platform/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

const QString kCatalogue = QStringLiteral("tolvane-launcher");

} // namespace

void Translations::install(QCoreApplication &app, const QLocale &locale)
{
    auto *own = new QTranslator(&app);
    // QLocale's languages follow LANGUAGE, LC_ALL, LC_MESSAGES and LANG, in that order.
    if (!own->load(locale, kCatalogue, QStringLiteral("_"), folder())
        && !own->load(kCatalogue + QStringLiteral("_en"), folder())) {
        delete own;
        return;
    }
    QCoreApplication::installTranslator(own);

    // Qt's texts are English already; otherwise its buttons speak the language ours do.
    const QLocale language(own->language());
    if (language.language() == QLocale::English)
        return;
    auto *qt = new QTranslator(&app);
    if (qt->load(language, QStringLiteral("qtbase"), QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
}

QString Translations::folder()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../share/tolvane-launcher/translations");
}
