// dudivizo-screenshot FOLDER: renders the windows with demo content into
// PNG pictures (LoginWindow.png, MainWindow.png, ConfirmWindow.png, AdapterWindow.png).
// dudivizo-screenshot --screen FILE: saves the whole screen (of an X server)
// as a PNG picture, to capture a running program.

#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>

#include "catalogue/download.h"
#include "catalogue/list_view.h"
#include "catalogue/selection.h"
#include "demo/catalogue.h"
#include "ui/adapter_window.h"
#include "ui/login_window.h"
#include "ui/main_window.h"
#include "ui/qt/qt_event_loop.h"
#include "ui/qt/qt_view_host.h"

using namespace dudivizo::ui;

namespace {

bool Save(QtViewHost& views, Window& window, const QString& folder) {
  views.Show(window);
  QApplication::processEvents();
  QString file = folder + "/" + QString::fromStdString(window.name()) + ".png";
  bool ok = views.ViewOf(window)->grab().save(file);
  std::printf("%s %s\n", ok ? "wrote" : "could not write", file.toUtf8().constData());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc > 2 && QString(argv[1]) == "--screen") {
    QScreen* screen = QGuiApplication::primaryScreen();
    bool saved = screen && screen->grabWindow(0).save(QString::fromLocal8Bit(argv[2]));
    std::printf("%s %s\n", saved ? "wrote" : "could not write", argv[2]);
    return saved ? 0 : 1;
  }
  QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString(".");
  QtEventLoop loop;
  QtViewHost views;

  LoginWindow login(loop);
  login.编辑框_账号.SetText("demo");
  login.编辑框_密码.SetMasked(true);
  login.编辑框_密码.SetText("demo123");
  login.选择框_记住密码.SetChecked(true);

  MainWindow main(loop);
  main.标签_用户名.SetText("demo");
  main.标签_到期时间.SetText("2027-12-31 23:59:59到期");
  // The demo service's catalogue through the real list code, one row marked.
  dudivizo::catalogue::NodeCatalogue catalogue;
  dudivizo::catalogue::ParseNodeList(
      dudivizo::demo::NodeListJson(dudivizo::demo::StandardCatalogue()), catalogue.groups, false);
  dudivizo::catalogue::ViewState view;
  dudivizo::catalogue::Node selected;
  dudivizo::catalogue::NodeRef selectedItem = 0;
  dudivizo::catalogue::CatalogueView list;
  list.window = &main;
  list.catalogue = &catalogue;
  list.view = &view;
  list.selectedNode = &selected;
  list.selectedItem = &selectedItem;
  QTemporaryDir scratch;  // the click writes its pz.ini here
  list.pzIniPath = scratch.filePath("pz.ini").toStdString();
  dudivizo::catalogue::SetupNodeList(main);
  dudivizo::catalogue::FillRegionBox(list);
  dudivizo::catalogue::SelectRow(list, 2);
  main.标签_状态0.SetText("状态：未连接");
  main.标签_状态1.SetText(" | 更新节点 已完成");
  ConfirmWindow confirm(loop);
  confirm.标签_温馨提示.SetText("是否确定退出程序？");

  AdapterWindow adapters(loop);
  adapters.组合框_网卡组.SetItems({{"eth0", 0}, {"wlan0", 0}});
  adapters.组合框_网卡组.SetSelected(0);
  bool ok = Save(views, login, folder) && Save(views, main, folder) &&
            Save(views, confirm, folder) && Save(views, adapters, folder);
  return ok ? 0 : 1;
}
