#include "platform/profile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/file.h"
#include "platform/gbk.h"
#include "support/temp_dir.h"

namespace dudivizo::platform {
namespace {

using dudivizo::testing::TempDir;

TEST(Profile, MissingFileGivesTrimmedDefault) {
  TempDir dir;
  EXPECT_EQ(ReadProfileText(dir.File("none.ini"), "s", "k", "  fallback "), "fallback");
  EXPECT_EQ(ReadProfileText(dir.File("none.ini"), "s", "k"), "");
}

TEST(Profile, WriteCreatesFileAndSectionInGbkWithCrLf) {
  TempDir dir;
  ASSERT_TRUE(WriteProfileText(dir.File("pz.ini"), "软件设置", "协议", "1"));
  ASSERT_TRUE(WriteProfileText(dir.File("pz.ini"), "软件设置", "ZiDong", "0"));
  ASSERT_TRUE(WriteProfileText(dir.File("pz.ini"), "other", "k", "值"));
  EXPECT_EQ(dir.Read("pz.ini"),
            Utf8ToGbk("[软件设置]\r\n协议=1\r\nZiDong=0\r\n[other]\r\nk=值\r\n"));
}

TEST(Profile, ReadsLikeThePrivateProfileFunctions) {
  TempDir dir;
  dir.Write("a.ini",
            Utf8ToGbk("junk line\r\n[ Main ]\r\n  Key  =  spaced value  \r\nquoted=\"q v\"\r\n"
                      "key=second\r\nnoequals\r\n[main]\r\nkey=other section\r\n"
                      "[账号 甲]\r\nMiMi=密码\n"));
  const struct {
    const char* section;
    const char* key;
    const char* expected;
  } cases[] = {
      {"main", "KEY", "spaced value"},  // names ignore letter case; first key wins
      {"MAIN", "quoted", "q v"},        // one pair of quotes is removed
      {"main", "noequals", "dflt"},     // a line without "=" holds no key
      {"账号 甲", "mimi", "密码"},      // GBK section names, LF-only line ends
      {"账号甲", "MiMi", "dflt"},       // inner blanks are part of the name
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadProfileText(dir.File("a.ini"), c.section, c.key, "dflt"), c.expected)
        << c.section << "/" << c.key;
  }
}

TEST(Profile, WriteReplacesInPlaceOrAppendsToItsSection) {
  TempDir dir;
  dir.Write("a.ini", "; comment\r\n[One]\r\nA=1\r\nB=2\r\n\r\n[Two]\r\nC=3\r\n");
  ASSERT_TRUE(WriteProfileText(dir.File("a.ini"), "one", "b", "20"));
  ASSERT_TRUE(WriteProfileText(dir.File("a.ini"), "ONE", "D", "4"));
  ASSERT_TRUE(WriteProfileText(dir.File("a.ini"), "Two", "E", "line\r\nbreak"));
  EXPECT_EQ(dir.Read("a.ini"),
            "; comment\r\n[One]\r\nA=1\r\nb=20\r\nD=4\r\n\r\n[Two]\r\nC=3\r\nE=line  break\r\n");
}

TEST(Profile, ManyKeysInOneSave) {
  TempDir dir;
  ProfileFile profile = ProfileFile::Load(dir.File("set.ini"));
  for (int i = 0; i < 6; ++i) profile.Set("软件设置", "k" + std::to_string(i), std::to_string(i));
  ASSERT_TRUE(profile.Save());
  ProfileFile again = ProfileFile::Load(dir.File("set.ini"));
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(again.Get("软件设置", "K" + std::to_string(i)), std::to_string(i));
}

TEST(Profile, BinaryGarbageNeverBreaksReadOrWrite) {
  TempDir dir;
  std::string garbage;
  for (int i = 0; i < 70000; ++i) garbage.push_back(static_cast<char>((i * 7919) % 256));
  dir.Write("g.ini", garbage);
  EXPECT_EQ(ReadProfileText(dir.File("g.ini"), "DangQian", "YongHu", "x"), "x");
  ASSERT_TRUE(WriteProfileText(dir.File("g.ini"), "DangQian", "YongHu", "demo"));
  EXPECT_EQ(ReadProfileText(dir.File("g.ini"), "DangQian", "YongHu"), "demo");
}

TEST(Profile, OversizedFileIsNeitherReadNorReplaced) {
  TempDir dir;
  std::string path = dir.File("huge.ini");
  dir.Write("huge.ini", "[s]\r\nk=v\r\n");
  ASSERT_EQ(::truncate(path.c_str(), ProfileFile::kMaxBytes + 1), 0);
  EXPECT_EQ(ReadProfileText(path, "s", "k", "dflt"), "dflt");
  EXPECT_FALSE(WriteProfileText(path, "s", "k", "new"));
  EXPECT_EQ(std::filesystem::file_size(path), ProfileFile::kMaxBytes + 1);
}

TEST(Profile, NewFileModeAndExistingModeAreKept) {
  TempDir dir;
  ASSERT_TRUE(WriteProfileText(dir.File("APP.INI"), "s", "k", "v", 0600));
  struct stat st {};
  ASSERT_EQ(::stat(dir.File("APP.INI").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(::chmod(dir.File("APP.INI").c_str(), 0640), 0);
  ASSERT_TRUE(WriteProfileText(dir.File("APP.INI"), "s", "k", "w", 0600));
  ASSERT_EQ(::stat(dir.File("APP.INI").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  // Nothing but the file itself is left in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(Profile, WriteIntoMissingFolderFails) {
  TempDir dir;
  EXPECT_FALSE(WriteProfileText(dir.File("no/such/dir/a.ini"), "s", "k", "v"));
}

TEST(FileAtomic, KilledWriterNeverLeavesATornFile) {
  TempDir dir;
  const std::string path = dir.File("state.bin");
  const std::string a(1 << 20, 'a');
  const std::string b((1 << 20) + 7, 'b');
  ASSERT_TRUE(WriteFileAtomic(path, a));
  for (int round = 0; round < 5; ++round) {
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) WriteFileAtomic(path, i % 2 ? a : b);
    }
    ::usleep(30'000 + round * 7'000);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    FileContents contents = ReadFileBytes(path, 1 << 24);
    ASSERT_EQ(contents.status, ReadStatus::Ok);
    EXPECT_TRUE(contents.bytes == a || contents.bytes == b)
        << "torn file of " << contents.bytes.size() << " bytes";
  }
}

}  // namespace
}  // namespace dudivizo::platform
