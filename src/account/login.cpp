#include "account/login.h"

#include <cmath>

#include "platform/gbk.h"
#include "platform/process.h"
#include "service/endpoints.h"
#include "service/http_request.h"
#include "service/json_document.h"

namespace dudivizo::account {
namespace {

void RunLogin(std::weak_ptr<bool> alive, ui::LoginWindow* window, LoginInputs inputs,
              LoginContext context) {
  // Every write to the window goes through the loop and is dropped once the
  // window is gone.
  auto onWindow = [&](std::function<void(ui::LoginWindow&)> change) {
    context.loop->PostFor(alive, [window, change = std::move(change)] { change(*window); });
  };
  onWindow([](ui::LoginWindow& w) {
    w.按钮_登录.SetText("登录中..");
    w.按钮_登录.SetEnabled(false);
  });

  std::string url =
      service::SignInUrl(context.serviceHost, inputs.typedAccount, inputs.typedPassword);
  std::string body = platform::GbkToUtf8(service::HttpRequest(url));
  service::JsonDocument answer;
  std::string message;
  if (!answer.parse(body)) {
    message = "数据错误";
  } else {
    double code = std::trunc(answer.getReal("code"));
    std::string msg = answer.getJson("msg");
    if (code == 100) {
      *context.session = Session{inputs.typedAccount, inputs.typedPassword, answer.getJson("data")};
      context.loop->PostAndWait([&] {
        auto flag = alive.lock();
        if (flag && *flag && context.openMainWindow) context.openMainWindow();
      });
      context.busy->store(false);
      return;
    }
    message = "登录错误:" + msg;
  }
  onWindow([message](ui::LoginWindow& w) {
    w.按钮_登录.SetText("登录");
    w.按钮_登录.SetEnabled(true);
    w.标签_状态.SetText(message);
  });
  context.busy->store(false);
}

}  // namespace

bool StartLogin(ui::LoginWindow& window, const LoginInputs& inputs, const LoginContext& context) {
  if (context.busy->exchange(true)) return false;
  bool started = platform::StartThread([alive = window.token().Watch(), w = &window, inputs,
                                        context] { RunLogin(alive, w, inputs, context); });
  if (!started) context.busy->store(false);
  return started;
}

}  // namespace dudivizo::account
