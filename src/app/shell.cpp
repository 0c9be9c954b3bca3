#include "app/shell.h"

#include "platform/process.h"
#include "platform/text.h"
#include "service/json_document.h"
#include "settings/software_settings.h"

namespace dudivizo::app {

Shell::Shell(App& app, ui::EventLoop& loop, ui::ViewHost& views)
    : app_(app), loop_(loop), views_(views) {
  writeSoftwareSettings = [this] {
    if (main_) settings::SaveSoftwareSettings(*main_, app_.dataDirectory);
  };
}

Shell::~Shell() {
  // Windows still open at the end are closed the regular way.
  if (login_) DestroyLogin();
  confirm_.reset();
  if (main_) DestroyMain();
}

void Shell::Start() { OpenLogin(); }

bool Shell::HasWindows() const { return login_ || main_ || confirm_ || pendingDestroys_ > 0; }

template <typename W>
void Shell::DestroyLater(std::unique_ptr<W>& window) {
  if (!window) return;
  views_.Hide(*window);
  ++pendingDestroys_;
  std::shared_ptr<W> doomed(window.release());
  loop_.Post([this, doomed] {
    views_.Remove(*doomed);
    --pendingDestroys_;
  });
}

void Shell::OpenLogin() {
  login_ = std::make_unique<ui::LoginWindow>(loop_);
  ui::LoginWindow& w = *login_;
  account::BindLoginWindow(w, app_.inputs, [this] { StartLogin(); });
  w.按钮_关闭.onClick = [this] { DestroyLogin(); };
  account::LoadCredentials(w, app_.inputs, app_.runDirectory);
  if (!app_.returnedFromLogout && instanceGuard && !instanceGuard()) {
    // Another copy runs: this one ends at once, as if killed, writing nothing.
    login_.reset();
    return;
  }
  views_.Show(w);
  if (!app_.returnedFromLogout && app_.inputs.autoLogin) StartLogin();
}

void Shell::StartLogin() {
  if (!login_) return;
  account::LoginContext context;
  context.loop = &loop_;
  context.serviceHost = app_.serviceHost;
  context.session = &app_.session;
  context.busy = &app_.loginBusy;
  context.openMainWindow = [this] { OpenMain(); };
  account::StartLogin(*login_, app_.inputs, context);
}

void Shell::DestroyLogin() {
  if (!login_) return;
  account::WriteCredentials(app_.runDirectory, app_.inputs);
  DestroyLater(login_);
}

void Shell::OpenMain() {
  main_ = std::make_unique<ui::MainWindow>(loop_);
  DestroyLogin();  // the first thing the main window does
  if (app_.dataDirectory.empty()) app_.dataDirectory = platform::DataDirectory();
  ui::MainWindow& w = *main_;
  w.标签_用户名.SetText(app_.session.userName);
  service::JsonDocument data;
  std::string expiry;
  if (data.parse(app_.session.accountData)) {
    expiry = platform::ReplaceAll(data.getJson("expiretime"), "\"", "");
  }
  w.标签_到期时间.SetText(expiry + "到期");
  w.按钮_最小化.onClick = [this] { views_.Hide(*main_); };
  w.按钮_关闭.onClick = [this] {
    if (writeSoftwareSettings) writeSoftwareSettings();
    AskConfirmation(kExitPrompt);
  };
  w.按钮_注销.onClick = [this] { AskConfirmation(kLogoutPrompt); };
  w.按钮_全局代理.onClick = [&w] { w.选择夹EX1.SetCurrent(ui::MainWindow::kHomePage); };
  w.按钮_软件设置.onClick = [&w] { w.选择夹EX1.SetCurrent(ui::MainWindow::kSettingsPage); };
  settings::LoadSoftwareSettings(w, app_.dataDirectory);
  views_.Show(w);
}

void Shell::DestroyMain() {
  if (!main_) return;
  DestroyLater(main_);
}

void Shell::AskConfirmation(const char* prompt) {
  if (confirm_) return;
  app_.confirmPrompt = prompt;
  confirm_ = std::make_unique<ui::ConfirmWindow>(loop_);
  ui::ConfirmWindow& w = *confirm_;
  w.标签_温馨提示.SetText(app_.confirmPrompt);
  w.按钮_取消.onClick = [this] { CloseConfirmation(); };
  w.按钮_关闭.onClick = [this] { CloseConfirmation(); };
  w.按钮_确定.onClick = [this] { Confirmed(); };
  views_.ShowOver(w, *main_, 330, 150);
}

void Shell::CloseConfirmation() { DestroyLater(confirm_); }

void Shell::Confirmed() {
  if (app_.confirmPrompt == kExitPrompt) {
    if (disconnect) disconnect();
    DestroyMain();
    CloseConfirmation();
  } else if (app_.confirmPrompt == kLogoutPrompt) {
    if (disconnect) disconnect();
    app_.returnedFromLogout = true;
    OpenLogin();
    DestroyMain();
    CloseConfirmation();
  }
}

void Shell::Terminate() {
  if (main_ && disconnect) disconnect();
  if (login_) DestroyLogin();
  DestroyLater(confirm_);
  DestroyMain();
}

}  // namespace dudivizo::app
