#pragma once
// The main window's design: 900 x 550, the left panel, the search row, and
// the tab control with its pages "主页" and "设置".

#include "ui/window.h"

namespace dudivizo::ui {

class MainWindow : public Window {
 public:
  explicit MainWindow(EventLoop& loop);

  static constexpr int kHomePage = 0, kSettingsPage = 1;

  Control 窗口EX1{ControlKind::WindowFrame, "窗口EX1", {4, 4, 24, 24}};
  Label 标签_用户名1{"标签_用户名1", {16, 13, 175, 51}, "Dudivizo"};
  PictureBox 图片框_头像{"图片框_头像", {66, 76, 76, 76}, "avatar.jpg"};
  Label 标签_用户名{"标签_用户名", {45, 165, 120, 24}};
  Button 按钮_注销{"按钮_注销", {68, 200, 76, 26}, "注销"};
  Label 标签_到期时间{"标签_到期时间", {29, 234, 152, 24}, "2020-06-06 14:21:15到期"};
  PictureBox 图片框EX1{"图片框EX1", {10, 255, 180, 12}, "separator.png"};
  Button 按钮_全局代理{"按钮_全局代理", {31, 290, 150, 40}, "线路列表"};
  Button 按钮_软件设置{"按钮_软件设置", {31, 330, 150, 40}, "软件设置"};
  EditBox 编辑框_搜索{"编辑框_搜索", {475, 20, 125, 26}, "输入线路名称"};
  Button 按钮_搜索{"按钮_搜索", {600, 20, 45, 26}, "搜索"};
  ComboBox 组合框_选择区域{"组合框_选择区域", {664, 20, 100, 26}, "请选择区域"};
  Button 按钮_最小化{"按钮_最小化", {823, 24, 16, 16}, "–"};
  Button 按钮_关闭{"按钮_关闭", {859, 24, 16, 16}, "×"};
  TabControl 选择夹EX1{"选择夹EX1", {200, 56, 690, 484}, {"主页", "设置"}};
  Timer 时钟_连接后执行{"时钟_连接后执行"};
  Timer 时钟_一键切换启动{"时钟_一键切换启动"};
  // The node list's context menu.
  Menu _右键菜单{"_右键菜单"};

  // Tab "主页", positions within the tab control.
  ListBox 超级列表框EX1{"超级列表框EX1", {5, 5, 680, 305}};
  PictureBox 图片框EX5{"图片框EX5", {-48, 305, 784, 1}, "rule.png"};
  Label 标签_已选线路{"标签_已选线路", {48, 346, 260, 16}, "已选线路：未选择"};
  Label 标签_当前IP{"标签_当前IP", {61, 372, 260, 16}, "当前IP：查询中..."};
  Label 标签_归属地{"标签_归属地", {62, 398, 260, 16}, "归属地：查询中..."};
  Button 按钮_连接{"按钮_连接", {464, 343, 140, 34}, "连  接"};
  Button 按钮_切换IP{"按钮_切换IP", {464, 383, 140, 34}, "切换IP"};
  PictureBox 图片框EX4{"图片框EX4", {-48, 453, 784, 1}, "rule.png"};
  Label 标签_状态0{"标签_状态0", {11, 461, 80, 16}, "状态：未连接"};
  Label 标签_状态1{"标签_状态1", {95, 461, 120, 16}, " | 信息"};
  Label 标签_状态2{"标签_状态2", {214, 461, 368, 16}, " | 信息"};

  // Tab "设置", positions within the tab control.
  PictureBox 图片框EX2{"图片框EX2", {56, 32, 4, 16}, "marker-bar.png"};
  Label 标签EX1{"标签EX1", {71, 32, 88, 16}, "软件设置"};
  CheckBox 选择框_定时重连{"选择框_定时重连", {76, 69, 100, 18}, "定时重连(秒)"};
  EditBox 编辑框_重连{"编辑框_重连", {169, 68, 40, 20}};
  CheckBox 选择框_掉线自动重连{"选择框_掉线自动重连", {76, 102, 100, 18}, "掉线自动重连"};
  CheckBox 选择框_异常掉线禁止网卡{
      "选择框_异常掉线禁止网卡", {76, 132, 140, 18}, "异常掉线禁止网卡"};
  Button 按钮_恢复网卡{"按钮_恢复网卡", {196, 131, 64, 20}, "恢复网卡"};
  Label 标签EX3{"标签EX3", {268, 133, 300, 16}, "此功能需要，启动程序时右键，以管理员身份运行"};
  CheckBox 选择框_自动最小化{"选择框_自动最小化", {76, 161, 164, 18}, "连接成功后，自动最小化"};
  CheckBox 选择框_自启动{"选择框_自启动", {76, 190, 156, 18}, "电脑开机自动开启软件"};
  PictureBox 图片框EX3{"图片框EX3", {56, 240, 4, 16}, "marker-bar.png"};
  Label 标签EX2{"标签EX2", {71, 240, 88, 16}, "模式选择"};
  RadioButton 单选框_PPTP{"单选框_PPTP", {76, 278, 61, 18}, "PPTP"};
  RadioButton 单选框_L2TP{"单选框_L2TP", {157, 278, 61, 18}, "L2TP"};
  RadioButton 单选框_SSTP{"单选框_SSTP", {236, 278, 61, 18}, "SSTP"};
};

// The small question window over the main window: OK and Cancel.
class ConfirmWindow : public Window {
 public:
  explicit ConfirmWindow(EventLoop& loop);

  Control 窗口EX1{ControlKind::WindowFrame, "窗口EX1", {4, 4, 24, 24}};
  Button 按钮_关闭{"按钮_关闭", {208, 16, 16, 16}, "×"};
  Label 标签_温馨提示{"标签_温馨提示", {24, 119, 192, 24}, "是否确定注销？"};
  Button 按钮_确定{"按钮_确定", {35, 155, 76, 30}, "确定"};
  Button 按钮_取消{"按钮_取消", {134, 155, 76, 30}, "取消"};
};

}  // namespace dudivizo::ui
