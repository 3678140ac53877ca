#include "platform/help/help_qt.h"

#include <spawn.h>
#include <sys/wait.h>

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <cerrno>
#include <cstdlib>
#include <thread>
#include <vector>

extern char** environ;

namespace help {
namespace {

// The launcher commands, each as its program and arguments, the URL in place.
std::vector<QStringList> Launchers(const QString& url) {
  std::vector<QStringList> commands;
  const char* browser = std::getenv("BROWSER");
  if (browser != nullptr) {
    for (const QString& entry : QString::fromLocal8Bit(browser).split(u':', Qt::SkipEmptyParts)) {
      QStringList command = QProcess::splitCommand(entry);
      if (command.isEmpty()) continue;
      bool placed = false;
      for (QString& arg : command) {
        if (arg.contains(QStringLiteral("%s"))) {
          arg.replace(QStringLiteral("%s"), url);
          placed = true;
        }
      }
      if (!placed) command << url;
      commands.push_back(command);
    }
  }
  const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (!xdgOpen.isEmpty()) commands.push_back({xdgOpen, url});
  return commands;
}

enum class Outcome { kShown, kFailed };

// Starts the command and waits up to `wait` for it to end: exit status 0 is shown, any other
// end a failure; still running, it is left to run (a thread of its own reaps it) and counts as
// shown.
Outcome Launch(const QStringList& command, std::chrono::milliseconds wait) {
  std::vector<std::string> args;
  for (const QString& a : command) args.push_back(a.toLocal8Bit().toStdString());
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return Outcome::kFailed;
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? Outcome::kShown : Outcome::kFailed;
    if (done < 0 && errno != EINTR) return Outcome::kFailed;
    if (std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::thread([pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return Outcome::kShown;
}

}  // namespace

bool QtHelpOpener::open(const std::string& url) {
  for (const QStringList& command : Launchers(QString::fromStdString(url))) {
    if (Launch(command, handOffWait_) == Outcome::kShown) return true;
  }
  return false;
}

}  // namespace help
