// SPDX-License-Identifier: MIT
// Both programs, started as a user starts them, answer --help in the language their environment
// asks for: German as the German translation words it, English exactly as the sources do.
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <QTextStream>

#include "app/CommandLine.h"
#include "cli/CliOptions.h"
#include "firmware/UpdateServerUrl.h"
#include "i18n/TranslationLoader.h"

using tarvik::TranslationLoader;
using Language = TranslationLoader::Language;

namespace {

constexpr int kRunTimeoutMs = 60000;

enum class Program { Cli, Configurator };

// What the program prints for --help when `language` is installed, made here in the test.
QString expectedHelp(Program program, Language language) {
  TranslationLoader loader;
  if (!loader.install(language)) return {};
  if (program == Program::Cli) {
    return tarvik::cli::parseCommandLine({QStringLiteral("tarvik-cli"), QStringLiteral("--help")},
                                         tarvik::updateServerBaseUrl())
               .text +
           QLatin1Char('\n');
  }
  QString out;
  QString err;
  QTextStream outStream(&out);
  QTextStream errStream(&err);
  tarvik::CommandLine commandLine;
  commandLine.read({QStringLiteral("tarvik-configurator"), QStringLiteral("--help")}, outStream,
                   errStream);
  outStream.flush();
  return out;
}

// The help without its first line: Qt names the program there as it was called.
QString afterUsageLine(const QString& help) { return help.mid(help.indexOf(QLatin1Char('\n'))); }

}  // namespace

class TranslatedHelpTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void initTestCase() {
    // Without it the German rows could pass with English on both sides.
    QVERIFY(expectedHelp(Program::Cli, Language::German) !=
            expectedHelp(Program::Cli, Language::English));
    QVERIFY(expectedHelp(Program::Configurator, Language::German) !=
            expectedHelp(Program::Configurator, Language::English));
  }

  void help_data() {
    QTest::addColumn<Program>("program");
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<Language>("language");
    QTest::addColumn<QString>("usage");  // how the first line starts

    const QString cliDe = QStringLiteral("Aufruf: tarvik-cli [Optionen] Befehl [Datei]");
    const QString cliEn = QStringLiteral("Usage: tarvik-cli [options] command [file]");
    QTest::newRow("tarvik-cli, LANGUAGE=de")
        << Program::Cli << QStringList{"LANGUAGE=de"} << Language::German << cliDe;
    QTest::newRow("tarvik-cli, LANG=de_DE.UTF-8")
        << Program::Cli << QStringList{"LANG=de_DE.UTF-8"} << Language::German << cliDe;
    QTest::newRow("tarvik-cli, LC_MESSAGES=de_AT.UTF-8 under LANG=C")
        << Program::Cli << QStringList{"LANG=C", "LC_MESSAGES=de_AT.UTF-8"} << Language::German
        << cliDe;
    QTest::newRow("tarvik-cli, LANGUAGE=fr:de")
        << Program::Cli << QStringList{"LANGUAGE=fr:de", "LANG=fr_FR.UTF-8"} << Language::German
        << cliDe;
    QTest::newRow("tarvik-cli, LANGUAGE=en with LANG=de_DE.UTF-8")
        << Program::Cli << QStringList{"LANGUAGE=en", "LANG=de_DE.UTF-8"} << Language::English
        << cliEn;
    QTest::newRow("tarvik-cli, LANG=C")
        << Program::Cli << QStringList{"LANG=C"} << Language::English << cliEn;
    QTest::newRow("tarvik-configurator, LANGUAGE=de")
        << Program::Configurator << QStringList{"LANGUAGE=de"} << Language::German
        << QStringLiteral("Aufruf: ");
    QTest::newRow("tarvik-configurator, LANGUAGE=en with LANG=de_DE.UTF-8")
        << Program::Configurator << QStringList{"LANGUAGE=en", "LANG=de_DE.UTF-8"}
        << Language::English << QStringLiteral("Usage: ");
  }
  void help() {
    QFETCH(Program, program);
    QFETCH(QStringList, environment);
    QFETCH(Language, language);
    QFETCH(QString, usage);

    QProcessEnvironment run = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
      run.remove(QString::fromLatin1(name));
    for (const QString& setting : environment)
      run.insert(setting.section(QLatin1Char('='), 0, 0), setting.section(QLatin1Char('='), 1));
    QProcess process;
    process.setProcessEnvironment(run);
    process.start(program == Program::Cli ? QStringLiteral(TARVIK_CLI_PATH)
                                          : QStringLiteral(TARVIK_CONFIGURATOR_PATH),
                  {QStringLiteral("--help")});
    QVERIFY2(process.waitForFinished(kRunTimeoutMs), qPrintable(process.errorString()));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    const QString printed = QString::fromUtf8(process.readAllStandardOutput());

    QVERIFY2(printed.startsWith(usage), qPrintable(printed.left(200)));
    const QString expected = expectedHelp(program, language);
    if (program == Program::Cli) {
      QCOMPARE(printed, expected);
    } else {
      QCOMPARE(afterUsageLine(printed), afterUsageLine(expected));
    }
  }
};

QTEST_GUILESS_MAIN(TranslatedHelpTest)
#include "test_translated_help.moc"
