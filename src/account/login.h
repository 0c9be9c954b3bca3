#pragma once
// Sign-in: one GET of the sign-in endpoint on a worker thread; on success
// the session is kept and the main window opened, on failure the reason is
// shown under the login button.

#include <atomic>
#include <functional>
#include <string>

#include "account/credentials.h"
#include "ui/event_loop.h"
#include "ui/login_window.h"

namespace dudivizo::account {

// Written only by a successful sign-in; kept until the next one.
struct Session {
  std::string userName;
  std::string password;
  std::string accountData;  // compact JSON of the answer's data member
};

struct LoginContext {
  ui::EventLoop* loop = nullptr;
  std::string serviceHost;
  Session* session = nullptr;
  std::atomic<bool>* busy = nullptr;  // set while a login runs
  // Opens the main window; runs on the user-interface thread while the
  // worker waits for it.
  std::function<void()> openMainWindow;
};

// Starts the login worker for the inputs as they are now and returns at
// once; false (and nothing started) while another login still runs.
bool StartLogin(ui::LoginWindow& window, const LoginInputs& inputs, const LoginContext& context);

}  // namespace dudivizo::account
