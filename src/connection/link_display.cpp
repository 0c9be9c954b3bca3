#include "connection/link_display.h"

#include "settings/state_display.h"

namespace dudivizo::connection {

void ResetLinkDisplay(ui::MainWindow& w, catalogue::CurrentState& state) {
  settings::ShowProtocolAndMinimise(w, state);
  w.标签_状态2.SetText(" (单击选中/右键菜单)");
  w.标签_当前IP.SetText("当前IP：未连接");
  w.标签_归属地.SetText("归属地：未连接");
}

}  // namespace dudivizo::connection
