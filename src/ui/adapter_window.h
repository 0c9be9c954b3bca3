#pragma once
// The small window that asks which network adapter to switch off after an
// abnormal drop: 323 x 197, one drop-down list of the adapters.

#include "ui/window.h"

namespace dudivizo::ui {

class AdapterWindow : public Window {
 public:
  explicit AdapterWindow(EventLoop& loop);

  Control 窗口EX1{ControlKind::WindowFrame, "窗口EX1", {4, 4, 24, 24}};
  Label 标签EX1{"标签EX1", {28, 52, 120, 20}, "请选择网卡："};
  ComboBox 组合框_网卡组{"组合框_网卡组", {28, 80, 267, 28}};
  Button 按钮_确定{"按钮_确定", {56, 140, 90, 30}, "确定"};
  Button 按钮_取消{"按钮_取消", {177, 140, 90, 30}, "取消"};
  Button 按钮_关闭{"按钮_关闭", {291, 16, 16, 16}, "×"};
};

}  // namespace dudivizo::ui
