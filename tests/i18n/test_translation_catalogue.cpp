// SPDX-License-Identifier: MIT
// The German translation against the sources as they are: lupdate is run over them into a copy
// of the committed .ts file, and the copy must hold a finished German text for every text the
// program shows, and nothing for a text it no longer shows. A text added without German, or a
// .ts file not brought up to date, fails here with the texts named.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <set>

#include "support/TsFile.h"

namespace {

using tarvik::testing::TsEntry;

std::multiset<QString> placeholders(const QString& text) {
  static const QRegularExpression marker(QStringLiteral("%\\d+"));
  std::multiset<QString> found;
  for (const QRegularExpressionMatch& match : marker.globalMatch(text))
    found.insert(match.captured());
  return found;
}

QString quoted(const TsEntry& entry) {
  return QStringLiteral("%1: \"%2\"").arg(entry.context, entry.source.left(80));
}

}  // namespace

class TranslationCatalogueTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  std::vector<TsEntry> entries_;

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY2(QFile::exists(QStringLiteral(TARVIK_LUPDATE)), TARVIK_LUPDATE " is missing");
    QVERIFY(dir_.isValid());
    const QString copy = dir_.filePath(QStringLiteral("tarvik_de.ts"));
    QVERIFY(QFile::copy(QStringLiteral(TARVIK_TS_FILE), copy));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    const QStringList options =
        QStringLiteral(TARVIK_LUPDATE_OPTIONS).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    lupdate.start(QStringLiteral(TARVIK_LUPDATE),
                  options + QStringList{QStringLiteral("-I"), QStringLiteral(TARVIK_SOURCE_ROOT),
                                        QStringLiteral("@" TARVIK_TRANSLATED_SOURCES),
                                        QStringLiteral("-ts"), copy});
    QVERIFY2(lupdate.waitForFinished(120000), qPrintable(lupdate.errorString()));
    const QByteArray output = lupdate.readAll();
    QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0,
             output.constData());
    QString error;
    entries_ = tarvik::testing::readTsFile(copy, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY2(entries_.size() > 300, output.constData());
  }

  void catalogue_data() {
    QTest::addColumn<QString>("rule");
    QTest::newRow("every text the program shows has a finished German text") << "finished";
    QTest::newRow("no German is kept for a text the program no longer shows") << "current";
    QTest::newRow("each German text keeps its source's placeholders") << "placeholders";
    QTest::newRow("German texts end in a line break where their sources do") << "lineEnds";
  }
  void catalogue() {
    QFETCH(QString, rule);
    QStringList wrong;
    for (const TsEntry& entry : entries_) {
      const bool dropped =
          entry.type == QLatin1String("vanished") || entry.type == QLatin1String("obsolete");
      if (rule == QLatin1String("finished")) {
        if (!dropped && (entry.type == QLatin1String("unfinished") || entry.translation.isEmpty()))
          wrong << quoted(entry);
      } else if (rule == QLatin1String("current")) {
        if (dropped) wrong << quoted(entry);
      } else if (rule == QLatin1String("placeholders")) {
        if (!dropped && !entry.translation.isEmpty() &&
            placeholders(entry.source) != placeholders(entry.translation))
          wrong << quoted(entry);
      } else if (!dropped && !entry.translation.isEmpty() &&
                 entry.source.endsWith(QLatin1Char('\n')) !=
                     entry.translation.endsWith(QLatin1Char('\n'))) {
        wrong << quoted(entry);
      }
    }
    // Bring the file up to date with `cmake --build <build> --target update_translations`.
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
  }
};

QTEST_GUILESS_MAIN(TranslationCatalogueTest)
#include "test_translation_catalogue.moc"
