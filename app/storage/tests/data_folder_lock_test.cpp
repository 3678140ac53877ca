// The hold on a data folder: taken once per process and kept, refused to a second process
// with one box and no change in the folder, given up when the holding process ends.
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "app/storage/tests/storage_fixture.h"

using namespace modDataIO;

namespace {

// Runs bLockDataFolder on the folder in a child process: 0 held, 1 refused with the box
// naming the folder, 2 anything else.
int LockInChild(const std::string& folder) {
  const pid_t child = fork();
  if (child == 0) {
    ui::RecordingHost host;
    ui::ScopedHost scoped(host);
    int code = 2;
    if (bLockDataFolder(folder)) {
      code = host.messages.empty() ? 0 : 2;
    } else if (host.messages.size() == 1 &&
               host.messages[0].text == "The data folder " + folder +
                                            " is in use by another Kestrin program. Only one program at a time "
                                            "can work in it: close the other one and try again. Nothing was "
                                            "changed." &&
               host.messages[0].title == "modDataIO.bLockDataFolder" && host.messages[0].style == 16) {
      code = 1;
    }
    _exit(code);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 3;
}

}  // namespace

class DataFolderLock : public StorageTest {};

TEST_F(DataFolderLock, OneProcessHoldsAFolderForItsLife) {
  const std::string a = dir_ + "a/";
  const std::string b = dir_ + "b/";
  std::filesystem::create_directories(a);
  std::filesystem::create_directories(b);

  // Free: another process takes it, and gives it up when it ends.
  EXPECT_EQ(LockInChild(a), 0);
  EXPECT_EQ(LockInChild(a), 0);

  ASSERT_TRUE(bLockDataFolder(a));
  EXPECT_TRUE(bLockDataFolder(a));                 // again: already held
  EXPECT_TRUE(bLockDataFolder(dir_ + "b/../a/"));  // the same folder by another name
  EXPECT_EQ(LockInChild(a), 1);
  EXPECT_EQ(LockInChild(dir_ + "b/../a/"), 1);
  EXPECT_EQ(LockInChild(b), 0);  // other folders stay free
  EXPECT_TRUE(host_.messages.empty());

  // The refused process changed nothing: the folder holds only the lock file.
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(a)) names.push_back(e.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"Kestrin.lock"});

  // A folder that does not exist is an error with a box.
  EXPECT_FALSE(bLockDataFolder(dir_ + "missing/"));
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_NE(host_.messages[0].text.find(dir_ + "missing/ does not exist"), std::string::npos);
}
