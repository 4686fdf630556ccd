#include "widgets/filtering_edit.h"

#include <QValidator>

namespace ov {

namespace {

bool CharOfClass(char16_t c, CharacterClass allowed) {
  switch (allowed) {
    case CharacterClass::Any:
      return true;
    case CharacterClass::Decimal:
      return c >= u'0' && c <= u'9';
    case CharacterClass::Hex:
      return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    case CharacterClass::PrintableAscii:
      return c >= 0x20 && c <= 0x7E;
  }
  return false;
}

class CharacterClassValidator final : public QValidator {
 public:
  CharacterClassValidator(CharacterClass allowed, QObject* parent)
      : QValidator(parent), allowed_(allowed) {}
  State validate(QString& input, int& pos) const override {
    (void)pos;
    const std::u16string_view text(reinterpret_cast<const char16_t*>(input.utf16()), input.size());
    return TextOfClass(text, allowed_) ? Acceptable : Invalid;
  }

 private:
  CharacterClass allowed_;
};

}  // namespace

bool TextOfClass(std::u16string_view text, CharacterClass allowed) {
  for (char16_t c : text) {
    if (!CharOfClass(c, allowed)) return false;
  }
  return true;
}

FilteringEdit::FilteringEdit(CharacterClass allowed, QWidget* parent)
    : QLineEdit(parent), allowed_(allowed) {
  setCharacterClass(allowed);
}

void FilteringEdit::setCharacterClass(CharacterClass allowed) {
  allowed_ = allowed;
  delete validator();
  setValidator(allowed == CharacterClass::Any ? nullptr : new CharacterClassValidator(allowed, this));
}

}  // namespace ov
