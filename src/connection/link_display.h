#pragma once
// The connection part of the main window when no link is up.

#include "catalogue/current_state.h"
#include "ui/main_window.h"

namespace dudivizo::connection {

// Protocol and hide-after-connecting from the session record, the hint in
// 标签_状态2, and "未连接" for the address and its location.
void ResetLinkDisplay(ui::MainWindow& window, catalogue::CurrentState& state);

}  // namespace dudivizo::connection
