#include "service/endpoints.h"

#include <gtest/gtest.h>

#include <set>

#include "demo/demo_service.h"
#include "platform/gbk.h"
#include "platform/profile.h"
#include "service/http_request.h"
#include "service/json_document.h"
#include "support/temp_dir.h"

namespace dudivizo::service {
namespace {

using demo::Behaviour;
using demo::DemoService;
using demo::Endpoint;

TEST(Endpoints, ServiceHostFromServiceIniOrDefault) {
  dudivizo::testing::TempDir dir;
  EXPECT_EQ(ServiceHost(dir.path()), kDefaultServiceHost);
  ASSERT_TRUE(
      platform::WriteProfileText(dir.File("service.ini"), "service", "host", " vpn.example:8080 "));
  EXPECT_EQ(ServiceHost(dir.path()), "vpn.example:8080");
  EXPECT_EQ(NodeListUrl("h:1"), "http://h:1/serverlistpc_rare/");
  EXPECT_EQ(IpInfoUrl("h:1"), "http://h:1/ipinfohtml/");
}

TEST(Endpoints, SignInUrlEncodesEachValueOnce) {
  const struct {
    const char* account;
    const char* password;
    const char* query;
  } cases[] = {
      {"demo", "demo123", "user=demo&password=demo123"},
      {"a&b=c", "p#q r", "user=a%26b%3Dc&password=p%23q%20r"},
      {"xP%y", "secret", "user=xP%25y&password=secret"},  // "P%" in an account stays itself
      {"U%", "P%", "user=U%25&password=P%25"},
      {"张三", "", "user=%D5%C5%C8%FD&password="},  // from the GBK bytes
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SignInUrl("h", c.account, c.password),
              std::string("http://h/userinfo/?type=vidir&") + c.query);
  }
}

class DemoServiceTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(service_.Start()); }

  JsonDocument SignIn(const std::string& user, const std::string& password) {
    JsonDocument doc;
    doc.parse(platform::GbkToUtf8(HttpRequest(SignInUrl(service_.Host(), user, password))));
    return doc;
  }

  DemoService service_;
};

TEST_F(DemoServiceTest, SignInAcceptsDemoAccountsAndRefusesWithAReason) {
  JsonDocument ok = SignIn("demo", "demo123");
  EXPECT_EQ(ok.getReal("code"), 100);
  EXPECT_EQ(ok.getJson("data.expiretime"), "\"2027-12-31 23:59:59\"");
  // Characters that would break an unencoded query arrive intact.
  EXPECT_EQ(SignIn("张三", "a&b=c#d%e f").getReal("code"), 100);
  JsonDocument refused = SignIn("expired", "expired");
  EXPECT_EQ(refused.getInt("code"), 101);
  EXPECT_EQ(refused.getText("msg"), "账号已到期，请续费后再登录");
  EXPECT_EQ(SignIn("demo", "wrong").getInt("code"), 102);
  EXPECT_EQ(service_.RequestCount(Endpoint::SignIn), 4);
}

TEST_F(DemoServiceTest, NodeListCoversEveryProvinceAndOperatorInGbk) {
  HttpOutputs out;
  std::string body = HttpRequest(NodeListUrl(service_.Host()), {}, &out);
  ASSERT_EQ(out.status, 200);
  EXPECT_NE(body.find(platform::Utf8ToGbk("广东省")), std::string::npos);  // GBK on the wire
  JsonDocument doc;
  ASSERT_TRUE(doc.parse(platform::GbkToUtf8(body)));
  EXPECT_EQ(doc.getReal("code"), 200);
  int n = doc.count("data");
  EXPECT_GE(n, 300);
  std::set<std::string> provinces, isps, kinds;
  int abandoned = 0, faulty = 0;
  for (int i = 0; i < n; ++i) {
    std::string prefix = "data[" + std::to_string(i) + "].";
    provinces.insert(doc.getText(prefix + "province"));
    isps.insert(doc.getText(prefix + "isp"));
    EXPECT_FALSE(doc.getText(prefix + "city").empty());
    EXPECT_FALSE(doc.getText(prefix + "domain").empty());
    EXPECT_GT(doc.getInt64(prefix + "update_time"), 0);
    kinds.insert(std::to_string(doc.typeOf(prefix + "update_time")));
    int status = doc.getInt(prefix + "status");
    abandoned += status == -1;
    faulty += status != 0 && status != -1;
  }
  EXPECT_EQ(provinces.size(), 31u);
  EXPECT_EQ(isps, (std::set<std::string>{"电信", "联通", "移动"}));
  EXPECT_EQ(kinds.size(), 2u);  // numbers and numeric texts
  EXPECT_GT(abandoned, 0);
  EXPECT_GT(faulty, 0);
}

TEST_F(DemoServiceTest, IpInfoIsUtf8WithAddressAndLocation) {
  std::string body = HttpRequest(IpInfoUrl(service_.Host()));
  EXPECT_NE(body.find("<ip>127.0.0.1</ip>"), std::string::npos);
  service_.SetPublicAddress("58.60.1.2", "中国-广东-深圳");
  body = HttpRequest(IpInfoUrl(service_.Host()));
  EXPECT_NE(body.find("<ip>58.60.1.2</ip>"), std::string::npos);
  EXPECT_NE(body.find("<pos>中国-广东-深圳</pos>"), std::string::npos);
}

TEST_F(DemoServiceTest, SwitchesForFailures) {
  HttpOutputs out;
  Behaviour failing;
  failing.status = 503;
  service_.SetBehaviour(Endpoint::NodeList, failing);
  HttpRequest(NodeListUrl(service_.Host()), {}, &out);
  EXPECT_EQ(out.status, 503);

  Behaviour malformed;
  malformed.malformed = true;
  service_.SetBehaviour(Endpoint::NodeList, malformed);
  JsonDocument doc;
  EXPECT_FALSE(doc.parse(HttpRequest(NodeListUrl(service_.Host()))));

  Behaviour empty;
  empty.empty = true;
  service_.SetBehaviour(Endpoint::SignIn, empty);
  EXPECT_EQ(HttpRequest(SignInUrl(service_.Host(), "demo", "demo123"), {}, &out), "");
  EXPECT_EQ(out.status, 200);

  Behaviour slow;
  slow.delayMs = 300;
  service_.SetBehaviour(Endpoint::IpInfo, slow);
  HttpOptions quick;
  quick.timeoutSeconds = 2;
  EXPECT_NE(HttpRequest(IpInfoUrl(service_.Host()), quick).find("<ip>"), std::string::npos);
  slow.delayMs = 4000;
  service_.SetBehaviour(Endpoint::IpInfo, slow);
  quick.timeoutSeconds = 1;
  EXPECT_EQ(HttpRequest(IpInfoUrl(service_.Host()), quick, &out), "");
  EXPECT_EQ(out.status, 0);
}

}  // namespace
}  // namespace dudivizo::service
