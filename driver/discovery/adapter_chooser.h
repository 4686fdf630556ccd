#pragma once
#include <cstddef>
#include <optional>
#include <span>
#include <string>

// When discovery finds more than one supported adapter, somebody picks one: the adapter
// selection dialog in the program, a fixed rule elsewhere.
namespace ov {

// One supported adapter whose device file opens, as the selection dialog shows it.
struct AdapterCandidate {
  size_t deviceIndex = 0;  // position in the enumeration
  std::string friendlyName;
  std::string deviceDescription;
  std::string hardwareId;  // the first hardware identifier, as the device reports it
  std::string locationInformation;
  std::string manufacturer;
  // The drop-down entry: the friendly name, or the description when there is none.
  std::string displayName() const { return friendlyName.empty() ? deviceDescription : friendlyName; }
};

class AdapterChooser {
 public:
  virtual ~AdapterChooser() = default;
  // Called with two or more candidates, in enumeration order, and modally: the monitor treats
  // itself as busy for the whole call (BusyWhileChoosing). Returns the position of the chosen
  // candidate, or nothing when the user closed the choice without confirming one.
  virtual std::optional<size_t> ChooseAdapter(std::span<const AdapterCandidate> candidates) = 0;
};

// Takes the first candidate without asking.
class FirstAdapterChooser final : public AdapterChooser {
 public:
  std::optional<size_t> ChooseAdapter(std::span<const AdapterCandidate> candidates) override {
    if (candidates.empty()) return std::nullopt;
    return 0;
  }
};

// Wraps the chooser the monitor shows, holding the monitor's busy flag set while the choice is
// open so that its timer ticks and tray commands wait; the flag's previous value comes back
// afterwards.
class BusyWhileChoosing final : public AdapterChooser {
 public:
  BusyWhileChoosing(AdapterChooser& inner, bool& busy) : inner_(inner), busy_(busy) {}
  std::optional<size_t> ChooseAdapter(std::span<const AdapterCandidate> candidates) override {
    const bool previous = busy_;
    busy_ = true;
    auto chosen = inner_.ChooseAdapter(candidates);
    busy_ = previous;
    return chosen;
  }

 private:
  AdapterChooser& inner_;
  bool& busy_;
};

}  // namespace ov
