#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/reg_text.h"

// Registry export files in the REGEDIT5 text format:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Orvane]
//   @="default value"
//   "Name"="text with \\ and \" escaped"
//   "Count"=dword:0000000a
//   "Blob"=hex:01,02,03
//   "List"=hex(7):61,00,00,00,00,00      (REG_MULTI_SZ as UTF-16LE)
//   "Path"=hex(2):25,00,...              (REG_EXPAND_SZ as UTF-16LE)
//   "Gone"=-                             (deletes the value)
//   [-HKEY_LOCAL_MACHINE\SOFTWARE\Old]   (deletes the key and everything below it)
//
// Files are written as UTF-8 with LF line ends; UTF-16LE (with its BOM), UTF-8 with or without
// a BOM, CRLF line ends and the older "REGEDIT4" header (whose hex(2)/hex(7) data is narrow
// text, not UTF-16) are read.
namespace ov::cli {

struct RegFileValue {
  std::string name;     // "" is the unnamed value, written @
  bool remove = false;  // "name"=-
  uint32_t type = REG_SZ;
  std::string data;     // the registry's bytes (narrow strings with their NULs)
  int line = 0;         // where it was read, for messages
};

struct RegFileKey {
  RegKeyName key;
  bool remove = false;  // [-KEY]
  std::vector<RegFileValue> values;
  int line = 0;
};

struct RegFile {
  std::vector<RegFileKey> keys;
};

struct RegFileError {
  int line = 0;  // 1-based; 0 for the file as a whole
  std::string message;
};

// Reads a whole file. On failure `file` is left with what came before the bad line, and
// `error` says which line and why.
bool ParseRegFile(std::string_view bytes, RegFile* file, RegFileError* error);

// Writes the file's text. Each value is written in the form that reads back to the same type and
// bytes: REG_SZ that is not plain one-line UTF-8 text with one final NUL goes as hex(1), a
// REG_DWORD of another size than 4 as hex(4), and so on. Fails only for a name holding a line
// break, which the format cannot carry.
bool FormatRegFile(const RegFile& file, std::string* text, std::string* error);

}  // namespace ov::cli
