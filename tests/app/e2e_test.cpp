// The real dudivizo binary, started in a folder of its own against the
// in-process demo service, on Qt's offscreen platform.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "demo/demo_service.h"
#include "platform/profile.h"
#include "support/temp_dir.h"

extern char** environ;

namespace dudivizo::app {
namespace {

TEST(EndToEnd, AutomaticLoginThenSigtermEndsCleanlyWithAppIniWritten) {
  demo::DemoService service;
  ASSERT_TRUE(service.Start());
  testing::TempDir dir;
  std::filesystem::copy_file(DUDIVIZO_BINARY, dir.File("dudivizo"));
  std::filesystem::permissions(dir.File("dudivizo"), std::filesystem::perms::owner_all);
  dir.Write("service.ini", "[service]\r\nhost=" + service.Host() + "\r\n");
  dir.Write("APP.INI",
            "[YongHu]\r\nDangQian=demo\r\n[demo]\r\nMiMi=demo123\r\nJiZu=1\r\nZiDong=1\r\n");
  ASSERT_EQ(::chmod(dir.File("APP.INI").c_str(), 0644), 0);

  std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "HOME=" + dir.path(),
                                  "XDG_RUNTIME_DIR=" + dir.path()};
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string program = dir.File("dudivizo");
  char* argv[] = {program.data(), nullptr};
  pid_t pid = 0;
  ASSERT_EQ(::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()), 0);

  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (service.RequestCount(demo::Endpoint::SignIn) == 0 &&
         std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(service.RequestCount(demo::Endpoint::SignIn), 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the main window opens

  ::kill(pid, SIGTERM);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  // The sign-in window wrote APP.INI when the main window replaced it.
  struct stat st {};
  ASSERT_EQ(::stat(dir.File("APP.INI").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(platform::ReadProfileText(dir.File("APP.INI"), "demo", "ZiDong"), "1");
}

}  // namespace
}  // namespace dudivizo::app
