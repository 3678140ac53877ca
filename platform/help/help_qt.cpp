#include "platform/help/help_qt.h"

#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QProcess>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "libs/vb/vberror.h"

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

// Starts the command (searched in PATH); its process id, or nothing when it cannot be started.
std::optional<pid_t> Spawn(const QStringList& command) {
  std::vector<std::string> args;
  for (const QString& a : command) args.push_back(a.toLocal8Bit().toStdString());
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return std::nullopt;
  return pid;
}

}  // namespace

// One open(): the launchers left to try and the one running.
struct QtHelpOpener::Launch {
  std::uint64_t number = 0;  // in the order of the open() calls, from 1
  std::vector<QStringList> commands;
  std::size_t next = 0;
  pid_t pid = 0;
  int pidfd = -1;
  std::unique_ptr<QSocketNotifier> ended;  // on the pidfd

  Launch() = default;
  Launch(const Launch&) = delete;
  Launch& operator=(const Launch&) = delete;
  ~Launch() { Unwatch(); }
  void Unwatch() {
    ended.reset();
    if (pidfd >= 0) close(pidfd);
    pidfd = -1;
  }
};

QtHelpOpener::QtHelpOpener(Outcome outcome) : outcome_(std::move(outcome)) {}

// Launchers still running are neither waited for nor ended: the browser the user reads the help
// in stays open when the program closes.
QtHelpOpener::~QtHelpOpener() = default;

bool QtHelpOpener::open(const std::string& url) {
  auto launch = std::make_unique<Launch>();
  launch->number = ++opened_;
  launch->commands = Launchers(QString::fromStdString(url));
  switch (StartNext(*launch)) {
    case Started::kNone:
      return false;
    case Started::kUnwatched:
      outcome_(true);
      return true;
    case Started::kWatched:
      launches_.push_back(std::move(launch));
      return true;
  }
  return false;
}

QtHelpOpener::Started QtHelpOpener::StartNext(Launch& launch) {
  launch.Unwatch();
  while (launch.next < launch.commands.size()) {
    const std::optional<pid_t> pid = Spawn(launch.commands[launch.next++]);
    if (!pid) continue;
    launch.pid = *pid;
    launch.pidfd = static_cast<int>(syscall(SYS_pidfd_open, launch.pid, 0));
    if (launch.pidfd < 0) {
      // The system gives no pidfd (a kernel before 5.3, no file descriptor left): the launcher
      // runs on unwatched and is taken as showing the page.
      vb::NoteIgnoredError("help::QtHelpOpener: the launcher's end cannot be watched",
                           std::system_error(errno, std::generic_category()));
      return Started::kUnwatched;
    }
    launch.ended = std::make_unique<QSocketNotifier>(launch.pidfd, QSocketNotifier::Read);
    Launch* watched = &launch;
    QObject::connect(launch.ended.get(), &QSocketNotifier::activated, launch.ended.get(),
                     [this, watched] { Ended(*watched); });
    return Started::kWatched;
  }
  return Started::kNone;
}

void QtHelpOpener::Ended(Launch& launch) {
  int status = 0;
  pid_t done = 0;
  do {
    done = waitpid(launch.pid, &status, WNOHANG);
  } while (done < 0 && errno == EINTR);
  if (done == 0) return;  // still running
  const bool shown = done == launch.pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (shown) return Finish(launch, true);
  switch (StartNext(launch)) {
    case Started::kWatched:
      return;
    case Started::kUnwatched:
      return Finish(launch, true);
    case Started::kNone:
      return Finish(launch, false);
  }
}

void QtHelpOpener::Finish(Launch& launch, bool shown) {
  const std::uint64_t number = launch.number;
  // Forgotten before the outcome is reported: the report may show a message whose own event loop
  // sees other launches end.
  for (auto it = launches_.begin(); it != launches_.end(); ++it) {
    if (it->get() == &launch) {
      launches_.erase(it);
      break;
    }
  }
  if (!shown) {
    // The failure reported covers every launch begun until now: those of the same burst of
    // presses that fail too (during its message or after) are not reported again.
    if (number <= failureReportedUpTo_) return;
    failureReportedUpTo_ = opened_;
  }
  outcome_(shown);
}

}  // namespace help
