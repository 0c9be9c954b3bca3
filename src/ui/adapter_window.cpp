#include "ui/adapter_window.h"

namespace dudivizo::ui {

AdapterWindow::AdapterWindow(EventLoop& loop)
    : Window(loop, "AdapterWindow", 323, 197, "请选择要禁用的网卡") {
  Register({&窗口EX1, &标签EX1, &组合框_网卡组, &按钮_确定, &按钮_取消, &按钮_关闭});
}

}  // namespace dudivizo::ui
