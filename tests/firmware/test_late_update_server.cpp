// SPDX-License-Identifier: MIT
// The stand-in update server before, while and after the real one arrives, over a fake server
// that records each fetch and answers when the test says so.
#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <vector>

#include "firmware/LateUpdateServer.h"

using tarvik::LateUpdateServer;
using tarvik::UpdateServer;

namespace {

constexpr int kWaitMs = 20000;

class FakeServer final : public UpdateServer {
 public:
  struct Request {
    QString fileName;
    int timeoutMs = 0;
    Done done;
    bool abandoned = false;
  };
  std::vector<std::shared_ptr<Request>> requests;

  std::unique_ptr<Fetch> fetch(const QString& fileName, int timeoutMs, Done done) override {
    auto request = std::make_shared<Request>(Request{fileName, timeoutMs, std::move(done)});
    requests.push_back(request);
    return std::make_unique<FakeFetch>(request);
  }
  void answer(std::size_t index, const QByteArray& body) {
    const Done done = requests.at(index)->done;
    done(Answer{body, std::nullopt});
  }

 private:
  struct FakeFetch final : Fetch {
    explicit FakeFetch(std::shared_ptr<Request> r) : request(std::move(r)) {}
    ~FakeFetch() override { request->abandoned = true; }
    std::shared_ptr<Request> request;
  };
};

// Collects answers; arrived() lets a test wait for them.
class Answers : public QObject {
  Q_OBJECT
 public:
  QList<UpdateServer::Answer> list;
  UpdateServer::Done callback() {
    return [this](const UpdateServer::Answer& answer) {
      list << answer;
      Q_EMIT arrived();
    };
  }
 Q_SIGNALS:
  void arrived();
};

}  // namespace

class TestLateUpdateServer : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void adoptStartsWaitingFetchesAndForwardsLaterOnes() {
    LateUpdateServer late;
    Answers answers;
    auto first = late.fetch(QStringLiteral("changelog.txt"), 1500, answers.callback());
    auto abandoned = late.fetch(QStringLiteral("gone.txt"), 1, answers.callback());
    auto second = late.fetch(QStringLiteral("firmware.txt"), 2500, answers.callback());
    abandoned.reset();
    auto owned = std::make_unique<FakeServer>();
    FakeServer& server = *owned;
    late.adopt(std::move(owned));
    QCOMPARE(server.requests.size(), std::size_t{2});
    QCOMPARE(server.requests[0]->fileName, QStringLiteral("changelog.txt"));
    QCOMPARE(server.requests[0]->timeoutMs, 1500);
    QCOMPARE(server.requests[1]->fileName, QStringLiteral("firmware.txt"));
    QCOMPARE(server.requests[1]->timeoutMs, 2500);

    auto later = late.fetch(QStringLiteral("later.txt"), 3500, answers.callback());
    QCOMPARE(server.requests.size(), std::size_t{3});
    QCOMPARE(server.requests[2]->fileName, QStringLiteral("later.txt"));
    QCOMPARE(server.requests[2]->timeoutMs, 3500);

    server.answer(1, "pages");
    server.answer(0, "2.0");
    QCOMPARE(answers.list.size(), 2);
    QCOMPARE(answers.list[0].body, QByteArray("pages"));
    QVERIFY(!answers.list[0].failure);
    QCOMPARE(answers.list[1].body, QByteArray("2.0"));

    // The stand-in's Fetch owns the real one: abandoning it abandons the request.
    QVERIFY(!server.requests[0]->abandoned);
    first.reset();
    QVERIFY(server.requests[0]->abandoned);
  }

  void giveUpAnswersWaitingAndLaterFetchesLater() {
    LateUpdateServer late;
    Answers answers;
    QSignalSpy arrived(&answers, &Answers::arrived);
    auto waiting = late.fetch(QStringLiteral("changelog.txt"), 1000, answers.callback());
    auto abandoned = late.fetch(QStringLiteral("firmware.txt"), 1000, answers.callback());
    abandoned.reset();
    late.giveUp(QStringLiteral("no network module"));
    QCOMPARE(answers.list.size(), 0);
    auto later = late.fetch(QStringLiteral("firmware.txt"), 1000, answers.callback());
    QCOMPARE(answers.list.size(), 0);

    // Answers come in the order of their fetches; the later one arriving means the abandoned
    // one, had it been answered, would already have been.
    while (answers.list.size() < 2) QVERIFY(arrived.wait(kWaitMs));
    QCOMPARE(answers.list.size(), 2);
    for (const UpdateServer::Answer& answer : answers.list) {
      QCOMPARE(answer.failure, std::optional<QString>(QStringLiteral("no network module")));
      QVERIFY(answer.body.isEmpty());
    }
  }

  // ASan reports any use of a Fetch after its callback destroyed it.
  void fetchDestroyedInsideItsCallback() {
    LateUpdateServer late;
    std::unique_ptr<UpdateServer::Fetch> adopted;
    std::unique_ptr<UpdateServer::Fetch> refused;
    QByteArray body;
    adopted =
        late.fetch(QStringLiteral("changelog.txt"), 1000, [&](const UpdateServer::Answer& answer) {
          adopted.reset();
          body = answer.body;
        });
    auto owned = std::make_unique<FakeServer>();
    FakeServer& server = *owned;
    late.adopt(std::move(owned));
    server.answer(0, "2.0");
    QVERIFY(!adopted);
    QCOMPARE(body, QByteArray("2.0"));
    QVERIFY(server.requests[0]->abandoned);

    LateUpdateServer refusing;
    Answers done;
    QSignalSpy arrived(&done, &Answers::arrived);
    refused = refusing.fetch(QStringLiteral("firmware.txt"), 1000,
                             [&](const UpdateServer::Answer& answer) {
                               refused.reset();
                               done.callback()(answer);
                             });
    refusing.giveUp(QStringLiteral("no network module"));
    QVERIFY(arrived.wait(kWaitMs));
    QVERIFY(!refused);
    QCOMPARE(done.list.first().failure,
             std::optional<QString>(QStringLiteral("no network module")));
  }
};

QTEST_GUILESS_MAIN(TestLateUpdateServer)
#include "test_late_update_server.moc"
