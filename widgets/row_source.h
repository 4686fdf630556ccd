#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The rows behind a virtual list, in plain C++: the page's own data (the scan list, the profile
// list) answers cell by cell, so a list of thousands of rows builds nothing it does not show.
namespace ov {

struct ListCell {
  std::string text;                     // UTF-8
  int icon = -1;                        // the page's image number; -1 none
  std::optional<int> percent;           // drawn as a signal bar when set
  std::optional<uint32_t> colourRef;    // the bar's colour (0x00BBGGRR)
};

class RowSource {
 public:
  virtual ~RowSource() = default;
  virtual size_t RowCount() const = 0;
  // Asked only for rows below RowCount() and columns of the list.
  virtual ListCell Cell(size_t row, int column) const = 0;
  // Reorders the rows by a column; false when the column does not sort. The list resets after.
  virtual bool SortBy(int column, bool ascending) {
    (void)column;
    (void)ascending;
    return false;
  }
};

}  // namespace ov
