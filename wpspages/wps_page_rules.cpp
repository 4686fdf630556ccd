#include "wpspages/wps_page_rules.h"

#include "wps/wps_session_rules.h"

namespace ov {

WpsPageButtons ComputeWpsPageButtons(const WpsPageButtonInputs& in) {
  WpsPageButtons b;
  b.information = in.apSelected;
  b.pin = !in.polling && (in.apSelected || in.autoSelect);
  b.pbc = !in.polling;
  b.wirelessMode = !in.polling && !in.registrar;
  b.profileDetail = in.profileSelected;
  b.connect = in.profileSelected;
  b.deleteEnabled = in.profileSelected && in.mayManageProfiles;
  b.deleteShown = !in.registrar;
  b.rotate = in.credentialCount > 0;
  return b;
}

WpsPollReaction ReactToWpsStatus(const WpsStatusView& view, const WpsPollContext& context) {
  WpsPollReaction r;
  if (view.success) {
    r.stopPolling = true;
    r.reenableControls = true;
    if (context.origin == WpsRunOrigin::Page) {
      r.takeCredentials = true;
    } else {
      r.showCompletion = true;
    }
    return r;
  }
  r.reenableControls = view.reenablesControls;
  r.stopSession = view.stopsEnrolleeSession && !context.registrar;
  const bool autoPin = context.sessionMode == kWpsSessionPin && context.autoSelect &&
                       context.origin == WpsRunOrigin::Page;
  if (autoPin && view.movesToNextAp) {
    if (context.currentApIndex >= 0 && static_cast<size_t>(context.currentApIndex) < context.apRowCount) {
      r.tryNextAp = true;
      return r;
    }
    r.forgetApIndex = true;
  }
  if (view.stopsPolling || view.failure || r.stopSession) {
    r.stopPolling = true;
    r.reenableControls = true;
  }
  return r;
}

WpsConnectionTick DecideWpsConnectionTick(const WpsConnectionTickInputs& in) {
  WpsConnectionTick t;
  if (in.credentialCount == 0) {
    t.stopTimer = true;
    return t;
  }
  if (in.connected && in.monitorActive) {
    t.markConnected = true;
    t.connectedSeen = true;
    return t;
  }
  if (!in.monitorActive) {
    t.clearStatus = true;
    t.stopTimer = true;
    return t;
  }
  if (in.rotating) t.applyCredential = RotationCredentialIndex(in.tick, in.credentialCount);
  return t;
}

}  // namespace ov
