#include "settings/software_settings.h"

#include <gtest/gtest.h>

#include "platform/gbk.h"
#include "support/fake_event_loop.h"
#include "support/temp_dir.h"

namespace dudivizo::settings {
namespace {

TEST(SoftwareSettings, SavedInTheirOrderAsOneAndZero) {
  testing::TempDir dir;
  ui::FakeEventLoop loop;
  ui::MainWindow w(loop);
  w.选择框_自启动.SetChecked(true);
  w.选择框_掉线自动重连.SetChecked(true);
  w.编辑框_重连.SetText(" 120");
  ASSERT_TRUE(SaveSoftwareSettings(w, dir.path()));
  EXPECT_EQ(dir.Read("pz.ini"),
            platform::Utf8ToGbk("[软件设置]\r\n自启动=1\r\n定时重连=0\r\n自动最小化=0\r\n"
                                "掉线自动重连=1\r\n异常掉线禁止网卡=0\r\n重连= 120\r\n"));
}

TEST(SoftwareSettings, OnlyTheTextOneChecksABox) {
  testing::TempDir dir;
  dir.Write("pz.ini",
            platform::Utf8ToGbk("[软件设置]\r\n自启动=1\r\n定时重连=2\r\n自动最小化=true\r\n"
                                "掉线自动重连= 1 \r\n重连=300\r\n"));
  ui::FakeEventLoop loop;
  ui::MainWindow w(loop);
  w.选择框_异常掉线禁止网卡.SetChecked(true);
  LoadSoftwareSettings(w, dir.path());
  EXPECT_TRUE(w.选择框_自启动.checked());
  EXPECT_FALSE(w.选择框_定时重连.checked());
  EXPECT_FALSE(w.选择框_自动最小化.checked());
  EXPECT_TRUE(w.选择框_掉线自动重连.checked());       // values are trimmed, as profile values are
  EXPECT_FALSE(w.选择框_异常掉线禁止网卡.checked());  // a missing key reads as "0"
  EXPECT_EQ(w.编辑框_重连.text(), "300");
}

}  // namespace
}  // namespace dudivizo::settings
