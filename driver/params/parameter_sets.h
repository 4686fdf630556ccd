#pragma once
#include <cstdint>
#include <string>

#include "driver/oid_requester.h"
#include "driver/params/registry_writer.h"

// The saved parameter sets below the adapter key: "Default" (the station parameters as they were
// at the last normal exit or access-point switch) and "ApDefault" (the soft-AP utility's set).
namespace ov {

// Longest value name and value data a saved-set copy handles, in bytes.
constexpr uint32_t kParameterCopyLimit = 260;

enum class CopyOutcome {
  Copied,         // every value was written (over-long ones skipped, see below)
  SourceMissing,  // the source key does not open
  TargetFailed,   // the target key could not be created; nothing written
  WriteFailed,    // a value could not be written; the copy stopped there
};

struct CopyResult {
  CopyOutcome outcome = CopyOutcome::Copied;
  uint32_t copied = 0;   // values written
  uint32_t skipped = 0;  // values whose name or data is longer than the limit
};

// Copies every value of the adapter key, with its type, into its "Default" subkey.
CopyResult SaveDefaults(RegistryWriter& writer, const std::string& adapterKeyPath);

// Copies every value of the "ApDefault" subkey into the adapter key.
CopyResult LoadApDefaults(RegistryWriter& writer, const std::string& adapterKeyPath);

// The copy both use: values of HKLM\<from> into HKLM\<to>, in enumeration order. A value whose
// name or data does not fit the limit is skipped (copying part of it would corrupt it); the copy
// stops at the first value that cannot be written.
CopyResult CopyParameterValues(RegistryWriter& writer, const std::string& from,
                               const std::string& to);

enum class ApDefaultOutcome {
  AlreadyExists,  // left exactly as it was
  Created,
  CreateFailed,  // nothing written
  WriteFailed,   // created; a value could not be written (the rest were still tried)
};

// Creates "ApDefault" with the soft-AP parameter set when it does not exist yet. The SSID is
// "SoftAP-%02X" of the last byte of the adapter's current MAC address (00 when the driver does
// not answer); "WirelessMode" is "9" for an 802.11n adapter, else "0".
ApDefaultOutcome CreateApDefault(RegistryWriter& writer, OidRequester& driver,
                                 const std::string& adapterKeyPath, bool htCapable);

}  // namespace ov
