// SPDX-License-Identifier: MIT
#include <QTest>

#include "firmware/FirmwareImage.h"
#include "firmware/TextLines.h"
#include "sim/fixtures/FirmwareFixture.h"

using tarvik::FirmwareImage;
using tarvik::fixtures::FirmwareFixture;

class TestFirmwareImage : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void splitsLines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty text has no line") << QString() << QStringList{};
    QTest::newRow("final break adds no empty line") << "a\r\nb\r\n" << QStringList{"a", "b"};
    QTest::newRow("last line without break") << "a\r\nb" << QStringList{"a", "b"};
    QTest::newRow("lone CR and lone LF end lines") << "a\rb\nc" << QStringList{"a", "b", "c"};
    QTest::newRow("CR CR LF is a lone CR then CR LF") << "a\r\r\nb" << QStringList{"a", "", "b"};
    QTest::newRow("blank lines in between stay") << "a\r\n\r\nb" << QStringList{"a", "", "b"};
    QTest::newRow("only a break") << "\r\n" << QStringList{""};
  }
  void splitsLines() {
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(tarvik::splitLines(text), lines);
  }

  void lfBecomesCrLf_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("converted");
    QTest::newRow("LF") << "a\nb\n"
                        << "a\r\nb\r\n";
    QTest::newRow("CR LF gets a second CR") << "a\r\nb"
                                            << "a\r\r\nb";
    QTest::newRow("lone CR untouched") << "a\rb"
                                       << "a\rb";
  }
  void lfBecomesCrLf() {
    QFETCH(QString, text);
    QFETCH(QString, converted);
    QCOMPARE(tarvik::lfToCrLf(text), converted);
  }

  void bodyBytesAreLatin1() {
    const QByteArray body("\xE9\xFF\x80", 3);
    const QString text = tarvik::bodyText(body);
    QCOMPARE(text.size(), 3);
    QCOMPARE(text[0].unicode(), 0xE9);
    QCOMPARE(text[1].unicode(), 0xFF);
    QCOMPARE(text[2].unicode(), 0x80);
  }

  // The generator that feeds every flash test must write the digest the device's maker would:
  // the expected line was computed outside Qt (Python's hashlib over the two page lines, each
  // followed by CR LF).
  void generatorWritesTheDigestOfItsPageLines() {
    QByteArray counting;
    for (int i = 0; i < 128; ++i) counting.append(static_cast<char>(i));
    const QByteArray body =
        FirmwareFixture::firmwareBody({QByteArray(128, '\0'), counting});
    const QList<QByteArray> lines = body.split('\n');
    QCOMPARE(lines.size(), 4);  // two pages, the digest, and the empty rest after the last LF
    QCOMPARE(lines[0], QByteArray(256, '0'));
    QCOMPARE(lines[1], counting.toHex().toUpper());
    QCOMPARE(lines[2], QByteArray("E2A35D2F73B6CC570C97E16F015CF6C3"));
    QCOMPARE(lines[3], QByteArray());
  }

  void digestCoversEveryLineWithCrLf_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("digest");
    QTest::newRow("no line is the digest of the empty text")
        << QStringList{} << "D41D8CD98F00B204E9800998ECF8427E";
    // MD5 of "00\r\nFF\r\n": the last line's CR LF is included.
    QTest::newRow("two lines") << QStringList{"00", "FF"} << "1054422DFD9501B77A7D489B0E7DF7DA";
  }
  void digestCoversEveryLineWithCrLf() {
    QFETCH(QStringList, lines);
    QFETCH(QString, digest);
    QCOMPARE(FirmwareImage::digestOf(lines), digest);
  }

  void checksBody_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("problem");
    QTest::addColumn<QString>("errorText");
    QTest::addColumn<int>("pageCount");

    using Options = FirmwareFixture::Options;
    const QList<QByteArray> lines = FirmwareFixture::pageLines(FirmwareFixture::seededPages(3, 7));
    const auto none = static_cast<int>(FirmwareImage::Problem::None);
    const auto mismatch = static_cast<int>(FirmwareImage::Problem::DigestMismatch);
    const auto rejected = static_cast<int>(FirmwareImage::Problem::Rejected);
    const QString failed = QStringLiteral("Download failed!");

    QTest::newRow("LF file with upper-case digest passes")
        << FirmwareFixture::firmwareText(lines) << none << QString() << 3;
    Options noBreak;
    noBreak.breakAfterDigest = false;
    QTest::newRow("line end after the digest is optional")
        << FirmwareFixture::firmwareText(lines, noBreak) << none << QString() << 3;
    Options crlf;
    crlf.lineEnds = FirmwareFixture::LineEnds::CrLf;
    QTest::newRow("CR LF file fails the digest")
        << FirmwareFixture::firmwareText(lines, crlf) << mismatch << failed << 0;
    Options lower;
    lower.digestCase = FirmwareFixture::DigestCase::Lower;
    QTest::newRow("lower-case digest fails")
        << FirmwareFixture::firmwareText(lines, lower) << mismatch << failed << 0;
    Options trailingEmpty;
    trailingEmpty.emptyLineAfterDigest = true;
    QTest::newRow("empty line after the digest fails")
        << FirmwareFixture::firmwareText(lines, trailingEmpty) << mismatch << failed << 0;
    QByteArray wrongDigest = FirmwareFixture::firmwareText(lines);
    wrongDigest[10] = wrongDigest[10] == 'A' ? 'B' : 'A';  // a page digit changed in transit
    QTest::newRow("changed page digit fails") << wrongDigest << mismatch << failed << 0;

    QTest::newRow("empty body is refused")
        << QByteArray() << rejected << "Firmware file rejected: the file is empty" << 0;
    QTest::newRow("digest without pages is refused")
        << FirmwareFixture::firmwareText({}) << rejected
        << "Firmware file rejected: it holds no flash page" << 0;
    const QList<QByteArray> tooMany =
        FirmwareFixture::pageLines(FirmwareFixture::seededPages(257, 1));
    QTest::newRow("257 pages are refused")
        << FirmwareFixture::firmwareText(tooMany) << rejected
        << "Firmware file rejected: it holds 257 flash pages, at most 256 fit" << 0;
    QTest::newRow("256 pages fit")
        << FirmwareFixture::firmwareText(tooMany.mid(0, 256)) << none << QString() << 256;

    const auto withPage = [&lines](int k, const QByteArray& line) {
      QList<QByteArray> changed = lines;
      changed[k] = line;
      return FirmwareFixture::firmwareText(changed);
    };
    QTest::newRow("lower-case page is refused")
        << withPage(1, lines[1].toLower()) << rejected
        << "Firmware file rejected: page 1 is not 256 upper-case hexadecimal digits" << 0;
    QTest::newRow("short page is refused")
        << withPage(2, lines[2].left(254)) << rejected
        << "Firmware file rejected: page 2 is not 256 upper-case hexadecimal digits" << 0;
    QTest::newRow("non-hex digit is refused")
        << withPage(0, "G" + lines[0].mid(1)) << rejected
        << "Firmware file rejected: page 0 is not 256 upper-case hexadecimal digits" << 0;
    QTest::newRow("258 characters are refused")
        << withPage(0, lines[0] + "00") << rejected
        << "Firmware file rejected: page 0 is not 256 upper-case hexadecimal digits" << 0;
    QTest::newRow("257th character is ignored")
        << withPage(0, lines[0] + "x") << none << QString() << 3;
  }
  void checksBody() {
    QFETCH(QByteArray, body);
    QFETCH(int, problem);
    QFETCH(QString, errorText);
    QFETCH(int, pageCount);
    const FirmwareImage image = FirmwareImage::fromBody(body);
    QCOMPARE(static_cast<int>(image.problem()), problem);
    QCOMPARE(image.errorText(), errorText);
    QCOMPARE(image.pageCount(), pageCount);
  }

  void pagesCarryTheBytesTheirLinesSpell() {
    QList<QByteArray> pages = FirmwareFixture::seededPages(2, 3);
    pages[1][0] = 0x0C;
    pages[1][127] = static_cast<char>(0xFF);
    QList<QByteArray> lines = FirmwareFixture::pageLines(pages);
    lines[0] += "7";  // the odd 257th character is neither sent nor compared
    const FirmwareImage image = FirmwareImage::fromBody(FirmwareFixture::firmwareText(lines));
    QVERIFY(image.ok());
    QCOMPARE(image.pages()[0].bytes, pages[0]);
    QCOMPARE(image.pages()[1].bytes, pages[1]);
  }
};

QTEST_GUILESS_MAIN(TestFirmwareImage)
#include "test_firmware_image.moc"
