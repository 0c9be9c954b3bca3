#include "account/credentials.h"

#include "platform/profile.h"
#include "platform/text.h"

namespace dudivizo::account {
namespace {

constexpr char kFile[] = "APP.INI";

std::string WithoutSpaces(const std::string& text) {
  return platform::ReplaceAll(platform::ReplaceAll(text, " ", ""), "　", "");
}

}  // namespace

StoredCredentials ReadCredentials(const std::string& runDirectory) {
  platform::ProfileFile file = platform::ProfileFile::Load(runDirectory + kFile);
  std::string stored = file.Get("YongHu", "DangQian");
  StoredCredentials c;
  c.account = WithoutSpaces(stored);
  // The section keeps the name exactly as stored, spaces and all.
  c.password = file.Get(stored, "MiMi");
  c.rememberPassword = platform::TextToInt(file.Get(stored, "JiZu", "0")) != 0;
  c.autoLogin = platform::TextToInt(file.Get(stored, "ZiDong", "0")) != 0;
  return c;
}

bool WriteCredentials(const std::string& runDirectory, const LoginInputs& in) {
  platform::ProfileFile file = platform::ProfileFile::Load(runDirectory + kFile);
  bool keep = in.rememberPassword && !in.typedPassword.empty();
  file.Set("YongHu", "DangQian", in.typedAccount);
  file.Set(in.typedAccount, "MiMi", in.rememberPassword ? in.typedPassword : "");
  file.Set(in.typedAccount, "JiZu", keep ? "1" : "0");
  file.Set(in.typedAccount, "ZiDong", keep && in.autoLogin ? "1" : "0");
  return file.Save(0600, /*forceMode=*/true);
}

void BindLoginWindow(ui::LoginWindow& w, LoginInputs& inputs, std::function<void()> login) {
  w.编辑框_账号.AddObserver([&w, &inputs] { inputs.typedAccount = w.编辑框_账号.text(); });
  w.编辑框_密码.AddObserver([&w, &inputs] { inputs.typedPassword = w.编辑框_密码.text(); });
  w.选择框_记住密码.onClick = [&w, &inputs] {
    inputs.rememberPassword = w.选择框_记住密码.checked();
  };
  w.选择框_自动登录.onClick = [&w, &inputs] { inputs.autoLogin = w.选择框_自动登录.checked(); };

  w.编辑框_账号.onFocus = [&w](bool focused) {
    ui::EditBox& box = w.编辑框_账号;
    if (focused && box.text() == kAccountPlaceholder) box.SetText("");
    if (!focused && box.text().empty()) box.SetText(kAccountPlaceholder);
  };
  w.编辑框_密码.onFocus = [&w](bool focused) {
    ui::EditBox& box = w.编辑框_密码;
    if (focused && box.text() == kPasswordPlaceholder) {
      box.SetMasked(true);
      box.SetText("");
    }
    if (!focused && box.text().empty()) {
      box.SetMasked(false);  // the placeholder stays readable
      box.SetText(kPasswordPlaceholder);
    }
  };
  w.编辑框_账号.onKey = [&w](int key) {
    if (key != ui::EditBox::kKeyTab) return false;
    w.SetFocus(&w.编辑框_密码);
    return true;
  };
  w.编辑框_密码.onKey = [&w, login](int key) {
    if (key == ui::EditBox::kKeyTab) {
      w.SetFocus(&w.编辑框_账号);
      return true;
    }
    if (key == ui::EditBox::kKeyEnter) {
      w.按钮_登录.UserClick();
      return true;
    }
    return false;
  };
  w.按钮_登录.onClick = std::move(login);
}

void LoadCredentials(ui::LoginWindow& w, LoginInputs& inputs, const std::string& runDirectory) {
  StoredCredentials c = ReadCredentials(runDirectory);
  w.编辑框_账号.SetText(c.account);
  w.编辑框_密码.SetText(c.password);
  // A loaded password is shown masked; the placeholder rules take over from there.
  w.编辑框_密码.SetMasked(!c.password.empty());
  w.选择框_记住密码.SetChecked(c.rememberPassword);
  w.选择框_自动登录.SetChecked(c.autoLogin);
  inputs.typedAccount = w.编辑框_账号.text();
  inputs.typedPassword = w.编辑框_密码.text();
  inputs.rememberPassword = c.rememberPassword;
  inputs.autoLogin = c.autoLogin;
}

}  // namespace dudivizo::account
