#include "app/shell.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "catalogue/node_files.h"
#include "catalogue/selection.h"
#include "demo/demo_service.h"
#include "platform/gbk.h"
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

  // Workers still talking to the service must be done before the state goes.
  ~ShellTest() override {
    RunUntil([this] { return !app_.downloadBusy && !app_.loginBusy; });
  }

  // Waits until the service has answered `count` node list requests and the
  // last download is merged.
  void WaitForDownloads(int count) {
    RunUntil([this, count] {
      return service_.RequestCount(demo::Endpoint::NodeList) >= count && !app_.downloadBusy;
    });
    loop_.ProcessPending();
  }

  // Two nodes of the account's node list file: 深圳 (one the service lists)
  // a favourite with a latency, 杭州 a node the service no longer lists.
  void NodeFileOfTwo() {
    dir_.Write(
        "demo_JieDianLieBiao.BIN",
        platform::Utf8ToGbk(
            R"({"msg":"成功","code":200,"data":[{"province":"广东省","city":"深圳",)"
            R"("domain":"GD-SZ-DX1.vpn.dudivizo.test","isp":"电信","url":"","update_time":"1",)"
            R"("status":"0","YanChi":"35","ShouCang":"1"},{"province":"浙江省",)"
            R"("city":"杭州","domain":"old.zj","isp":"移动","url":"","update_time":"2",)"
            R"("status":"0","YanChi":"0","ShouCang":"0"}]})"));
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

TEST_F(ShellTest, MainWindowStartsFromTheFilesAndShowsTheDownloadAfterRefresh) {
  NodeFileOfTwo();
  dir_.Write("demo_DangQian.bin",
             R"({"data":{"domain":"X"},"PenZhi":{"MuoShi":3,"CL_JianGe":60}})");
  platform::WriteProfileText(dir_.File("pz.ini"), "当前选中节点", "省份", "上海");
  platform::WriteProfileText(dir_.File("pz.ini"), "当前选中节点", "城市", "浦东");
  service_.SetBehaviour(demo::Endpoint::NodeList, {.delayMs = 400});
  SignInAutomatically();
  ui::MainWindow& w = *shell_.main();
  // After the pause the list holds the file's nodes only: the download is slower.
  ASSERT_EQ(w.超级列表框EX1.rows().size(), 4u);
  EXPECT_EQ(w.超级列表框EX1.rows()[1].cells[1].text, "深圳");
  EXPECT_EQ(w.组合框_选择区域.items().size(), 4u);  // 收藏线路, 全部线路, 广东, 浙江
  EXPECT_TRUE(w.单选框_L2TP.checked());
  EXPECT_EQ(app_.state.reconnect.CL_JianGe, 60);
  EXPECT_EQ(w.标签_当前IP.text(), "当前IP：未连接");
  EXPECT_EQ(w.标签_已选线路.text(), "已选线路：上海 | 浦东");
  EXPECT_EQ(app_.state.current.domain, "x");
  EXPECT_EQ(app_.selectedItem, 0);

  WaitForDownloads(1);
  EXPECT_EQ(service_.RequestCount(demo::Endpoint::NodeList), 1);  // the refresh started none
  EXPECT_EQ(w.标签_状态1.text(), " | 更新节点 已完成");
  EXPECT_EQ(w.超级列表框EX1.rows().size(), 4u);  // a finished download refills nothing
  w._右键菜单.UserChoose(catalogue::kMenuRefresh);
  EXPECT_GT(w.超级列表框EX1.rows().size(), 300u);
  WaitForDownloads(2);
}

TEST_F(ShellTest, ExitWritesTheAccountsFilesWithFavourites) {
  NodeFileOfTwo();
  SignInAutomatically();
  WaitForDownloads(1);
  ui::MainWindow& w = *shell_.main();
  w._右键菜单.UserChoose(catalogue::kMenuRefresh);
  WaitForDownloads(2);
  // The file's node keeps its place at the head of its province; the
  // service's next node becomes a favourite too.
  w.超级列表框EX1.UserClick(1);
  EXPECT_EQ(app_.selectedNode.domain, "gd-sz-dx1.vpn.dudivizo.test");
  w.超级列表框EX1.UserClick(2);
  const std::string second = app_.selectedNode.domain;
  w._右键菜单.UserChoose(catalogue::kMenuAddFavourite);
  app_.state.current.linkState = 2;
  shell_.Terminate();
  loop_.ProcessPending();
  EXPECT_FALSE(shell_.HasWindows());
  EXPECT_EQ(app_.state.current.linkState, 4);

  catalogue::NodeCatalogue reread;
  catalogue::LoadNodeFile(reread, catalogue::NodeListPath(dir_.path(), "demo"));
  ASSERT_FALSE(reread.groups.empty());
  const auto& gd = reread.groups[0].nodes;
  ASSERT_GE(gd.size(), 2u);
  EXPECT_EQ(reread.groups[0].name, "广东省");
  EXPECT_EQ(gd[0].domain, "gd-sz-dx1.vpn.dudivizo.test");
  EXPECT_EQ(gd[0].ShouCang, 1);
  EXPECT_EQ(gd[0].YanChi, 35);
  EXPECT_EQ(gd[1].domain, second);
  EXPECT_EQ(gd[1].ShouCang, 1);
  // 杭州 vanished from the service's list: abandoned, so not written.
  for (const auto& g : reread.groups) {
    for (const auto& n : g.nodes) EXPECT_NE(n.domain, "old.zj");
  }
  EXPECT_TRUE(dir_.Read("demo_DangQian.bin").starts_with(R"({"msg":)"));
}

TEST_F(ShellTest, ClosingDuringTheStartUpPauseEndsCleanly) {
  NodeFileOfTwo();
  // The fake clock moves only inside the main window's one-second pause.
  loop_.StartTimer(500, [this] { shell_.Terminate(); });
  AutoLoginFile();
  shell_.Start();
  RunUntil([this] { return !shell_.HasWindows() && !app_.loginBusy; });
  EXPECT_EQ(shell_.main(), nullptr);
  EXPECT_FALSE(shell_.HasWindows());
  EXPECT_TRUE(dir_.Read("demo_JieDianLieBiao.BIN").find(platform::Utf8ToGbk("杭州")) !=
              std::string::npos);
}

}  // namespace
}  // namespace dudivizo::app
