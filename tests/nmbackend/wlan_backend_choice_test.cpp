#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "nativewifi/nm/wlan_backend_choice.h"

namespace ov::wlan {
namespace {

TEST(WlanBackendChoice, EnvironmentThenIniThenAutomatic) {
  struct Row {
    const char* what;
    std::optional<std::string> env;
    std::string ini;
    bool socket;
    bool nmOnBus;
    WlanBackend expected;
    bool busAsked;
  };
  using B = WlanBackend;
  const Row rows[] = {
      {"environment nm over a socket", "nm", "simulator", true, false, B::NetworkManager, false},
      {"environment sim over the INI", "sim", "nm", false, true, B::Simulator, false},
      {"environment in capitals", "NetworkManager", "", true, false, B::NetworkManager, false},
      {"INI nm", std::nullopt, "nm", true, false, B::NetworkManager, false},
      {"INI simulator", std::nullopt, "Simulator", false, true, B::Simulator, false},
      {"environment auto leaves the INI", "auto", "nm", true, false, B::NetworkManager, false},
      {"auto: socket wins, bus not asked", std::nullopt, "auto", true, true, B::Simulator, false},
      {"auto: no socket, NetworkManager", std::nullopt, "", false, true, B::NetworkManager, true},
      {"auto: neither", std::nullopt, "", false, false, B::Simulator, true},
      {"unknown value is auto", "wpa_supplicant", "", false, true, B::NetworkManager, true},
  };
  for (const Row& row : rows) {
    WlanBackendInputs in;
    in.environment = row.env;
    in.programIni = row.ini;
    in.simulatorSocketPresent = row.socket;
    bool asked = false;
    in.networkManagerOnBus = [&] {
      asked = true;
      return row.nmOnBus;
    };
    const WlanBackendChoice choice = ChooseWlanBackend(in);
    EXPECT_EQ(choice.backend, row.expected) << row.what;
    EXPECT_EQ(asked, row.busAsked) << row.what;
    EXPECT_FALSE(choice.why.empty()) << row.what;
  }
}

TEST(WlanBackendChoice, UnknownValueIsNamedInTheReason) {
  WlanBackendInputs in;
  in.environment = "bogus";
  const WlanBackendChoice choice = ChooseWlanBackend(in);
  EXPECT_EQ(choice.backend, WlanBackend::Simulator);
  EXPECT_NE(choice.why.find("\"bogus\""), std::string::npos) << choice.why;
}

TEST(WlanBackendChoice, OnlyASocketItselfCounts) {
  const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "backend_choice";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string socketPath = (dir / "wlansvc").string();
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  ASSERT_LT(socketPath.size(), sizeof(addr.sun_path));
  socketPath.copy(addr.sun_path, socketPath.size());
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
  std::filesystem::create_symlink(socketPath, dir / "link");
  { std::ofstream((dir / "plain").string()) << "x"; }

  EXPECT_TRUE(IsSocketFile(socketPath));
  EXPECT_FALSE(IsSocketFile((dir / "link").string()));
  EXPECT_FALSE(IsSocketFile((dir / "plain").string()));
  EXPECT_FALSE(IsSocketFile((dir / "missing").string()));
  ::close(fd);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace ov::wlan
