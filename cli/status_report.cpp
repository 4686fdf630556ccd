#include "cli/status_report.h"

#include <cstdio>
#include <sstream>

#include "cli/reg_text.h"
#include "cli/survey_rows.h"
#include "driver/chip_family.h"
#include "driver/oid/oid_constants.h"

namespace ov::cli {

namespace {

std::string YesNo(bool value) { return value ? "yes" : "no"; }

std::string Hex(uint32_t value, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", width, value);
  return text;
}

std::string FamilyText(int32_t family) {
  if (!IsKnownChipFamily(family)) return std::to_string(family) + " (unknown)";
  return std::to_string(family) + " (" + std::string(ChipFamilyName(family)) + ", " +
         (IsUsbFamily(family) ? "USB" : "PCI") + ")";
}

std::string ExtraInfoCaption(uint32_t code) {
  std::string text(ExtraInfoText(code));
  return text.empty() ? "code " + std::to_string(code) : text;
}

void Line(std::ostringstream& out, const char* label, const std::string& value) {
  char padded[32];
  std::snprintf(padded, sizeof padded, "%-20s", label);
  out << padded << value << "\n";
}

}  // namespace

std::string FormatStatusText(const StatusReport& r) {
  std::ostringstream out;
  Line(out, "Machine root:", r.machineRoot);
  Line(out, "OS version code:", std::to_string(r.osVersionCode));
  Line(out, "Administrator:", YesNo(r.isAdmin));
  Line(out, "Language:", r.languageId);
  Line(out, "Device table:", r.deviceIniPath + " (" + std::to_string(r.deviceIdEntries) +
                                 " identifiers)");
  if (!r.adapterFound) {
    Line(out, "Adapter:", "none (no supported adapter whose device opens)");
    return out.str();
  }
  const AdapterInfo& a = r.adapter;
  Line(out, "Adapter:", a.description);
  Line(out, "  Chip family:", FamilyText(a.chipFamily));
  Line(out, "  Hardware id:", a.hardwareId);
  Line(out, "  NetCfgInstanceId:", a.netCfgInstanceId);
  Line(out, "  Device path:", a.devicePath);
  Line(out, "  Adapter key:", a.adapterKeyPath);
  Line(out, "  802.11n capable:", YesNo(a.htCapable));
  Line(out, "  First generation:", YesNo(a.isFirstGeneration));
  const DriverReadings& d = r.driver;
  Line(out, "  NIC ready:", d.nicReadyValue ? YesNo(d.nicReady) : "no answer");
  if (d.extraInfo) Line(out, "  Link state:", ExtraInfoCaption(*d.extraInfo));
  if (d.ssid) {
    Line(out, "  SSID:",
         d.ssid->empty() ? "(not associated)" : "\"" + PrintableText(*d.ssid, false) + "\"");
  }
  if (d.linkStatus) {
    const LinkStatus& s = *d.linkStatus;
    char rate[32];
    std::snprintf(rate, sizeof rate, "%u.%u Mbit/s", s.CurrentTxRate / 2, (s.CurrentTxRate % 2) * 5);
    Line(out, "  Tx rate:", rate);
    Line(out, "  Link quality:", std::to_string(s.LinkQuality));
    Line(out, "  Tx bytes:", std::to_string(s.TxByteCount));
    Line(out, "  Rx bytes:", std::to_string(s.RxByteCount));
    Line(out, "  Central channel:", std::to_string(s.CentralChannel));
  } else {
    Line(out, "  Link status:", "no answer");
  }
  for (int chain = 0; chain < 3; ++chain) {
    std::string label = "  RSSI chain " + std::to_string(chain) + ":";
    Line(out, label.c_str(), d.rssi[chain] ? std::to_string(*d.rssi[chain]) + " dBm" : "none");
  }
  if (d.countryRegionWord) {
    CountryRegion region = DecodeCountryRegionWord(*d.countryRegionWord);
    Line(out, "  Country region:",
         "2.4 GHz " + std::to_string(region.Region24) + (region.Fixed24 ? " (fixed)" : "") +
             ", 5 GHz " + std::to_string(region.Region5) + (region.Fixed5 ? " (fixed)" : "") +
             " [" + Hex(*d.countryRegionWord, 4) + "]");
  } else {
    Line(out, "  Country region:", "no answer");
  }
  return out.str();
}

std::string FormatStatusJson(const StatusReport& r) {
  std::ostringstream out;
  auto optional = [](const auto& value) {
    return value ? std::to_string(*value) : std::string("null");
  };
  out << "{\n";
  out << "  \"machine_root\": " << JsonString(r.machineRoot) << ",\n";
  out << "  \"os_version_code\": " << r.osVersionCode << ",\n";
  out << "  \"is_admin\": " << (r.isAdmin ? "true" : "false") << ",\n";
  out << "  \"language_id\": " << JsonString(r.languageId) << ",\n";
  out << "  \"device_table\": {\"path\": " << JsonString(r.deviceIniPath)
      << ", \"entries\": " << r.deviceIdEntries << "},\n";
  if (!r.adapterFound) {
    out << "  \"adapter\": null\n}\n";
    return out.str();
  }
  const AdapterInfo& a = r.adapter;
  const DriverReadings& d = r.driver;
  out << "  \"adapter\": {\n";
  out << "    \"chip_family\": " << a.chipFamily << ",\n";
  out << "    \"chip_family_name\": "
      << JsonString(IsKnownChipFamily(a.chipFamily) ? ChipFamilyName(a.chipFamily) : "") << ",\n";
  out << "    \"is_usb\": " << (a.isUsbAdapter ? "true" : "false") << ",\n";
  out << "    \"hardware_id\": " << JsonString(a.hardwareId) << ",\n";
  out << "    \"description\": " << JsonString(a.description) << ",\n";
  out << "    \"net_cfg_instance_id\": " << JsonString(a.netCfgInstanceId) << ",\n";
  out << "    \"device_path\": " << JsonString(a.devicePath) << ",\n";
  out << "    \"adapter_key_path\": " << JsonString(a.adapterKeyPath) << ",\n";
  out << "    \"ht_capable\": " << (a.htCapable ? "true" : "false") << ",\n";
  out << "    \"first_generation\": " << (a.isFirstGeneration ? "true" : "false") << ",\n";
  out << "    \"nic_ready\": " << (d.nicReady ? "true" : "false") << ",\n";
  out << "    \"extra_info\": " << optional(d.extraInfo) << ",\n";
  out << "    \"link_state\": "
      << (d.extraInfo ? JsonString(ExtraInfoCaption(*d.extraInfo)) : std::string("null")) << ",\n";
  out << "    \"ssid\": " << (d.ssid ? Json(*d.ssid) : std::string("null")) << ",\n";
  if (d.linkStatus) {
    const LinkStatus& s = *d.linkStatus;
    out << "    \"link_status\": {\"current_tx_rate\": " << s.CurrentTxRate
        << ", \"link_quality\": " << s.LinkQuality << ", \"tx_bytes\": " << s.TxByteCount
        << ", \"rx_bytes\": " << s.RxByteCount << ", \"central_channel\": " << s.CentralChannel
        << "},\n";
  } else {
    out << "    \"link_status\": null,\n";
  }
  out << "    \"rssi_dbm\": [" << optional(d.rssi[0]) << ", " << optional(d.rssi[1]) << ", "
      << optional(d.rssi[2]) << "],\n";
  if (d.countryRegionWord) {
    CountryRegion region = DecodeCountryRegionWord(*d.countryRegionWord);
    out << "    \"country_region\": {\"word\": " << *d.countryRegionWord
        << ", \"region_24\": " << int(region.Region24)
        << ", \"fixed_24\": " << (region.Fixed24 ? "true" : "false")
        << ", \"region_5\": " << int(region.Region5)
        << ", \"fixed_5\": " << (region.Fixed5 ? "true" : "false") << "}\n";
  } else {
    out << "    \"country_region\": null\n";
  }
  out << "  }\n}\n";
  return out.str();
}

}  // namespace ov::cli
