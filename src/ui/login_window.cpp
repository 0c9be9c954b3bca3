#include "ui/login_window.h"

namespace dudivizo::ui {

LoginWindow::LoginWindow(EventLoop& loop) : Window(loop, "LoginWindow", 380, 360) {
  Register({&窗口EX1, &标签_登录标题, &标签1, &编辑框_账号, &编辑框_密码, &选择框_记住密码,
            &选择框_自动登录, &按钮_登录, &标签_状态, &按钮_关闭});
}

}  // namespace dudivizo::ui
