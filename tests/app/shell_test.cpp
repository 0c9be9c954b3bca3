#include "app/shell.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "demo/demo_service.h"
#include "platform/profile.h"
#include "support/fake_event_loop.h"
#include "support/temp_dir.h"

namespace dudivizo::app {
namespace {

// Records which windows are shown; the views themselves are not needed.
class RecordingViews : public ui::ViewHost {
 public:
  void Show(ui::Window& w) override { visible.insert(&w); }
  void Hide(ui::Window& w) override { visible.erase(&w); }
  void Remove(ui::Window& w) override { visible.erase(&w); }
  bool IsVisible(const ui::Window& w) const override { return visible.count(&w) > 0; }
  void ShowOver(ui::Window& w, ui::Window&, int dx, int dy) override {
    visible.insert(&w);
    offset = {dx, dy};
  }
  void Popup(ui::Window&, ui::Menu& m) override { popups.push_back(&m); }
  std::set<const ui::Window*> visible;
  std::vector<const ui::Menu*> popups;
  std::pair<int, int> offset;
};

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(service_.Start());
    app_.runDirectory = dir_.path();
    app_.serviceHost = service_.Host();
    app_.dataDirectory = dir_.path();
    shell_.writeSoftwareSettings = [this, write = shell_.writeSoftwareSettings] {
      ++settingsWrites_;
      write();
    };
  }

  void AutoLoginFile() {
    dir_.Write("APP.INI",
               "[YongHu]\r\nDangQian=demo\r\n[demo]\r\nMiMi=demo123\r\nJiZu=1\r\nZiDong=1\r\n");
  }

  // Runs the loop until `done` or 20 s.
  void RunUntil(const std::function<bool()>& done) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done() && std::chrono::steady_clock::now() < end) {
      loop_.WaitForPost(20);
      loop_.ProcessPending();
    }
  }

  void SignInAutomatically() {
    AutoLoginFile();
    shell_.Start();
    RunUntil([this] { return shell_.main() != nullptr && shell_.login() == nullptr; });
    ASSERT_NE(shell_.main(), nullptr);
    loop_.ProcessPending();
  }

  testing::TempDir dir_;
  demo::DemoService service_;
  ui::FakeEventLoop loop_;
  RecordingViews views_;
  App app_;
  Shell shell_{app_, loop_, views_};
  int settingsWrites_ = 0;
};

TEST_F(ShellTest, AutomaticLoginOpensTheMainWindowWithTheAccount) {
  SignInAutomatically();
  EXPECT_EQ(shell_.main()->标签_用户名.text(), "demo");
  EXPECT_EQ(shell_.main()->标签_到期时间.text(), "2027-12-31 23:59:59到期");
  EXPECT_TRUE(views_.IsVisible(*shell_.main()));
  EXPECT_EQ(views_.visible.size(), 1u);  // the sign-in window is gone
  EXPECT_EQ(app_.session.userName, "demo");
}

TEST_F(ShellTest, MinimiseHidesTheMainWindow) {
  SignInAutomatically();
  shell_.main()->按钮_最小化.UserClick();
  EXPECT_FALSE(views_.IsVisible(*shell_.main()));
  EXPECT_TRUE(shell_.HasWindows());
}

TEST_F(ShellTest, ExitAsksFirstAndWritesSettingsEvenWhenCancelled) {
  SignInAutomatically();
  shell_.main()->选择框_自动最小化.SetChecked(true);
  shell_.main()->按钮_关闭.UserClick();
  ASSERT_NE(shell_.confirm(), nullptr);
  EXPECT_EQ(settingsWrites_, 1);
  EXPECT_EQ(platform::ReadProfileText(dir_.File("pz.ini"), "软件设置", "自动最小化"), "1");
  EXPECT_EQ(shell_.confirm()->标签_温馨提示.text(), "是否确定退出程序？");
  EXPECT_EQ(views_.offset, (std::pair<int, int>{330, 150}));
  shell_.confirm()->按钮_取消.UserClick();
  loop_.ProcessPending();
  EXPECT_EQ(shell_.confirm(), nullptr);
  EXPECT_NE(shell_.main(), nullptr);

  shell_.main()->按钮_关闭.UserClick();
  EXPECT_EQ(settingsWrites_, 2);
  shell_.confirm()->按钮_确定.UserClick();
  loop_.ProcessPending();
  EXPECT_FALSE(shell_.HasWindows());  // the program ends
}

TEST_F(ShellTest, LogoutReopensTheSignInWindowWithoutAutomaticLogin) {
  SignInAutomatically();
  shell_.main()->按钮_注销.UserClick();
  EXPECT_EQ(settingsWrites_, 0);  // logout does not write the settings
  EXPECT_EQ(shell_.confirm()->标签_温馨提示.text(), "是否确定注销？");
  shell_.confirm()->按钮_确定.UserClick();
  loop_.ProcessPending();
  ASSERT_NE(shell_.login(), nullptr);
  EXPECT_EQ(shell_.main(), nullptr);
  EXPECT_TRUE(app_.returnedFromLogout);
  EXPECT_EQ(shell_.login()->编辑框_账号.text(), "demo");
  EXPECT_TRUE(shell_.login()->选择框_自动登录.checked());
  loop_.Pause(300);
  EXPECT_EQ(service_.RequestCount(demo::Endpoint::SignIn), 1);  // no second automatic login
}

TEST_F(ShellTest, ClosingTheSignInWindowWritesAppIniAndEnds) {
  shell_.Start();
  ui::LoginWindow& w = *shell_.login();
  w.编辑框_账号.UserType("vip");
  w.编辑框_密码.UserType("vip888");
  w.选择框_记住密码.UserClick();
  w.按钮_关闭.UserClick();
  loop_.ProcessPending();
  EXPECT_FALSE(shell_.HasWindows());
  EXPECT_EQ(platform::ReadProfileText(dir_.File("APP.INI"), "YongHu", "DangQian"), "vip");
  EXPECT_EQ(platform::ReadProfileText(dir_.File("APP.INI"), "vip", "MiMi"), "vip888");
}

TEST_F(ShellTest, GuardThatFindsAnotherCopyEndsBeforeAnyLogin) {
  AutoLoginFile();
  shell_.instanceGuard = [] { return false; };
  shell_.Start();
  loop_.ProcessPending();
  loop_.Pause(200);
  EXPECT_FALSE(shell_.HasWindows());
  EXPECT_EQ(service_.RequestCount(demo::Endpoint::SignIn), 0);
  EXPECT_TRUE(views_.visible.empty());
  // The copy ends as if killed: APP.INI stays as it was.
  EXPECT_EQ(dir_.Read("APP.INI"),
            "[YongHu]\r\nDangQian=demo\r\n[demo]\r\nMiMi=demo123\r\nJiZu=1\r\nZiDong=1\r\n");
}

}  // namespace
}  // namespace dudivizo::app
