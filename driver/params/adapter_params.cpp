#include "driver/params/adapter_params.h"

#include <climits>
#include <cstdio>

#include "driver/params/debug_trace.h"
#include "platform/system/error_codes.h"

namespace ov {
namespace {

constexpr AdapterParam kAllParams[] = {
    param::kNetCfgInstanceId, param::kWirelessMode,   param::kCountryRegion,
    param::kCountryRegionABand, param::kCountryWirelessMode, param::kChannel,
    param::kTxBurst,          param::kTurboRate,      param::kShortSlot,
    param::kBgProtection,     param::kAdhocOfdm,      param::kTransRate,
    param::kTransmitSetting,  param::kShowAuthStatus, param::kCcx2Control,
    param::kRadio,            param::kOpMode,         param::kPsMode,
    param::kIeee80211h,       param::kWmmCapable,     param::kApsdCapable,
    param::kDlsCapable,       param::kApsdAcBe,       param::kApsdAcBk,
    param::kApsdAcVi,         param::kApsdAcVo,       param::kWmmMacAddr,
    param::kBaCapability,     param::kDriverDesc,
};

// One value of the adapter key, or nothing (with its trace line) when it cannot be read.
std::optional<RegValue> ReadRaw(const std::string& keyPath, const AdapterParam& param) {
  RegKey key;
  if (key.open(HKEY_LOCAL_MACHINE, keyPath, KEY_READ) != ERROR_SUCCESS) {
    DebugTrace("RegOpenKeyEx '%s' failed\n", keyPath.c_str());
    return std::nullopt;
  }
  RegValue value;
  if (RegReadValue(key.get(), "", param.name, &value) != ERROR_SUCCESS) {
    DebugTrace("RegQueryValueEx '%s' failed\n", param.traceName);
    return std::nullopt;
  }
  return value;
}

uint32_t TracedSet(RegistryWriter& writer, const std::string& keyPath, const AdapterParam& param,
                   uint32_t type, std::string_view data, const std::string& shown) {
  const uint32_t err = writer.SetValue(HKEY_LOCAL_MACHINE, keyPath, param.name, type, data);
  if (err != ERROR_SUCCESS) {
    DebugTrace("RegSetValueEx %s '%s' failed\n", param.traceName, shown.c_str());
  }
  return err;
}

}  // namespace

std::span<const AdapterParam> AdapterParams() { return kAllParams; }

std::string SubKeyPath(const std::string& adapterKeyPath, std::string_view subKey) {
  std::string path = adapterKeyPath;
  path += '\\';
  path += subKey;
  return path;
}

int32_t ParseDecimal(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' ||
                             text[i] == '\r' || text[i] == '\v' || text[i] == '\f')) {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > int64_t{INT32_MAX} + 1) value = int64_t{INT32_MAX} + 1;  // clamp, keep going
  }
  if (negative) value = -value;
  if (value > INT32_MAX) value = INT32_MAX;
  if (value < INT32_MIN) value = INT32_MIN;
  return static_cast<int32_t>(value);
}

std::optional<int32_t> DecodeDecimalValue(uint32_t type, std::string_view data) {
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    // The text ends at its first NUL, as a C string would.
    const size_t end = data.find('\0');
    return ParseDecimal(data.substr(0, end));
  }
  if (type == REG_DWORD) {
    if (auto word = DecodeWordValue(data)) return static_cast<int32_t>(*word);
  }
  return std::nullopt;
}

std::optional<uint32_t> DecodeWordValue(std::string_view data) {
  if (data.size() != 4) return std::nullopt;
  const auto* b = reinterpret_cast<const unsigned char*>(data.data());
  return uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
}

std::string EncodeWordValue(uint32_t word) {
  std::string data(4, '\0');
  for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((word >> (8 * i)) & 0xFF);
  return data;
}

std::optional<int32_t> ReadDecimalParam(const std::string& keyPath, const AdapterParam& param) {
  auto value = ReadRaw(keyPath, param);
  if (!value) return std::nullopt;
  auto number = DecodeDecimalValue(value->type, value->data);
  if (!number) DebugTrace("RegQueryValueEx '%s' failed\n", param.traceName);
  return number;
}

int32_t ReadDecimalParamOr(const std::string& keyPath, const AdapterParam& param) {
  return ReadDecimalParam(keyPath, param).value_or(param.defaultValue);
}

std::optional<uint32_t> ReadWordParam(const std::string& keyPath, const AdapterParam& param) {
  auto value = ReadRaw(keyPath, param);
  if (!value) return std::nullopt;
  auto word = DecodeWordValue(value->data);
  if (!word) DebugTrace("RegQueryValueEx '%s' failed\n", param.traceName);
  return word;
}

std::optional<std::string> ReadTextParam(const std::string& keyPath, const AdapterParam& param) {
  auto value = ReadRaw(keyPath, param);
  if (!value) return std::nullopt;
  if (value->type != REG_SZ && value->type != REG_EXPAND_SZ) {
    DebugTrace("RegQueryValueEx '%s' failed\n", param.traceName);
    return std::nullopt;
  }
  const size_t end = value->data.find('\0');
  return value->data.substr(0, end);
}

bool ReadRadioOn(const std::string& keyPath) {
  return ReadDecimalParam(keyPath, param::kRadio).value_or(0) != 1;
}

int32_t ReadTxBurst(const std::string& keyPath, int32_t chipFamily) {
  return ReadDecimalParam(keyPath, param::kTxBurst).value_or(TxBurstDefaultOn(chipFamily) ? 1 : 0);
}

int32_t ReadTransRate(const std::string& keyPath) {
  const int32_t rate = ReadDecimalParamOr(keyPath, param::kTransRate);
  return rate < 0 ? 0 : rate;
}

std::optional<uint32_t> ReadCountryWirelessMode(const std::string& keyPath) {
  return ReadWordParam(keyPath, param::kCountryWirelessMode);
}

std::optional<uint32_t> ReadTransmitSetting(const std::string& keyPath) {
  return ReadWordParam(keyPath, param::kTransmitSetting);
}

WirelessMode ReadWirelessMode(const std::string& keyPath, WirelessMode previous,
                              bool aBandCapable, bool htCapable) {
  auto mode = ReadDecimalParam(keyPath, param::kWirelessMode);
  if (!mode) return previous;
  return NormaliseWirelessMode(*mode, aBandCapable, htCapable);
}

CountryRegionCodes ReadCountryRegions(const std::string& keyPath, uint32_t driverRegionWord) {
  CountryRegionCodes codes;
  codes.region24 = static_cast<uint32_t>(
                       ReadDecimalParam(keyPath, param::kCountryRegion)
                           .value_or(static_cast<int32_t>(driverRegionWord & 0xFF))) &
                   0x7F;
  codes.region5 = static_cast<uint32_t>(
                      ReadDecimalParam(keyPath, param::kCountryRegionABand)
                          .value_or(static_cast<int32_t>((driverRegionWord >> 8) & 0xFF))) &
                  0x7F;
  return codes;
}

uint32_t WriteDecimalParam(RegistryWriter& writer, const std::string& keyPath,
                           const AdapterParam& param, int32_t value) {
  const std::string text = std::to_string(value);
  return TracedSet(writer, keyPath, param, REG_SZ, EncodeString(text), text);
}

uint32_t WriteWordParam(RegistryWriter& writer, const std::string& keyPath,
                        const AdapterParam& param, uint32_t word) {
  const uint32_t type = param.encoding == ParamEncoding::RawWord ? REG_BINARY : REG_DWORD;
  return TracedSet(writer, keyPath, param, type, EncodeWordValue(word), std::to_string(word));
}

uint32_t WriteTextParam(RegistryWriter& writer, const std::string& keyPath,
                        const AdapterParam& param, std::string_view text) {
  return TracedSet(writer, keyPath, param, REG_SZ, EncodeString(text), std::string(text));
}

WirelessMode NormaliseWirelessMode(WirelessMode mode, bool aBandCapable, bool htCapable) {
  const WirelessMode otherwise = htCapable ? WIRELESS_MODE_BGN_MIXED : WIRELESS_MODE_BG_MIXED;
  switch (mode) {
    case WIRELESS_MODE_BG_MIXED:
      return WIRELESS_MODE_BG_MIXED;
    case WIRELESS_MODE_A_ONLY:
    case WIRELESS_MODE_ABG_MIXED:
      return aBandCapable ? mode : WIRELESS_MODE_BG_MIXED;
    case WIRELESS_MODE_ABGN_MIXED:
      if (!aBandCapable) return otherwise;
      return htCapable ? WIRELESS_MODE_ABGN_MIXED : WIRELESS_MODE_BGN_MIXED;
    case WIRELESS_MODE_AN_MIXED:
      if (!aBandCapable) return otherwise;
      return htCapable ? WIRELESS_MODE_AN_MIXED : WIRELESS_MODE_A_ONLY;
    default:
      return otherwise;
  }
}

uint32_t WriteTransmitSetting(RegistryWriter& writer, const std::string& keyPath,
                              const HtPhySettings& settings, uint8_t byte6) {
  return WriteWordParam(writer, keyPath, param::kTransmitSetting,
                        EncodeTransmitSetting(settings, byte6));
}

}  // namespace ov
