// SPDX-License-Identifier: MIT
// Files of a local update server fetched as the firmware tab and the flash fetch them: the body,
// the refused firmware files and the ways the request itself fails.
#include <QSignalSpy>
#include <QTest>

#include "RequestFailureRows.h"
#include "firmware/FirmwareImage.h"
#include "firmware/ServerFile.h"
#include "firmware/network/NetworkUpdateServer.h"
#include "sim/fixtures/FirmwareFixture.h"
#include "sim/fixtures/UpdateServer.h"

using tarvik::FirmwareImage;
using tarvik::NetworkUpdateServer;
using tarvik::ServerFile;
using tarvik::fixtures::FirmwareFixture;
using tarvik::fixtures::UpdateServer;

namespace {

constexpr int kWaitMs = 20000;

struct FileRig {
  UpdateServer server;
  NetworkUpdateServer network;
  ServerFile download;
  QSignalSpy running{&download, &ServerFile::runningChanged};
  QSignalSpy fetched{&download, &ServerFile::fetched};
  QSignalSpy failed{&download, &ServerFile::failed};

  explicit FileRig(const QString& fileName = QStringLiteral("firmware.txt"))
      : network(startedServerUrl(server)), download(network, fileName) {
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
    return QTest::qWaitFor([this] { return fetched.size() + failed.size() > 0; }, kWaitMs);
  }
  QByteArray body() const { return fetched.first().first().toByteArray(); }
  FirmwareImage image() const { return FirmwareImage::fromBody(body()); }
};

}  // namespace

class TestServerFile : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void servedFirmwareArrives() {
    FileRig rig;
    const QList<QByteArray> pages = FirmwareFixture::seededPages(3, 5);
    rig.serve(FirmwareFixture::firmwareBody(pages));
    QVERIFY(rig.run());
    QCOMPARE(rig.fetched.size(), 1);
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

  void sendsUpdateServerHeaders_data() {
    QTest::addColumn<QString>("fileName");
    QTest::newRow("change log") << "changelog.txt";
    QTest::newRow("firmware") << "firmware.txt";
  }
  void sendsUpdateServerHeaders() {
    QFETCH(QString, fileName);
    FileRig rig(fileName);
    const QByteArray body = FirmwareFixture::changelog("2.0", {"fixed"});
    rig.server.setFile(fileName.toStdString(), body.toStdString());
    QVERIFY(rig.run());
    QCOMPARE(rig.body(), body);
    const auto requests = rig.server.requests();
    QCOMPARE(requests.size(), std::size_t{1});
    QCOMPARE(requests[0].path, "/downloads/tarvik/" + fileName.toStdString());
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
    FileRig rig;
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
    FileRig rig;
    rig.serve(FirmwareFixture::firmwareBody(FirmwareFixture::seededPages(2, 1)));
    rig.server.setMode(static_cast<UpdateServer::Mode>(mode));
    if (stopServer) {
      rig.server.stop();
    }
    rig.download.setRequestTimeout(timeoutMs);
    QVERIFY(rig.run());
    QCOMPARE(rig.fetched.size(), 0);
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
    FileRig rig;
    rig.serve(FirmwareFixture::firmwareBody(FirmwareFixture::seededPages(1, 4)));
    bool called = false;
    auto fetch =
        rig.network.fetch(QStringLiteral("firmware.txt"), 60000,
                          [&called](const tarvik::UpdateServer::Answer&) { called = true; });
    fetch.reset();
    auto other = std::make_unique<ServerFile>(rig.network, QStringLiteral("firmware.txt"));
    other->start();
    other.reset();
    QVERIFY(rig.run());
    QCOMPARE(rig.fetched.size(), 1);
    QVERIFY(!called);
  }

  void secondStartWhileRunningIsIgnored() {
    FileRig rig;
    rig.serve(FirmwareFixture::firmwareBody(FirmwareFixture::seededPages(1, 3)));
    rig.download.start();
    QVERIFY(rig.download.running());
    rig.download.start();
    QCOMPARE(rig.running.size(), 1);
    QVERIFY(QTest::qWaitFor([&] { return !rig.download.running(); }, kWaitMs));
    QCOMPARE(rig.fetched.size(), 1);
    QCOMPARE(rig.server.requests().size(), std::size_t{1});
  }
};

QTEST_GUILESS_MAIN(TestServerFile)
#include "test_server_file.moc"
