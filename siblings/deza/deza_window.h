#pragma once
#include <QWidget>
#include <filesystem>
#include <functional>
#include <string>

#include "siblings/deza/ap_status.h"

class QLabel;
class QPushButton;
class QTableWidget;
class QTimer;

// The access-point utility's window: the adapter serving as an access point (SSID, channel, the
// associated stations), refreshed every 2 seconds while shown, and "Return to station mode",
// which runs the switch tool's hand-back from the program folder and, when it succeeds, starts
// the station utility again and closes.
namespace ov::deza {

constexpr int kRefreshMs = 2000;
// The switch tool restores a few registry values and sends one OID; longer means it hangs.
constexpr int kHandBackTimeoutMs = 15000;

class DezaWindow : public QWidget {
 public:
  using StatusReader = std::function<AccessPointStatus()>;

  DezaWindow(std::filesystem::path programFolder, std::string hardwareId, StatusReader readStatus,
             QWidget* parent = nullptr);

  // Reads the status and redraws (the timer calls it; tests call it directly).
  void refresh();
  // What the button does.
  void returnToStationMode();

  // For tests and screenshots.
  QLabel* modeLabel() const { return mode_; }
  QLabel* ssidLabel() const { return ssid_; }
  QLabel* channelLabel() const { return channel_; }
  QTableWidget* stationTable() const { return stations_; }
  QLabel* noteLabel() const { return note_; }
  QPushButton* returnButton() const { return return_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void display(const AccessPointStatus& status);

  const std::filesystem::path programFolder_;
  const std::string hardwareId_;
  const StatusReader readStatus_;
  QLabel* mode_ = nullptr;
  QLabel* ssid_ = nullptr;
  QLabel* channel_ = nullptr;
  QTableWidget* stations_ = nullptr;
  QLabel* note_ = nullptr;
  QPushButton* return_ = nullptr;
  QTimer* timer_ = nullptr;
};

}  // namespace ov::deza
