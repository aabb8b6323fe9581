// SPDX-License-Identifier: MIT
#pragma once

#include <QLibraryInfo>
#include <QStringList>
#include <QTranslator>

namespace tarvik {

// The language both programs speak, chosen once at start-up from the user's list of languages.
// The texts in the sources are English, so English loads nothing; German loads the program's
// translation (compiled into the program) and Qt's own (standard buttons, the command line's
// "Usage:"), which the system's Qt translations hold.
//
// The translators are installed into the application and stay there for as long as this object
// lives: create it right after the application object, before any text is made.
class TranslationLoader {
 public:
  enum class Language { English, German };

  // The first entry of `uiLanguages` (as QLocale::uiLanguages() lists them: "de-DE", "en",
  // "C") that is English or German decides; the C locale counts as English. A list with
  // neither is English, the language the program is written in.
  static Language choose(const QStringList& uiLanguages);

  // Loads what `language` needs and installs it: the program's own from its resources, Qt's own
  // from `qtTranslations`. False when the program's own could not be loaded; Qt's own missing is
  // not an error (its standard buttons then stay English).
  bool install(Language language,
               const QString& qtTranslations = QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  // The choice for this user: LANGUAGE, else LC_ALL, LC_MESSAGES or LANG, as Qt reads them.
  bool installForSystem();

  // Where the program's own translation of `language` is, in its resources.
  static QString resourcePath(Language language);

 private:
  QTranslator program_;
  QTranslator qt_;
};

}  // namespace tarvik
