#include "services/registry_message.h"

#include <cstdio>
#include <vector>

#include "platform/registry/registry.h"

namespace ov {

namespace {

enum class FieldKind { Text, Number, Data };

struct OperationLayout {
  RegistryOp op;
  std::vector<FieldKind> fields;
};

const OperationLayout* LayoutFor(uint8_t code) {
  using K = FieldKind;
  static const OperationLayout layouts[] = {
      {RegistryOp::SetValue, {K::Text, K::Text, K::Number, K::Data, K::Number, K::Number}},
      {RegistryOp::CreateKey, {K::Text, K::Number}},
      {RegistryOp::DeleteKey, {K::Text, K::Text}},
      {RegistryOp::DeleteValue, {K::Text, K::Text}},
      {RegistryOp::DeleteKeyTree, {K::Text, K::Text}},
  };
  for (const auto& layout : layouts) {
    if (static_cast<uint8_t>(layout.op) == code) return &layout;
  }
  return nullptr;
}

void PutU32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

uint32_t GetU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Appends fields to a buffer, refusing anything that would pass its end.
class FieldWriter {
 public:
  explicit FieldWriter(RegistryMessageBytes& bytes) : bytes_(bytes) {}

  bool text(std::string_view s) {
    if (s.find('\0') != std::string_view::npos) return false;
    return raw(s, true);
  }
  bool number(uint32_t v) {
    uint8_t le[4];
    PutU32(le, v);
    return raw(std::string_view(reinterpret_cast<const char*>(le), 4), false);
  }
  bool data(std::string_view d) { return raw(d, false); }

 private:
  bool raw(std::string_view s, bool nul) {
    const size_t n = s.size() + (nul ? 1 : 0);
    if (at_ + 4 > bytes_.size() || n > bytes_.size() - at_ - 4) return false;
    PutU32(&bytes_[at_], static_cast<uint32_t>(n));
    at_ += 4;
    for (char c : s) bytes_[at_++] = static_cast<uint8_t>(c);
    if (nul) bytes_[at_++] = 0;
    return true;
  }

  RegistryMessageBytes& bytes_;
  size_t at_ = 2;
};

struct RawField {
  const uint8_t* bytes;
  uint32_t size;
};

bool KnownValueType(uint32_t type) {
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
    case REG_BINARY:
    case REG_DWORD:
    case REG_MULTI_SZ:
    case REG_QWORD:
      return true;
    default:
      return false;
  }
}

bool HasControlCharacter(std::string_view s) {
  for (unsigned char c : s) {
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

bool IsDotName(std::string_view s) { return s == "." || s == ".."; }

MessageFault CheckKeyPath(std::string_view path) {
  if (path.empty()) return MessageFault::EmptyKeyPath;
  if (HasControlCharacter(path)) return MessageFault::ControlCharacter;
  size_t start = 0;
  for (;;) {
    size_t end = path.find('\\', start);
    std::string_view part = path.substr(start, end == std::string_view::npos ? end : end - start);
    if (part.empty() || IsDotName(part) || part.size() > kMaxKeyNameChars) {
      return MessageFault::BadPathComponent;
    }
    if (end == std::string_view::npos) return MessageFault::None;
    start = end + 1;
  }
}

MessageFault CheckValueName(std::string_view name) {
  if (name.empty()) return MessageFault::EmptyName;
  if (HasControlCharacter(name)) return MessageFault::ControlCharacter;
  return MessageFault::None;
}

MessageFault CheckSubkeyName(std::string_view name) {
  if (name.empty()) return MessageFault::EmptyName;
  if (HasControlCharacter(name)) return MessageFault::ControlCharacter;
  if (name.find('\\') != std::string_view::npos || IsDotName(name) ||
      name.size() > kMaxKeyNameChars) {
    return MessageFault::BadSubkeyName;
  }
  return MessageFault::None;
}

// The layout alone: fields within the buffer, of the kinds the operation has, zeros after them.
MessageFault SplitFields(const uint8_t* bytes, const OperationLayout& layout,
                         std::vector<RawField>* fields) {
  if (bytes[1] != layout.fields.size()) return MessageFault::WrongFieldCount;
  size_t at = 2;
  for (FieldKind kind : layout.fields) {
    if (kRegistryMessageSize - at < 4) return MessageFault::FieldPastEnd;
    const uint32_t n = GetU32(bytes + at);
    at += 4;
    if (n > kRegistryMessageSize - at) return MessageFault::FieldPastEnd;
    const uint8_t* field = bytes + at;
    switch (kind) {
      case FieldKind::Number:
        if (n != 4) return MessageFault::BadNumberField;
        break;
      case FieldKind::Text:
        if (n == 0 || field[n - 1] != 0) return MessageFault::MissingNul;
        for (uint32_t i = 0; i + 1 < n; ++i) {
          if (field[i] == 0) return MessageFault::NulInsideText;
        }
        break;
      case FieldKind::Data:
        break;
    }
    fields->push_back({field, n});
    at += n;
  }
  for (; at < kRegistryMessageSize; ++at) {
    if (bytes[at] != 0) return MessageFault::TrailingBytes;
  }
  return MessageFault::None;
}

std::string TextOf(const RawField& f) {
  return std::string(reinterpret_cast<const char*>(f.bytes), f.size - 1);
}

}  // namespace

bool EncodeRegistryMessage(const RegistryMessage& message, RegistryMessageBytes* out) {
  RegistryMessageBytes bytes{};
  FieldWriter w(bytes);
  bool ok = true;
  bytes[0] = static_cast<uint8_t>(message.op);
  switch (message.op) {
    case RegistryOp::SetValue:
      bytes[1] = 6;
      ok = w.text(message.keyPath) && w.text(message.name) && w.number(message.valueType) &&
           w.data(message.data) && w.number(static_cast<uint32_t>(message.data.size())) &&
           w.number(message.hive);
      break;
    case RegistryOp::CreateKey:
      bytes[1] = 2;
      ok = w.text(message.keyPath) && w.number(message.hive);
      break;
    case RegistryOp::DeleteKey:
    case RegistryOp::DeleteValue:
    case RegistryOp::DeleteKeyTree:
      bytes[1] = 2;
      ok = w.text(message.keyPath) && w.text(message.name);
      break;
    default:
      ok = false;
  }
  if (!ok) return false;
  *out = bytes;
  return true;
}

MessageFault DecodeRegistryMessage(const uint8_t* bytes, size_t size, RegistryMessage* out) {
  if (size != kRegistryMessageSize) return MessageFault::WrongSize;
  const OperationLayout* layout = LayoutFor(bytes[0]);
  if (layout == nullptr) return MessageFault::UnknownOperation;
  std::vector<RawField> fields;
  if (MessageFault fault = SplitFields(bytes, *layout, &fields); fault != MessageFault::None) {
    return fault;
  }

  RegistryMessage m;
  m.op = layout->op;
  m.keyPath = TextOf(fields[0]);
  if (MessageFault fault = CheckKeyPath(m.keyPath); fault != MessageFault::None) return fault;
  switch (m.op) {
    case RegistryOp::SetValue: {
      m.name = TextOf(fields[1]);
      m.valueType = GetU32(fields[2].bytes);
      m.data.assign(reinterpret_cast<const char*>(fields[3].bytes), fields[3].size);
      if (GetU32(fields[4].bytes) != fields[3].size) return MessageFault::SizeMismatch;
      m.hive = GetU32(fields[5].bytes);
      if (MessageFault fault = CheckValueName(m.name); fault != MessageFault::None) return fault;
      if (!KnownValueType(m.valueType)) return MessageFault::UnknownValueType;
      break;
    }
    case RegistryOp::CreateKey:
      m.hive = GetU32(fields[1].bytes);
      break;
    case RegistryOp::DeleteValue:
      m.name = TextOf(fields[1]);
      if (MessageFault fault = CheckValueName(m.name); fault != MessageFault::None) return fault;
      break;
    case RegistryOp::DeleteKey:
    case RegistryOp::DeleteKeyTree:
      m.name = TextOf(fields[1]);
      if (MessageFault fault = CheckSubkeyName(m.name); fault != MessageFault::None) return fault;
      break;
  }
  if (m.hive > kHiveCurrentConfig) return MessageFault::UnknownHive;
  *out = std::move(m);
  return MessageFault::None;
}

const char* DescribeMessageFault(MessageFault fault) {
  switch (fault) {
    case MessageFault::None: return "well formed";
    case MessageFault::WrongSize: return "not 1024 bytes";
    case MessageFault::UnknownOperation: return "unknown operation code";
    case MessageFault::WrongFieldCount: return "field count does not match the operation";
    case MessageFault::FieldPastEnd: return "field past the end of the message";
    case MessageFault::BadNumberField: return "number field not 4 bytes long";
    case MessageFault::MissingNul: return "text field without its terminating NUL";
    case MessageFault::NulInsideText: return "NUL inside a text field";
    case MessageFault::SizeMismatch: return "data size differs from the data field";
    case MessageFault::TrailingBytes: return "bytes after the last field";
    case MessageFault::UnknownHive: return "unknown hive code";
    case MessageFault::UnknownValueType: return "unknown value type";
    case MessageFault::EmptyKeyPath: return "empty key path";
    case MessageFault::BadPathComponent: return "empty, '.' or '..' component in the key path";
    case MessageFault::ControlCharacter: return "control character in a path or name";
    case MessageFault::EmptyName: return "empty name";
    case MessageFault::BadSubkeyName: return "subkey name is not a single key name";
  }
  return "unknown fault";
}

std::string OperationName(uint8_t code) {
  switch (code) {
    case 1: return "set value";
    case 2: return "create key";
    case 3: return "delete key";
    case 4: return "delete value";
    case 5: return "delete key tree";
    default: return "operation " + std::to_string(code);
  }
}

std::string PrintableForLog(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out.push_back(static_cast<char>(c));
    } else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

}  // namespace ov
