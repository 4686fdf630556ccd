#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/ini/ini_document.h"

// Reading and replacing INI files on disk.
//
// Reads are served from a process-wide cache keyed by the file's path; an entry is used only
// while the file's device, inode, size and modification time are unchanged, so edits by other
// processes are seen at the next read.
//
// Writes take an advisory lock on the file's folder, apply the edit to the file's current
// text, write a temporary file in the same folder and rename it over the original. Two
// processes editing different keys of one file therefore never lose each other's key, and a
// writer killed at any moment leaves either the old or the new file.
namespace ov::ini_detail {

// The file's parsed text, or null (with *error set) when it does not exist or cannot be read.
std::shared_ptr<const IniDocument> LoadDocument(const std::string& fileName, uint32_t* error);

// Returns the new text, or nullopt for "no change".
using IniEdit = std::function<std::optional<std::string>(const IniDocument& current)>;

// Applies `edit` to the current file under the folder lock. When the file does not exist the
// edit sees an empty document; with createIfMissing false nothing is created. Returns an
// ov::ERROR_* code.
uint32_t UpdateFile(const std::string& fileName, const IniEdit& edit, bool createIfMissing);

// Forgets every cached file.
void FlushCache();

}  // namespace ov::ini_detail
