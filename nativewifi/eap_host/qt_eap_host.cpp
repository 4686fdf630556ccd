#include "nativewifi/eap_host/qt_eap_host.h"

#include <QMetaObject>
#include <QThread>

#include "nativewifi/eap_fast_blob.h"
#include "nativewifi/eap_host/eap_fast_dialog.h"

namespace ov {

QtEapHost::QtEapHost(QWidget* parent) : parent_(parent) {}

QtEapHost::~QtEapHost() = default;

uint32_t QtEapHost::InvokeConfigUI(uint32_t, const wlan::EapMethodType& method,
                                   std::span<const uint8_t> input, std::vector<uint8_t>* output) {
  if (!(method == kEapFastMethodType)) return wlan::ERROR_NOT_SUPPORTED;
  if (QThread::currentThread() == home_.thread()) return runDialog(input, output);
  uint32_t status = ERROR_CANCELLED;
  // The caller's thread waits while the user-interface thread runs the dialog.
  QMetaObject::invokeMethod(
      &home_, [&] { status = runDialog(input, output); }, Qt::BlockingQueuedConnection);
  return status;
}

uint32_t QtEapHost::runDialog(std::span<const uint8_t> input, std::vector<uint8_t>* output) {
  EapFastDialog dialog(parent_);
  // Settings that do not decode (another version, damaged) start the dialog from its defaults.
  if (auto settings = DecodeEapFastBlob(input)) dialog.setSettings(*settings);
  if (hook_) hook_(dialog);
  if (dialog.exec() != QDialog::Accepted) return ERROR_CANCELLED;
  auto settings = dialog.settings();
  if (!settings) return ERROR_CANCELLED;
  *output = EncodeEapFastBlob(*settings);
  return ERROR_SUCCESS;
}

}  // namespace ov
