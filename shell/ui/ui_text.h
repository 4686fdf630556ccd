#pragma once
#include <QFont>
#include <QString>

#include "lang/language_table.h"

namespace ov {

// A language-table text for a widget. The texts are the language file's bytes; the files are
// written in UTF-8 (ASCII for English).
inline QString UiText(LanguageKey key) { return QString::fromStdString(LangText(key)); }

// The font every page builds: the table's face name at the given cell height in pixels. The
// character set needs no counterpart: Qt's strings are Unicode.
inline QFont UiFont(int cellHeightPx) {
  QFont font(QString::fromStdString(Language().FaceName));
  // A cell height includes the leading and the descent: the letters take about two thirds.
  font.setPixelSize(cellHeightPx * 2 / 3);
  return font;
}

}  // namespace ov
