#pragma once
// The settings page shown from the session record: protocol, hide after
// connecting, and the reconnect settings.

#include "catalogue/current_state.h"
#include "ui/main_window.h"

namespace dudivizo::settings {

// Checks the radio button of MuoShi (any value but 1, 3, 5 checks PPTP and
// becomes 1) and sets 选择框_自动最小化 from YinChang.
void ShowProtocolAndMinimise(ui::MainWindow& window, catalogue::CurrentState& state);

// Copies the reconnect settings into their controls; an empty adapter name
// clears HuiFu (the box keeps showing what was stored).
void ShowReconnectSettings(ui::MainWindow& window, catalogue::CurrentState& state);

}  // namespace dudivizo::settings
