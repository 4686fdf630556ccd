#pragma once
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "nativewifi/eap_host.h"

// The project's EAP host: the settings dialog of EAP-FAST (EapFastDialog), shown on the
// user-interface thread whichever thread asks, while the asking thread waits for the user.
namespace ov {

class QtEapHost final : public EapHost {
 public:
  // Lives on the thread that creates it (the user-interface thread); `parent` is the dialog's
  // parent window and may be null or go away meanwhile.
  explicit QtEapHost(QWidget* parent = nullptr);
  ~QtEapHost() override;

  uint32_t InvokeConfigUI(uint32_t flags, const wlan::EapMethodType& method,
                          std::span<const uint8_t> input, std::vector<uint8_t>* output) override;

  // Called with each dialog once it is set up, just before it runs (tests answer it here).
  void setDialogHook(std::function<void(QDialog&)> hook) { hook_ = std::move(hook); }

 private:
  uint32_t runDialog(std::span<const uint8_t> input, std::vector<uint8_t>* output);

  QObject home_;  // on the user-interface thread: the dialog runs in its thread's event loop
  QPointer<QWidget> parent_;
  std::function<void(QDialog&)> hook_;
};

}  // namespace ov
