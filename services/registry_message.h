#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The one registry operation a caller hands to the registry service: a 1024-byte message,
// little-endian, written by the registry broker and read by ovregsvc with this one codec.
//
//   offset 0   u8   operation code (RegistryOp)
//   offset 1   u8   number of fields that follow
//   offset 2   ...  the fields in order, each a u32 length n followed by n bytes
//
// A text field carries its characters and a NUL (n = length + 1), a number field n = 4 and the
// value, a data field the bytes themselves. Every byte after the last field is 0.
//
//   1 set value        key path, value name, value type (number), data, data size (number), hive
//   2 create key       key path, hive
//   3 delete key       key path, name of the subkey (one level, no subkeys of its own)
//   4 delete value     key path, value name
//   5 delete key tree  key path, name of the subkey (with everything below it)
//
// Operations 3 to 5 carry no hive: they act on the local-machine hive.
namespace ov {

constexpr size_t kRegistryMessageSize = 1024;

// The service's answer, instead of a status, to a caller that already has as many connections
// waiting as one user may have: nothing was read or done, and the caller may try again.
constexpr uint32_t kServiceBusy = 1723;
using RegistryMessageBytes = std::array<uint8_t, kRegistryMessageSize>;

enum class RegistryOp : uint8_t {
  SetValue = 1,
  CreateKey = 2,
  DeleteKey = 3,
  DeleteValue = 4,
  DeleteKeyTree = 5,
};

// The hive codes of messages 1 and 2.
enum RegistryHiveCode : uint32_t {
  kHiveLocalMachine = 0,
  kHiveClassesRoot = 1,
  kHiveCurrentUser = 2,
  kHiveUsers = 3,
  kHiveCurrentConfig = 4,
};

struct RegistryMessage {
  RegistryOp op = RegistryOp::SetValue;
  std::string keyPath;
  // The value name (set value, delete value) or the subkey name (delete key, delete key tree).
  std::string name;
  uint32_t valueType = 0;
  std::string data;
  uint32_t hive = kHiveLocalMachine;

  bool operator==(const RegistryMessage&) const = default;
};

// Builds the 1024 bytes. False (and `out` untouched) when the fields do not fit or a text holds
// a NUL of its own: such a message cannot be sent as it is.
bool EncodeRegistryMessage(const RegistryMessage& message, RegistryMessageBytes* out);

// Why a message was refused as malformed; None for a well-formed one.
enum class MessageFault {
  None,
  WrongSize,           // not exactly 1024 bytes
  UnknownOperation,
  WrongFieldCount,
  FieldPastEnd,        // a length that runs past the 1024 bytes
  BadNumberField,      // a number field whose length is not 4
  MissingNul,          // a text field that does not end with its NUL
  NulInsideText,       // a text field with a NUL before its end
  SizeMismatch,        // the data-size number differs from the data field's length
  TrailingBytes,       // bytes other than 0 after the last field
  UnknownHive,
  UnknownValueType,
  EmptyKeyPath,
  BadPathComponent,    // an empty, "." or ".." component, or one longer than a key name may be
  ControlCharacter,    // a character below 0x20 in a path or name
  EmptyName,
  BadSubkeyName,       // a subkey name that is a path or "." / ".."
};

// The fault's text for the service's log ("field past the end of the message", ...).
const char* DescribeMessageFault(MessageFault fault);

// Reads and checks one message: layout first (lengths, counts, NULs, trailing bytes), then the
// contents (codes, paths, names). Nothing is trusted that the checks did not pass.
MessageFault DecodeRegistryMessage(const uint8_t* bytes, size_t size, RegistryMessage* out);

// The operation's name for logs ("set value", ...); "operation <n>" for unknown codes.
std::string OperationName(uint8_t code);

// A name or path made safe for a log line: printable ASCII kept, everything else as \xNN.
std::string PrintableForLog(std::string_view text);

}  // namespace ov
