#include "profilepages/profile_editor_controls.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "nativewifi/native_wifi_client.h"
#include "shell/ui/shell_state.h"
#include "shell/ui/ui_text.h"

namespace ov {

QLabel* MakeLabel(LanguageKey key, const QRect& at, QWidget* parent) {
  auto* label = new QLabel(UiText(key), parent);
  label->setGeometry(at);
  return label;
}

QPushButton* MakeDropDown(const QRect& at, QMenu** menu, QWidget* parent) {
  auto* button = new QPushButton(parent);
  button->setGeometry(at);
  *menu = new QMenu(button);
  button->setMenu(*menu);
  return button;
}

QPushButton* MakeTabButton(LanguageKey caption, int index, QWidget* parent) {
  constexpr int kTabWidth = 140;
  auto* button = new QPushButton(UiText(caption), parent);
  button->setCheckable(true);
  button->setGeometry(8 + index * (kTabWidth + 4), 2, kTabWidth, 26);
  return button;
}

QPushButton* MakeOkButton(QWidget* parent) {
  auto* button = new QPushButton(UiText(IDS_OK), parent);
  button->setGeometry(612, 2, 76, 26);
  return button;
}

QPushButton* MakeCancelButton(QWidget* parent) {
  auto* button = new QPushButton(UiText(IDS_CANCEL), parent);
  button->setGeometry(692, 2, 76, 26);
  return button;
}

SecurityContext SecurityContextNow(const ShellState& state, NativeWifiClient* wifi) {
  SecurityContext context;
  context.wpaReady = state.WpaReady;
  context.wapiSupported = state.WapiSupported;
  context.adhocWpa2Psk = wifi && wifi->SupportsAdhocWpa2Psk();
  return context;
}

}  // namespace ov
