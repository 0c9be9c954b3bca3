#pragma once
// The record of the running session: the current node (last dialled or
// restored from the state file) and the settings that travel with it.

#include <cstdint>
#include <string>

#include "catalogue/node.h"

namespace dudivizo::catalogue {

struct ReconnectSettings {
  bool KaiQi = false;            // loaded and saved only
  bool ChongLian = false;        // timed reconnect on
  int64_t lastConnectTick = 0;   // uptime in ms at the last connection
  int32_t CL_JianGe = 0;         // timed reconnect interval in seconds
  bool GengHuan = false;         // redial after a drop
  bool HuiFu = false;            // disable the adapter after a drop
  std::string HF_WangKa;         // that adapter's connection name
  int32_t reconnectPending = 0;  // run-time flag, never saved
};

struct CurrentState {
  Node current;
  int32_t MuoShi = 0;     // protocol: 1 PPTP, 3 L2TP, 5 SSTP
  bool YinChang = false;  // hide the main window after connecting
  ReconnectSettings reconnect;
  std::string ipText;        // not saved
  std::string locationText;  // not saved
};

}  // namespace dudivizo::catalogue
