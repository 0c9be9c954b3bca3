#pragma once
// The settings page's copy in pz.ini, section "软件设置".

#include <string>

#include "ui/main_window.h"

namespace dudivizo::settings {

// Writes the page's check boxes ("1"/"0") and the interval text, in the
// order 自启动, 定时重连, 自动最小化, 掉线自动重连, 异常掉线禁止网卡, 重连.
bool SaveSoftwareSettings(const ui::MainWindow& window, const std::string& dataDirectory);

// Reads them back into the controls; only the text "1" checks a box.
void LoadSoftwareSettings(ui::MainWindow& window, const std::string& dataDirectory);

}  // namespace dudivizo::settings
