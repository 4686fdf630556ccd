#include "profilepages/page_auth_encry_rules.h"

#include <cstdio>

namespace ov {
namespace {

constexpr int kOsVersionWithWpa2 = 7;  // older systems know WPA2 networks only as WPA

bool Is(AuthChoice a, std::initializer_list<AuthChoice> set) {
  for (AuthChoice c : set)
    if (a == c) return true;
  return false;
}
bool Is(CipherChoice a, std::initializer_list<CipherChoice> set) {
  for (CipherChoice c : set)
    if (a == c) return true;
  return false;
}
size_t Index(AuthChoice a) { return static_cast<size_t>(a); }
size_t Index(CipherChoice c) { return static_cast<size_t>(c); }

bool IsWpaFamily(AuthChoice a) {
  using A = AuthChoice;
  return Is(a, {A::Wpa, A::WpaPsk, A::Wpa2, A::Wpa2Psk, A::WpaNone});
}

// The key controls as the 802.1X check box and the choice leave them. Only Open and Shared use
// the four keys; with 802.1X the keys are dynamic.
void EvaluateKeyControls(AuthEncryState& s) {
  const bool staticWep = s.auth == AuthChoice::Shared ||
                         (s.auth == AuthChoice::Open && s.cipher == CipherChoice::Wep);
  s.keysEnabled = staticWep && !s.use8021X;
  if (s.keysEnabled && !s.infrastructure) s.keyIndex = 0;  // ad hoc uses key 1 only
}

// The check box is offered only for Open with WEP on an infrastructure profile. It is looked at
// only where Open or Shared is chosen: the enterprise choices keep it set while it is hidden.
void Evaluate8021XBox(AuthEncryState& s) {
  if (!Is(s.auth, {AuthChoice::Open, AuthChoice::Shared})) return;
  if (s.auth == AuthChoice::Open && s.cipher == CipherChoice::Wep && s.infrastructure &&
      !s.leap) {
    s.use8021XShown = true;
    return;
  }
  s.use8021XShown = false;
  if (s.use8021X) s.tab8021XEnabled = false;
  s.use8021X = false;
}

void CorrectCipherForChoice(AuthEncryState& s) {
  using A = AuthChoice;
  using C = CipherChoice;
  if (!s.infrastructure) {
    if (Is(s.cipher, {C::None, C::Wep, C::Tkip})) s.cipher = C::Aes;
    return;
  }
  switch (s.auth) {
    case A::Wpa2:
      if (Is(s.cipher, {C::None, C::Wep})) s.cipher = C::Tkip;
      break;
    case A::WapiPsk:
    case A::WapiCa:
      s.cipher = C::Sms4;
      break;
    case A::Cckm:
      if (Is(s.cipher, {C::None, C::TkipMfp, C::AesMfp})) s.cipher = C::Wep;
      break;
    case A::Ccx:
      s.cipher = C::None;
      break;
    case A::Wpa:
    case A::WpaPsk:
    case A::Wpa2Psk:
    case A::WpaNone:
      if (Is(s.cipher, {C::None, C::Wep, C::TkipMfp, C::AesMfp})) s.cipher = C::Tkip;
      break;
    default:
      break;
  }
}

}  // namespace

int32_t StoredAuthMode(AuthChoice choice) {
  static constexpr std::array<int32_t, kAuthChoiceCount> kStored = {0, 1, 0, 3, 4, 6,
                                                                    7, 5, 256, 512, 10, 11};
  return kStored[Index(choice)];
}

std::optional<AuthChoice> AuthChoiceFromStored(int32_t authMode) {
  for (int i = 0; i < kAuthChoiceCount; ++i) {
    const auto choice = static_cast<AuthChoice>(i);
    if (choice != AuthChoice::Leap && StoredAuthMode(choice) == authMode) return choice;
  }
  return std::nullopt;
}

int32_t StoredCipherMode(CipherChoice choice) {
  static constexpr std::array<int32_t, kCipherChoiceCount> kStored = {1, 0, 4, 6, 256, 8, 10};
  return kStored[Index(choice)];
}

std::optional<CipherChoice> CipherChoiceFromStored(int32_t cipherMode) {
  for (int i = 0; i < kCipherChoiceCount; ++i) {
    const auto choice = static_cast<CipherChoice>(i);
    if (StoredCipherMode(choice) == cipherMode) return choice;
  }
  return std::nullopt;
}

bool UsesPreSharedKey(AuthChoice choice) {
  using A = AuthChoice;
  return Is(choice, {A::WpaPsk, A::Wpa2Psk, A::WpaNone, A::WapiPsk});
}

bool UsesEnterpriseAuthentication(AuthChoice choice) {
  using A = AuthChoice;
  return Is(choice, {A::Wpa, A::Wpa2, A::Cckm, A::Ccx});
}

std::array<bool, kAuthChoiceCount> AuthMenuEnabled(const AuthEncryState& s,
                                                   const SecurityContext& context) {
  using A = AuthChoice;
  std::array<bool, kAuthChoiceCount> on;
  on.fill(true);
  auto set = [&on](std::initializer_list<A> items, bool value) {
    for (A a : items) on[Index(a)] = value;
  };
  if (!context.wpaReady) {
    set({A::Wpa, A::WpaPsk, A::Wpa2, A::Wpa2Psk, A::WpaNone}, false);
  } else if (s.infrastructure) {
    set({A::Shared, A::Wpa, A::WpaPsk, A::Wpa2, A::Wpa2Psk, A::Cckm, A::Ccx, A::WapiPsk,
         A::WapiCa},
        true);
  } else {
    set({A::Wpa, A::WpaPsk, A::Wpa2, A::Shared}, false);
    set({A::WpaNone}, true);
    on[Index(A::Wpa2Psk)] = context.adhocWpa2Psk;
    set({A::Cckm, A::Ccx, A::WapiPsk, A::WapiCa}, false);
  }
  if (!context.wapiSupported) set({A::WapiPsk, A::WapiCa}, false);
  on[Index(A::Leap)] = s.infrastructure;
  return on;
}

std::array<bool, kCipherChoiceCount> CipherMenuEnabled(const AuthEncryState& s) {
  using A = AuthChoice;
  using C = CipherChoice;
  std::array<bool, kCipherChoiceCount> on{};
  on[Index(C::TkipMfp)] = s.auth == A::Wpa2;
  on[Index(C::AesMfp)] = s.auth == A::Wpa2;
  auto row = [&on](bool none, bool wep, bool tkip, bool aes, bool sms4) {
    on[Index(C::None)] = none;
    on[Index(C::Wep)] = wep;
    on[Index(C::Tkip)] = tkip;
    on[Index(C::Aes)] = aes;
    on[Index(C::Sms4)] = sms4;
  };
  if (s.auth == A::Open) row(true, true, false, false, false);
  else if (s.auth == A::Shared) row(false, true, false, false, false);
  else if (IsWpaFamily(s.auth)) row(false, false, s.infrastructure, true, false);
  else if (Is(s.auth, {A::WapiPsk, A::WapiCa})) row(false, false, false, false, true);
  else if (s.auth == A::Cckm) row(false, true, true, true, false);
  else if (s.auth == A::Ccx) row(true, false, false, false, false);
  else row(false, true, false, false, false);  // LEAP: its page hides the button anyway
  return on;
}

AuthEncryState ResetAuthEncry(bool hostedByEditor) {
  AuthEncryState s;
  s.hostedByEditor = hostedByEditor;
  uint32_t eapMethod = kEapMethodPeap;
  ApplyAuthChoice(s, AuthChoice::Open, eapMethod);
  ApplyCipherChoice(s, CipherChoice::None);
  return s;
}

void ApplyAuthChoice(AuthEncryState& s, AuthChoice choice, uint32_t& eapMethod) {
  using A = AuthChoice;
  using C = CipherChoice;
  s.auth = choice;
  if (!s.infrastructure && s.auth != A::Open && s.auth != A::Wpa2Psk) s.auth = A::Open;

  if (s.auth == A::Leap) {
    s.leap = true;
    s.use8021X = false;
    s.use8021XShown = false;
    s.keysEnabled = false;
    s.pskEnabled = false;
  } else if (Is(s.auth, {A::Open, A::Shared})) {
    s.leap = false;
    if (Is(s.cipher, {C::Tkip, C::Aes, C::Sms4, C::TkipMfp, C::AesMfp})) s.cipher = C::None;
    if (s.auth == A::Shared && s.cipher == C::None) s.cipher = C::Wep;
    s.pskEnabled = false;
    Evaluate8021XBox(s);
  } else {
    s.leap = false;
    CorrectCipherForChoice(s);
    s.keysEnabled = false;
    if (UsesEnterpriseAuthentication(s.auth)) {
      s.pskEnabled = false;
      s.use8021XShown = false;
      s.use8021X = true;
      s.tab8021XEnabled = true;
      if (eapMethod == kEapMethodMd5) eapMethod = kEapMethodPeap;
    } else if (s.auth == A::WapiCa) {
      s.pskEnabled = false;
      s.use8021XShown = false;
      s.use8021X = false;
    } else {
      s.pskEnabled = true;
      s.use8021XShown = false;
      s.use8021X = false;
      s.tab8021XEnabled = false;
    }
  }
  if (s.auth == A::WapiCa) s.tab8021XEnabled = false;
  s.tabWapiEnabled = s.auth == A::WapiCa;
  s.wapiKeyTypeShown = s.auth == A::WapiPsk;
  if (!s.infrastructure) s.use8021XShown = false;
  if (Is(s.auth, {A::Open, A::Shared})) EvaluateKeyControls(s);
}

void ApplyCipherChoice(AuthEncryState& s, CipherChoice choice) {
  s.cipher = choice;
  if (choice == CipherChoice::None || choice == CipherChoice::Wep) {
    Evaluate8021XBox(s);
    if (Is(s.auth, {AuthChoice::Open, AuthChoice::Shared})) EvaluateKeyControls(s);
  }
}

void Click8021X(AuthEncryState& s, bool checked) {
  if (!s.use8021XShown) return;
  s.use8021X = checked;
  s.tab8021XEnabled = checked;
  EvaluateKeyControls(s);
}

void SelectKey(AuthEncryState& s, int index) {
  if (index < 0 || index > 3) return;
  if (!s.infrastructure) index = 0;
  s.keyIndex = index;
}

void ReapplyLoadedChoices(AuthEncryState& s, uint32_t& eapMethod) {
  const bool loaded8021X = s.use8021X;
  ApplyAuthChoice(s, s.auth, eapMethod);
  // The cipher handler runs on what the choice left, so a corrected combination stays corrected.
  ApplyCipherChoice(s, s.cipher);
  if (s.use8021XShown) Click8021X(s, loaded8021X);
  s.showPassword = false;
}

void SetInfrastructure(AuthEncryState& s, bool infrastructure) {
  s.infrastructure = infrastructure;
  if (!infrastructure) {
    if (s.use8021XShown && s.use8021X) s.tab8021XEnabled = false;
    if (s.use8021XShown) s.use8021X = false;
    s.use8021XShown = false;
    if (s.keysEnabled) s.keyIndex = 0;
  } else {
    Evaluate8021XBox(s);
  }
}

AuthEncryState PresetFromSurvey(const SurveyedSecurity& network, const SecurityContext& context,
                                bool hostedByEditor, bool requirePrivacy, uint32_t& eapMethod) {
  using A = AuthChoice;
  using C = CipherChoice;
  AuthEncryState s = ResetAuthEncry(hostedByEditor);
  s.infrastructure = network.infrastructure;
  A auth = A::Open;
  C cipher = C::None;
  if (network.privacy || !requirePrivacy) {
    const bool oldSystem = context.osVersionCode < kOsVersionWithWpa2;
    switch (network.securityClass) {
      case 1: auth = A::Wpa; break;
      case 2: auth = A::WpaPsk; break;
      case 3: auth = A::WpaNone; break;
      case 4: auth = oldSystem ? A::Wpa : A::Wpa2; break;
      case 5: auth = oldSystem ? A::WpaPsk : A::Wpa2Psk; break;
      case 6: auth = A::WapiPsk; break;
      case 7: auth = A::WapiCa; break;
      case 8: auth = A::Cckm; break;
      case 9: auth = A::Ccx; break;
      default: auth = A::Open; break;
    }
    if (auth == A::Open) {
      cipher = C::Wep;
    } else if (network.cipherText == "TKIP") {
      cipher = C::Tkip;
    } else if (network.cipherText == "SMS4") {
      cipher = C::Sms4;
    } else {
      cipher = C::Aes;
    }
  }
  s.cipher = cipher;
  ApplyAuthChoice(s, auth, eapMethod);
  ApplyCipherChoice(s, s.cipher);
  return s;
}

bool IsHexText(std::string_view text) {
  for (char c : text) {
    const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (!hex) return false;
  }
  return true;
}

bool WepKeyLengthValid(const std::string& key, bool hex) {
  if (hex) return (key.size() == 10 || key.size() == 26) && IsHexText(key);
  return key.size() == 5 || key.size() == 13;
}

std::optional<LanguageKey> PreSharedKeyProblem(AuthChoice choice, const std::string& key,
                                               bool wapiHex) {
  using A = AuthChoice;
  if (choice == A::WapiPsk) {
    if (key.empty()) return IDS_MSGWAPIPSKKEYINVALID;
    if (wapiHex && (key.size() % 2 != 0 || !IsHexText(key))) return IDS_MSGHEXWAPIPSKKEYINVALID;
    return std::nullopt;
  }
  LanguageKey message;
  if (choice == A::WpaPsk) message = IDS_MSGPSKKEYINVALID;
  else if (choice == A::Wpa2Psk) message = IDS_MSGWPA2PSKKEYINVALID;
  else if (choice == A::WpaNone) message = IDS_MSGWPANONEKEYINVALID;
  else return std::nullopt;
  if (key.size() < 8 || key.size() > kPreSharedKeyMaxLength) return message;
  if (key.size() == kPreSharedKeyMaxLength && !IsHexText(key)) return message;
  return std::nullopt;
}

SecurityCheck ValidateAuthEncry(AuthEncryState& s, uint32_t eapMethod) {
  using A = AuthChoice;
  SecurityCheck check;
  const bool md5 = eapMethod == kEapMethodMd5;
  if (s.use8021X) {
    s.keysEnabled = md5;
  } else if (Is(s.auth, {A::WpaPsk, A::Wpa2Psk, A::WapiPsk, A::WapiCa}) ||
             (s.auth == A::WpaNone && s.hostedByEditor)) {
    s.keysEnabled = false;
  } else {
    s.keysEnabled = s.hostedByEditor ? s.cipher == CipherChoice::Wep : true;
  }
  check.bringSecurityTabForward = s.keysEnabled || UsesPreSharedKey(s.auth);

  const bool checkWepKey =
      s.auth == A::Shared ||
      (s.auth == A::Open && s.cipher == CipherChoice::Wep && (!s.use8021X || md5));
  if (checkWepKey) {
    const int k = s.keyIndex >= 0 && s.keyIndex < 4 ? s.keyIndex : 0;
    const bool hex = s.keyHex[k] != 0;
    if (!WepKeyLengthValid(s.keys[k], hex)) {
      check.ok = false;
      check.field = static_cast<SecurityField>(static_cast<int>(SecurityField::Key1) + k);
      check.keyLimit = hex ? kWepHexKeyMaxLength : kWepAsciiKeyMaxLength;
      char text[96];
      std::snprintf(text, sizeof text,
                    hex ? "Invalid WEP Key %d length. WEP Key should be 10 or 26 hex digits"
                        : "Invalid WEP Key %d length. WEP Key should be 5 or 13 ascii characters",
                    k + 1);
      check.note = text;
    }
    return check;
  }
  if (auto problem = PreSharedKeyProblem(s.auth, s.psk, s.wapiKeyHex != 0)) {
    check.ok = false;
    check.field = SecurityField::PreSharedKey;
    check.messageKey = *problem;
  }
  return check;
}

}  // namespace ov
