#include "settings/software_settings.h"

#include "platform/profile.h"

namespace dudivizo::settings {
namespace {

constexpr char kSection[] = "软件设置";

struct BoxKey {
  ui::CheckBox ui::MainWindow::*box;
  const char* key;
};

const BoxKey kBoxes[] = {
    {&ui::MainWindow::选择框_自启动, "自启动"},
    {&ui::MainWindow::选择框_定时重连, "定时重连"},
    {&ui::MainWindow::选择框_自动最小化, "自动最小化"},
    {&ui::MainWindow::选择框_掉线自动重连, "掉线自动重连"},
    {&ui::MainWindow::选择框_异常掉线禁止网卡, "异常掉线禁止网卡"},
};

}  // namespace

bool SaveSoftwareSettings(const ui::MainWindow& w, const std::string& dataDirectory) {
  platform::ProfileFile file = platform::ProfileFile::Load(dataDirectory + "pz.ini");
  for (const BoxKey& b : kBoxes) file.Set(kSection, b.key, (w.*b.box).checked() ? "1" : "0");
  file.Set(kSection, "重连", w.编辑框_重连.text());
  return file.Save();
}

void LoadSoftwareSettings(ui::MainWindow& w, const std::string& dataDirectory) {
  platform::ProfileFile file = platform::ProfileFile::Load(dataDirectory + "pz.ini");
  for (const BoxKey& b : kBoxes) (w.*b.box).SetChecked(file.Get(kSection, b.key, "0") == "1");
  w.编辑框_重连.SetText(file.Get(kSection, "重连"));
}

}  // namespace dudivizo::settings
