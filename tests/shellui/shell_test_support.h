#pragma once
#include <QUrl>
#include <functional>
#include <string>
#include <vector>

#include "lang/language_table.h"
#include "shell/ui/main_window.h"

namespace ov::test {

// Every text is its key's name, so a widget showing "IDS_TAB_WPS" got it from the table.
inline void InstallKeyNameTexts() {
  LanguageTable table;
  for (size_t i = 0; i < kLanguageKeyCount; ++i) {
    table.Texts[i] = std::string(LanguageKeyName(static_cast<LanguageKey>(i)));
  }
  InstallLanguageTable(std::move(table));
}

class RecordingHost : public MainWindowHost {
 public:
  bool SsoInstalled() override { return ssoInstalled; }
  bool AdapterConnected() override { return connected; }
  bool RadioParameterOn() override { return radioParameterOn; }
  void SwitchRadio(bool radioOn) override { radioSwitches.push_back(radioOn); }
  void OpenUrl(const QUrl& url, std::function<void()> failed) override {
    openedUrls.push_back(url);
    if (!viewerPresent && failed) failed();
  }

  bool ssoInstalled = false;
  bool connected = false;
  bool radioParameterOn = true;
  std::vector<bool> radioSwitches;
  bool viewerPresent = true;  // false: every open fails, as on a desktop without a viewer
  std::vector<QUrl> openedUrls;
};

}  // namespace ov::test
