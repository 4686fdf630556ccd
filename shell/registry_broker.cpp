#include "shell/registry_broker.h"

#include <array>
#include <cstring>

#include "platform/system/error_codes.h"
#include "siblings/encrypt_client.h"

namespace ov {

namespace {

constexpr std::array<std::string_view, 12> kSecretValueNames = {
    "LeapPassword", "Password", "TunnelPassword", "WEPKey1", "WEPKey2", "WEPKey3",
    "WEPKey4",      "WPAPSK",   "Key",            "ID",      "TunnelID", "LeapUserName",
};

bool IsText(uint32_t type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

// Text data up to its first NUL.
std::string TextOf(const uint8_t* data, uint32_t size) {
  if (data == nullptr) return {};
  const char* p = reinterpret_cast<const char*>(data);
  return std::string(p, ::strnlen(p, size));
}

std::string NameOf(const char* name) { return name == nullptr ? std::string() : name; }

}  // namespace

std::span<const std::string_view> SecretValueNames() { return kSecretValueNames; }

bool IsSecretValueName(std::string_view name) {
  for (auto secret : kSecretValueNames) {
    if (secret == name) return true;
  }
  return false;
}

BrokerPolicy BrokerPolicyOf(const ProgramOptions& options) {
  BrokerPolicy policy;
  policy.allowStandardUserSetAdvance = options.allowStandardUserSetAdvance;
  policy.allowStandardUserSetProfile = options.allowStandardUserSetProfile;
  return policy;
}

BrokerPolicy ReadBrokerPolicy(const std::string& programIniPath) {
  return BrokerPolicyOf(ReadProgramOptions(programIniPath));
}

// ---- RegistryCalls: the host registry ----

uint32_t RegistryCalls::OpenKey(HKEY key, const char* subKey, uint32_t options, REGSAM access,
                                HKEY* result) {
  return RegOpenKeyEx(key, subKey, options, access, result);
}
uint32_t RegistryCalls::CreateKey(HKEY key, const char* subKey, uint32_t options, REGSAM access,
                                  HKEY* result, uint32_t* disposition) {
  return RegCreateKeyEx(key, subKey, 0, nullptr, options, access, nullptr, result, disposition);
}
uint32_t RegistryCalls::CloseKey(HKEY key) { return RegCloseKey(key); }
uint32_t RegistryCalls::SetValue(HKEY key, const char* name, uint32_t type, const uint8_t* data,
                                 uint32_t size) {
  return RegSetValueEx(key, name, 0, type, data, size);
}
uint32_t RegistryCalls::QueryValue(HKEY key, const char* name, uint32_t* type, uint8_t* data,
                                   uint32_t* size) {
  return RegQueryValueEx(key, name, nullptr, type, data, size);
}
uint32_t RegistryCalls::DeleteValue(HKEY key, const char* name) {
  return RegDeleteValue(key, name);
}
uint32_t RegistryCalls::DeleteKey(HKEY key, const char* subKey) {
  return RegDeleteKey(key, subKey);
}
uint32_t RegistryCalls::DeleteKeyTree(HKEY key, const char* subKey) {
  return SHDeleteKey(key, subKey);
}

// ---- RegistryBroker ----

RegistryBroker::RegistryBroker(const std::string& programIniPath, bool isAdmin, Seams seams)
    : RegistryBroker(ReadProgramOptions(programIniPath), isAdmin, std::move(seams)) {}

RegistryBroker::RegistryBroker(const ProgramOptions& options, bool isAdmin, Seams seams)
    : RegistryBroker(BrokerPolicyOf(options), isAdmin, std::move(seams)) {
  encryptPasswords_ = options.encryptPasswords;
}

RegistryBroker::RegistryBroker(const BrokerPolicy& policy, bool isAdmin, Seams seams)
    : policy_(policy), isAdmin_(isAdmin), seams_(std::move(seams)) {
  if (!seams_.service) seams_.service = std::make_unique<SocketRegistryServiceClient>();
  if (!seams_.registry) seams_.registry = std::make_unique<RegistryCalls>();
  if (!seams_.encrypt) seams_.encrypt = [](const std::string& t) { return EncryptSecret(t); };
  if (!seams_.decrypt) seams_.decrypt = [](const std::string& t) { return DecryptSecret(t); };
  Bind();
}

RegistryBroker::~RegistryBroker() = default;

void RegistryBroker::Bind() { bound_ = seams_.service->IsListening(); }

uint32_t RegistryBroker::Forward(uint32_t directError, HKEY hive, RegistryMessage message) {
  if (!MayUseService()) return directError;
  // Only a missing right is the service's business (access denied, or no key because the open
  // was refused); a missing key or a busy hive would fail there too and be reported as done.
  if (directError != ERROR_ACCESS_DENIED && directError != ERROR_INVALID_HANDLE) {
    return directError;
  }
  const bool carriesHive =
      message.op == RegistryOp::SetValue || message.op == RegistryOp::CreateKey;
  if (hive == HKEY_LOCAL_MACHINE) {
    message.hive = kHiveLocalMachine;
  } else if (hive == HKEY_CLASSES_ROOT) {
    // Deletions carry no hive and act on the machine hive, where the classes root lives.
    if (carriesHive) {
      message.hive = kHiveClassesRoot;
    } else {
      message.keyPath = "SOFTWARE\\Classes\\" + message.keyPath;
    }
  } else {
    // The service serves the machine-wide hives only; a user's own hive needs no service.
    return directError;
  }
  RegistryMessageBytes bytes;
  if (!EncodeRegistryMessage(message, &bytes)) return directError;
  if (!bound_) Bind();
  if (!bound_) return directError;
  if (seams_.service->Send(bytes, &lastServiceStatus_) != 0) {
    bound_ = false;
    return directError;
  }
  return ERROR_SUCCESS;
}

uint32_t RegistryBroker::OpenKey(HKEY hive, const char* subKey, uint32_t options, REGSAM access,
                                 HKEY* key) {
  const uint32_t err = seams_.registry->OpenKey(hive, subKey, options, access, key);
  if (err == ERROR_ACCESS_DENIED && MayUseService() &&
      (hive == HKEY_LOCAL_MACHINE || hive == HKEY_CLASSES_ROOT)) {
    if (key) *key = nullptr;
    return ERROR_SUCCESS;
  }
  return err;
}

uint32_t RegistryBroker::CreateKey(HKEY hive, const char* subKey, uint32_t options,
                                   REGSAM access, HKEY* key, uint32_t* disposition) {
  const uint32_t err =
      seams_.registry->CreateKey(hive, subKey, options, access, key, disposition);
  if (err == ERROR_SUCCESS) return err;
  if (key) *key = nullptr;
  RegistryMessage m;
  m.op = RegistryOp::CreateKey;
  m.keyPath = NameOf(subKey);
  return Forward(err, hive, std::move(m));
}

uint32_t RegistryBroker::SetValue(HKEY key, const char* valueName, uint32_t /*reserved*/,
                                  uint32_t type, const uint8_t* data, uint32_t size,
                                  const std::string& keyPath, HKEY hive, bool secret) {
  std::string payload = data ? std::string(reinterpret_cast<const char*>(data), size) : "";
  if (secret && encryptPasswords_ && IsText(type) && IsSecretValueName(NameOf(valueName))) {
    const std::string text = TextOf(data, size);
    if (!text.empty()) payload = seams_.encrypt(text);
  }
  const uint32_t err = seams_.registry->SetValue(
      key, valueName, type, reinterpret_cast<const uint8_t*>(payload.data()),
      static_cast<uint32_t>(payload.size()));
  if (err == ERROR_SUCCESS) return err;
  RegistryMessage m;
  m.op = RegistryOp::SetValue;
  m.keyPath = keyPath;
  m.name = NameOf(valueName);
  m.valueType = type;
  m.data = std::move(payload);
  return Forward(err, hive, std::move(m));
}

uint32_t RegistryBroker::QueryValue(HKEY key, const char* valueName, uint32_t* /*reserved*/,
                                    uint32_t* type, uint8_t* data, uint32_t* size, bool secret) {
  const uint32_t capacity = size ? *size : 0;
  uint32_t storedType = REG_NONE;
  const uint32_t err = seams_.registry->QueryValue(key, valueName, &storedType, data, size);
  if (type) *type = storedType;
  if (err != ERROR_SUCCESS || !secret || data == nullptr || size == nullptr ||
      !IsText(storedType) || !IsSecretValueName(NameOf(valueName))) {
    return err;
  }
  const std::string stored = TextOf(data, *size);
  if (stored.empty()) return err;
  const std::string plain = seams_.decrypt(stored);
  if (plain.size() > capacity) {
    *size = static_cast<uint32_t>(plain.size() + 1);
    return ERROR_MORE_DATA;
  }
  std::memcpy(data, plain.data(), plain.size());
  if (plain.size() < capacity) data[plain.size()] = 0;
  *size = static_cast<uint32_t>(plain.size());
  return err;
}

uint32_t RegistryBroker::DeleteValue(HKEY key, const char* valueName, const std::string& keyPath,
                                     HKEY hive) {
  const uint32_t err = seams_.registry->DeleteValue(key, valueName);
  if (err == ERROR_SUCCESS) return err;
  RegistryMessage m;
  m.op = RegistryOp::DeleteValue;
  m.keyPath = keyPath;
  m.name = NameOf(valueName);
  return Forward(err, hive, std::move(m));
}

uint32_t RegistryBroker::DeleteKey(HKEY key, const char* subKey, const std::string& keyPath,
                                   HKEY hive) {
  if (subKey == nullptr || *subKey == '\0') return ERROR_INVALID_PARAMETER;
  const uint32_t err = seams_.registry->DeleteKey(key, subKey);
  if (err == ERROR_SUCCESS) return err;
  RegistryMessage m;
  m.op = RegistryOp::DeleteKey;
  m.keyPath = keyPath;
  m.name = subKey;
  return Forward(err, hive, std::move(m));
}

uint32_t RegistryBroker::DeleteKeyTree(HKEY key, const char* subKey, const std::string& keyPath,
                                       HKEY hive) {
  if (subKey == nullptr || *subKey == '\0') return ERROR_INVALID_PARAMETER;
  const uint32_t err = seams_.registry->DeleteKeyTree(key, subKey);
  if (err == ERROR_SUCCESS) return err;
  RegistryMessage m;
  m.op = RegistryOp::DeleteKeyTree;
  m.keyPath = keyPath;
  m.name = subKey;
  return Forward(err, hive, std::move(m));
}

// ---- RegistryWriter ----

uint32_t RegistryBroker::OpenForWrite(HKEY hive, const std::string& keyPath, REGSAM access,
                                      HKEY* key) {
  *key = nullptr;
  return seams_.registry->OpenKey(hive, keyPath.c_str(), 0, access, key);
}

uint32_t RegistryBroker::SetValue(HKEY hive, const std::string& keyPath, const std::string& name,
                                  uint32_t type, std::string_view data) {
  HKEY key = nullptr;
  uint32_t err = OpenForWrite(hive, keyPath, KEY_SET_VALUE, &key);
  if (err == ERROR_SUCCESS) {
    err = seams_.registry->SetValue(key, name.c_str(), type,
                                    reinterpret_cast<const uint8_t*>(data.data()),
                                    static_cast<uint32_t>(data.size()));
    seams_.registry->CloseKey(key);
  }
  if (err == ERROR_SUCCESS) return err;
  RegistryMessage m;
  m.op = RegistryOp::SetValue;
  m.keyPath = keyPath;
  m.name = name;
  m.valueType = type;
  m.data = std::string(data);
  return Forward(err, hive, std::move(m));
}

uint32_t RegistryBroker::CreateKey(HKEY hive, const std::string& keyPath) {
  HKEY key = nullptr;
  const uint32_t err =
      CreateKey(hive, keyPath.c_str(), REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, &key, nullptr);
  if (key != nullptr) seams_.registry->CloseKey(key);
  return err;
}

uint32_t RegistryBroker::WriteOrForward(HKEY hive, const std::string& keyPath, REGSAM access,
                                        RegistryOp op, const std::string& name,
                                        const std::function<uint32_t(HKEY)>& direct) {
  HKEY key = nullptr;
  uint32_t err = OpenForWrite(hive, keyPath, access, &key);
  if (err == ERROR_SUCCESS) {
    err = direct(key);
    seams_.registry->CloseKey(key);
  }
  if (err == ERROR_SUCCESS) return err;
  RegistryMessage m;
  m.op = op;
  m.keyPath = keyPath;
  m.name = name;
  return Forward(err, hive, std::move(m));
}

uint32_t RegistryBroker::DeleteValue(HKEY hive, const std::string& keyPath,
                                     const std::string& name) {
  return WriteOrForward(hive, keyPath, KEY_SET_VALUE, RegistryOp::DeleteValue, name,
                        [&](HKEY key) { return seams_.registry->DeleteValue(key, name.c_str()); });
}

uint32_t RegistryBroker::DeleteKey(HKEY hive, const std::string& keyPath,
                                   const std::string& subKey) {
  if (subKey.empty()) return ERROR_INVALID_PARAMETER;
  return WriteOrForward(hive, keyPath, KEY_ALL_ACCESS, RegistryOp::DeleteKey, subKey,
                        [&](HKEY key) { return seams_.registry->DeleteKey(key, subKey.c_str()); });
}

uint32_t RegistryBroker::DeleteKeyTree(HKEY hive, const std::string& keyPath,
                                       const std::string& subKey) {
  if (subKey.empty()) return ERROR_INVALID_PARAMETER;
  return WriteOrForward(hive, keyPath, KEY_ALL_ACCESS, RegistryOp::DeleteKeyTree, subKey,
                        [&](HKEY key) {
                          return seams_.registry->DeleteKeyTree(key, subKey.c_str());
                        });
}

}  // namespace ov
