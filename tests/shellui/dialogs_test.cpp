#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <optional>
#include <vector>

#include "driver/discovery/adapter_chooser.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/message_box.h"
#include "shell/ui/sel_card_dlg.h"
#include "shell/ui/shell_icons.h"
#include "shell/ui/shell_state.h"
#include "tests/shellui/qt_app_environment.h"
#include "tests/shellui/shell_test_support.h"

namespace ov {
namespace {

template <typename T>
T* Control(QWidget* dialog, int id) {
  return dialog->findChild<T*>(ControlName(id));
}

class MessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override { test::InstallKeyNameTexts(); }
};

TEST_F(MessageBoxTest, ShowsTheTextWithTheTablesOkAndTellsHowItEnded) {
  struct Case {
    const char* name;
    std::function<void(QWidget*)> end;
    int result;
  } cases[] = {
      {"OK", [](QWidget* box) { Control<QPushButton>(box, IDOK_BUTTON)->click(); }, kMessageBoxOk},
      {"Escape",
       [](QWidget* box) {
         QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
         QApplication::sendEvent(box, &escape);
       },
       kMessageBoxClosed},
      {"window closed", [](QWidget* box) { box->close(); }, kMessageBoxClosed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QString shownText, okText, caption;
    test::WhenModalShown([&](QWidget* box) {
      shownText = Control<QLabel>(box, IDC_MESSAGE_TEXT)->text();
      okText = Control<QPushButton>(box, IDOK_BUTTON)->text();
      caption = box->windowTitle();
      c.end(box);
    });
    // Texts are shown as they are: user data in a message is never read as markup.
    EXPECT_EQ(ShowMessage("Profile <b>\"Lab & Co\"</b> 100% saved"), c.result);
    EXPECT_EQ(shownText.toStdString(), "Profile <b>\"Lab & Co\"</b> 100% saved");
    EXPECT_EQ(okText.toStdString(), "IDS_OK");
    EXPECT_EQ(caption.toStdString(), "Tamrin Wireless Utility");
  }
}

TEST_F(MessageBoxTest, CentredOverItsParentOrTheDesktop) {
  QWidget parent;
  parent.setGeometry(40, 60, 500, 300);
  parent.show();
  struct Case {
    const char* name;
    QWidget* parent;
  } cases[] = {{"no parent: the desktop", nullptr}, {"over its parent window", &parent}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QRect area = c.parent ? c.parent->frameGeometry()
                                : QGuiApplication::primaryScreen()->geometry();
    QPoint centre;
    test::WhenModalShown([&](QWidget* box) {
      centre = box->geometry().center();
      box->close();
    });
    ShowMessage("centred?", c.parent);
    EXPECT_LE((centre - area.center()).manhattanLength(), 4)
        << "box centre " << centre.x() << "," << centre.y() << " area centre "
        << area.center().x() << "," << area.center().y();
  }
}

std::vector<AdapterCandidate> ThreeAdapters() {
  return {
      {3, "Lab PCI Adapter", "PCI 802.11n adapter", "PCI\\VEN_0F5A&DEV_0601", "PCI bus 3", "Maker A"},
      {5, "", "USB 802.11g adapter", "USB\\VID_0F5A&PID_0701", "Port_#0002.Hub_#0003", "Maker B"},
      {9, "Desk USB Adapter", "USB 802.11n adapter", "USB\\VID_0F5A&PID_0901", "Port_#0001", "Maker C"},
  };
}

TEST(SelCardDlgTest, ListsEveryCandidateAndReturnsTheOnePickedWithOk) {
  const auto candidates = ThreeAdapters();
  CSelCardDlg dialog;
  bool busyWhileOpen = false;
  bool busy = false;
  QStringList entries;
  QString caption;
  std::vector<std::string> detailsBeforeOk;
  test::WhenModalShown([&](QWidget* modal) {
    busyWhileOpen = busy;
    caption = modal->windowTitle();
    auto* list = Control<QComboBox>(modal, IDC_CARD_LIST);
    for (int i = 0; i < list->count(); ++i) entries << list->itemText(i);
    EXPECT_EQ(Control<QLineEdit>(modal, IDC_CARD_DESCRIPTION)->text(), "PCI 802.11n adapter");
    list->setCurrentIndex(1);
    for (int id : {IDC_CARD_DESCRIPTION, IDC_CARD_HARDWARE_ID, IDC_CARD_LOCATION,
                   IDC_CARD_MANUFACTURER}) {
      detailsBeforeOk.push_back(Control<QLineEdit>(modal, id)->text().toStdString());
    }
    Control<QPushButton>(modal, IDOK_BUTTON)->click();
  });
  BusyWhileChoosing chooser(dialog, busy);
  const std::optional<size_t> chosen = chooser.ChooseAdapter(candidates);

  ASSERT_EQ(chosen, std::optional<size_t>(1));
  EXPECT_EQ(candidates[*chosen].deviceIndex, 5u);
  EXPECT_TRUE(busyWhileOpen) << "the monitor is busy while the choice is open";
  EXPECT_FALSE(busy);
  EXPECT_EQ(caption.toStdString(), "Select a Wireless LAN card");
  // The second device has no friendly name: it is listed by its description.
  EXPECT_EQ(entries, (QStringList{"Lab PCI Adapter", "USB 802.11g adapter", "Desk USB Adapter"}));
  EXPECT_EQ(detailsBeforeOk, (std::vector<std::string>{"USB 802.11g adapter",
                                                       "USB\\VID_0F5A&PID_0701",
                                                       "Port_#0002.Hub_#0003", "Maker B"}));
}

TEST(SelCardDlgTest, ClosingWithoutOkChoosesNothing) {
  const auto candidates = ThreeAdapters();
  CSelCardDlg dialog;
  test::WhenModalShown([](QWidget* modal) {
    Control<QComboBox>(modal, IDC_CARD_LIST)->setCurrentIndex(2);
    modal->close();
  });
  EXPECT_EQ(dialog.ChooseAdapter(candidates), std::nullopt);
  EXPECT_EQ(dialog.ChooseAdapter({}), std::nullopt) << "nothing to choose from";
}

TEST(ShellIconsTest, EveryTrayStateHasALegibleIcon) {
  for (TrayState state : {TrayState::Good, TrayState::Normal, TrayState::Weak, TrayState::Lost,
                          TrayState::NotExist}) {
    SCOPED_TRACE(TrayStateIconPath(state).toStdString());
    const QImage image = TrayStateIcon(state).pixmap(16, 16).toImage();
    ASSERT_FALSE(image.isNull()) << "the SVG image plugin (libqt6svg6) must be installed";
    EXPECT_EQ(image.width(), 16);
    // Something is drawn: not every pixel is transparent.
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) opaque += qAlpha(image.pixel(x, y)) > 128;
    EXPECT_GT(opaque, 30);
  }
  // The five states look different from each other.
  const auto good = TrayStateIcon(TrayState::Good).pixmap(16, 16).toImage();
  const auto weak = TrayStateIcon(TrayState::Weak).pixmap(16, 16).toImage();
  EXPECT_NE(good, weak);
  EXPECT_FALSE(AppIcon().pixmap(32, 32).isNull());
  EXPECT_EQ(TrayIconResource(TrayState::Good), 131);
  EXPECT_EQ(TrayIconResource(TrayState::NotExist), 161);
}

}  // namespace
}  // namespace ov
