// The 802.1X page's rules: method and inner-method handlers, the sub-tab arrangement, the
// credentials enabling table and Validate's checks.
#include <gtest/gtest.h>

#include "profilepages/page_8021x_rules.h"

namespace ov {
namespace {

using T = EapSubTab;

EapFields Method(uint32_t method, uint32_t peapInner = kInnerMsChapV2) {
  EapFields f = ResetEapFields();
  ChooseEapMethod(f, method);
  if (method == kEapPeap) ChoosePeapInner(f, peapInner);
  return f;
}

struct ArrangeRow {
  const char* name;
  EapFields fields;
  bool fastEnhancement;
  bool innerVisible;
  bool innerEnabled;
  InnerMenu menu;
  CredentialEnabling credentials;  // identity, password, tunnel id, tunnel password, domain, modes
  bool clientForced;
  std::vector<T> tabs;
  T selected;
};

class EapArrangeTest : public ::testing::TestWithParam<ArrangeRow> {};

TEST_P(EapArrangeTest, FollowsTheMethodTable) {
  const ArrangeRow& r = GetParam();
  const EapArrangement a = ArrangeEapPage(r.fields, r.fastEnhancement);
  EXPECT_EQ(a.innerVisible, r.innerVisible);
  EXPECT_EQ(a.innerEnabled, r.innerEnabled);
  EXPECT_EQ(a.innerMenu, r.menu);
  EXPECT_EQ(a.credentials, r.credentials);
  EXPECT_EQ(a.clientCertForced, r.clientForced);
  EXPECT_EQ(a.tabs, r.tabs);
  EXPECT_EQ(a.selected, r.selected);
}

EapFields GtcIn(uint32_t passwordMode) {
  EapFields f = Method(kEapPeap, kInnerGtc);
  f.passwordMode = passwordMode;
  return f;
}
EapFields FastWith(uint32_t provisioningTunnel, uint32_t usePac) {
  EapFields f = Method(kEapFast);
  f.provisioningTunnel = provisioningTunnel;
  f.usePac = usePac;
  return f;
}

const std::vector<T> kFour = {T::Credentials, T::ClientCert, T::ServerCert, T::SingleSignOn};

INSTANTIATE_TEST_SUITE_P(
    Rows, EapArrangeTest,
    ::testing::Values(
        ArrangeRow{"PeapMsChapV2", Method(kEapPeap), false, true, true, InnerMenu::Peap,
                   {true, false, true, true, false, false}, false, kFour, T::Credentials},
        ArrangeRow{"PeapTls", Method(kEapPeap, kInnerTls), false, true, true, InnerMenu::Peap,
                   {true, false, true, false, false, false}, true, kFour, T::Credentials},
        ArrangeRow{"PeapGtcStatic", GtcIn(1), false, true, true, InnerMenu::Peap,
                   {false, false, true, true, false, true}, false, kFour, T::Credentials},
        ArrangeRow{"PeapGtcSoftToken", GtcIn(0), false, true, true, InnerMenu::Peap,
                   {false, false, false, false, false, true}, false, kFour, T::Credentials},
        ArrangeRow{"Tls", Method(kEapTls), false, true, false, InnerMenu::None,
                   {true, false, false, false, false, false}, true, kFour, T::Credentials},
        ArrangeRow{"Ttls", Method(kEapTtls), false, true, true, InnerMenu::Ttls,
                   {true, false, true, true, false, false}, false, kFour, T::Credentials},
        ArrangeRow{"FastHidesAllButSso", Method(kEapFast), false, false, false, InnerMenu::None,
                   {}, false, {T::SingleSignOn}, T::SingleSignOn},
        ArrangeRow{"FastEnhancedWithTlsTunnel", FastWith(kInnerTls, 0), true, false, false,
                   InnerMenu::None, {}, false, {T::SingleSignOn, T::ClientCert, T::ServerCert},
                   T::SingleSignOn},
        ArrangeRow{"FastEnhancedWithPac", FastWith(kInnerMsChapV2, 1), true, false, false,
                   InnerMenu::None, {}, false, {T::SingleSignOn, T::ClientCert, T::ServerCert},
                   T::SingleSignOn},
        ArrangeRow{"FastEnhancedOtherwiseHides", FastWith(kInnerGtc, 0), true, false, false,
                   InnerMenu::None, {}, false, {T::SingleSignOn}, T::SingleSignOn},
        ArrangeRow{"FastTlsTunnelWithoutEnhancement", FastWith(kInnerTls, 1), false, false, false,
                   InnerMenu::None, {}, false, {T::SingleSignOn}, T::SingleSignOn},
        ArrangeRow{"Md5", Method(kEapMd5), false, true, false, InnerMenu::None,
                   {true, true, false, false, false, false}, false,
                   {T::Credentials, T::ServerCert, T::SingleSignOn}, T::Credentials},
        ArrangeRow{"Leap", Method(kEapLeap), false, true, false, InnerMenu::None,
                   {true, true, false, false, false, true}, false,
                   {T::Credentials, T::SingleSignOn}, T::Credentials}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EapHandlers, MethodsSetTheirInnerDefaultsAndClientCertForcing) {
  EapFields f = ResetEapFields();
  EXPECT_EQ(f.authenProtocol, kEapPeap);
  EXPECT_EQ(f.tunnelProtocol, kInnerMsChapV2);
  EXPECT_EQ(f.passwordMode, 1u);
  EXPECT_EQ(f.useClientCert, 0u);

  ChooseEapMethod(f, kEapTtls);
  ChooseTtlsInner(f, 3);  // PAP
  EXPECT_EQ(f.ttlsInnerMethod, 4u);
  ChooseEapMethod(f, kEapTtls);  // re-choosing TTLS goes back to CHAP
  EXPECT_EQ(f.ttlsInnerMethod, kTtlsInnerChap);
  ChooseTtlsInner(f, 5);  // outside the menu: ignored
  EXPECT_EQ(f.ttlsInnerMethod, kTtlsInnerChap);

  ChooseEapMethod(f, kEapPeap);
  ChoosePeapInner(f, kInnerTls);
  EXPECT_EQ(f.useClientCert, 1u);
  ChoosePeapInner(f, 99);
  EXPECT_EQ(f.tunnelProtocol, kInnerTls);
  ChoosePeapInner(f, kInnerGtc);
  EXPECT_FALSE(ArrangeEapPage(f, false).clientCertForced);
  ChooseEapMethod(f, kEapTls);
  EXPECT_EQ(f.useClientCert, 1u);
  ChooseEapMethod(f, 6);  // not a method
  EXPECT_EQ(f.authenProtocol, kEapTls);
}

struct ValidateRow {
  const char* name;
  EapFields fields;
  std::optional<EapRefusal> refusal;
};

class EapValidateTest : public ::testing::TestWithParam<ValidateRow> {};

TEST_P(EapValidateTest, RefusesWithTheFirstFailingCheck) {
  EXPECT_EQ(ValidateEapPage(GetParam().fields), GetParam().refusal);
}

EapFields With(EapFields f, const std::function<void(EapFields&)>& change) {
  change(f);
  return f;
}
EapFields PeapFilled(uint32_t inner = kInnerMsChapV2) {
  return With(Method(kEapPeap, inner), [](EapFields& f) {
    f.identity = "alice";
    f.tunnelId = "alice";
    f.tunnelPassword = "secret";
  });
}
EapFields ServerRule(const std::string& name) {
  return With(PeapFilled(), [&](EapFields& f) {
    f.useServerCert = 1;
    f.nameRule = 1;
    f.serverName = name;
  });
}
std::optional<EapRefusal> Key(LanguageKey key) { return EapRefusal{key, {}}; }
const std::optional<EapRefusal> kBadDomain = EapRefusal{std::nullopt, kInvalidServerDomainText};

INSTANTIATE_TEST_SUITE_P(
    Rows, EapValidateTest,
    ::testing::Values(
        ValidateRow{"PeapMsChapNoTunnelPassword",
                    With(PeapFilled(), [](EapFields& f) { f.tunnelPassword.clear(); }),
                    Key(IDS_TUNNELPWDREQUIRED)},
        ValidateRow{"PeapMsChapNoIdentity",
                    With(PeapFilled(), [](EapFields& f) { f.identity.clear(); }), Key(IDS_IDREQUIRED)},
        ValidateRow{"PeapMsChapNoTunnelId",
                    With(PeapFilled(), [](EapFields& f) { f.tunnelId.clear(); }),
                    Key(IDS_TUNNELIDREQUIRED)},
        ValidateRow{"PeapMsChapFilled", PeapFilled(), std::nullopt},
        ValidateRow{"PeapGtcSoftTokenAllEmpty", GtcIn(0), std::nullopt},
        ValidateRow{"PeapGtcStaticNeedsTunnelId", GtcIn(1), Key(IDS_TUNNELIDREQUIRED)},
        ValidateRow{"PeapGtcStaticNeedsTunnelPassword",
                    With(GtcIn(1), [](EapFields& f) { f.tunnelId = "t"; }),
                    Key(IDS_TUNNELPWDREQUIRED)},
        ValidateRow{"PeapTlsWithoutCertificate", PeapFilled(kInnerTls), Key(IDS_CHECKRULE5)},
        ValidateRow{"PeapTlsWithCertificate",
                    With(PeapFilled(kInnerTls), [](EapFields& f) { f.clientCert.assign(20, 7); }),
                    std::nullopt},
        ValidateRow{"PlainTlsWithoutCertificatePasses", Method(kEapTls), std::nullopt},
        ValidateRow{"TtlsUnchecked", Method(kEapTtls), std::nullopt},
        ValidateRow{"LeapPromptUserEmpty", With(Method(kEapLeap), [](EapFields& f) { f.passwordMode = 3; }),
                    std::nullopt},
        ValidateRow{"LeapStaticNoIdentity", Method(kEapLeap), Key(IDS_IDREQUIRED)},
        ValidateRow{"LeapStaticNoPassword",
                    With(Method(kEapLeap), [](EapFields& f) { f.identity = "bob"; }),
                    Key(IDS_PWDREQUIRED)},
        ValidateRow{"ServerCertEmptyName", ServerRule(""), Key(IDS_IDREQUIRED)},
        ValidateRow{"DomainWithoutDot", ServerRule("corp"), kBadDomain},
        ValidateRow{"DomainStartsWithItsOnlyDot", ServerRule(".corp"), kBadDomain},
        ValidateRow{"DomainFirstDotIsLast", ServerRule("corp."), kBadDomain},
        ValidateRow{"DomainJustADot", ServerRule("."), kBadDomain},
        ValidateRow{"DomainGood", ServerRule("radius.example"), std::nullopt},
        ValidateRow{"ExactRuleTakesAnyName",
                    With(ServerRule("corp"), [](EapFields& f) { f.nameRule = 0; }), std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ov
