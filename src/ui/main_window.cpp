#include "ui/main_window.h"

namespace dudivizo::ui {

MainWindow::MainWindow(EventLoop& loop) : Window(loop, "MainWindow", 900, 550) {
  Register({&窗口EX1, &标签_用户名1, &图片框_头像, &标签_用户名, &按钮_注销, &标签_到期时间,
            &图片框EX1, &按钮_全局代理, &按钮_软件设置, &编辑框_搜索, &按钮_搜索, &组合框_选择区域,
            &按钮_最小化, &按钮_关闭, &选择夹EX1, &时钟_连接后执行, &时钟_一键切换启动});
  RegisterPage(&选择夹EX1, kHomePage,
               {&超级列表框EX1, &图片框EX5, &标签_已选线路, &标签_当前IP, &标签_归属地, &按钮_连接,
                &按钮_切换IP, &图片框EX4, &标签_状态0, &标签_状态1, &标签_状态2});
  RegisterPage(&选择夹EX1, kSettingsPage,
               {&图片框EX2, &标签EX1, &选择框_定时重连, &编辑框_重连, &选择框_掉线自动重连,
                &选择框_异常掉线禁止网卡, &按钮_恢复网卡, &标签EX3, &选择框_自动最小化,
                &选择框_自启动, &图片框EX3, &标签EX2, &单选框_PPTP, &单选框_L2TP, &单选框_SSTP});
  for (RadioButton* r : {&单选框_PPTP, &单选框_L2TP, &单选框_SSTP})
    r->SetGroup({&单选框_PPTP, &单选框_L2TP, &单选框_SSTP});
  for (const char* caption : {"刷新线路(&F)", "", "连接VPN(&Q)", "断开VPN(&W)", "", "测试节点(&Z)",
                              "全部测试(&X)", "", "查看收藏(&A)", "加入收藏(&S)", "取消收藏(&D)"})
    _右键菜单.entries().push_back({caption, true, {}});
}

ConfirmWindow::ConfirmWindow(EventLoop& loop) : Window(loop, "ConfirmWindow", 241, 209) {
  Register({&窗口EX1, &按钮_关闭, &标签_温馨提示, &按钮_确定, &按钮_取消});
}

}  // namespace dudivizo::ui
