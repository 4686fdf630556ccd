#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "driver/params/program_options.h"
#include "driver/params/registry_writer.h"
#include "platform/registry/registry.h"
#include "services/registry_message.h"
#include "services/registry_service_client.h"

// Every registry write of the utility goes through the one RegistryBroker the monitor window
// owns. It performs the operation itself and, when that fails for a user the policy lets use the
// registry service, hands the same operation to ovregsvc as one 1024-byte message. It also
// encrypts the secret values on the way in and decrypts them on the way out.
//
// Results are the registry's error numbers. A forwarded operation that reached the service
// returns 0 (the service's own answer is kept in lastServiceStatus() and its log); one that could
// not be delivered returns the direct call's error, so callers write their trace line.
namespace ov {

// The 12 value names whose data is stored encrypted when written with the secret flag.
std::span<const std::string_view> SecretValueNames();
// Exact comparison, letter case included.
bool IsSecretValueName(std::string_view name);

// [Advance] of the program INI.
struct BrokerPolicy {
  bool allowStandardUserSetAdvance = true;  // "AllowStandardUserSetAdvance", "1" when missing
  bool allowStandardUserSetProfile = false; // "AllowStandardUserSetProfile", "0" when missing
};
BrokerPolicy BrokerPolicyOf(const ProgramOptions& options);
BrokerPolicy ReadBrokerPolicy(const std::string& programIniPath);

// The registry calls the broker makes directly: the host's registry, or a test double.
class RegistryCalls {
 public:
  virtual ~RegistryCalls() = default;
  virtual uint32_t OpenKey(HKEY key, const char* subKey, uint32_t options, REGSAM access,
                           HKEY* result);
  virtual uint32_t CreateKey(HKEY key, const char* subKey, uint32_t options, REGSAM access,
                             HKEY* result, uint32_t* disposition);
  virtual uint32_t CloseKey(HKEY key);
  virtual uint32_t SetValue(HKEY key, const char* name, uint32_t type, const uint8_t* data,
                            uint32_t size);
  virtual uint32_t QueryValue(HKEY key, const char* name, uint32_t* type, uint8_t* data,
                              uint32_t* size);
  virtual uint32_t DeleteValue(HKEY key, const char* name);
  virtual uint32_t DeleteKey(HKEY key, const char* subKey);
  virtual uint32_t DeleteKeyTree(HKEY key, const char* subKey);
};

class RegistryBroker final : public RegistryWriter {
 public:
  // What the broker talks to; anything left empty is the real thing (the service socket, the
  // host registry, libOvEncrypt.so from the program folder).
  struct Seams {
    std::unique_ptr<RegistryServiceClient> service;
    std::unique_ptr<RegistryCalls> registry;
    std::function<std::string(const std::string&)> encrypt;
    std::function<std::string(const std::string&)> decrypt;
  };

  // Takes the policy and EncryptPasswords from the program options (read from the program INI by
  // the first form), then binds (asks whether the service listens).
  RegistryBroker(const std::string& programIniPath, bool isAdmin, Seams seams = {});
  RegistryBroker(const ProgramOptions& options, bool isAdmin, Seams seams = {});
  RegistryBroker(const BrokerPolicy& policy, bool isAdmin, Seams seams = {});
  ~RegistryBroker() override;
  RegistryBroker(const RegistryBroker&) = delete;
  RegistryBroker& operator=(const RegistryBroker&) = delete;

  bool AllowStandardUserSetAdvance() const { return policy_.allowStandardUserSetAdvance; }
  bool AllowStandardUserSetProfile() const { return policy_.allowStandardUserSetProfile; }
  // Administrators, and everyone while the policy allows it, may hand writes to the service.
  bool MayUseService() const { return isAdmin_ || policy_.allowStandardUserSetAdvance; }
  // 1 = bound to a listening service, as of the last bind or send.
  bool Bound() const { return bound_; }
  // The service's answer to the last delivered message (kNoServiceAnswer when none came).
  uint32_t LastServiceStatus() const { return lastServiceStatus_; }
  // The EncryptPasswords flag ([AuthEncry] "EncryptedPassword"): from the program options, on
  // when the broker was made from a bare policy.
  void SetEncryptPasswords(bool on) { encryptPasswords_ = on; }

  // ---- The host's calls with the broker's rules ----

  // When the key may not be opened as asked (access denied) and MayUseService, returns 0 with
  // *key = nullptr: the caller goes on writing and the writes are forwarded.
  uint32_t OpenKey(HKEY hive, const char* subKey, uint32_t options, REGSAM access, HKEY* key);
  // Forwarded as create key; *key is nullptr then.
  uint32_t CreateKey(HKEY hive, const char* subKey, uint32_t options, REGSAM access, HKEY* key,
                     uint32_t* disposition);
  // `keyPath` and `hive` name `key` for the message. With `secret`, a non-empty text of one of
  // the secret names is stored as its encryption (no NUL after it) while encryption is on.
  uint32_t SetValue(HKEY key, const char* valueName, uint32_t reserved, uint32_t type,
                    const uint8_t* data, uint32_t size, const std::string& keyPath, HKEY hive,
                    bool secret);
  // Never forwarded. With `secret`, a text of one of the secret names is decrypted into the
  // caller's buffer, *size set to its length and a NUL put after it where the buffer has room.
  uint32_t QueryValue(HKEY key, const char* valueName, uint32_t* reserved, uint32_t* type,
                      uint8_t* data, uint32_t* size, bool secret);
  // The deletions name the hive too (HKEY_LOCAL_MACHINE for most callers): a deletion under the
  // classes root is sent with the key's machine-hive path. The hive has no default so that these
  // calls never mix with the writer's (hive, path, name) ones below.
  uint32_t DeleteValue(HKEY key, const char* valueName, const std::string& keyPath, HKEY hive);
  // An empty subkey name is refused (it would name the key itself).
  uint32_t DeleteKey(HKEY key, const char* subKey, const std::string& keyPath, HKEY hive);
  uint32_t DeleteKeyTree(HKEY key, const char* subKey, const std::string& keyPath, HKEY hive);

  // ---- RegistryWriter: the same rules for writes named by hive and path ----

  uint32_t SetValue(HKEY hive, const std::string& keyPath, const std::string& name, uint32_t type,
                    std::string_view data) override;
  uint32_t CreateKey(HKEY hive, const std::string& keyPath) override;
  uint32_t DeleteValue(HKEY hive, const std::string& keyPath, const std::string& name) override;
  uint32_t DeleteKey(HKEY hive, const std::string& keyPath, const std::string& subKey) override;
  uint32_t DeleteKeyTree(HKEY hive, const std::string& keyPath,
                         const std::string& subKey) override;

 private:
  void Bind();
  // The forwarding rule after a failed direct call.
  uint32_t Forward(uint32_t directError, HKEY hive, RegistryMessage message);
  uint32_t OpenForWrite(HKEY hive, const std::string& keyPath, REGSAM access, HKEY* key);
  // One path-addressed write: done directly on the key opened with `access`, and forwarded to
  // the service as `op` on `name` when the direct way fails for want of rights.
  uint32_t WriteOrForward(HKEY hive, const std::string& keyPath, REGSAM access, RegistryOp op,
                          const std::string& name, const std::function<uint32_t(HKEY)>& direct);

  BrokerPolicy policy_;
  bool isAdmin_;
  bool bound_ = false;
  bool encryptPasswords_ = true;
  uint32_t lastServiceStatus_ = kNoServiceAnswer;
  Seams seams_;
};

}  // namespace ov
