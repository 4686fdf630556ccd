#include "driver/ndis_types.h"

namespace ov {

Dot11AuthAlgorithm WpsAuthTypeToDot11(uint32_t wpsAuthType) {
  switch (wpsAuthType) {
    case WPS_AUTH_WPAPSK:
    case WPS_AUTH_WPAPSK | WPS_AUTH_WPA2PSK:
      return DOT11_AUTH_ALGO_WPA_PSK;
    case WPS_AUTH_SHARED:
      return DOT11_AUTH_ALGO_80211_SHARED_KEY;
    case WPS_AUTH_WPA:
      return DOT11_AUTH_ALGO_WPA;
    case WPS_AUTH_WPA2:
      return DOT11_AUTH_ALGO_RSNA;
    case WPS_AUTH_WPA2PSK:
      return DOT11_AUTH_ALGO_RSNA_PSK;
    default:
      return DOT11_AUTH_ALGO_80211_OPEN;
  }
}

Dot11CipherAlgorithm WpsEncryTypeToDot11(uint32_t wpsEncryType) {
  switch (wpsEncryType) {
    case WPS_ENCR_WEP:
      return DOT11_CIPHER_ALGO_WEP;
    case WPS_ENCR_TKIP:
    case WPS_ENCR_TKIP | WPS_ENCR_AES:
      return DOT11_CIPHER_ALGO_TKIP;
    case WPS_ENCR_AES:
      return DOT11_CIPHER_ALGO_CCMP;
    default:
      return DOT11_CIPHER_ALGO_NONE;
  }
}

}  // namespace ov
