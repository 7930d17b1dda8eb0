#pragma once

#include <QLocale>
#include <QString>

class QCoreApplication;

/// The catalogues of the user's language: the programs' own and Qt's (standard buttons and
/// dialogs). Stored values, the launch command and log lines never go through them.
class Translations
{
public:
    /// Installs on \a app the programs' catalogue for the first of \a locale's languages
    /// that has one (English, for its plural forms, when none has) and Qt's catalogue for
    /// the same language. Call it right after the application object is made, before any
    /// text is.
    static void install(QCoreApplication &app, const QLocale &locale = QLocale());

    /// share/tolvane-launcher/translations beside the executable's bin/, in the build tree
    /// as when installed.
    static QString folder();
};
