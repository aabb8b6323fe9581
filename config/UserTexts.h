// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <algorithm>
#include <array>

namespace tarvik {

// The rule for the short texts a user gives to numbered things (PresetNames, LoopLabels). They
// are kept with a setup in the library, written to a backup file as one section of key=value
// lines, and shown in list items, column headings, window titles and the printed charts. So a
// text is one line of at most so many characters (code points) with no white space at either
// end (readers of INI text trim values) and with no control or format character and no line or
// paragraph separator: nothing that breaks the line, nothing unseen (U+200B: two texts that look
// the same) and nothing that turns the writing direction (U+202E: a text shown backwards, and
// everything after it in the same line). The two joiners are the exception: a joined emoji and
// Persian words need them, and they neither break nor turn a line.
class UserText {
  Q_DECLARE_TR_FUNCTIONS(UserText)

 public:
  static bool refused(char32_t c);
  // Why `text` breaks the rule ("is longer than 40 characters"); empty when it keeps it.
  static QString problem(const QString& text, int maxLength);
  // A text stored before the rule covered preset names, which could then hold format
  // characters and separators: those taken out, a separator between two parts as a space. What
  // the rule refuses otherwise (a control character, a space at an end, a length) stays, to be
  // refused.
  static QString cleaned(const QString& stored);
};

// `Count` texts of at most `MaxLength` characters under UserText's rule, one per numbered
// thing, counted from 0; an empty text is none.
template <int Count, int MaxLength>
class NumberedTexts {
 public:
  static constexpr int kCount = Count;
  static constexpr int kMaxLength = MaxLength;

  const QString& text(int index) const { return texts_[index]; }
  // The caller has checked the text with problem(): an unchecked one may not read back.
  void setText(int index, const QString& text) { texts_[index] = text; }
  bool isEmpty() const {
    return std::all_of(texts_.begin(), texts_.end(), [](const QString& t) { return t.isEmpty(); });
  }

  static QString problem(const QString& text) { return UserText::problem(text, MaxLength); }

  // The section "[name]" with a line "key(number)=text" for each text, numbered from 1, CR LF
  // line ends; nothing at all when there is no text.
  QByteArray section(const QByteArray& name, QByteArray (*key)(int number)) const {
    if (isEmpty()) return {};
    QByteArray lines = "[" + name + "]\r\n";
    for (int index = 0; index < Count; ++index) {
      if (!texts_[index].isEmpty()) lines += key(index + 1) + '=' + texts_[index].toUtf8() + "\r\n";
    }
    return lines;
  }

  bool operator==(const NumberedTexts&) const = default;

 private:
  std::array<QString, Count> texts_{};
};

}  // namespace tarvik
