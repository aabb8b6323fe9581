// SPDX-License-Identifier: MIT
#include "core/MidiSystem.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "midi/MidiLog.h"
#include "midi/MidiPorts.h"

namespace tarvik {

namespace {

// The libraries write from their own threads; the handler is the process's.
struct LibraryLines {
  std::mutex mutex;
  QStringList held;
  bool echo = false;
  QtMessageHandler previous = nullptr;
};

LibraryLines& held() {
  static LibraryLines lines;
  return lines;
}

void takeMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  LibraryLines& lines = held();
  if (context.category == nullptr || std::strcmp(context.category, kMidiLibraryCategory) != 0) {
    if (lines.previous) lines.previous(type, context, text);
    return;
  }
  std::lock_guard lock(lines.mutex);
  // Echoed from the main thread's loop, as the program's own lines are written: a library
  // writing on the start-up thread must not come before the program's answer to what it was
  // asked (a missing file), nor between the halves of one of its lines.
  if (lines.echo && QCoreApplication::instance() != nullptr)
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [line = text.toLocal8Bit()] { std::fprintf(stderr, "%s\n", line.constData()); },
        Qt::QueuedConnection);
  lines.held << text;
  if (lines.held.size() > MidiSystem::kHeldLines)
    lines.held.remove(0, lines.held.size() - MidiSystem::kHeldLines);
}

}  // namespace

MidiSystem::MidiSystem(std::function<void(const QString& text)> errors)
    : ports_(std::make_unique<MidiPorts>()) {
  ports_->setErrorReporter([errors = std::move(errors)](const std::string& text) {
    errors(QString::fromStdString(text));
  });
}

MidiSystem::~MidiSystem() {
  ports_.reset();
  LibraryLines& lines = held();
  if (lines.previous) qInstallMessageHandler(std::exchange(lines.previous, nullptr));
}

void MidiSystem::start(std::unique_ptr<PlatformMidiService> service, bool echo, Started started) {
  LibraryLines& lines = held();
  {
    std::lock_guard lock(lines.mutex);
    lines.echo = echo;
  }
  if (!lines.previous) lines.previous = qInstallMessageHandler(&takeMessage);
  PlatformMidiService& platform = *service;
  ports_->adopt(std::move(service));
  platform.whenStarted([this, &platform, started = std::move(started)] {
    const QString problem = QString::fromStdString(platform.startupProblem());
    if (problem.isEmpty()) libraryLines();
    started(problem);
  });
  platform.startInBackground();
}

QStringList MidiSystem::libraryLines() {
  LibraryLines& lines = held();
  std::lock_guard lock(lines.mutex);
  return std::exchange(lines.held, {});
}

}  // namespace tarvik
