// SPDX-License-Identifier: MIT
#pragma once

#include "link/TransferView.h"

#include <QString>
#include <QStringList>

#include <map>
#include <utility>
#include <vector>

namespace tarvik::test {

// Keeps the window state the machine drives and a transcript of every call, in order, so tests
// can check both the end state and the sequence ("button:Connect:off", "tab:4:on", ...).
class RecordingView : public TransferView {
 public:
  struct Box {
    QString caption;
    QString text;
    bool busyWhileShown = false;
  };

  QStringList log;         // addLog lines only
  QStringList transcript;  // everything
  std::vector<Box> boxes;
  std::map<ChainButton, bool> buttons{{ChainButton::Connect, true},
                                      {ChainButton::SubmitConfig, true},
                                      {ChainButton::SubmitPresets, true}};
  std::map<TabSheet, bool> tabs{{TabSheet::Presets, false},
                                {TabSheet::Advanced, false},
                                {TabSheet::Firmware, false},
                                {TabSheet::TestController, false}};
  bool busy = false;
  QString version;
  bool reserved = false;

  static QString name(ChainButton button) {
    switch (button) {
      case ChainButton::Connect:
        return QStringLiteral("Connect");
      case ChainButton::SubmitConfig:
        return QStringLiteral("SubmitConfig");
      case ChainButton::SubmitPresets:
        return QStringLiteral("SubmitPresets");
    }
    return {};
  }

  void addLog(const QString& message) override {
    log << message;
    transcript << QStringLiteral("log:") + message;
  }
  void appendRawLogLine(const QString& line) override {
    transcript << QStringLiteral("raw:") + line;
  }
  void setTabVisible(TabSheet tab, bool visible) override {
    tabs[tab] = visible;
    transcript << QStringLiteral("tab:%1:%2")
                      .arg(static_cast<int>(tab))
                      .arg(visible ? QStringLiteral("on") : QStringLiteral("off"));
  }
  void setButtonEnabled(ChainButton button, bool enabled) override {
    buttons[button] = enabled;
    transcript << QStringLiteral("button:") + name(button) +
                      (enabled ? QStringLiteral(":on") : QStringLiteral(":off"));
  }
  void setBusyCursor(bool on) override {
    busy = on;
    transcript << (on ? QStringLiteral("cursor:busy") : QStringLiteral("cursor:default"));
  }
  void showError(const QString& caption, const QString& text) override {
    boxes.push_back({caption, text, busy});
    transcript << QStringLiteral("box:") + caption;
  }
  void showWarning(const QString& caption, const QString& text) override {
    boxes.push_back({caption, text, busy});
    transcript << QStringLiteral("warning:") + caption;
  }
  void setCurrentVersion(const QString& text) override {
    version = text;
    transcript << QStringLiteral("version:") + text;
  }
  QString currentVersion() const override { return version; }
  bool linkReservedElsewhere() const override { return reserved; }

  QStringList transcriptMatching(const QString& prefix) const {
    QStringList matching;
    for (const QString& entry : transcript) {
      if (entry.startsWith(prefix)) {
        matching << entry;
      }
    }
    return matching;
  }
};

}  // namespace tarvik::test
