// The project's EAP host: the EAP-FAST settings dialog on the offscreen platform, driven as a
// user would, and called from a worker thread as the wireless client's workers call it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <thread>

#include "nativewifi/eap_fast_blob.h"
#include "nativewifi/eap_host/eap_fast_dialog.h"
#include "nativewifi/eap_host/qt_eap_host.h"

namespace ov {
namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    app_ = std::make_unique<QApplication>(argc_, argv_);
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[24] = "eap_host_dialog_test";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

template <typename T>
T* Field(QDialog& dialog, const char* name) {
  T* field = dialog.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(field, nullptr) << name;
  return field;
}

QPushButton* OkButton(QDialog& dialog) {
  return dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
}

// The hook runs inside the dialog's modal loop once the loop has started.
void Later(std::function<void()> action) { QTimer::singleShot(0, std::move(action)); }

TEST(EapHostDialog, ConfirmedSettingsComeBackAsTheVersionedBlob) {
  QtEapHost host;
  host.setDialogHook([](QDialog& dialog) {
    Later([&dialog] {
      Field<QComboBox>(dialog, EapFastDialog::kInnerMethod)->setCurrentIndex(1);  // GTC
      Field<QCheckBox>(dialog, EapFastDialog::kUnauthenticatedProvisioning)->setChecked(false);
      Field<QCheckBox>(dialog, EapFastDialog::kUsePac)->setChecked(true);
      Field<QLineEdit>(dialog, EapFastDialog::kPacFile)->setText(QStringLiteral("/home/alice/corp.pac"));
      Field<QLineEdit>(dialog, EapFastDialog::kOuterIdentity)->setText(QStringLiteral("anon@corp"));
      Field<QCheckBox>(dialog, EapFastDialog::kValidateServer)->setChecked(true);
      Field<QLineEdit>(dialog, EapFastDialog::kServerName)->setText(QStringLiteral("radius.corp"));
      Field<QLineEdit>(dialog, EapFastDialog::kTrustedRootHash)->setText(QStringLiteral("0f5a 51d0"));
      OkButton(dialog)->click();
    });
  });
  std::vector<uint8_t> output;
  ASSERT_EQ(host.InvokeConfigUI(kEapHostConfigUiFlags, kEapFastMethodType, {}, &output), ERROR_SUCCESS);
  const auto settings = DecodeEapFastBlob(output);
  ASSERT_TRUE(settings);
  EapFastSettings expected;
  expected.flags = kEapFastUsePac | kEapFastValidateServer;
  expected.innerMethod = 6;
  expected.pacFilePath = "/home/alice/corp.pac";
  expected.outerIdentity = "anon@corp";
  expected.serverName = "radius.corp";
  expected.trustedRootHash = {0x0F, 0x5A, 0x51, 0xD0};
  EXPECT_EQ(*settings, expected);
}

TEST(EapHostDialog, StartsFromTheGivenSettingsAndCancelGivesNothing) {
  EapFastSettings given;
  given.flags = kEapFastAllowAuthenticatedProvisioning | kEapFastFastReconnect;
  given.innerMethod = 13;
  given.outerIdentity = "bob";
  const std::vector<uint8_t> input = EncodeEapFastBlob(given);
  QtEapHost host;
  EapFastSettings shown;
  host.setDialogHook([&](QDialog& dialog) {
    shown = *static_cast<EapFastDialog&>(dialog).settings();
    Later([&dialog] { dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click(); });
  });
  std::vector<uint8_t> output = {9};
  EXPECT_EQ(host.InvokeConfigUI(kEapHostConfigUiFlags, kEapFastMethodType, input, &output), ERROR_CANCELLED);
  EXPECT_EQ(output, std::vector<uint8_t>{9});
  EXPECT_EQ(shown, given);
}

TEST(EapHostDialog, OkWaitsForValidFields) {
  EapFastDialog dialog;
  QPushButton* ok = OkButton(dialog);
  EXPECT_TRUE(ok->isEnabled());
  const struct {
    const char* name;
    std::function<void()> enter;
    std::function<void()> repair;
  } cases[] = {
      {"a PAC file is asked for but not named",
       [&] { Field<QCheckBox>(dialog, EapFastDialog::kUsePac)->setChecked(true); },
       [&] { Field<QLineEdit>(dialog, EapFastDialog::kPacFile)->setText(QStringLiteral("a.pac")); }},
      {"a hash that is not hexadecimal",
       [&] { Field<QLineEdit>(dialog, EapFastDialog::kTrustedRootHash)->setText(QStringLiteral("0g")); },
       [&] { Field<QLineEdit>(dialog, EapFastDialog::kTrustedRootHash)->setText(QStringLiteral("0A")); }},
      {"a hash longer than 152 bytes",
       [&] { Field<QLineEdit>(dialog, EapFastDialog::kTrustedRootHash)->setText(QString(306, QLatin1Char('a'))); },
       [&] { Field<QLineEdit>(dialog, EapFastDialog::kTrustedRootHash)->setText(QString(304, QLatin1Char('a'))); }},
      {"an identity of more than 255 bytes",
       [&] { Field<QLineEdit>(dialog, EapFastDialog::kOuterIdentity)->setText(QString(128, QChar(0x00E9))); },
       [&] { Field<QLineEdit>(dialog, EapFastDialog::kOuterIdentity)->setText(QString(127, QChar(0x00E9))); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.enter();
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_FALSE(dialog.settings());
    EXPECT_FALSE(dialog.problem().isEmpty());
    c.repair();
    EXPECT_TRUE(ok->isEnabled()) << dialog.problem().toStdString();
  }
  // The settings the repaired fields make go through the blob unchanged.
  const auto settings = dialog.settings();
  ASSERT_TRUE(settings);
  EXPECT_EQ(DecodeEapFastBlob(EncodeEapFastBlob(*settings)), settings);
}

TEST(EapHostDialog, AWorkerThreadWaitsWhileTheDialogRunsOnTheUserInterfaceThread) {
  QtEapHost host;
  std::thread::id dialogThread;
  host.setDialogHook([&](QDialog& dialog) {
    dialogThread = std::this_thread::get_id();
    Later([&dialog] { OkButton(dialog)->click(); });
  });
  std::atomic<bool> done{false};
  uint32_t status = 0;
  std::vector<uint8_t> output;
  std::thread worker([&] {
    status = host.InvokeConfigUI(kEapHostConfigUiFlags, kEapFastMethodType, {}, &output);
    done = true;
  });
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (done) loop.quit();
  });
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
  poll.start(1);
  guard.start(20000);
  loop.exec();
  worker.join();
  EXPECT_TRUE(done);
  EXPECT_EQ(status, ERROR_SUCCESS);
  EXPECT_EQ(dialogThread, std::this_thread::get_id());
  EXPECT_EQ(DecodeEapFastBlob(output), EapFastSettings{});
}

TEST(EapHostDialog, OtherMethodsHaveNoDialogHere) {
  QtEapHost host;
  std::vector<uint8_t> output;
  EXPECT_EQ(host.InvokeConfigUI(kEapHostConfigUiFlags, wlan::EapMethodType{25, 0, 0, 17}, {}, &output),
            wlan::ERROR_NOT_SUPPORTED);
}

}  // namespace
}  // namespace ov
