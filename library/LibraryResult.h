// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <optional>

namespace tarvik {

// The end of a change to the library: done, or refused with a one-line reason for the user.
struct Outcome {
  QString error;  // never empty for a failure
  bool ok() const { return error.isEmpty(); }
  static Outcome failed(const QString& why) {
    return {why.isEmpty() ? QStringLiteral("failed") : why};
  }
};

// A value read from the library, or the one-line reason why there is none.
template <typename T>
struct Result {
  std::optional<T> value;
  QString error;
  bool ok() const { return value.has_value(); }

  static Result failed(const QString& why) {
    return {std::nullopt, why.isEmpty() ? QStringLiteral("failed") : why};
  }
};

// What storing does with a setup whose name is taken.
enum class IfExists { Refuse, Replace };

}  // namespace tarvik
