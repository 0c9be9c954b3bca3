#include "app/shell.h"

#include "catalogue/download.h"
#include "catalogue/node_files.h"
#include "catalogue/selection.h"
#include "connection/link_display.h"
#include "platform/process.h"
#include "platform/text.h"
#include "service/json_document.h"
#include "settings/software_settings.h"
#include "settings/state_display.h"

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
  const uint64_t generation = ++mainGeneration_;
  catalogue::Node saved;  // the saved selection, shown once the list stands
  main_ = std::make_unique<ui::MainWindow>(loop_);
  DestroyLogin();  // the first thing the main window does
  if (bindTray) bindTray();
  if (app_.dataDirectory.empty()) app_.dataDirectory = platform::DataDirectory();
  ui::MainWindow& w = *main_;
  BindMainButtons(w);
  catalogue::SetupNodeList(w);
  catalogue::CatalogueView& view = MakeCatalogueView(w);

  w.标签_用户名.SetText(app_.session.userName);
  service::JsonDocument data;
  std::string expiry;
  if (data.parse(app_.session.accountData)) {
    expiry = platform::ReplaceAll(data.getJson("expiretime"), "\"", "");
  }
  w.标签_到期时间.SetText(expiry + "到期");
  const std::string& user = app_.session.userName;
  catalogue::LoadNodeFile(app_.catalogue, catalogue::NodeListPath(app_.dataDirectory, user));
  catalogue::LoadStateFile(app_.state, catalogue::StatePath(app_.dataDirectory, user));
  catalogue::FillRegionBox(view);
  connection::ResetLinkDisplay(w, app_.state);
  settings::ShowReconnectSettings(w, app_.state);
  StartDownload();
  views_.Show(w);

  // A second for the first download, while the window stays live.
  loop_.Pause(1000);
  if (!main_ || mainGeneration_ != generation) return;  // closed meanwhile
  catalogue::RefreshList(view);
  catalogue::ShowSavedSelection(view, saved);
  settings::LoadSoftwareSettings(w, app_.dataDirectory);
}

void Shell::BindMainButtons(ui::MainWindow& w) {
  w.按钮_最小化.onClick = [this] { views_.Hide(*main_); };
  w.按钮_关闭.onClick = [this] {
    if (writeSoftwareSettings) writeSoftwareSettings();
    AskConfirmation(kExitPrompt);
  };
  w.按钮_注销.onClick = [this] { AskConfirmation(kLogoutPrompt); };
  w.按钮_全局代理.onClick = [&w] { w.选择夹EX1.SetCurrent(ui::MainWindow::kHomePage); };
  w.按钮_软件设置.onClick = [&w] { w.选择夹EX1.SetCurrent(ui::MainWindow::kSettingsPage); };
}

catalogue::CatalogueView& Shell::MakeCatalogueView(ui::MainWindow& w) {
  catalogueView_ = std::make_shared<catalogue::CatalogueView>();
  catalogue::CatalogueView& c = *catalogueView_;
  c.window = &w;
  c.catalogue = &app_.catalogue;
  c.view = &app_.view;
  c.selectedNode = &app_.selectedNode;
  c.selectedItem = &app_.selectedItem;
  c.pzIniPath = app_.dataDirectory + "pz.ini";
  c.startDownload = [this] { StartDownload(); };
  c.updateLinkMenu = [this] {
    if (updateLinkMenu) updateLinkMenu();
  };
  c.popupMenu = [this, &w] { views_.Popup(w, w._右键菜单); };
  catalogue::BindListViews(c);
  catalogue::BindSelection(c);
  return c;
}

void Shell::StartDownload() {
  if (!main_) return;
  catalogue::DownloadContext context;
  context.loop = &loop_;
  context.serviceHost = app_.serviceHost;
  context.catalogue = &app_.catalogue;
  context.busy = &app_.downloadBusy;
  context.window = main_.get();
  context.windowAlive = main_->token().Watch();
  catalogue::StartNodeListDownload(context);
}

void Shell::DestroyMain() {
  if (!main_) return;
  if (removeTray) removeTray();
  const std::string& user = app_.session.userName;
  if (!user.empty()) {
    catalogue::SaveNodeFile(app_.catalogue, catalogue::NodeListPath(app_.dataDirectory, user));
    catalogue::SaveStateFile(app_.state, catalogue::StatePath(app_.dataDirectory, user));
    if (app_.state.current.linkState == 2) app_.state.current.linkState = 4;
  }
  DestroyLater(main_);
  // The window's handlers point into the view; it goes after the window.
  loop_.Post([keep = std::move(catalogueView_)] {});
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
