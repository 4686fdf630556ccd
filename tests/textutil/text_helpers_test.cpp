// The shared text helpers: ASCII case, hexadecimal, MAC address text.
#include <gtest/gtest.h>

#include <clocale>

#include "platform/system/ascii_text.h"
#include "platform/system/hex_text.h"
#include "platform/system/mac_address.h"

namespace ov {
namespace {

TEST(AsciiText, OnlyAsciiLettersFoldWhateverTheLocale) {
  // Where a Turkish locale is installed, the C library folds 'i' to a dotless capital with the C library; names must not care.
  std::setlocale(LC_ALL, "tr_TR.UTF-8");
  EXPECT_EQ(AsciiUppered("wireless-i"), "WIRELESS-I");
  EXPECT_EQ(AsciiLowered("SYSTEM\\Class\\{4D36E972}"), "system\\class\\{4d36e972}");
  EXPECT_EQ(AsciiUppered("caf\xC3\xA9"), "CAF\xC3\xA9") << "UTF-8 bytes stay";
  std::setlocale(LC_ALL, "C");

  const struct {
    const char* a;
    const char* b;
    int order;  // sign of the comparison
  } rows[] = {
      {"Profile", "PROFILE", 0}, {"", "", 0},       {"a", "B", -1},      {"b", "A", 1},
      {"ab", "ABC", -1},         {"[", "a", 1},     {"\xC3\xA9", "\xC3\x89", 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.a) + " / " + row.b);
    const int c = CompareIgnoringAsciiCase(row.a, row.b);
    EXPECT_EQ((c > 0) - (c < 0), row.order);
    EXPECT_EQ(EqualsIgnoringAsciiCase(row.a, row.b), row.order == 0);
  }
  EXPECT_TRUE(StartsWithIgnoringAsciiCase("PCI\\VEN_0F5A&DEV_0601", "pci\\ven_0f5a"));
  EXPECT_FALSE(StartsWithIgnoringAsciiCase("PCI", "PCI\\"));
}

TEST(HexText, EncodeDecodeAndRefusals) {
  const std::vector<uint8_t> bytes = {0x00, 0x0F, 0xA5, 0xFF};
  EXPECT_EQ(HexEncode(bytes), "000FA5FF");
  EXPECT_EQ(HexEncode(bytes, HexCase::Lower), "000fa5ff");
  EXPECT_EQ(HexEncode({}), "");
  EXPECT_EQ(HexDecode("000fA5Ff"), bytes);
  EXPECT_EQ(HexDecode(""), std::vector<uint8_t>{});
  EXPECT_FALSE(HexDecode("ABC").has_value()) << "odd length";
  EXPECT_FALSE(HexDecode("0G").has_value());
  EXPECT_FALSE(HexDecode("0 ").has_value());
  EXPECT_EQ(HexDigitValue('f'), 15);
  EXPECT_EQ(HexDigitValue('g'), -1);
}

TEST(MacAddressText, Separators) {
  const MacAddress mac{0x02, 0x5A, 0x0F, 0x00, 0x06, 0x01};
  EXPECT_EQ(FormatMacAddress(mac), "02-5A-0F-00-06-01");
  EXPECT_EQ(FormatMacAddress(mac, ':'), "02:5A:0F:00:06:01");
  EXPECT_EQ(FormatMacAddress(mac, '\0'), "025A0F000601");
}

}  // namespace
}  // namespace ov

#include "platform/system/adapter_addresses.h"

namespace ov {
namespace {

TEST(InterfaceAddressesRoutes, TheDefaultRouteOfTheInterface) {
  const std::string table =
      "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
      "eth0\t00000000\t0102A8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
      "wl0\t0002000C\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n"
      "wl0\t00000000\t010200C0\t0003\t0\t0\t600\t00000000\t0\t0\t0\n"
      "bad\t00000000\tZZZZZZZZ\t0003\t0\t0\t0\t00000000\t0\t0\t0\n";
  EXPECT_EQ(DefaultGatewayFromRouteTable(table, "wl0"), "192.0.2.1");
  EXPECT_EQ(DefaultGatewayFromRouteTable(table, "eth0"), "192.168.2.1");
  EXPECT_EQ(DefaultGatewayFromRouteTable(table, "bad"), "") << "not a number";
  EXPECT_EQ(DefaultGatewayFromRouteTable(table, "lo"), "") << "no default route";
  EXPECT_EQ(DefaultGatewayFromRouteTable("", "wl0"), "");
  // No interface has a locally administered test address.
  EXPECT_FALSE(FindInterfaceAddresses(MacAddress{0x02, 0x5A, 0x0F, 0xEE, 0xEE, 0xEE}).has_value());
}

}  // namespace
}  // namespace ov
