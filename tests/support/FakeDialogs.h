// SPDX-License-Identifier: MIT
#pragma once

#include <QEventLoop>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>
#include <optional>

#include "app/Dialogs.h"

namespace tarvik::testing {

// Answers every box at once and remembers what was shown, so no test waits for a user.
class FakeDialogs : public Dialogs {
 public:
  struct Box {
    QString caption;
    QString text;
  };

  void error(QWidget*, const QString& caption, const QString& text) override {
    errorWithDetail(nullptr, caption, text, {});
  }
  void errorWithDetail(QWidget*, const QString& caption, const QString& text,
                       const QStringList& detail) override {
    errors.push_back({caption, text});
    errorDetails.push_back(detail);
    if (errorShown) errorShown();
  }
  // Shown as every error box is, and answered "Try again carefully" while tryCarefully lasts.
  bool errorOfferingCarefulTry(QWidget*, const QString& caption, const QString& text,
                               const QStringList& detail) override {
    carefulOffers.push_back(errors.size());
    if (carefulOffered) carefulOffered();
    const bool again = tryCarefully > 0;
    if (again) --tryCarefully;
    errorWithDetail(nullptr, caption, text, detail);
    return again;
  }
  void warning(QWidget*, const QString& caption, const QString& text) override {
    warnings.push_back({caption, text});
  }
  bool confirm(QWidget*, const QString& caption, const QString& text) override {
    confirmations.push_back({caption, text});
    return confirmAnswer;
  }
  SaveAnswer askToSave(QWidget*, const QString& caption, const QString& text) override {
    saveQuestions.push_back({caption, text});
    return saveAnswer;
  }
  ConnectChoice askConnectChoice(QWidget*, const QString& caption, const QString& text) override {
    connectQuestions.push_back({caption, text});
    return connectChoice;
  }
  QString saveFileName(QWidget*, const QString& filter, const QString& suffix) override {
    fileFilters << filter;
    fileSuffixes << suffix;
    return nextFileName;
  }
  QString openFileName(QWidget*, const QString& filter, const QString& suffix) override {
    fileFilters << filter;
    fileSuffixes << suffix;
    return nextFileName;
  }
  QStringList openFileNames(QWidget*, const QString& filter, const QString& suffix) override {
    fileFilters << filter;
    fileSuffixes << suffix;
    return nextFileNames;
  }
  // The next of `textAnswers`; once they are used up, as if cancelled.
  std::optional<QString> askText(QWidget*, const QString& caption, const QString& label,
                                 const QString& text) override {
    textQuestions.push_back({caption, label});
    offeredTexts << text;
    if (textAnswers.empty()) return std::nullopt;
    const std::optional<QString> answer = std::move(textAnswers.front());
    textAnswers.pop_front();
    if (!answer) return std::nullopt;
    return *answer;
  }

  // The next of `itemAnswers`; once they are used up, as if cancelled.
  std::optional<int> askItem(QWidget*, const QString& caption, const QString& label,
                             const QStringList& items, int current) override {
    itemQuestions.push_back({caption, label});
    offeredItems.push_back(items);
    offeredItemIndexes << current;
    if (itemAnswers.empty()) return std::nullopt;
    const std::optional<int> answer = itemAnswers.front();
    itemAnswers.pop_front();
    return answer;
  }

  // The next of `takeFromAnswers`; once they are used up, as if cancelled.
  std::optional<TakeFromChoice> askTakeFrom(QWidget*, const ConfiguratorCore&) override {
    ++takeFromQuestions;
    if (takeFromAnswers.empty()) return std::nullopt;
    // Taken out as the choice itself: GCC 12 takes a moved std::optional of it for one whose
    // members may be uninitialised (-Wmaybe-uninitialized in optimised builds).
    std::optional<TakeFromChoice> answer;
    if (takeFromAnswers.front()) answer.emplace(std::move(*takeFromAnswers.front()));
    takeFromAnswers.pop_front();
    return answer;
  }

  // Serves the event loop until `count` error boxes have been shown; false when `giveUpMs`
  // passed first. Woken by each box, not by looking again and again.
  bool awaitErrors(std::size_t count, int giveUpMs) {
    if (errors.size() >= count) return true;
    QEventLoop loop;
    errorShown = [&] {
      if (errors.size() >= count) loop.quit();
    };
    QTimer::singleShot(giveUpMs, &loop, &QEventLoop::quit);
    loop.exec();
    errorShown = nullptr;
    return errors.size() >= count;
  }

  std::vector<Box> errors;
  std::vector<QStringList> errorDetails;  // beside each of `errors`
  std::function<void()> errorShown;
  // The index in `errors` of each box that offered "Try again carefully", and how many more of
  // them are answered with it.
  std::vector<std::size_t> carefulOffers;
  int tryCarefully = 0;
  // Called as each of them is shown, before it is answered.
  std::function<void()> carefulOffered;
  std::vector<Box> warnings;
  std::vector<Box> confirmations;
  bool confirmAnswer = true;
  std::vector<Box> saveQuestions;
  // Tests that do not look at the question go on as if it had not been asked.
  SaveAnswer saveAnswer = SaveAnswer::Discard;
  std::vector<Box> connectQuestions;
  // What a connect did before it asked: the device replaces the editors.
  ConnectChoice connectChoice = ConnectChoice::Replace;
  QString nextFileName;
  QStringList nextFileNames;
  std::vector<Box> textQuestions;  // the label as the text
  QStringList offeredTexts;
  std::deque<std::optional<QString>> textAnswers;
  std::vector<Box> itemQuestions;  // the label as the text
  std::vector<QStringList> offeredItems;
  QList<int> offeredItemIndexes;
  std::deque<std::optional<int>> itemAnswers;
  int takeFromQuestions = 0;
  std::deque<std::optional<TakeFromChoice>> takeFromAnswers;
  QStringList fileFilters;
  QStringList fileSuffixes;
};

}  // namespace tarvik::testing
