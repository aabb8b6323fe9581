// SPDX-License-Identifier: MIT
#include "i18n/TranslationLoader.h"

#include <QCoreApplication>
#include <QLocale>

namespace tarvik {

TranslationLoader::Language TranslationLoader::choose(const QStringList& uiLanguages) {
  for (const QString& entry : uiLanguages) {
    // "de", "de-DE", "de_AT.UTF-8": the language is what comes before the territory.
    const QString language = entry.section(QLatin1Char('-'), 0, 0)
                                 .section(QLatin1Char('_'), 0, 0)
                                 .section(QLatin1Char('.'), 0, 0)
                                 .toLower();
    if (language == QLatin1String("en") || language == QLatin1String("c") ||
        language == QLatin1String("posix")) {
      return Language::English;
    }
    if (language == QLatin1String("de")) return Language::German;
  }
  return Language::English;
}

QString TranslationLoader::resourcePath(Language language) {
  return language == Language::German ? QStringLiteral(":/i18n/tarvik_de.qm") : QString();
}

bool TranslationLoader::install(Language language, const QString& qtTranslations) {
  if (language == Language::English) return true;
  // Qt's own first, so that the program's translation, installed last, is asked first.
  if (qt_.load(QStringLiteral("qtbase_de"), qtTranslations))
    QCoreApplication::installTranslator(&qt_);
  if (!program_.load(resourcePath(language))) return false;
  QCoreApplication::installTranslator(&program_);
  return true;
}

bool TranslationLoader::installForSystem() {
  return install(choose(QLocale::system().uiLanguages()));
}

}  // namespace tarvik
