#include "account/credentials.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/gbk.h"
#include "platform/profile.h"
#include "support/fake_event_loop.h"
#include "support/temp_dir.h"

namespace dudivizo::account {
namespace {

using dudivizo::testing::TempDir;

TEST(Credentials, WriteFollowsTheRememberRules) {
  const struct {
    bool remember, autoLogin;
    const char* password;
    const char* mimi;
    const char* jizu;
    const char* zidong;
  } cases[] = {
      {false, true, "pw", "", "0", "0"},  // not remembered: nothing kept, even with auto login
      {true, true, "", "", "0", "0"},     // remembered but empty
      {true, false, "pw", "pw", "1", "0"},
      {true, true, "p w", "p w", "1", "1"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    LoginInputs in{"demo", c.password, c.remember, c.autoLogin};
    ASSERT_TRUE(WriteCredentials(dir.path(), in));
    std::string file = dir.File("APP.INI");
    EXPECT_EQ(platform::ReadProfileText(file, "YongHu", "DangQian"), "demo");
    EXPECT_EQ(platform::ReadProfileText(file, "demo", "MiMi", "x"), c.mimi);
    EXPECT_EQ(platform::ReadProfileText(file, "demo", "JiZu"), c.jizu);
    EXPECT_EQ(platform::ReadProfileText(file, "demo", "ZiDong"), c.zidong);
  }
}

TEST(Credentials, FileIsReadableByItsOwnerOnly) {
  TempDir dir;
  dir.Write("APP.INI", "[YongHu]\r\nDangQian=old\r\n");
  ASSERT_EQ(::chmod(dir.File("APP.INI").c_str(), 0644), 0);
  ASSERT_TRUE(WriteCredentials(dir.path(), {"demo", "secret", true, false}));
  struct stat st {};
  ASSERT_EQ(::stat(dir.File("APP.INI").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(Credentials, ReadShowsTheAccountWithoutSpacesButUsesItsSection) {
  TempDir dir;
  dir.Write("APP.INI",
            platform::Utf8ToGbk("[YongHu]\r\nDangQian=ab c　d\r\n[ab c　d]\r\nMiMi=密码1\r\n"
                                "JiZu=1\r\nZiDong=１\r\n[abcd]\r\nMiMi=wrong\r\n"));
  StoredCredentials c = ReadCredentials(dir.path());
  EXPECT_EQ(c.account, "abcd");
  EXPECT_EQ(c.password, "密码1");
  EXPECT_TRUE(c.rememberPassword);
  EXPECT_TRUE(c.autoLogin);  // full-width digits count
}

TEST(Credentials, MissingOrGarbageFileGivesDefaults) {
  TempDir dir;
  StoredCredentials none = ReadCredentials(dir.path());
  EXPECT_EQ(none.account, "");
  EXPECT_FALSE(none.rememberPassword);
  std::string garbage(5000, '\xFF');
  garbage += "\0[YongHu\n=\n";
  dir.Write("APP.INI", garbage);
  StoredCredentials bad = ReadCredentials(dir.path());
  EXPECT_EQ(bad.password, "");
  EXPECT_FALSE(bad.autoLogin);
}

class LoginWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BindLoginWindow(window_, inputs_, [this] { ++logins_; });
  }
  ui::FakeEventLoop loop_;
  ui::LoginWindow window_{loop_};
  LoginInputs inputs_;
  int logins_ = 0;
};

TEST_F(LoginWindowTest, LoadFillsBoxesAndInputs) {
  TempDir dir;
  ASSERT_TRUE(WriteCredentials(dir.path(), {"vip", "vip888", true, true}));
  LoadCredentials(window_, inputs_, dir.path());
  EXPECT_EQ(window_.编辑框_账号.text(), "vip");
  EXPECT_EQ(window_.编辑框_密码.text(), "vip888");
  EXPECT_TRUE(window_.编辑框_密码.masked());
  EXPECT_TRUE(window_.选择框_记住密码.checked());
  EXPECT_TRUE(window_.选择框_自动登录.checked());
  EXPECT_EQ(inputs_.typedAccount, "vip");
  EXPECT_EQ(inputs_.typedPassword, "vip888");
  EXPECT_TRUE(inputs_.rememberPassword && inputs_.autoLogin);
}

TEST_F(LoginWindowTest, PlaceholdersFollowTheFocus) {
  ui::EditBox& account = window_.编辑框_账号;
  ui::EditBox& password = window_.编辑框_密码;
  window_.SetFocus(&account);
  window_.SetFocus(&password);  // the empty account box gets its placeholder
  EXPECT_EQ(account.text(), kAccountPlaceholder);
  EXPECT_EQ(inputs_.typedAccount, kAccountPlaceholder);
  window_.SetFocus(&account);
  EXPECT_EQ(password.text(), kPasswordPlaceholder);
  EXPECT_FALSE(password.masked());
  EXPECT_EQ(inputs_.typedPassword, kPasswordPlaceholder);  // the mirror follows code too
  EXPECT_EQ(account.text(), "");
  window_.SetFocus(&password);
  EXPECT_EQ(password.text(), "");
  EXPECT_TRUE(password.masked());
  password.UserType("pw");
  window_.SetFocus(&account);
  EXPECT_EQ(password.text(), "pw");  // a real password stays
  EXPECT_EQ(inputs_.typedPassword, "pw");
}

TEST_F(LoginWindowTest, TabMovesBetweenTheBoxesAndEnterLogsInFromThePassword) {
  window_.SetFocus(&window_.编辑框_账号);
  EXPECT_TRUE(window_.编辑框_账号.UserKey(ui::EditBox::kKeyTab));
  EXPECT_EQ(window_.focus(), &window_.编辑框_密码);
  EXPECT_TRUE(window_.编辑框_密码.UserKey(ui::EditBox::kKeyTab));
  EXPECT_EQ(window_.focus(), &window_.编辑框_账号);
  EXPECT_FALSE(window_.编辑框_账号.UserKey(ui::EditBox::kKeyEnter));
  EXPECT_EQ(logins_, 0);
  window_.编辑框_密码.UserKey(ui::EditBox::kKeyEnter);
  window_.按钮_登录.UserClick();
  EXPECT_EQ(logins_, 2);
  window_.选择框_记住密码.UserClick();
  window_.选择框_自动登录.UserClick();
  EXPECT_TRUE(inputs_.rememberPassword && inputs_.autoLogin);
}

}  // namespace
}  // namespace dudivizo::account
