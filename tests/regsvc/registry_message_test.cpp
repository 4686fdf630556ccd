// The 1024-byte registry-service message: the layout byte for byte, the round trip of every
// operation, and every way a message can be malformed.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/registry/registry.h"
#include "services/registry_message.h"

namespace ov {
namespace {

constexpr const char* kAdapterKey =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}\\0007";

std::vector<uint8_t> Bytes(std::initializer_list<uint8_t> bytes) { return bytes; }
void Append(std::vector<uint8_t>& v, const std::string& s) { v.insert(v.end(), s.begin(), s.end()); }
void Append(std::vector<uint8_t>& v, std::initializer_list<uint8_t> b) { v.insert(v.end(), b); }

TEST(RegistryMessage, SetValueForRadioIsLaidOutByteForByte) {
  // "Radio" = "1" passed with size 1, type 1 (text), in the local-machine hive.
  std::vector<uint8_t> expected = Bytes({0x01, 0x06});
  Append(expected, {0x53, 0x00, 0x00, 0x00});  // key path: 82 characters and the NUL
  Append(expected, std::string(kAdapterKey));
  Append(expected, {0x00});
  Append(expected, {0x06, 0x00, 0x00, 0x00, 'R', 'a', 'd', 'i', 'o', 0x00});
  Append(expected, {0x04, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00});  // type 1
  Append(expected, {0x01, 0x00, 0x00, 0x00, '1'});                      // data, length 1
  Append(expected, {0x04, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00});  // data size 1
  Append(expected, {0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});  // hive 0
  expected.resize(kRegistryMessageSize, 0x00);

  RegistryMessage m;
  m.op = RegistryOp::SetValue;
  m.keyPath = kAdapterKey;
  m.name = "Radio";
  m.valueType = REG_SZ;
  m.data = "1";
  m.hive = kHiveLocalMachine;
  RegistryMessageBytes bytes;
  ASSERT_TRUE(EncodeRegistryMessage(m, &bytes));
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), expected);
}

TEST(RegistryMessage, OtherOperationsCarryTheirFieldsInOrder) {
  RegistryMessage create;
  create.op = RegistryOp::CreateKey;
  create.keyPath = "A\\B";
  create.hive = kHiveClassesRoot;
  std::vector<uint8_t> expected = Bytes({0x02, 0x02, 0x04, 0, 0, 0, 'A', '\\', 'B', 0,
                                         0x04, 0, 0, 0, 0x01, 0, 0, 0});
  expected.resize(kRegistryMessageSize, 0);
  RegistryMessageBytes bytes;
  ASSERT_TRUE(EncodeRegistryMessage(create, &bytes));
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), expected);

  RegistryMessage tree;
  tree.op = RegistryOp::DeleteKeyTree;
  tree.keyPath = "K";
  tree.name = "Default";
  expected = Bytes({0x05, 0x02, 0x02, 0, 0, 0, 'K', 0,
                    0x08, 0, 0, 0, 'D', 'e', 'f', 'a', 'u', 'l', 't', 0});
  expected.resize(kRegistryMessageSize, 0);
  ASSERT_TRUE(EncodeRegistryMessage(tree, &bytes));
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), expected);
}

TEST(RegistryMessage, EveryOperationReadsBackAsWritten) {
  const std::vector<RegistryMessage> messages = {
      {RegistryOp::SetValue, kAdapterKey, "TransmitSetting", REG_DWORD,
       std::string("\x01\x02\x00\x04", 4), kHiveLocalMachine},
      {RegistryOp::SetValue, "CLSID\\X\\Wapi_auth\\Cert", "pskvalue", REG_BINARY,
       std::string(300, '\0'), kHiveClassesRoot},
      {RegistryOp::SetValue, kAdapterKey, "SSID", REG_SZ, "", kHiveLocalMachine},
      {RegistryOp::CreateKey, std::string(kAdapterKey) + "\\Default", "", 0, "", kHiveLocalMachine},
      {RegistryOp::DeleteKey, kAdapterKey, "Default", 0, "", 0},
      {RegistryOp::DeleteValue, kAdapterKey, "Radio", 0, "", 0},
      {RegistryOp::DeleteKeyTree, kAdapterKey, "ApDefault", 0, "", 0},
  };
  for (const auto& m : messages) {
    SCOPED_TRACE(OperationName(static_cast<uint8_t>(m.op)) + " " + m.name);
    RegistryMessageBytes bytes;
    ASSERT_TRUE(EncodeRegistryMessage(m, &bytes));
    RegistryMessage back;
    ASSERT_EQ(DecodeRegistryMessage(bytes.data(), bytes.size(), &back), MessageFault::None);
    EXPECT_EQ(back, m);
  }
}

TEST(RegistryMessage, WhatCannotBeSentIsNotEncoded) {
  RegistryMessage m;
  m.op = RegistryOp::SetValue;
  m.keyPath = kAdapterKey;
  m.name = "Blob";
  m.valueType = REG_BINARY;
  RegistryMessageBytes bytes{};
  bytes[0] = 0xEE;
  // Fixed part: 2 + 4+83 + 4+5 + 8 + 4 + 8 + 8 = 126 bytes, leaving 898 for the data.
  m.data.assign(898, 'x');
  EXPECT_TRUE(EncodeRegistryMessage(m, &bytes));
  m.data.assign(899, 'x');
  bytes[0] = 0xEE;
  EXPECT_FALSE(EncodeRegistryMessage(m, &bytes));
  EXPECT_EQ(bytes[0], 0xEE) << "a refused message leaves the buffer alone";

  m.data = "1";
  m.name = std::string("Ra\0dio", 6);
  EXPECT_FALSE(EncodeRegistryMessage(m, &bytes)) << "a NUL inside a text would cut it short";
}

// A valid set-value message as raw bytes, for the malformed cases to start from.
std::vector<uint8_t> ValidSetValue() {
  RegistryMessage m{RegistryOp::SetValue, "SOFTWARE\\K", "Radio", REG_SZ, "1", kHiveLocalMachine};
  RegistryMessageBytes bytes;
  EncodeRegistryMessage(m, &bytes);
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

std::vector<uint8_t> Built(const RegistryMessage& m) {
  RegistryMessageBytes bytes;
  EXPECT_TRUE(EncodeRegistryMessage(m, &bytes));
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

struct MalformedCase {
  const char* name;
  std::function<std::vector<uint8_t>()> build;
  MessageFault fault;
};

// Offsets in ValidSetValue(): key path field at 2 (length 11), value name at 17 (length 6),
// type at 27, data at 35 (length 1), data size at 40, hive at 48, end at 56.
std::vector<MalformedCase> MalformedCases() {
  return {
      {"short buffer", [] { auto b = ValidSetValue(); b.resize(1023); return b; },
       MessageFault::WrongSize},
      {"operation 0", [] { auto b = ValidSetValue(); b[0] = 0; return b; },
       MessageFault::UnknownOperation},
      {"operation 6", [] { auto b = ValidSetValue(); b[0] = 6; return b; },
       MessageFault::UnknownOperation},
      {"count 5 for set value", [] { auto b = ValidSetValue(); b[1] = 5; return b; },
       MessageFault::WrongFieldCount},
      {"count 2 for set value", [] { auto b = ValidSetValue(); b[1] = 2; return b; },
       MessageFault::WrongFieldCount},
      {"key path length past the end",
       [] { auto b = ValidSetValue(); b[2] = 0xFF; b[3] = 0xFF; b[4] = 0xFF; b[5] = 0xFF; return b; },
       MessageFault::FieldPastEnd},
      {"length of 1021 at offset 2",
       [] { auto b = ValidSetValue(); b[2] = 0xFD; b[3] = 0x03; return b; },
       MessageFault::FieldPastEnd},
      {"fields run out of buffer",
       [] {
         std::vector<uint8_t> b(kRegistryMessageSize, 0);
         b[0] = 2; b[1] = 2;
         b[2] = 0xFA; b[3] = 0x03;  // a 1018-byte text fills the buffer, no room for the hive
         for (size_t i = 6; i < 6 + 1017; ++i) b[i] = 'k';
         return b;
       },
       MessageFault::FieldPastEnd},
      {"type field 3 bytes long", [] { auto b = ValidSetValue(); b[27] = 3; return b; },
       MessageFault::BadNumberField},
      {"key path without NUL", [] { auto b = ValidSetValue(); b[16] = 'X'; return b; },
       MessageFault::MissingNul},
      {"empty text field", [] {
         std::vector<uint8_t> b(kRegistryMessageSize, 0);
         b[0] = 4; b[1] = 2;              // delete value
         b[6] = 0x02; b[10] = 'A'; b[11] = 0;
         return b;
       },
       MessageFault::MissingNul},
      {"NUL inside the key path", [] { auto b = ValidSetValue(); b[8] = 0; return b; },
       MessageFault::NulInsideText},
      {"data size 2 for 1 byte", [] { auto b = ValidSetValue(); b[44] = 2; return b; },
       MessageFault::SizeMismatch},
      {"byte after the last field", [] { auto b = ValidSetValue(); b[1000] = 1; return b; },
       MessageFault::TrailingBytes},
      {"hive 5", [] { auto b = ValidSetValue(); b[52] = 5; return b; }, MessageFault::UnknownHive},
      {"create key in hive 0x100",
       [] { return Built({RegistryOp::CreateKey, "A", "", 0, "", 0x100}); },
       MessageFault::UnknownHive},
      {"value type 0x99", [] { auto b = ValidSetValue(); b[31] = 0x99; return b; },
       MessageFault::UnknownValueType},
      {"'..' in the key path",
       [] { return Built({RegistryOp::SetValue, std::string(kAdapterKey) + "\\..\\..\\Services",
                          "X", REG_SZ, "1", 0}); },
       MessageFault::BadPathComponent},
      {"'.' in the key path",
       [] { return Built({RegistryOp::CreateKey, "SOFTWARE\\.\\K", "", 0, "", 0}); },
       MessageFault::BadPathComponent},
      {"empty component", [] { return Built({RegistryOp::DeleteValue, "SOFTWARE\\\\K", "X", 0, "", 0}); },
       MessageFault::BadPathComponent},
      {"leading backslash", [] { return Built({RegistryOp::DeleteValue, "\\SOFTWARE", "X", 0, "", 0}); },
       MessageFault::BadPathComponent},
      {"component of 256 characters",
       [] { return Built({RegistryOp::CreateKey, "A\\" + std::string(256, 'k'), "", 0, "", 0}); },
       MessageFault::BadPathComponent},
      {"empty key path", [] { return Built({RegistryOp::CreateKey, "", "", 0, "", 0}); },
       MessageFault::EmptyKeyPath},
      {"line break in the path",
       [] { return Built({RegistryOp::CreateKey, "SOFTWARE\\K\nX", "", 0, "", 0}); },
       MessageFault::ControlCharacter},
      {"empty value name", [] { return Built({RegistryOp::SetValue, "SOFTWARE", "", REG_SZ, "1", 0}); },
       MessageFault::EmptyName},
      {"empty value name to delete", [] { return Built({RegistryOp::DeleteValue, "SOFTWARE", "", 0, "", 0}); },
       MessageFault::EmptyName},
      {"empty subkey name", [] { return Built({RegistryOp::DeleteKeyTree, "SOFTWARE", "", 0, "", 0}); },
       MessageFault::EmptyName},
      {"subkey name '..'", [] { return Built({RegistryOp::DeleteKeyTree, "SOFTWARE\\A", "..", 0, "", 0}); },
       MessageFault::BadSubkeyName},
      {"subkey name with a path", [] { return Built({RegistryOp::DeleteKey, "SOFTWARE", "A\\B", 0, "", 0}); },
       MessageFault::BadSubkeyName},
  };
}

TEST(RegistryMessage, MalformedMessagesAreRefusedWithTheirFault) {
  for (const auto& c : MalformedCases()) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> bytes = c.build();
    RegistryMessage out;
    out.keyPath = "untouched";
    EXPECT_EQ(DecodeRegistryMessage(bytes.data(), bytes.size(), &out), c.fault)
        << DescribeMessageFault(DecodeRegistryMessage(bytes.data(), bytes.size(), &out));
    EXPECT_EQ(out.keyPath, "untouched");
  }
}

TEST(RegistryMessage, LogTextsShowControlBytesEscaped) {
  EXPECT_EQ(PrintableForLog("SOFTWARE\\K"), "SOFTWARE\\K");
  EXPECT_EQ(PrintableForLog(std::string("a\nb\x7f\xc3", 5)), "a\\x0Ab\\x7F\\xC3");
  EXPECT_EQ(OperationName(1), "set value");
  EXPECT_EQ(OperationName(9), "operation 9");
}

}  // namespace
}  // namespace ov
