#include "nativewifi/wlansvc/wlan_protocol.h"

#include <algorithm>

namespace ov::wlan::protocol {

namespace {

// Field maxima: anything longer is malformed.
constexpr size_t kMaxText = 1024;                 // names, descriptions, SDDL
constexpr size_t kMaxDocument = kMaxProfileXml;   // profile and user-data documents
constexpr size_t kMaxBlob = 64 * 1024;            // IHV, EAP user data, scan IE data
constexpr uint32_t kMaxIhvOut = 64 * 1024;

class Writer {
 public:
  void u8(uint8_t v) { bytes_.push_back(v); }
  void u16(uint16_t v) {
    u8(static_cast<uint8_t>(v));
    u8(static_cast<uint8_t>(v >> 8));
  }
  void u32(uint32_t v) {
    for (int i = 0; i < 4; ++i) u8(static_cast<uint8_t>(v >> (8 * i)));
  }
  void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
  void u64(uint64_t v) {
    for (int i = 0; i < 8; ++i) u8(static_cast<uint8_t>(v >> (8 * i)));
  }
  void boolean(bool v) { u8(v ? 1 : 0); }
  void raw(const uint8_t* data, size_t size) { bytes_.insert(bytes_.end(), data, data + size); }
  void text(const std::string& s) {
    u32(static_cast<uint32_t>(s.size()));
    raw(reinterpret_cast<const uint8_t*>(s.data()), s.size());
  }
  void blob(const std::vector<uint8_t>& b) {
    u32(static_cast<uint32_t>(b.size()));
    raw(b.data(), b.size());
  }
  void guid(const Guid& g) { raw(g.data(), g.size()); }
  void mac(const MacAddress& m) { raw(m.data(), m.size()); }
  void ssid(const Ssid& s) { blob(s.bytes); }
  std::vector<uint8_t> take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};

class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  bool ok() const { return ok_; }
  bool finished() const { return ok_ && pos_ == bytes_.size(); }
  size_t left() const { return ok_ ? bytes_.size() - pos_ : 0; }
  void fail() { ok_ = false; }

  uint64_t little(size_t width) {
    if (!ok_ || left() < width) {
      ok_ = false;
      return 0;
    }
    uint64_t v = 0;
    for (size_t i = 0; i < width; ++i) v |= static_cast<uint64_t>(bytes_[pos_ + i]) << (8 * i);
    pos_ += width;
    return v;
  }
  uint8_t u8() { return static_cast<uint8_t>(little(1)); }
  uint16_t u16() { return static_cast<uint16_t>(little(2)); }
  uint32_t u32() { return static_cast<uint32_t>(little(4)); }
  int32_t i32() { return static_cast<int32_t>(u32()); }
  uint64_t u64() { return little(8); }
  bool boolean() {
    uint8_t v = u8();
    if (v > 1) ok_ = false;
    return v == 1;
  }
  // A u32 no larger than `max`.
  uint32_t bounded(uint32_t max) {
    uint32_t v = u32();
    if (v > max) ok_ = false;
    return ok_ ? v : 0;
  }
  // A count of items of at least `minItemSize` bytes each that fit in what is left.
  uint32_t count(size_t minItemSize, size_t max = SIZE_MAX) {
    uint32_t n = u32();
    if (!ok_ || n > max || (minItemSize && n > left() / minItemSize)) {
      ok_ = false;
      return 0;
    }
    return n;
  }
  void raw(uint8_t* out, size_t size) {
    if (!ok_ || left() < size) {
      ok_ = false;
      return;
    }
    std::copy_n(bytes_.begin() + static_cast<ptrdiff_t>(pos_), size, out);
    pos_ += size;
  }
  std::string text(size_t max) {
    uint32_t n = count(1, max);
    std::string s(n, '\0');
    raw(reinterpret_cast<uint8_t*>(s.data()), n);
    return ok_ ? s : std::string();
  }
  std::vector<uint8_t> blob(size_t max) {
    uint32_t n = count(1, max);
    std::vector<uint8_t> b(n);
    raw(b.data(), n);
    return ok_ ? b : std::vector<uint8_t>();
  }
  Guid guid() {
    Guid g{};
    raw(g.data(), g.size());
    return g;
  }
  MacAddress mac() {
    MacAddress m{};
    raw(m.data(), m.size());
    return m;
  }
  Ssid ssid() { return Ssid{blob(kMaxSsidLength)}; }

 private:
  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
  bool ok_ = true;
};

// ---- Enumerations: refused outside the host's ranges ----
template <typename E>
E ReadEnum(Reader& r, uint32_t min, uint32_t max) {
  uint32_t v = r.u32();
  if (v < min || v > max) r.fail();
  return static_cast<E>(v);
}
InterfaceState ReadInterfaceState(Reader& r) { return ReadEnum<InterfaceState>(r, 0, 7); }
BssType ReadBssType(Reader& r) { return ReadEnum<BssType>(r, 1, 3); }
PhyType ReadPhyType(Reader& r) {
  uint32_t v = r.u32();  // IHV PHY types live at 0x80000000 and above
  if (v > dot11_phy_type_ht && v < 0x80000000u) r.fail();
  return static_cast<PhyType>(v);
}
ConnectionMode ReadConnectionMode(Reader& r) { return ReadEnum<ConnectionMode>(r, 0, 4); }
RadioState ReadRadioState(Reader& r) { return ReadEnum<RadioState>(r, 0, 2); }
AuthAlgorithm ReadAuth(Reader& r) { return static_cast<AuthAlgorithm>(r.u32()); }
CipherAlgorithm ReadCipher(Reader& r) { return static_cast<CipherAlgorithm>(r.u32()); }
InterfaceOpcode ReadOpcode(Reader& r) {
  uint32_t v = r.u32();
  bool known = (v >= wlan_intf_opcode_radio_state &&
                v <= wlan_intf_opcode_supported_adhoc_auth_cipher_pairs) ||
               v == wlan_intf_opcode_rssi;
  if (!known) r.fail();
  return static_cast<InterfaceOpcode>(v);
}

// ---- Records ----
void Put(Writer& w, const std::optional<Ssid>& ssid) {
  w.boolean(ssid.has_value());
  if (ssid) w.ssid(*ssid);
}
std::optional<Ssid> GetOptionalSsid(Reader& r) {
  if (!r.boolean()) return std::nullopt;
  return r.ssid();
}

void Put(Writer& w, const InterfaceInfo& i) {
  w.guid(i.guid);
  w.text(i.description);
  w.u32(i.state);
}
void Get(Reader& r, InterfaceInfo* i) {
  i->guid = r.guid();
  i->description = r.text(kMaxText);
  i->state = ReadInterfaceState(r);
}
constexpr size_t kInterfaceInfoMin = 16 + 4 + 4;

void Put(Writer& w, const PhyRadioState& p) {
  w.u32(p.phyIndex);
  w.u32(p.software);
  w.u32(p.hardware);
}
void Get(Reader& r, PhyRadioState* p) {
  p->phyIndex = r.u32();
  p->software = ReadRadioState(r);
  p->hardware = ReadRadioState(r);
}

void Put(Writer& w, const AuthCipherPair& p) {
  w.u32(p.auth);
  w.u32(p.cipher);
}
void Get(Reader& r, AuthCipherPair* p) {
  p->auth = ReadAuth(r);
  p->cipher = ReadCipher(r);
}

void Put(Writer& w, const ConnectionAttributes& c) {
  w.u32(c.state);
  w.u32(c.mode);
  w.text(c.profileName);
  const AssociationAttributes& a = c.association;
  w.ssid(a.ssid);
  w.u32(a.bssType);
  w.mac(a.bssid);
  w.u32(a.phyType);
  w.u32(a.phyIndex);
  w.u32(a.signalQuality);
  w.u32(a.rxRateKbps);
  w.u32(a.txRateKbps);
  const SecurityAttributes& s = c.security;
  w.boolean(s.securityEnabled);
  w.boolean(s.oneXEnabled);
  w.u32(s.authAlgorithm);
  w.u32(s.cipherAlgorithm);
}
void Get(Reader& r, ConnectionAttributes* c) {
  c->state = ReadInterfaceState(r);
  c->mode = ReadConnectionMode(r);
  c->profileName = r.text(kMaxText);
  AssociationAttributes& a = c->association;
  a.ssid = r.ssid();
  a.bssType = ReadBssType(r);
  a.bssid = r.mac();
  a.phyType = ReadPhyType(r);
  a.phyIndex = r.u32();
  a.signalQuality = r.bounded(100);
  a.rxRateKbps = r.u32();
  a.txRateKbps = r.u32();
  SecurityAttributes& s = c->security;
  s.securityEnabled = r.boolean();
  s.oneXEnabled = r.boolean();
  s.authAlgorithm = ReadAuth(r);
  s.cipherAlgorithm = ReadCipher(r);
}

void Put(Writer& w, const InterfaceQueryResult& q) {
  w.u32(q.opcode);
  switch (q.opcode) {
    case wlan_intf_opcode_interface_state:
      w.u32(q.state);
      break;
    case wlan_intf_opcode_bss_type:
      w.u32(q.bssType);
      break;
    case wlan_intf_opcode_current_connection:
      Put(w, q.connection);
      break;
    case wlan_intf_opcode_radio_state:
      w.u32(static_cast<uint32_t>(q.radio.size()));
      for (const PhyRadioState& p : q.radio) Put(w, p);
      break;
    case wlan_intf_opcode_channel_number:
      w.u32(q.channel);
      break;
    case wlan_intf_opcode_supported_infrastructure_auth_cipher_pairs:
    case wlan_intf_opcode_supported_adhoc_auth_cipher_pairs:
      w.u32(static_cast<uint32_t>(q.pairs.size()));
      for (const AuthCipherPair& p : q.pairs) Put(w, p);
      break;
    case wlan_intf_opcode_rssi:
      w.i32(q.rssi);
      break;
  }
}
void Get(Reader& r, InterfaceQueryResult* q) {
  q->opcode = ReadOpcode(r);
  if (!r.ok()) return;
  switch (q->opcode) {
    case wlan_intf_opcode_interface_state:
      q->state = ReadInterfaceState(r);
      break;
    case wlan_intf_opcode_bss_type:
      q->bssType = ReadBssType(r);
      break;
    case wlan_intf_opcode_current_connection:
      Get(r, &q->connection);
      break;
    case wlan_intf_opcode_radio_state: {
      uint32_t n = r.count(12, 64);
      q->radio.resize(n);
      for (PhyRadioState& p : q->radio) Get(r, &p);
      break;
    }
    case wlan_intf_opcode_channel_number:
      q->channel = r.u32();
      break;
    case wlan_intf_opcode_supported_infrastructure_auth_cipher_pairs:
    case wlan_intf_opcode_supported_adhoc_auth_cipher_pairs: {
      uint32_t n = r.count(8, 256);
      q->pairs.resize(n);
      for (AuthCipherPair& p : q->pairs) Get(r, &p);
      break;
    }
    case wlan_intf_opcode_rssi:
      q->rssi = r.i32();
      break;
  }
}

void Put(Writer& w, const BssEntry& e) {
  w.ssid(e.ssid);
  w.u32(e.phyId);
  w.mac(e.bssid);
  w.u32(e.bssType);
  w.u32(e.phyType);
  w.i32(e.rssi);
  w.u32(e.linkQuality);
  w.boolean(e.inRegDomain);
  w.u16(e.beaconPeriod);
  w.u64(e.timestamp);
  w.u64(e.hostTimestamp);
  w.u16(e.capabilityInformation);
  w.u32(e.centerFrequencyKHz);
  w.u32(static_cast<uint32_t>(e.rates.size()));
  for (uint16_t rate : e.rates) w.u16(rate);
  w.blob(e.informationElements);
}
void Get(Reader& r, BssEntry* e) {
  e->ssid = r.ssid();
  e->phyId = r.u32();
  e->bssid = r.mac();
  e->bssType = ReadBssType(r);
  e->phyType = ReadPhyType(r);
  e->rssi = r.i32();
  e->linkQuality = r.bounded(100);
  e->inRegDomain = r.boolean();
  e->beaconPeriod = r.u16();
  e->timestamp = r.u64();
  e->hostTimestamp = r.u64();
  e->capabilityInformation = r.u16();
  e->centerFrequencyKHz = r.u32();
  uint32_t n = r.count(2, kMaxRates);
  e->rates.resize(n);
  for (uint16_t& rate : e->rates) rate = r.u16();
  e->informationElements = r.blob(kMaxInformationElements);
}
constexpr size_t kBssEntryMin = 4 + 4 + 6 + 4 + 4 + 4 + 4 + 1 + 2 + 8 + 8 + 2 + 4 + 4 + 4;

void Put(Writer& w, const AvailableNetwork& n) {
  w.text(n.profileName);
  w.ssid(n.ssid);
  w.u32(n.bssType);
  w.u32(n.numberOfBssids);
  w.boolean(n.connectable);
  w.u32(n.notConnectableReason);
  w.u32(static_cast<uint32_t>(n.phyTypes.size()));
  for (PhyType p : n.phyTypes) w.u32(p);
  w.u32(n.signalQuality);
  w.boolean(n.securityEnabled);
  w.u32(n.defaultAuth);
  w.u32(n.defaultCipher);
  w.u32(n.flags);
}
void Get(Reader& r, AvailableNetwork* n) {
  n->profileName = r.text(kMaxText);
  n->ssid = r.ssid();
  n->bssType = ReadBssType(r);
  n->numberOfBssids = r.u32();
  n->connectable = r.boolean();
  n->notConnectableReason = r.u32();
  uint32_t count = r.count(4, 8);
  n->phyTypes.resize(count);
  for (PhyType& p : n->phyTypes) p = ReadPhyType(r);
  n->signalQuality = r.bounded(100);
  n->securityEnabled = r.boolean();
  n->defaultAuth = ReadAuth(r);
  n->defaultCipher = ReadCipher(r);
  n->flags = r.u32();
}
constexpr size_t kAvailableNetworkMin = 4 + 4 + 4 + 4 + 1 + 4 + 4 + 4 + 1 + 4 + 4 + 4;

void Put(Writer& w, const ConnectionParameters& p) {
  w.u32(p.mode);
  w.text(p.profile);
  Put(w, p.ssid);
  w.u32(static_cast<uint32_t>(p.desiredBssids.size()));
  for (const MacAddress& m : p.desiredBssids) w.mac(m);
  w.u32(p.bssType);
  w.u32(p.flags);
}
void Get(Reader& r, ConnectionParameters* p) {
  p->mode = ReadConnectionMode(r);
  p->profile = r.text(kMaxDocument);
  p->ssid = GetOptionalSsid(r);
  uint32_t n = r.count(6, 64);
  p->desiredBssids.resize(n);
  for (MacAddress& m : p->desiredBssids) m = r.mac();
  p->bssType = ReadBssType(r);
  p->flags = r.u32();
}

void Put(Writer& w, const ConnectionNotificationData& c) {
  w.u32(c.mode);
  w.text(c.profileName);
  w.ssid(c.ssid);
  w.u32(c.bssType);
  w.boolean(c.securityEnabled);
  w.u32(c.reasonCode);
  w.u32(c.flags);
  w.text(c.profileXml);
}
void Get(Reader& r, ConnectionNotificationData* c) {
  c->mode = ReadConnectionMode(r);
  c->profileName = r.text(kMaxText);
  c->ssid = r.ssid();
  c->bssType = ReadBssType(r);
  c->securityEnabled = r.boolean();
  c->reasonCode = r.u32();
  c->flags = r.u32();
  c->profileXml = r.text(kMaxDocument);
}

void Put(Writer& w, const Notification& n) {
  w.u32(n.source);
  w.u32(n.code);
  w.guid(n.interfaceGuid);
  w.boolean(n.connection.has_value());
  if (n.connection) Put(w, *n.connection);
  w.boolean(n.radio.has_value());
  if (n.radio) Put(w, *n.radio);
  w.boolean(n.reasonCode.has_value());
  if (n.reasonCode) w.u32(*n.reasonCode);
  w.blob(n.data);
}
void Get(Reader& r, Notification* n) {
  n->source = r.u32();
  n->code = r.u32();
  n->interfaceGuid = r.guid();
  if (r.boolean()) Get(r, &n->connection.emplace());
  if (r.boolean()) Get(r, &n->radio.emplace());
  if (r.boolean()) n->reasonCode = r.u32();
  n->data = r.blob(kMaxBlob);
}

template <typename M, typename WriteFn>
std::vector<uint8_t> Encode(const M& m, WriteFn write) {
  Writer w;
  write(w, m);
  return w.take();
}

template <typename M, typename ReadFn>
bool Decode(std::span<const uint8_t> payload, M* out, ReadFn read) {
  Reader r(payload);
  M m;
  read(r, m);
  if (!r.finished()) return false;
  *out = std::move(m);
  return true;
}

// A response: the status, then the rest only on success.
template <typename M, typename WriteFn>
std::vector<uint8_t> EncodeResponse(const M& m, WriteFn writeBody) {
  Writer w;
  w.u32(m.status);
  if (m.status == ERROR_SUCCESS) writeBody(w, m);
  return w.take();
}
template <typename M, typename ReadFn>
bool DecodeResponse(std::span<const uint8_t> payload, M* out, ReadFn readBody) {
  Reader r(payload);
  M m;
  m.status = r.u32();
  if (r.ok() && m.status == ERROR_SUCCESS) readBody(r, m);
  if (!r.finished()) return false;
  *out = std::move(m);
  return true;
}

}  // namespace

bool IsRequestType(uint32_t type) { return type >= kOpenHandle && type <= kRegisterNotification; }

// ---- Requests ----

std::vector<uint8_t> EncodePayload(const OpenHandleRequest& m) {
  return Encode(m, [](Writer& w, const auto& m) { w.u32(m.clientVersion); });
}
bool DecodePayload(std::span<const uint8_t> p, OpenHandleRequest* m) {
  return Decode(p, m, [](Reader& r, auto& m) { m.clientVersion = r.u32(); });
}

std::vector<uint8_t> EncodePayload(const CloseHandleRequest& m) {
  return Encode(m, [](Writer& w, const auto& m) { w.u32(m.handle); });
}
bool DecodePayload(std::span<const uint8_t> p, CloseHandleRequest* m) {
  return Decode(p, m, [](Reader& r, auto& m) { m.handle = r.u32(); });
}

std::vector<uint8_t> EncodePayload(const EnumInterfacesRequest& m) {
  return Encode(m, [](Writer& w, const auto& m) { w.u32(m.handle); });
}
bool DecodePayload(std::span<const uint8_t> p, EnumInterfacesRequest* m) {
  return Decode(p, m, [](Reader& r, auto& m) { m.handle = r.u32(); });
}

std::vector<uint8_t> EncodePayload(const QueryInterfaceRequest& m) {
  return Encode(m, [](Writer& w, const auto& m) {
    w.u32(m.handle);
    w.guid(m.guid);
    w.u32(m.opcode);
  });
}
bool DecodePayload(std::span<const uint8_t> p, QueryInterfaceRequest* m) {
  return Decode(p, m, [](Reader& r, auto& m) {
    m.handle = r.u32();
    m.guid = r.guid();
    m.opcode = ReadOpcode(r);
  });
}

std::vector<uint8_t> EncodePayload(const SetInterfaceRequest& m) {
  return Encode(m, [](Writer& w, const auto& m) {
    w.u32(m.handle);
    w.guid(m.guid);
    w.u32(m.opcode);
    Put(w, m.radio);
  });
}
bool DecodePayload(std::span<const uint8_t> p, SetInterfaceRequest* m) {
  return Decode(p, m, [](Reader& r, auto& m) {
    m.handle = r.u32();
    m.guid = r.guid();
    m.opcode = ReadOpcode(r);
    Get(r, &m.radio);
  });
}

std::vector<uint8_t> EncodePayload(const ScanRequest& m) {
  return Encode(m, [](Writer& w, const auto& m) {
    w.u32(m.handle);
    w.guid(m.guid);
    Put(w, m.ssid);
    w.blob(m.ieData);
  });
}
bool DecodePayload(std::span<const uint8_t> p, ScanRequest* m) {
  return Decode(p, m, [](Reader& r, auto& m) {
    m.handle = r.u32();
    m.guid = r.guid();
    m.ssid = GetOptionalSsid(r);
    m.ieData = r.blob(kMaxInformationElements);
  });
}

std::vector<uint8_t> EncodePayload(const GetNetworkBssListRequest& m) {
  return Encode(m, [](Writer& w, const auto& m) {
    w.u32(m.handle);
    w.guid(m.guid);
    Put(w, m.ssid);
    w.u32(m.bssType);
    w.boolean(m.securityEnabled);
  });
}
bool DecodePayload(std::span<const uint8_t> p, GetNetworkBssListRequest* m) {
  return Decode(p, m, [](Reader& r, auto& m) {
    m.handle = r.u32();
    m.guid = r.guid();
    m.ssid = GetOptionalSsid(r);
    m.bssType = ReadBssType(r);
    m.securityEnabled = r.boolean();
  });
}

std::vector<uint8_t> EncodePayload(const GetAvailableNetworkListRequest& m) {
  return Encode(m, [](Writer& w, const auto& m) {
    w.u32(m.handle);
    w.guid(m.guid);
    w.u32(m.flags);
  });
}
bool DecodePayload(std::span<const uint8_t> p, GetAvailableNetworkListRequest* m) {
  return Decode(p, m, [](Reader& r, auto& m) {
    m.handle = r.u32();
    m.guid = r.guid();
    m.flags = r.u32();
  });
}

std::vector<uint8_t> EncodePayload(const ConnectRequest& m) {
  return Encode(m, [](Writer& w, const auto& m) {
    w.u32(m.handle);
    w.guid(m.guid);
    Put(w, m.parameters);
  });
}
bool DecodePayload(std::span<const uint8_t> p, ConnectRequest* m) {
  return Decode(p, m, [](Reader& r, auto& m) {
    m.handle = r.u32();
    m.guid = r.guid();
    Get(r, &m.parameters);
  });
}

std::vector<uint8_t> EncodePayload(const DisconnectRequest& m) {
  return Encode(m, [](Writer& w, const auto& m) {
    w.u32(m.handle);
    w.guid(m.guid);
  });
}
bool DecodePayload(std::span<const uint8_t> p, DisconnectRequest* m) {
  return Decode(p, m, [](Reader& r, auto& m) {
    m.handle = r.u32();
    m.guid = r.guid();
  });
}

std::vector<uint8_t> EncodePayload(const SetProfileRequest& m) {
  return Encode(m, [](Writer& w, const auto& m) {
    w.u32(m.handle);
    w.guid(m.guid);
    w.u32(m.flags);
    w.text(m.profileXml);
    w.boolean(m.overwrite);
  });
}
bool DecodePayload(std::span<const uint8_t> p, SetProfileRequest* m) {
  return Decode(p, m, [](Reader& r, auto& m) {
    m.handle = r.u32();
    m.guid = r.guid();
    m.flags = r.u32();
    m.profileXml = r.text(kMaxDocument);
    m.overwrite = r.boolean();
  });
}

std::vector<uint8_t> EncodePayload(const GetProfileRequest& m) {
  return Encode(m, [](Writer& w, const auto& m) {
    w.u32(m.handle);
    w.guid(m.guid);
    w.text(m.profileName);
  });
}
bool DecodePayload(std::span<const uint8_t> p, GetProfileRequest* m) {
  return Decode(p, m, [](Reader& r, auto& m) {
    m.handle = r.u32();
    m.guid = r.guid();
    m.profileName = r.text(kMaxText);
  });
}

std::vector<uint8_t> EncodePayload(const DeleteProfileRequest& m) {
  return Encode(m, [](Writer& w, const auto& m) {
    w.u32(m.handle);
    w.guid(m.guid);
    w.text(m.profileName);
  });
}
bool DecodePayload(std::span<const uint8_t> p, DeleteProfileRequest* m) {
  return Decode(p, m, [](Reader& r, auto& m) {
    m.handle = r.u32();
    m.guid = r.guid();
    m.profileName = r.text(kMaxText);
  });
}

std::vector<uint8_t> EncodePayload(const GetProfileListRequest& m) {
  return Encode(m, [](Writer& w, const auto& m) {
    w.u32(m.handle);
    w.guid(m.guid);
  });
}
bool DecodePayload(std::span<const uint8_t> p, GetProfileListRequest* m) {
  return Decode(p, m, [](Reader& r, auto& m) {
    m.handle = r.u32();
    m.guid = r.guid();
  });
}

std::vector<uint8_t> EncodePayload(const SetProfileEapUserDataRequest& m) {
  return Encode(m, [](Writer& w, const auto& m) {
    w.u32(m.handle);
    w.guid(m.guid);
    w.text(m.profileName);
    w.u8(m.eapType.type);
    w.u32(m.eapType.vendorId);
    w.u32(m.eapType.vendorType);
    w.u32(m.eapType.authorId);
    w.u32(m.flags);
    w.blob(m.userData);
  });
}
bool DecodePayload(std::span<const uint8_t> p, SetProfileEapUserDataRequest* m) {
  return Decode(p, m, [](Reader& r, auto& m) {
    m.handle = r.u32();
    m.guid = r.guid();
    m.profileName = r.text(kMaxText);
    m.eapType.type = r.u8();
    m.eapType.vendorId = r.u32();
    m.eapType.vendorType = r.u32();
    m.eapType.authorId = r.u32();
    m.flags = r.u32();
    m.userData = r.blob(kMaxBlob);
  });
}

std::vector<uint8_t> EncodePayload(const SetProfileEapXmlUserDataRequest& m) {
  return Encode(m, [](Writer& w, const auto& m) {
    w.u32(m.handle);
    w.guid(m.guid);
    w.text(m.profileName);
    w.u32(m.flags);
    w.text(m.userDataXml);
  });
}
bool DecodePayload(std::span<const uint8_t> p, SetProfileEapXmlUserDataRequest* m) {
  return Decode(p, m, [](Reader& r, auto& m) {
    m.handle = r.u32();
    m.guid = r.guid();
    m.profileName = r.text(kMaxText);
    m.flags = r.u32();
    m.userDataXml = r.text(kMaxDocument);
  });
}

std::vector<uint8_t> EncodePayload(const IhvControlRequest& m) {
  return Encode(m, [](Writer& w, const auto& m) {
    w.u32(m.handle);
    w.guid(m.guid);
    w.u32(m.type);
    w.blob(m.in);
    w.u32(m.outSize);
  });
}
bool DecodePayload(std::span<const uint8_t> p, IhvControlRequest* m) {
  return Decode(p, m, [](Reader& r, auto& m) {
    m.handle = r.u32();
    m.guid = r.guid();
    m.type = ReadEnum<IhvControlType>(r, 0, 1);
    m.in = r.blob(kMaxBlob);
    m.outSize = r.bounded(kMaxIhvOut);
  });
}

std::vector<uint8_t> EncodePayload(const SetSecuritySettingsRequest& m) {
  return Encode(m, [](Writer& w, const auto& m) {
    w.u32(m.handle);
    w.u32(m.object);
    w.text(m.sddl);
  });
}
bool DecodePayload(std::span<const uint8_t> p, SetSecuritySettingsRequest* m) {
  return Decode(p, m, [](Reader& r, auto& m) {
    m.handle = r.u32();
    m.object = ReadEnum<SecurableObject>(r, 0, wlan_secure_object_count - 1);
    m.sddl = r.text(kMaxText);
  });
}

std::vector<uint8_t> EncodePayload(const GetSecuritySettingsRequest& m) {
  return Encode(m, [](Writer& w, const auto& m) {
    w.u32(m.handle);
    w.u32(m.object);
  });
}
bool DecodePayload(std::span<const uint8_t> p, GetSecuritySettingsRequest* m) {
  return Decode(p, m, [](Reader& r, auto& m) {
    m.handle = r.u32();
    m.object = ReadEnum<SecurableObject>(r, 0, wlan_secure_object_count - 1);
  });
}

std::vector<uint8_t> EncodePayload(const RegisterNotificationRequest& m) {
  return Encode(m, [](Writer& w, const auto& m) {
    w.u32(m.handle);
    w.u32(m.sourceMask);
    w.boolean(m.ignoreDuplicate);
  });
}
bool DecodePayload(std::span<const uint8_t> p, RegisterNotificationRequest* m) {
  return Decode(p, m, [](Reader& r, auto& m) {
    m.handle = r.u32();
    m.sourceMask = r.u32();
    m.ignoreDuplicate = r.boolean();
  });
}

// ---- Responses ----

std::vector<uint8_t> EncodePayload(const StatusResponse& m) {
  return EncodeResponse(m, [](Writer&, const auto&) {});
}
bool DecodePayload(std::span<const uint8_t> p, StatusResponse* m) {
  return DecodeResponse(p, m, [](Reader&, auto&) {});
}

std::vector<uint8_t> EncodePayload(const OpenHandleResponse& m) {
  return EncodeResponse(m, [](Writer& w, const auto& m) {
    w.u32(m.negotiatedVersion);
    w.u32(m.handle);
  });
}
bool DecodePayload(std::span<const uint8_t> p, OpenHandleResponse* m) {
  return DecodeResponse(p, m, [](Reader& r, auto& m) {
    m.negotiatedVersion = r.u32();
    m.handle = r.u32();
    if (m.handle == 0) r.fail();
  });
}

std::vector<uint8_t> EncodePayload(const EnumInterfacesResponse& m) {
  return EncodeResponse(m, [](Writer& w, const auto& m) {
    w.u32(static_cast<uint32_t>(m.interfaces.size()));
    for (const InterfaceInfo& i : m.interfaces) Put(w, i);
  });
}
bool DecodePayload(std::span<const uint8_t> p, EnumInterfacesResponse* m) {
  return DecodeResponse(p, m, [](Reader& r, auto& m) {
    m.interfaces.resize(r.count(kInterfaceInfoMin));
    for (InterfaceInfo& i : m.interfaces) Get(r, &i);
  });
}

std::vector<uint8_t> EncodePayload(const QueryInterfaceResponse& m) {
  return EncodeResponse(m, [](Writer& w, const auto& m) { Put(w, m.result); });
}
bool DecodePayload(std::span<const uint8_t> p, QueryInterfaceResponse* m) {
  return DecodeResponse(p, m, [](Reader& r, auto& m) { Get(r, &m.result); });
}

std::vector<uint8_t> EncodePayload(const BssListResponse& m) {
  return EncodeResponse(m, [](Writer& w, const auto& m) {
    w.u32(static_cast<uint32_t>(m.entries.size()));
    for (const BssEntry& e : m.entries) Put(w, e);
  });
}
bool DecodePayload(std::span<const uint8_t> p, BssListResponse* m) {
  return DecodeResponse(p, m, [](Reader& r, auto& m) {
    m.entries.resize(r.count(kBssEntryMin));
    for (BssEntry& e : m.entries) Get(r, &e);
  });
}

std::vector<uint8_t> EncodePayload(const AvailableNetworkListResponse& m) {
  return EncodeResponse(m, [](Writer& w, const auto& m) {
    w.u32(static_cast<uint32_t>(m.networks.size()));
    for (const AvailableNetwork& n : m.networks) Put(w, n);
  });
}
bool DecodePayload(std::span<const uint8_t> p, AvailableNetworkListResponse* m) {
  return DecodeResponse(p, m, [](Reader& r, auto& m) {
    m.networks.resize(r.count(kAvailableNetworkMin));
    for (AvailableNetwork& n : m.networks) Get(r, &n);
  });
}

std::vector<uint8_t> EncodePayload(const SetProfileResponse& m) {
  Writer w;
  w.u32(m.status);
  w.u32(m.reasonCode);
  return w.take();
}
bool DecodePayload(std::span<const uint8_t> p, SetProfileResponse* m) {
  return Decode(p, m, [](Reader& r, auto& m) {
    m.status = r.u32();
    m.reasonCode = r.u32();
  });
}

std::vector<uint8_t> EncodePayload(const GetProfileResponse& m) {
  return EncodeResponse(m, [](Writer& w, const auto& m) {
    w.text(m.profileXml);
    w.u32(m.flags);
  });
}
bool DecodePayload(std::span<const uint8_t> p, GetProfileResponse* m) {
  return DecodeResponse(p, m, [](Reader& r, auto& m) {
    m.profileXml = r.text(kMaxDocument);
    m.flags = r.u32();
  });
}

std::vector<uint8_t> EncodePayload(const ProfileListResponse& m) {
  return EncodeResponse(m, [](Writer& w, const auto& m) {
    w.u32(static_cast<uint32_t>(m.profiles.size()));
    for (const ProfileInfo& i : m.profiles) {
      w.text(i.name);
      w.u32(i.flags);
    }
  });
}
bool DecodePayload(std::span<const uint8_t> p, ProfileListResponse* m) {
  return DecodeResponse(p, m, [](Reader& r, auto& m) {
    m.profiles.resize(r.count(8));
    for (ProfileInfo& i : m.profiles) {
      i.name = r.text(kMaxText);
      i.flags = r.u32();
    }
  });
}

std::vector<uint8_t> EncodePayload(const IhvControlResponse& m) {
  return EncodeResponse(m, [](Writer& w, const auto& m) { w.blob(m.out); });
}
bool DecodePayload(std::span<const uint8_t> p, IhvControlResponse* m) {
  return DecodeResponse(p, m, [](Reader& r, auto& m) { m.out = r.blob(kMaxIhvOut); });
}

std::vector<uint8_t> EncodePayload(const SecuritySettingsResponse& m) {
  return EncodeResponse(m, [](Writer& w, const auto& m) {
    w.u32(m.settings.valueType);
    w.text(m.settings.sddl);
    w.u32(m.settings.grantedAccess);
  });
}
bool DecodePayload(std::span<const uint8_t> p, SecuritySettingsResponse* m) {
  return DecodeResponse(p, m, [](Reader& r, auto& m) {
    m.settings.valueType = ReadEnum<SecurityValueType>(r, 0, 3);
    m.settings.sddl = r.text(kMaxText);
    m.settings.grantedAccess = r.u32();
  });
}

std::vector<uint8_t> EncodePayload(const RegisterNotificationResponse& m) {
  return EncodeResponse(m, [](Writer& w, const auto& m) { w.u32(m.previousMask); });
}
bool DecodePayload(std::span<const uint8_t> p, RegisterNotificationResponse* m) {
  return DecodeResponse(p, m, [](Reader& r, auto& m) { m.previousMask = r.u32(); });
}

std::vector<uint8_t> EncodePayload(const NotificationMessage& m) {
  return Encode(m, [](Writer& w, const auto& m) {
    w.u32(m.handle);
    Put(w, m.notification);
  });
}
bool DecodePayload(std::span<const uint8_t> p, NotificationMessage* m) {
  return Decode(p, m, [](Reader& r, auto& m) {
    m.handle = r.u32();
    Get(r, &m.notification);
  });
}

// ---- Frames ----

std::vector<uint8_t> EncodeFrame(uint32_t type, uint32_t id, std::span<const uint8_t> payload) {
  Writer w;
  w.u32(static_cast<uint32_t>(payload.size() + 8));
  w.u32(type);
  w.u32(id);
  w.raw(payload.data(), payload.size());
  return w.take();
}

bool DecodeFrameHeader(std::span<const uint8_t> header, FrameHeader* frame) {
  if (header.size() != kFrameHeaderSize) return false;
  Reader r(header);
  FrameHeader h;
  h.bodyLength = r.u32();
  h.type = r.u32();
  h.id = r.u32();
  if (!r.finished() || h.bodyLength < 8 || h.bodyLength > kMaxFrameBody) return false;
  *frame = h;
  return true;
}

}  // namespace ov::wlan::protocol
