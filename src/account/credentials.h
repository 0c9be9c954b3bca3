#pragma once
// The sign-in window's inputs and APP.INI, the file beside the executable
// that remembers the last account and, per account, its password and the
// remember-password and automatic-login choices.

#include <string>

#include "ui/login_window.h"

namespace dudivizo::account {

// Always equal to the state of the sign-in window's controls.
struct LoginInputs {
  std::string typedAccount;
  std::string typedPassword;
  bool rememberPassword = false;
  bool autoLogin = false;
};

inline constexpr char kAccountPlaceholder[] = "用户名/手机号";
inline constexpr char kPasswordPlaceholder[] = "密码";

// What APP.INI holds for the last account.
struct StoredCredentials {
  std::string account;  // as shown: every ASCII and full-width space removed
  std::string password;
  bool rememberPassword = false;
  bool autoLogin = false;
};

StoredCredentials ReadCredentials(const std::string& runDirectory);

// Writes the last account and its section by the remember rules. The file
// is created readable by its owner only, as it may hold a password.
// Returns false when it could not be written (nothing is reported).
bool WriteCredentials(const std::string& runDirectory, const LoginInputs& inputs);

// Makes `inputs` mirror the window's boxes and wires the edit boxes'
// placeholder, Tab and Enter behaviour; `login` is what Enter in the
// password box and a click on the login button do.
void BindLoginWindow(ui::LoginWindow& window, LoginInputs& inputs, std::function<void()> login);

// Fills the window (and so the inputs) from APP.INI.
void LoadCredentials(ui::LoginWindow& window, LoginInputs& inputs, const std::string& runDirectory);

}  // namespace dudivizo::account
