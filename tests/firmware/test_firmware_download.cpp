// SPDX-License-Identifier: MIT
// "firmware.txt" fetched from a local update server: the checked image, the refused files and
// the ways the request itself fails.
#include <QSignalSpy>
#include <QTest>

#include "RequestFailureRows.h"
#include "firmware/FirmwareDownload.h"
#include "firmware/network/NetworkUpdateServer.h"
#include "sim/fixtures/FirmwareFixture.h"
#include "sim/fixtures/UpdateServer.h"

using tarvik::FirmwareDownload;
using tarvik::FirmwareImage;
using tarvik::NetworkUpdateServer;
using tarvik::fixtures::FirmwareFixture;
using tarvik::fixtures::UpdateServer;

namespace {

constexpr int kWaitMs = 20000;

struct DownloadRig {
  UpdateServer server;
  NetworkUpdateServer network;
  FirmwareDownload download;
  QSignalSpy running{&download, &FirmwareDownload::runningChanged};
  QSignalSpy checked{&download, &FirmwareDownload::checked};
  QSignalSpy failed{&download, &FirmwareDownload::failed};

  DownloadRig() : network(startedServerUrl(server)), download(network) {
    download.setRequestTimeout(60000);  // a test that wants it to run out shortens it
  }
  static QUrl startedServerUrl(UpdateServer& server) {
    server.start();
    return QUrl(QString::fromStdString(server.baseUrl()));
  }
  void serve(const QByteArray& body) { server.setFile("firmware.txt", body.toStdString()); }
  // Starts the download and waits for its one result.
  bool run() {
    download.start();
    return QTest::qWaitFor([this] { return checked.size() + failed.size() > 0; }, kWaitMs);
  }
  FirmwareImage image() const { return checked.first().first().value<FirmwareImage>(); }
};

}  // namespace

class TestFirmwareDownload : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void servedFileArrivesChecked() {
    DownloadRig rig;
    const QList<QByteArray> pages = FirmwareFixture::seededPages(3, 5);
    rig.serve(FirmwareFixture::firmwareBody(pages));
    QVERIFY(rig.run());
    QCOMPARE(rig.checked.size(), 1);
    QCOMPARE(rig.failed.size(), 0);
    const FirmwareImage image = rig.image();
    QVERIFY(image.ok());
    QCOMPARE(image.pageCount(), 3);
    for (int k = 0; k < 3; ++k) QCOMPARE(image.pages()[k].bytes, pages[k]);
    QVERIFY(!rig.download.running());
    QCOMPARE(rig.running.size(), 2);
    QCOMPARE(rig.running.at(0).first().toBool(), true);
    QCOMPARE(rig.running.at(1).first().toBool(), false);
  }

  void sendsUpdateServerHeaders() {
    DownloadRig rig;
    rig.serve(FirmwareFixture::firmwareBody(FirmwareFixture::seededPages(1, 1)));
    QVERIFY(rig.run());
    const auto requests = rig.server.requests();
    QCOMPARE(requests.size(), std::size_t{1});
    QCOMPARE(requests[0].path, std::string("/downloads/tarvik/firmware.txt"));
    QCOMPARE(requests[0].header("User-Agent"),
             std::string("Mozilla/3.0 (compatible; Indy Library)"));
    QCOMPARE(requests[0].header("Accept"), std::string("text/html, */*"));
    QCOMPARE(requests[0].header("Content-Type"), std::string("text/html"));
  }

  // A file that arrived but cannot be flashed is a result, not a failed request: the front end
  // tells a damaged download ("Download failed!") from a refused file by the problem.
  void refusedFilesArriveChecked_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("problem");
    QTest::addColumn<QString>("errorText");
    const auto mismatch = static_cast<int>(FirmwareImage::Problem::DigestMismatch);
    const auto rejected = static_cast<int>(FirmwareImage::Problem::Rejected);
    using Options = FirmwareFixture::Options;
    const QList<QByteArray> lines = FirmwareFixture::pageLines(FirmwareFixture::seededPages(3, 9));
    Options crlf;
    crlf.lineEnds = FirmwareFixture::LineEnds::CrLf;
    Options lower;
    lower.digestCase = FirmwareFixture::DigestCase::Lower;
    Options trailingEmpty;
    trailingEmpty.emptyLineAfterDigest = true;
    QTest::newRow("CR LF line ends")
        << FirmwareFixture::firmwareText(lines, crlf) << mismatch << "Download failed!";
    QTest::newRow("lower-case digest")
        << FirmwareFixture::firmwareText(lines, lower) << mismatch << "Download failed!";
    QTest::newRow("empty line after digest")
        << FirmwareFixture::firmwareText(lines, trailingEmpty) << mismatch << "Download failed!";
    QTest::newRow("empty body") << QByteArray() << rejected
                                << "Firmware file rejected: the file is empty";
    QTest::newRow("no page") << FirmwareFixture::firmwareText({}) << rejected
                             << "Firmware file rejected: it holds no flash page";
    QTest::newRow("257 pages")
        << FirmwareFixture::firmwareBody(FirmwareFixture::seededPages(257, 2)) << rejected
        << "Firmware file rejected: it holds 257 flash pages, at most 256 fit";
    QList<QByteArray> badHex = lines;
    badHex[2][100] = 'x';
    QTest::newRow("bad hex") << FirmwareFixture::firmwareText(badHex) << rejected
                             << "Firmware file rejected: page 2 is not 256 upper-case "
                                "hexadecimal digits";
    QList<QByteArray> lowerPage = lines;
    lowerPage[1] = lowerPage[1].toLower();
    QTest::newRow("lower-case page")
        << FirmwareFixture::firmwareText(lowerPage) << rejected
        << "Firmware file rejected: page 1 is not 256 upper-case hexadecimal digits";
  }
  void refusedFilesArriveChecked() {
    QFETCH(QByteArray, body);
    QFETCH(int, problem);
    QFETCH(QString, errorText);
    DownloadRig rig;
    rig.serve(body);
    QVERIFY(rig.run());
    QCOMPARE(rig.failed.size(), 0);
    const FirmwareImage image = rig.image();
    QVERIFY(!image.ok());
    QCOMPARE(static_cast<int>(image.problem()), problem);
    QCOMPARE(image.errorText(), errorText);
    QCOMPARE(image.pageCount(), 0);
  }

  void requestFailuresAreReported_data() { tarvik::testing::addRequestFailureRows(); }
  void requestFailuresAreReported() {
    QFETCH(int, mode);
    QFETCH(bool, stopServer);
    QFETCH(int, timeoutMs);
    QFETCH(QString, textPart);
    DownloadRig rig;
    rig.serve(FirmwareFixture::firmwareBody(FirmwareFixture::seededPages(2, 1)));
    rig.server.setMode(static_cast<UpdateServer::Mode>(mode));
    if (stopServer) {
      rig.server.stop();
    }
    rig.download.setRequestTimeout(timeoutMs);
    QVERIFY(rig.run());
    QCOMPARE(rig.checked.size(), 0);
    QCOMPARE(rig.failed.size(), 1);
    const QString text = rig.failed.first().first().toString();
    QVERIFY2(text.contains(textPart, Qt::CaseInsensitive), qPrintable(text));
    // A redirect is not followed.
    for (const auto& request : rig.server.requests()) {
      QCOMPARE_NE(request.path, std::string(UpdateServer::kMovedPage));
    }
    QVERIFY(!rig.download.running());
    QCOMPARE(rig.running.size(), 2);
  }

  // An abandoned request reports nothing, not even its abort; a download destroyed while it
  // runs is never called back (ASan would see it). The client serves the next one as before.
  void abandonedRequestsStaySilent() {
    DownloadRig rig;
    rig.serve(FirmwareFixture::firmwareBody(FirmwareFixture::seededPages(1, 4)));
    bool called = false;
    auto fetch =
        rig.network.fetch(QStringLiteral("firmware.txt"), 60000,
                          [&called](const tarvik::UpdateServer::Answer&) { called = true; });
    fetch.reset();
    auto other = std::make_unique<FirmwareDownload>(rig.network);
    other->start();
    other.reset();
    QVERIFY(rig.run());
    QCOMPARE(rig.checked.size(), 1);
    QVERIFY(!called);
  }

  void secondStartWhileRunningIsIgnored() {
    DownloadRig rig;
    rig.serve(FirmwareFixture::firmwareBody(FirmwareFixture::seededPages(1, 3)));
    rig.download.start();
    QVERIFY(rig.download.running());
    rig.download.start();
    QCOMPARE(rig.running.size(), 1);
    QVERIFY(QTest::qWaitFor([&] { return !rig.download.running(); }, kWaitMs));
    QCOMPARE(rig.checked.size(), 1);
    QCOMPARE(rig.server.requests().size(), std::size_t{1});
  }
};

QTEST_GUILESS_MAIN(TestFirmwareDownload)
#include "test_firmware_download.moc"
