// SPDX-License-Identifier: MIT
// Which language the programs speak for a user's list of languages, and what installing it
// changes.
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "i18n/TranslationLoader.h"

using tarvik::TranslationLoader;
using Language = TranslationLoader::Language;

class TranslationLoaderTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  // Each list is what QLocale::system().uiLanguages() gives for the named environment.
  void choose_data() {
    QTest::addColumn<QStringList>("uiLanguages");
    QTest::addColumn<Language>("expected");
    QTest::newRow("LANGUAGE=en with LANG=de_DE.UTF-8: LANGUAGE wins")
        << QStringList{"en", "en-Latn-US", "en-US"} << Language::English;
    QTest::newRow("English listed ahead of German stays English")
        << QStringList{"en-GB", "de-DE", "de"} << Language::English;
    QTest::newRow("LANGUAGE=de") << QStringList{"de", "de-Latn-DE", "de-DE"} << Language::German;
    QTest::newRow("LANG=de_DE.UTF-8")
        << QStringList{"de-DE", "de-Latn-DE", "de"} << Language::German;
    QTest::newRow("LANG=de_AT.UTF-8") << QStringList{"de-AT", "de-Latn-AT"} << Language::German;
    QTest::newRow("a locale name as the environment spells it")
        << QStringList{"de_CH.UTF-8"} << Language::German;
    QTest::newRow("LANG=C") << QStringList{"C"} << Language::English;
    QTest::newRow("the C locale ahead of German") << QStringList{"C", "de"} << Language::English;
    QTest::newRow("nothing set") << QStringList{} << Language::English;
    QTest::newRow("LANGUAGE=fr:de: the first language spoken")
        << QStringList{"fr", "fr-Latn-FR", "fr-FR", "de", "de-Latn-DE", "de-DE"}
        << Language::German;
    QTest::newRow("only languages the program does not speak")
        << QStringList{"fr-FR", "it"} << Language::English;
    QTest::newRow("a language that merely starts like German")
        << QStringList{"dsb-DE", "de"} << Language::German;
  }
  void choose() {
    QFETCH(QStringList, uiLanguages);
    QFETCH(Language, expected);
    QCOMPARE(TranslationLoader::choose(uiLanguages), expected);
  }

  // A known text of the program and one of Qt's own, as each language shows them.
  void install_data() {
    QTest::addColumn<Language>("language");
    QTest::addColumn<bool>("withQtTranslations");
    QTest::addColumn<QString>("programText");
    QTest::addColumn<QString>("qtText");
    QTest::newRow("English loads nothing") << Language::English << true << "Save as File"
                                           << "Arguments:";
    QTest::newRow("German loads the program's and Qt's")
        << Language::German << true << "Als Datei speichern"
        << "Argumente:";
    QTest::newRow("German without Qt's own translations")
        << Language::German << false << "Als Datei speichern"
        << "Arguments:";
  }
  void install() {
    QFETCH(Language, language);
    QFETCH(bool, withQtTranslations);
    QFETCH(QString, programText);
    QFETCH(QString, qtText);
    if (withQtTranslations && language == Language::German &&
        !QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_de.qm")) {
      QSKIP("Qt's German (Debian: qt6-translations-l10n) is not installed");
    }
    QTemporaryDir empty;
    QVERIFY(empty.isValid());
    {
      TranslationLoader loader;
      QVERIFY(withQtTranslations ? loader.install(language)
                                 : loader.install(language, empty.path()));
      QCOMPARE(QCoreApplication::translate("tarvik::PresetMatrixTab", "Save as File"), programText);
      QCOMPARE(QCoreApplication::translate("QCommandLineParser", "Arguments:"), qtText);
    }
    // Gone with the loader: the next test of this process sees the sources' English.
    QCOMPARE(QCoreApplication::translate("tarvik::PresetMatrixTab", "Save as File"),
             QStringLiteral("Save as File"));
  }
};

QTEST_GUILESS_MAIN(TranslationLoaderTest)
#include "test_translation_loader.moc"
