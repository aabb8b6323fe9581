// SPDX-License-Identifier: MIT
#include "config/ui/PresetNameDelegate.h"

#include <QLineEdit>
#include <QValidator>

#include "config/PresetNames.h"

namespace tarvik {
namespace {

// Refuses a keystroke or a paste that would make the text something the rename refuses, so
// that what the user sees in the editor is what the name becomes.
class NameValidator : public QValidator {
 public:
  using QValidator::QValidator;

  State validate(QString& input, int&) const override {
    return PresetNames::problem(input.trimmed()).isEmpty() ? Acceptable : Invalid;
  }
};

}  // namespace

QWidget* PresetNameDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                          const QModelIndex&) const {
  auto* editor = new QLineEdit(parent);
  editor->setFrame(false);
  // Counts UTF-16 units, so a name of characters outside the basic plane stops short of the
  // limit rather than past it.
  editor->setMaxLength(PresetNames::kMaxLength);
  editor->setValidator(new NameValidator(editor));
  return editor;
}

}  // namespace tarvik
