#include "account/login.h"

#include <gtest/gtest.h>

#include <chrono>

#include "demo/demo_service.h"
#include "demo/http_server.h"
#include "support/fake_event_loop.h"

namespace dudivizo::account {
namespace {

using demo::Behaviour;
using demo::Endpoint;

class LoginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(service_.Start());
    context_.loop = &loop_;
    context_.serviceHost = service_.Host();
    context_.session = &session_;
    context_.busy = &busy_;
    context_.openMainWindow = [this] {
      openedOnUi_ = loop_.IsUiThread();
      ++opened_;
    };
  }

  // Runs the loop until the login has finished (or 20 s passed).
  void Finish() {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while ((busy_ || loop_.PendingCount() > 0) && std::chrono::steady_clock::now() < end) {
      loop_.WaitForPost(20);
      loop_.ProcessPending();
    }
    loop_.ProcessPending();
  }

  // Points the login at a server that answers every request with `body`.
  void AnswerWith(std::string body) {
    fixed_ =
        std::make_unique<demo::HttpServer>([body = std::move(body)](const demo::ServerRequest&) {
          demo::ServerResponse r;
          r.body = body;
          return r;
        });
    ASSERT_TRUE(fixed_->Start());
    context_.serviceHost = "127.0.0.1:" + std::to_string(fixed_->port());
  }

  bool Login(const std::string& user, const std::string& password) {
    return StartLogin(*window_, {user, password, false, false}, context_);
  }

  demo::DemoService service_;
  std::unique_ptr<demo::HttpServer> fixed_;
  ui::FakeEventLoop loop_;
  std::unique_ptr<ui::LoginWindow> window_ = std::make_unique<ui::LoginWindow>(loop_);
  Session session_;
  std::atomic<bool> busy_{false};
  LoginContext context_;
  int opened_ = 0;
  bool openedOnUi_ = false;
};

TEST_F(LoginTest, SuccessKeepsTheSessionAndOpensTheMainWindowOnTheUiThread) {
  ASSERT_TRUE(Login("张三", "a&b=c#d%e f"));
  Finish();
  EXPECT_EQ(opened_, 1);
  EXPECT_TRUE(openedOnUi_);
  EXPECT_EQ(session_.userName, "张三");
  EXPECT_EQ(session_.password, "a&b=c#d%e f");
  EXPECT_NE(session_.accountData.find(R"("expiretime":"2027-03-01 08:00:00")"), std::string::npos);
  EXPECT_EQ(window_->按钮_登录.text(), "登录中..");  // left as it is: the window goes away
  EXPECT_FALSE(window_->按钮_登录.enabled());
}

TEST_F(LoginTest, FailuresShowTheirTextAndReenableTheButton) {
  const struct {
    const char* user;
    Behaviour behaviour;
    const char* shown;
  } cases[] = {
      {"expired", {}, "登录错误:\"账号已到期，请续费后再登录\""},
      {"demo", {0, 200, true, false, false}, "数据错误"},   // HTML instead of JSON
      {"demo", {0, 200, false, true, false}, "数据错误"},   // empty body
      {"demo", {0, 500, false, false, false}, "登录成功"},  // the status is not looked at
  };
  for (const auto& c : cases) {
    service_.SetBehaviour(Endpoint::SignIn, c.behaviour);
    window_->标签_状态.SetText("");
    std::string password = std::string(c.user) == "expired" ? "expired" : "demo123";
    ASSERT_TRUE(Login(c.user, password));
    Finish();
    if (std::string(c.shown) == "登录成功") {
      EXPECT_EQ(opened_, 1);
      continue;
    }
    EXPECT_EQ(window_->标签_状态.text(), c.shown) << c.user;
    EXPECT_EQ(window_->按钮_登录.text(), "登录");
    EXPECT_TRUE(window_->按钮_登录.enabled());
  }
  EXPECT_EQ(session_.userName, "demo");  // only the success wrote it
}

TEST_F(LoginTest, DeadHostGivesDataError) {
  context_.serviceHost = "127.0.0.1:1";
  ASSERT_TRUE(Login("demo", "demo123"));
  Finish();
  EXPECT_EQ(window_->标签_状态.text(), "数据错误");
  EXPECT_EQ(opened_, 0);
}

TEST_F(LoginTest, ATriggerWhileALoginRunsIsIgnored) {
  Behaviour slow;
  slow.delayMs = 500;
  service_.SetBehaviour(Endpoint::SignIn, slow);
  ASSERT_TRUE(Login("demo", "demo123"));
  EXPECT_FALSE(Login("demo", "demo123"));
  Finish();
  EXPECT_EQ(opened_, 1);
  EXPECT_EQ(service_.RequestCount(Endpoint::SignIn), 1);
  EXPECT_TRUE(Login("demo", "demo123"));  // free again afterwards
  Finish();
  EXPECT_EQ(opened_, 2);
}

TEST_F(LoginTest, MissingDataSignsInWithEmptyAccountData) {
  AnswerWith(R"({"code":100})");
  ASSERT_TRUE(Login("x", "y"));
  Finish();
  EXPECT_EQ(opened_, 1);
  EXPECT_EQ(session_.accountData, "");
}

TEST_F(LoginTest, EnormousBodyIsADataError) {
  AnswerWith("{\"code\":100,\"data\":\"" + std::string(50u << 20, 'x'));  // never closed
  ASSERT_TRUE(Login("demo", "demo123"));
  Finish();
  EXPECT_EQ(window_->标签_状态.text(), "数据错误");
  EXPECT_EQ(opened_, 0);
}

TEST_F(LoginTest, ClosingTheWindowDuringALoginDropsItsWrites) {
  Behaviour slow;
  slow.delayMs = 300;
  service_.SetBehaviour(Endpoint::SignIn, slow);
  ASSERT_TRUE(Login("expired", "expired"));
  window_.reset();
  Finish();
  EXPECT_FALSE(busy_);
  EXPECT_EQ(opened_, 0);
}

}  // namespace
}  // namespace dudivizo::account
