#pragma once
#include <QLineEdit>
#include <QString>
#include <string_view>

// An edit that takes only the characters its field allows (hex digits of a key, the digits of a
// PIN), typed or pasted, up to its length limit.
namespace ov {

enum class CharacterClass {
  Any,             // no filter
  Decimal,         // 0-9
  Hex,             // 0-9 a-f A-F
  PrintableAscii,  // 0x20-0x7E (an ASCII key)
};

// True when every character of `text` is of `allowed`.
bool TextOfClass(std::u16string_view text, CharacterClass allowed);

class FilteringEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit FilteringEdit(CharacterClass allowed = CharacterClass::Any, QWidget* parent = nullptr);
  void setCharacterClass(CharacterClass allowed);
  CharacterClass characterClass() const { return allowed_; }

 private:
  CharacterClass allowed_;
};

}  // namespace ov
