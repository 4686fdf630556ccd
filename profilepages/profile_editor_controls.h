#pragma once
#include <QRect>

#include "lang/language_keys.h"
#include "profilepages/page_auth_encry_rules.h"

class QLabel;
class QMenu;
class QPushButton;
class QWidget;

// The small pieces the editors' pages and hosts are built from.
namespace ov {

class NativeWifiClient;
struct ShellState;

// A language text at a fixed place.
QLabel* MakeLabel(LanguageKey key, const QRect& at, QWidget* parent);
// A drop-down button: a push button that opens `*menu`.
QPushButton* MakeDropDown(const QRect& at, QMenu** menu, QWidget* parent);
// A host's tab button `index` along the top of the panel, and the OK and Cancel buttons at its
// right end.
QPushButton* MakeTabButton(LanguageKey caption, int index, QWidget* parent);
QPushButton* MakeOkButton(QWidget* parent);
QPushButton* MakeCancelButton(QWidget* parent);
// Where a host's pages go below its buttons.
inline constexpr QRect kEditorPageArea{0, 30, 776, 170};

// What the security page reads from the monitor's flags and the wireless service.
SecurityContext SecurityContextNow(const ShellState& state, NativeWifiClient* wifi);

}  // namespace ov
