#pragma once
#include <filesystem>
#include <string>

namespace ov::test {

// A fresh folder under the system temp dir, removed with everything in it when the object dies.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Sets OVUI_ROOT to a folder for the object's lifetime and restores the previous value after.
class ScopedMachineRoot {
 public:
  explicit ScopedMachineRoot(const std::filesystem::path& root);
  ~ScopedMachineRoot();

 private:
  std::string previous_;
  bool hadPrevious_ = false;
};

// Whole content of a file as bytes ("" when it cannot be read); writes bytes verbatim.
std::string ReadFileBytes(const std::filesystem::path& file);
void WriteFileBytes(const std::filesystem::path& file, const std::string& bytes);

}  // namespace ov::test
