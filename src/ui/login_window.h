#pragma once
// The sign-in window's design: 380 x 360, its controls at their places.

#include "ui/window.h"

namespace dudivizo::ui {

class LoginWindow : public Window {
 public:
  explicit LoginWindow(EventLoop& loop);

  Control 窗口EX1{ControlKind::WindowFrame, "窗口EX1", {4, 4, 24, 24}};
  Label 标签_登录标题{"标签_登录标题", {89, 37, 200, 71}, "Dudivizo"};
  Label 标签1{"标签1", {32, 48, 80, 24}};
  EditBox 编辑框_账号{"编辑框_账号", {35, 112, 310, 40}};
  EditBox 编辑框_密码{"编辑框_密码", {35, 168, 310, 40}};
  CheckBox 选择框_记住密码{"选择框_记住密码", {49, 220, 80, 20}, "记住密码"};
  CheckBox 选择框_自动登录{"选择框_自动登录", {262, 220, 80, 20}, "自动登录"};
  Button 按钮_登录{"按钮_登录", {35, 272, 310, 45}, "登录"};
  Label 标签_状态{"标签_状态", {35, 322, 311, 24}};
  Button 按钮_关闭{"按钮_关闭", {347, 16, 16, 16}};
};

}  // namespace dudivizo::ui
