#include "settings/state_display.h"

#include <string>

namespace dudivizo::settings {

void ShowProtocolAndMinimise(ui::MainWindow& w, catalogue::CurrentState& state) {
  for (ui::RadioButton* r : {&w.单选框_PPTP, &w.单选框_L2TP, &w.单选框_SSTP}) r->SetChecked(false);
  switch (state.MuoShi) {
    case 3:
      w.单选框_L2TP.SetChecked(true);
      break;
    case 5:
      w.单选框_SSTP.SetChecked(true);
      break;
    default:
      w.单选框_PPTP.SetChecked(true);
      state.MuoShi = 1;
  }
  w.选择框_自动最小化.SetChecked(state.YinChang);
}

void ShowReconnectSettings(ui::MainWindow& w, catalogue::CurrentState& state) {
  catalogue::ReconnectSettings& r = state.reconnect;
  w.选择框_定时重连.SetChecked(r.ChongLian);
  w.编辑框_重连.SetText(std::to_string(r.CL_JianGe));
  w.选择框_掉线自动重连.SetChecked(r.GengHuan);
  w.选择框_异常掉线禁止网卡.SetChecked(r.HuiFu);
  if (r.HF_WangKa.empty()) r.HuiFu = false;
}

}  // namespace dudivizo::settings
