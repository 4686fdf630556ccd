#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "tests/shellui/qt_app_environment.h"
#include "tests/shellui/shell_test_support.h"
#include "tests/support/temp_dir.h"
#include "widgets/bar_button.h"

namespace ov {
namespace {

namespace fs = std::filesystem;
namespace L = main_window_layout;
using B = TabButton;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { test::InstallKeyNameTexts(); }

  // Each write has its own length, so the INI cache sees a change even within one clock tick.
  void WriteIni(const std::string& text) {
    test::WriteFileBytes(dir.path() / "OvUI.INI", text + ";" + std::string(++iniWrites, '-') + "\r\n");
  }
  int iniWrites = 0;
  void WriteManual() {
    fs::create_directories(dir.path() / "manual");
    test::WriteFileBytes(dir.path() / kHelpFile, "<html></html>");
  }
  std::unique_ptr<COvUI2007Dlg> MakeWindow() {
    COvUI2007Dlg::Options options{dir.path()};
    // A desktop that holds the whole layout, whatever the test platform's screen.
    options.availableScreen = QRect(0, 0, 1280, 1024);
    auto window = std::make_unique<COvUI2007Dlg>(state, host, registry, options);
    window->show();
    return window;
  }
  // Visible bar buttons by their labels, left to right.
  static std::vector<std::string> VisibleLabels(const COvUI2007Dlg& window) {
    std::vector<std::pair<int, std::string>> shown;
    for (const auto& entry : TabButtons()) {
      BarButton* button = window.Button(entry.button);
      if (button->isVisible()) shown.emplace_back(button->x(), button->text().toStdString());
    }
    std::sort(shown.begin(), shown.end());
    std::vector<std::string> labels;
    for (auto& [x, label] : shown) labels.push_back(label);
    return labels;
  }

  test::TempDir dir;
  ShellState state;
  test::RecordingHost host;
  PageRegistry registry;
};

TEST_F(MainWindowTest, SsoAnd80211nButtonsFollowInstallationSettingAndCapability) {
  struct Case {
    const char* name;
    bool sso;
    const char* ini;
    bool htCapable;
    bool ssoShown;
    bool htOffered;
    bool htEnabled;
  } cases[] = {
      {"SSO not installed, no setting", false, "", true, false, false, false},
      {"SSO installed", true, "", false, true, false, false},
      {"setting 0", false, "[Page]\r\n11n Setting=0\r\n", true, false, false, false},
      {"setting 1, not HT capable", false, "[Page]\r\n11n Setting=1\r\n", false, false, true,
       false},
      {"setting 1, HT capable", true, "[Page]\r\n11n Setting=1\r\n", true, true, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    host.ssoInstalled = c.sso;
    state.Adapter.htCapable = c.htCapable;
    WriteIni(c.ini);
    auto window = MakeWindow();
    ASSERT_TRUE(window->Initialised());
    const auto& bar = window->BarLayout();
    EXPECT_EQ(bar.Offered(B::Sso), c.ssoShown);
    EXPECT_EQ(window->Button(B::Sso)->isVisible(), c.ssoShown);
    EXPECT_EQ(bar.Offered(B::Ht80211n), c.htOffered);
    EXPECT_EQ(window->Button(B::Ht80211n)->isEnabled(), c.htEnabled);
    // The buttons after a missing SSO button close up: CCX takes its slot.
    EXPECT_EQ(window->Button(B::CcxConfig)->x(),
              TabSlotX(c.ssoShown ? 7 : 6, true, L::kTabButtonWidth, L::kScrollSlotWidth));

    EXPECT_EQ(VisibleLabels(*window).size(), 8u);
    EXPECT_TRUE(window->ControlButton(IDC_SCROLL_LEFT)->isVisible());
    EXPECT_FALSE(window->ControlButton(IDC_SCROLL_LEFT)->isEnabled()) << "Profile is first";
    EXPECT_TRUE(window->ControlButton(IDC_SCROLL_RIGHT)->isEnabled());
  }
}

TEST_F(MainWindowTest, TwelveButtonsScrollToTheEndAndBack) {
  host.ssoInstalled = true;
  state.Adapter.htCapable = true;
  WriteIni("[Page]\r\n11n Setting=1\r\n");
  WriteManual();
  auto window = MakeWindow();
  BarButton* left = window->ControlButton(IDC_SCROLL_LEFT);
  BarButton* right = window->ControlButton(IDC_SCROLL_RIGHT);
  EXPECT_EQ(VisibleLabels(*window),
            (std::vector<std::string>{"IDS_TAB_PROFILE", "IDS_TAB_SITESURVEY", "IDS_TAB_ADVANCE",
                                      "IDS_TAB_STATISTICS", "IDS_TAB_WMM", "IDS_TAB_WPS",
                                      "IDS_TAB_SSO", "IDS_TAB_CCX_CONFIG"}));
  EXPECT_FALSE(window->Button(B::Ht80211n)->isVisible());
  EXPECT_TRUE(left->icon().isNull()) << "a disabled scroll button shows no bitmap";
  EXPECT_FALSE(right->icon().isNull());

  int clicks = 0;
  while (right->isEnabled() && clicks < 10) {
    right->click();
    ++clicks;
  }
  EXPECT_EQ(clicks, 4);
  EXPECT_TRUE(window->Button(B::Ht80211n)->isVisible());
  EXPECT_EQ(window->Button(B::Ht80211n)->x(),
            TabSlotX(7, true, L::kTabButtonWidth, L::kScrollSlotWidth));
  EXPECT_FALSE(window->Button(B::Profile)->isVisible());
  EXPECT_TRUE(left->isEnabled());
  EXPECT_EQ(VisibleLabels(*window).size(), 8u);

  while (left->isEnabled() && clicks > -10) {
    left->click();
    --clicks;
  }
  EXPECT_EQ(clicks, 0);
  EXPECT_TRUE(window->Button(B::Profile)->isVisible());
}

TEST_F(MainWindowTest, CaptionLessLayoutForASmallScreen) {
  struct Case {
    const char* name;
    bool small;
  } cases[] = {{"normal desktop", false}, {"desktop lower than 660", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    state.SmallScreen = c.small;
    state.Expanded = false;
    auto window = MakeWindow();
    EXPECT_EQ(window->windowFlags().testFlag(Qt::FramelessWindowHint), c.small);
    BarButton* closeX = window->ControlButton(IDC_CLOSE_X);
    EXPECT_EQ(closeX->isVisible(), c.small);
    EXPECT_EQ(closeX->toolTip().toStdString(), "IDS_MIN_WINDOW");
    // Bar buttons carry their label always, their bitmap only with a caption.
    BarButton* survey = window->Button(B::SiteSurvey);
    EXPECT_EQ(survey->text().toStdString(), "IDS_TAB_SITESURVEY");
    EXPECT_EQ(survey->icon().isNull(), c.small);
    EXPECT_EQ(window->ControlButton(IDC_SCROLL_RIGHT)->text().toStdString(), c.small ? "==>" : "");
    EXPECT_EQ(window->ControlButton(IDC_SCROLL_LEFT)->text().toStdString(), c.small ? "<==" : "");
    EXPECT_EQ(window->height(), c.small ? L::kLowerFrame.y() + 5
                                        : L::kMoreLess.y() + L::kMoreLess.height() + 2);
    EXPECT_EQ(window->Button(B::Profile)->y(), 0) << "the bar starts at the top of the body";

    // The close button hides, as everywhere.
    closeX->click();
    EXPECT_FALSE(window->isVisible());
  }
}

TEST_F(MainWindowTest, MoreAndLessFoldTheLowerFrame) {
  state.Expanded = false;
  auto window = MakeWindow();
  BarButton* moreLess = window->ControlButton(IDC_MORE_LESS);
  const int width = window->width();
  EXPECT_EQ(window->height(), window->CollapsedHeight());
  EXPECT_EQ(moreLess->toolTip().toStdString(), "IDS_BTN_MORE");

  moreLess->click();
  EXPECT_TRUE(state.Expanded);
  EXPECT_EQ(window->height(), L::kLowerFrame.y() + L::kLowerFrame.height());
  EXPECT_EQ(moreLess->toolTip().toStdString(), "IDS_BTN_LESS");
  EXPECT_TRUE(window->LowerPanel(LOWER_PANEL_LINK_STATUS)->isVisible());

  moreLess->click();
  EXPECT_FALSE(state.Expanded);
  EXPECT_EQ(window->height(), window->CollapsedHeight());
  EXPECT_EQ(window->width(), width);

  // As the monitor opens the window: marked expanded, toggled once, so it starts collapsed.
  state.Expanded = true;
  window->ToggleMoreLess();
  EXPECT_EQ(window->height(), window->CollapsedHeight());
  // Another part changed the flag: the monitor's timer brings the face in step.
  state.Expanded = true;
  window->SyncMoreLessButton();
  EXPECT_EQ(moreLess->toolTip().toStdString(), "IDS_BTN_LESS");
}

TEST_F(MainWindowTest, ClosingOnlyHidesAndTheSameWindowComesBack) {
  registry.RegisterPage(B::Profile, [](const PageContext&, QWidget* parent) {
    return new QLabel("profile page", parent);
  });
  auto window = MakeWindow();
  QPointer<QWidget> page = window->Page(B::Profile);
  ASSERT_TRUE(page);
  window->ShowPage(B::Statistics);

  struct Way {
    const char* name;
    std::function<void(COvUI2007Dlg&)> close;
  } ways[] = {
      {"system close", [](COvUI2007Dlg& w) { w.close(); }},
      {"Escape",
       [](COvUI2007Dlg& w) {
         QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
         QApplication::sendEvent(&w, &escape);
       }},
      {"close button", [](COvUI2007Dlg& w) { w.OnCommand(IDC_CLOSE_X); }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.name);
    window->show();
    way.close(*window);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(page) << "pages live on while the window is hidden";
    EXPECT_EQ(window->CurrentPage(), B::Statistics);
  }
}

TEST_F(MainWindowTest, TextsComeFromTheLanguageTable) {
  auto window = MakeWindow();
  EXPECT_EQ(window->windowTitle().toStdString(), "IDS_ORVANE_CONFIG_TITLE");
  for (const auto& entry : TabButtons()) {
    SCOPED_TRACE(entry.commandId);
    EXPECT_EQ(window->Button(entry.button)->text().toStdString(), LanguageKeyName(entry.label));
  }
  EXPECT_EQ(window->Button(B::Help)->text().toStdString(), "IDS_BTN_HELP");
}

TEST_F(MainWindowTest, PageButtonsShowTheirPagesAndEmptySlotsShowNothing) {
  int statisticsMade = 0;
  registry.RegisterPage(B::Profile, [](const PageContext&, QWidget* parent) {
    return new QLabel("profile", parent);
  });
  registry.RegisterPage(B::SiteSurvey, [](const PageContext& context, QWidget* parent) {
    auto* page = new QLabel("survey", parent);
    page->setProperty("window", QVariant::fromValue<QObject*>(&context.window));
    return page;
  });
  registry.RegisterPage(B::Statistics, [&](const PageContext&, QWidget* parent) {
    ++statisticsMade;
    return new QLabel("statistics", parent);
  });
  auto window = MakeWindow();
  ASSERT_TRUE(window->MakeAllPages());
  window->Page(B::Statistics);
  EXPECT_EQ(statisticsMade, 1);
  QWidget* profile = window->Page(B::Profile);
  QWidget* survey = window->Page(B::SiteSurvey);
  EXPECT_EQ(survey->property("window").value<QObject*>(), window.get());
  EXPECT_EQ(window->CurrentPage(), B::Profile);
  EXPECT_TRUE(profile->isVisible());
  EXPECT_TRUE(window->Button(B::Profile)->isChecked());
  EXPECT_EQ(profile->geometry(), QRect(QPoint(0, 0), window->PageArea().size()));

  window->Button(B::SiteSurvey)->click();
  EXPECT_TRUE(survey->isVisible());
  EXPECT_FALSE(profile->isVisible());
  EXPECT_TRUE(window->Button(B::SiteSurvey)->isChecked());
  EXPECT_FALSE(window->Button(B::Profile)->isChecked());

  window->Button(B::Advance)->click();  // no page registered for it
  EXPECT_EQ(window->CurrentPage(), B::Advance);
  EXPECT_EQ(window->Page(B::Advance), nullptr);
  EXPECT_FALSE(survey->isVisible());
  EXPECT_FALSE(profile->isVisible());
}

TEST_F(MainWindowTest, APageThatCannotBeMadeStopsTheConstruction) {
  int later = 0;
  registry.RegisterPage(B::Advance, [](const PageContext&, QWidget*) { return nullptr; });
  registry.RegisterPage(B::Statistics, [&](const PageContext&, QWidget* parent) {
    ++later;
    return new QWidget(parent);
  });
  auto window = MakeWindow();
  EXPECT_FALSE(window->MakeAllPages());
  EXPECT_FALSE(window->Initialised());
  EXPECT_EQ(later, 0);
  EXPECT_EQ(window->Page(B::Statistics), nullptr);
}

TEST_F(MainWindowTest, PagesAreMadeWhenFirstNeededAndTheRestOnceTheWindowIsUp) {
  std::vector<std::string> made;
  const auto page = [&](const char* name) {
    return [&made, name](const PageContext&, QWidget* parent) {
      made.emplace_back(name);
      return new QWidget(parent);
    };
  };
  registry.RegisterPage(B::Advance, page("advance"));
  registry.RegisterPage(B::Statistics, page("statistics"));
  registry.RegisterLowerPanel(LOWER_PANEL_AP_DETAIL, page("detail"));
  auto window = MakeWindow();
  EXPECT_TRUE(made.empty());

  window->Button(B::Statistics)->click();
  EXPECT_EQ(made, std::vector<std::string>{"statistics"});
  EXPECT_TRUE(window->Page(B::Statistics)->isVisible());

  // Once shown, the window makes the others in the event loop's idle turns, in the bar's order.
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  EXPECT_EQ(made, (std::vector<std::string>{"statistics", "advance", "detail"}));
  EXPECT_FALSE(window->Page(B::Advance)->isVisible());
  EXPECT_FALSE(window->LowerPanel(LOWER_PANEL_AP_DETAIL)->isVisible());
  EXPECT_TRUE(window->Initialised());
}

TEST_F(MainWindowTest, ATornDownWindowMakesNoMorePages) {
  int made = 0;
  const auto page = [&made](const PageContext&, QWidget* parent) {
    ++made;
    return new QWidget(parent);
  };
  registry.RegisterPage(B::Advance, page);
  registry.RegisterPage(B::Statistics, page);
  registry.RegisterLowerPanel(LOWER_PANEL_AP_DETAIL, page);
  auto window = MakeWindow();
  window->Button(B::Statistics)->click();
  ASSERT_EQ(made, 1);
  // The rest would be made in the next idle turns; the window is torn down first (the adapter
  // went away) and must not touch the registry again while it waits to be deleted.
  QPointer<COvUI2007Dlg> watched = window.get();
  window.release()->Teardown();
  for (int i = 0; i < 4; ++i) QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(made, 1);
  EXPECT_TRUE(watched.isNull());
}

TEST_F(MainWindowTest, LowerFrameShowsOnePanelAtATime) {
  registry.RegisterLowerPanel(LOWER_PANEL_AP_DETAIL, [](const PageContext&, QWidget* parent) {
    return new QLabel("AP details", parent);
  });
  state.Expanded = true;
  auto window = MakeWindow();
  QWidget* link = window->LowerPanel(LOWER_PANEL_LINK_STATUS);
  QWidget* detail = window->LowerPanel(LOWER_PANEL_AP_DETAIL);
  ASSERT_NE(link, nullptr);
  ASSERT_NE(detail, nullptr);
  EXPECT_EQ(link->objectName().toStdString(), "CLinkStatusDlg");
  EXPECT_EQ(link->geometry(), window->LowerFrame());
  EXPECT_TRUE(link->isVisible());
  EXPECT_EQ(state.LowerPanel, 0);

  struct Case {
    int panel;
    bool linkShown;
    bool detailShown;
  } cases[] = {{LOWER_PANEL_AP_DETAIL, false, true},
               {LOWER_PANEL_PROFILE_EDITOR, false, false},  // not built yet: nothing
               {7, false, false},
               {-1, false, false},
               {LOWER_PANEL_LINK_STATUS, true, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.panel);
    window->ShowLowerPanel(c.panel);
    EXPECT_EQ(state.LowerPanel, c.panel);
    EXPECT_EQ(link->isVisible(), c.linkShown);
    EXPECT_EQ(detail->isVisible(), c.detailShown);
  }
}

TEST_F(MainWindowTest, RadioCommandFlipsTheStateAndAsksTheMonitorToApplyIt) {
  state.RadioOn = true;
  host.radioParameterOn = false;  // the bar shows the parameter's state when it starts
  auto window = MakeWindow();
  BarButton* radio = window->Button(B::Radio);
  const QImage offFace = radio->icon().pixmap(16).toImage();

  radio->click();
  EXPECT_FALSE(state.RadioOn);
  radio->click();
  EXPECT_TRUE(state.RadioOn);
  EXPECT_EQ(host.radioSwitches, (std::vector<bool>{false, true}));
  EXPECT_NE(radio->icon().pixmap(16).toImage(), offFace) << "the face shows radio on again";
  EXPECT_FALSE(radio->isCheckable());
}

TEST_F(MainWindowTest, HelpOpensTheManualAndF1OnlyWhenItExists) {
  auto window = MakeWindow();
  const QUrl manual = QUrl::fromLocalFile(QString::fromStdString((dir.path() / kHelpFile).string()));
  QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);

  QApplication::sendEvent(window.get(), &f1);
  EXPECT_TRUE(host.openedUrls.empty()) << "F1 without the manual does nothing";
  window->Button(B::Help)->click();
  ASSERT_EQ(host.openedUrls.size(), 1u) << "the button asks even without it";
  EXPECT_EQ(host.openedUrls[0], manual);

  WriteManual();
  QApplication::sendEvent(window.get(), &f1);
  ASSERT_EQ(host.openedUrls.size(), 2u);
  EXPECT_EQ(host.openedUrls[1], manual);
}

TEST_F(MainWindowTest, WpsAndWmmButtonsFollowGenerationAndConnection) {
  struct Case {
    const char* name;
    bool firstGeneration;
    bool connected;
    bool wps;
    bool wmm;
  } cases[] = {
      {"first generation, connected", true, true, false, false},
      {"later chip, not connected", false, false, true, false},
      {"later chip, connected", false, true, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    state.Adapter.isFirstGeneration = c.firstGeneration;
    host.connected = c.connected;
    auto window = MakeWindow();
    window->UpdateWpsButton();
    window->UpdateWmmButton();
    EXPECT_EQ(window->Button(B::Wps)->isEnabled(), c.wps);
    EXPECT_EQ(window->Button(B::Wmm)->isEnabled(), c.wmm);
    // Scrolling lays the bar out again without re-enabling them.
    window->ControlButton(IDC_SCROLL_RIGHT)->click();
    EXPECT_EQ(window->Button(B::Wps)->isEnabled(), c.wps);
    EXPECT_EQ(window->Button(B::Wmm)->isEnabled(), c.wmm);
  }
}

TEST_F(MainWindowTest, The80211nPageGivesWayToTheSurveyWhenNoLongerOffered) {
  WriteIni("[Page]\r\n11n Setting=1\r\n");
  state.Adapter.htCapable = true;
  auto window = MakeWindow();
  window->ShowPage(B::Ht80211n);
  WriteIni("[Page]\r\n11n Setting=0\r\n");
  window->ControlButton(IDC_SCROLL_RIGHT)->click();
  EXPECT_FALSE(window->BarLayout().Offered(B::Ht80211n));
  EXPECT_EQ(window->CurrentPage(), B::SiteSurvey);
}

}  // namespace
}  // namespace ov
