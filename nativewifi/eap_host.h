#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "nativewifi/wlansvc/wlan_types.h"

// The EAP host's configuration dialog, as the wireless client calls it: a method's settings
// dialog that starts from a settings blob and gives the blob the user confirmed. The project's own
// host (nativewifi/eap_host/) shows a Qt dialog for EAP-FAST whose blob is the one of
// eap_fast_blob.h; tests put a scripted host behind this.
namespace ov {

constexpr uint32_t ERROR_CANCELLED = 1223;  // the user closed the dialog without confirming

// The configuration call's flags for the wireless client's dialogs.
constexpr uint32_t kEapHostConfigUiFlags = 0x00040000;

// EAP-FAST: type 43, vendor 0, vendor type 0, author 9.
inline constexpr wlan::EapMethodType kEapFastMethodType{43, 0, 0, 9};

class EapHost {
 public:
  virtual ~EapHost() = default;
  // Shows the settings dialog of `method` with `input` as its starting settings (empty for none)
  // and waits until the user closes it. ERROR_SUCCESS with the confirmed settings in *output,
  // ERROR_CANCELLED when the user cancelled, ERROR_NOT_SUPPORTED for a method without a dialog.
  // Callable from any thread.
  virtual uint32_t InvokeConfigUI(uint32_t flags, const wlan::EapMethodType& method,
                                  std::span<const uint8_t> input, std::vector<uint8_t>* output) = 0;
};

}  // namespace ov
