#pragma once
// The application shell: the process-wide state and the ways between the
// windows (sign-in, main window, the confirmation of exit and logout).
// Knows no Qt: windows are shown through a ViewHost.

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "account/credentials.h"
#include "account/login.h"
#include "catalogue/current_state.h"
#include "catalogue/list_view.h"
#include "catalogue/node.h"
#include "ui/login_window.h"
#include "ui/main_window.h"
#include "ui/view_host.h"

namespace dudivizo::app {

inline constexpr char kExitPrompt[] = "是否确定退出程序？";
inline constexpr char kLogoutPrompt[] = "是否确定注销？";

// Everything the program keeps for the whole run; created empty at start.
struct App {
  std::string runDirectory;
  std::string serviceHost;
  account::LoginInputs inputs;
  account::Session session;
  std::atomic<bool> loginBusy{false};
  bool returnedFromLogout = false;
  std::string confirmPrompt;
  std::string dataDirectory;  // found at the first main window creation unless set
  catalogue::NodeCatalogue catalogue;
  catalogue::CurrentState state;
  catalogue::ViewState view;
  catalogue::Node selectedNode;  // the last valid row click's node
  catalogue::NodeRef selectedItem = 0;
  std::atomic<bool> downloadBusy{false};
};

class Shell {
 public:
  Shell(App& app, ui::EventLoop& loop, ui::ViewHost& views);
  ~Shell();

  // Opens the sign-in window, as at start.
  void Start();
  // True while any window of the program exists; the program ends when not.
  bool HasWindows() const;
  // Ends the program the way a confirmed exit does (for SIGTERM and SIGINT).
  void Terminate();

  // Runs while the first sign-in window is created, after APP.INI was read:
  // false ends the program at once (another copy runs). Defaults to true.
  std::function<bool()> instanceGuard;
  // Operations of other parts, replaceable in tests; disconnect does nothing yet.
  std::function<void()>
      writeSoftwareSettings;         // exit request, before the question; default: pz.ini
  std::function<void()> disconnect;  // exit and logout, before leaving
  std::function<void()> bindTray;    // main window created
  std::function<void()> removeTray;  // main window about to be destroyed
  // Sets the menu's two connection entries; until a link exists both stay
  // disabled.
  std::function<void()> updateLinkMenu;

  ui::LoginWindow* login() const { return login_.get(); }
  ui::MainWindow* main() const { return main_.get(); }
  ui::ConfirmWindow* confirm() const { return confirm_.get(); }

 private:
  void OpenLogin();
  void DestroyLogin();
  void OpenMain();
  void BindMainButtons(ui::MainWindow& w);
  catalogue::CatalogueView& MakeCatalogueView(ui::MainWindow& w);
  void StartDownload();
  void DestroyMain();
  void AskConfirmation(const char* prompt);
  void CloseConfirmation();
  void Confirmed();
  void StartLogin();
  // Destroys a window after the handler that asked for it has returned.
  template <typename W>
  void DestroyLater(std::unique_ptr<W>& window);

  App& app_;
  ui::EventLoop& loop_;
  ui::ViewHost& views_;
  std::unique_ptr<ui::LoginWindow> login_;
  std::unique_ptr<ui::MainWindow> main_;
  std::unique_ptr<ui::ConfirmWindow> confirm_;
  std::shared_ptr<catalogue::CatalogueView> catalogueView_;  // lives as long as main_
  uint64_t mainGeneration_ = 0;  // counts main windows, to notice one replaced in a pause
  int pendingDestroys_ = 0;
};

}  // namespace dudivizo::app
