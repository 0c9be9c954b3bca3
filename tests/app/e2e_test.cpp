// The real dudivizo binary, started in a folder of its own against the
// in-process demo service: on Qt's offscreen platform, and once under Xvfb
// with the desktop accessibility bus, read the way a screen reader reads it.

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fcntl.h>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "demo/demo_service.h"
#include "platform/gbk.h"
#include "platform/profile.h"
#include "platform/text.h"
#include "support/temp_dir.h"

extern char** environ;

namespace dudivizo::app {
namespace {

demo::DemoNode Node(std::string province, std::string city, std::string domain, int status,
                    int64_t updateTime, bool asText) {
  demo::DemoNode n;
  n.province = std::move(province);
  n.city = std::move(city);
  n.domain = std::move(domain);
  n.isp = "联通";
  n.url = "http://" + n.domain + "/";
  n.status = status;
  n.updateTime = updateTime;
  n.updateTimeAsText = asText;
  return n;
}

// The program's folder: the executable and service.ini naming `service`.
void LayOut(const testing::TempDir& dir, const demo::DemoService& service) {
  std::filesystem::copy_file(DUDIVIZO_BINARY, dir.File("dudivizo"));
  std::filesystem::permissions(dir.File("dudivizo"), std::filesystem::perms::owner_all);
  dir.Write("service.ini", "[service]\r\nhost=" + service.Host() + "\r\n");
}

// Starts the program of `dir` (offscreen unless `env` says otherwise), with
// `dir` as home and runtime folder; the process id, or 0.
pid_t Start(const testing::TempDir& dir, std::vector<std::string> env = {}) {
  env.push_back("QT_QPA_PLATFORM=offscreen");  // the first of a name counts
  env.push_back("HOME=" + dir.path());
  env.push_back("XDG_RUNTIME_DIR=" + dir.path());
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string program = dir.File("dudivizo");
  char* argv[] = {program.data(), nullptr};
  pid_t pid = 0;
  if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return 0;
  return pid;
}

// Sends SIGTERM and returns the exit code, or -1 when it did not exit.
int Terminate(pid_t pid) {
  ::kill(pid, SIGTERM);
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

bool Running(pid_t pid) {
  int status = 0;
  return ::waitpid(pid, &status, WNOHANG) == 0;
}

// Waits up to 20 s for `done`.
bool Eventually(const std::function<bool()>& done) {
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

TEST(EndToEnd, SignInDownloadThenSigtermWritesEveryFile) {
  demo::DemoService service;
  ASSERT_TRUE(service.Start());
  service.SetNodes({Node("广东省", "深圳", "GD-SZ.vpn", 0, 1700000000, false),
                    Node("北京市", "海淀", "bj-hd.vpn", 2, 1700000001, true),
                    Node("北京市", "朝阳", "bj-cy.vpn", -1, 5, false),
                    Node("广东省", "广州", "gd-gz.vpn", 0, 7, true)});
  testing::TempDir dir;
  LayOut(dir, service);
  dir.Write("APP.INI",
            "[YongHu]\r\nDangQian=demo\r\n[demo]\r\nMiMi=demo123\r\nJiZu=1\r\nZiDong=1\r\n");
  ASSERT_EQ(::chmod(dir.File("APP.INI").c_str(), 0644), 0);

  const pid_t pid = Start(dir);
  ASSERT_GT(pid, 0);

  // Sign-in, the first download, then the refresh after the one-second
  // pause starts the second one.
  EXPECT_TRUE(Eventually([&] { return service.RequestCount(demo::Endpoint::NodeList) >= 2; }));
  EXPECT_EQ(service.RequestCount(demo::Endpoint::SignIn), 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the last merge

  ASSERT_EQ(Terminate(pid), 0);
  // The sign-in window wrote APP.INI when the main window replaced it.
  struct stat st {};
  ASSERT_EQ(::stat(dir.File("APP.INI").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(platform::ReadProfileText(dir.File("APP.INI"), "demo", "ZiDong"), "1");

  // The main window's files, byte for byte: provinces in the service's
  // order, domains lowered, every value a string, the abandoned node left out.
  EXPECT_EQ(
      dir.Read(".cache/dudivizo/demo_JieDianLieBiao.BIN"),
      platform::Utf8ToGbk(R"({"msg":"成功","code":200,"data":[)"
                          R"({"province":"广东省","city":"深圳","domain":"gd-sz.vpn","isp":"联通",)"
                          R"("url":"http://gd-sz.vpn/","update_time":"1700000000","status":"0",)"
                          R"("YanChi":"0","ShouCang":"0"},)"
                          R"({"province":"广东省","city":"广州","domain":"gd-gz.vpn","isp":"联通",)"
                          R"("url":"http://gd-gz.vpn/","update_time":"7","status":"0",)"
                          R"("YanChi":"0","ShouCang":"0"},)"
                          R"({"province":"北京市","city":"海淀","domain":"bj-hd.vpn","isp":"联通",)"
                          R"("url":"http://bj-hd.vpn/","update_time":"1700000001","status":"2",)"
                          R"("YanChi":"0","ShouCang":"0"}]})"));
  EXPECT_EQ(dir.Read(".cache/dudivizo/demo_DangQian.bin"),
            platform::Utf8ToGbk(
                R"({"msg":"成功","code":200,"data":{"province":"","city":"","domain":"",)"
                R"("isp":"","url":"","update_time":"0","status":"0","YanChi":"0","ShouCang":"0"},)"
                R"("PenZhi":{"MuoShi":1,"YinChang":0,"KaiQi":0,"ChongLian":0,"CL_JianGe":0,)"
                R"("GengHuan":0,"HuiFu":0,"HF_WangKa":""}})"));
}

TEST(EndToEnd, ASecondCopyWaitsOnItsNoticeAndLeavesTheFirstAlone) {
  demo::DemoService service;
  ASSERT_TRUE(service.Start());
  testing::TempDir dir;
  LayOut(dir, service);
  const std::string appIni =
      "[YongHu]\r\nDangQian = demo\r\n[demo]\r\nMiMi = demo123\r\nJiZu = 1\r\nZiDong = 0\r\n";
  dir.Write("APP.INI", appIni);
  const pid_t first = Start(dir);
  ASSERT_GT(first, 0);
  auto socketUp = [&] {
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      if (entry.path().extension() == ".sock") return true;
    return false;
  };
  ASSERT_TRUE(Eventually(socketUp));

  // The second copy would sign in at once if it got that far.
  const std::string autoLogin = platform::ReplaceAll(appIni, "ZiDong = 0", "ZiDong = 1");
  dir.Write("APP.INI", autoLogin);
  const pid_t second = Start(dir);
  ASSERT_GT(second, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(800));
  EXPECT_TRUE(Running(second));  // the notice "软件已运行" waits for OK
  EXPECT_TRUE(Running(first));
  // SIGTERM ends the second copy as OK would: nothing written, no sign-in.
  EXPECT_EQ(Terminate(second), 0);
  EXPECT_EQ(dir.Read("APP.INI"), autoLogin);
  EXPECT_EQ(service.RequestCount(demo::Endpoint::SignIn), 0);
  EXPECT_TRUE(Running(first));
  EXPECT_EQ(Terminate(first), 0);
}

// A helper process that reports one line (a display number, a bus address)
// on a pipe; stopped with the object.
class Helper {
 public:
  // `env`: variables set for the helper on top of this process's own.
  explicit Helper(std::vector<std::string> argv, std::vector<std::string> env = {}) {
    int fds[2];
    if (::pipe(fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args;
    for (std::string& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    for (char** e = environ; *e != nullptr; ++e) envp.push_back(*e);
    envp.push_back(nullptr);
    if (::posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), envp.data()) != 0) pid_ = 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    pollfd p{fds[0], POLLIN, 0};
    while (pid_ != 0 && ::poll(&p, 1, 10000) == 1) {
      char c;
      if (::read(fds[0], &c, 1) != 1 || c == '\n') break;
      line_ += c;
    }
    ::close(fds[0]);
  }
  ~Helper() {
    if (pid_ == 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
  const std::string& line() const { return line_; }

 private:
  pid_t pid_ = 0;
  std::string line_;
};

// The desktop accessibility tree as assistive technology walks it.
class AccessibilityBus {
 public:
  explicit AccessibilityBus(const std::string& sessionAddress) {
    QDBusConnection session =
        QDBusConnection::connectToBus(QString::fromStdString(sessionAddress), "e2e-session");
    QDBusMessage reply = session.call(QDBusMessage::createMethodCall(
        "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress"));
    if (reply.type() != QDBusMessage::ReplyMessage) return;
    bus_ = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(reply.arguments().at(0).toString(), "e2e-a11y"));
    Children("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root");  // starts it
  }
  bool connected() const { return bus_ && bus_->isConnected(); }

  // The names of every top-level window of every application, each with the
  // names of all the accessible objects below it.
  std::vector<std::vector<std::string>> Windows() const {
    std::vector<std::vector<std::string>> windows;
    for (const auto& [service, app] :
         Children("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root")) {
      for (const auto& window : Children(service, app)) {
        std::vector<std::string> names;
        Collect(window, names, 0);
        windows.push_back(std::move(names));
      }
    }
    return windows;
  }

 private:
  using Ref = std::pair<QString, QString>;  // bus name, object path

  std::vector<Ref> Children(const QString& service, const QString& path) const {
    std::vector<Ref> out;
    QDBusMessage reply = bus_->call(
        QDBusMessage::createMethodCall(service, path, "org.a11y.atspi.Accessible", "GetChildren"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return out;
    const auto arg = reply.arguments().at(0).value<QDBusArgument>();
    arg.beginArray();
    while (!arg.atEnd()) {
      QString name;
      QDBusObjectPath object;
      arg.beginStructure();
      arg >> name >> object;
      arg.endStructure();
      out.emplace_back(name, object.path());
    }
    arg.endArray();
    return out;
  }

  std::string Name(const Ref& ref) const {
    QDBusMessage call = QDBusMessage::createMethodCall(ref.first, ref.second,
                                                       "org.freedesktop.DBus.Properties", "Get");
    call << QString("org.a11y.atspi.Accessible") << QString("Name");
    QDBusMessage reply = bus_->call(call);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    return reply.arguments().at(0).value<QDBusVariant>().variant().toString().toStdString();
  }

  void Collect(const Ref& ref, std::vector<std::string>& names, int depth) const {
    names.push_back(Name(ref));
    if (depth < 8)
      for (const Ref& child : Children(ref.first, ref.second)) Collect(child, names, depth + 1);
  }

  std::unique_ptr<QDBusConnection> bus_;
};

bool Holds(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

TEST(EndToEnd, TheMainWindowShowsTheAccountToAssistiveTechnology) {
  int argc = 0;
  QCoreApplication qt(argc, nullptr);
  Helper display({"Xvfb", "-displayfd", "3", "-screen", "0", "1100x700x24", "-nolisten", "tcp"});
  ASSERT_FALSE(display.line().empty()) << "Xvfb did not start";
  testing::TempDir runtime;  // the accessibility bus puts its socket here
  Helper session({"dbus-daemon", "--session", "--nofork", "--print-address=3"},
                 {"XDG_RUNTIME_DIR=" + runtime.path()});
  ASSERT_FALSE(session.line().empty()) << "dbus-daemon did not start";
  AccessibilityBus a11y(session.line());
  ASSERT_TRUE(a11y.connected()) << "no accessibility bus";

  demo::DemoService service;
  ASSERT_TRUE(service.Start());
  testing::TempDir dir;
  LayOut(dir, service);
  dir.Write("APP.INI",
            "[YongHu]\r\nDangQian=demo\r\n[demo]\r\nMiMi=demo123\r\nJiZu=1\r\nZiDong=1\r\n");
  const pid_t pid = Start(
      dir, {"QT_QPA_PLATFORM=xcb", "DISPLAY=:" + display.line(),
            "DBUS_SESSION_BUS_ADDRESS=" + session.line(), "QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1"});
  ASSERT_GT(pid, 0);

  // The window that holds the expiry label holds the account name too.
  std::vector<std::string> main;
  EXPECT_TRUE(Eventually([&] {
    for (auto& names : a11y.Windows()) {
      if (Holds(names, "2027-12-31 23:59:59到期")) main = names;
    }
    return !main.empty();
  }));
  EXPECT_TRUE(Holds(main, "demo"));
  EXPECT_TRUE(Holds(main, "连  接"));
  EXPECT_FALSE(Holds(main, "demo123"));
  EXPECT_EQ(Terminate(pid), 0);
}

}  // namespace
}  // namespace dudivizo::app
