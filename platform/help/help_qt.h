// The program's help opener: hands the topic URL to the desktop (the user's browser).
//
// The launchers tried, in order: each command of $BROWSER (a list separated by ":"; "%s" in a
// command stands for the URL, else the URL is added as its last argument), then xdg-open. A
// launcher that cannot be started or ends other than with exit status 0 has failed and the next
// one is tried.
//
// open() never waits for a launcher: it starts the first one that can be started and returns.
// The launcher's end is watched from the event loop (through a pidfd, readable once the process
// has ended), so the window goes on painting and answering however long a launcher runs: a
// browser named in $BROWSER, or xdg-open on a desktop without a desktop environment, shows the
// page in the foreground until the user closes it. A launcher that ends with status 0 has shown
// the page; one that fails, even long after open() returned, has the next one started; when none
// is left the page was not shown. A launcher still running when the opener is destroyed (the
// program ends) is left to run.
//
// A page not shown is reported once for a burst of opens: when one open's launchers have all
// failed, the opens begun before that report that fail as well are not reported again (a Help
// button pressed many times over, each launcher failing late, gives one message, not one nested
// in the other for each press). An open begun after the report is reported on its own.
#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <memory>

#include "platform/help/help.h"

namespace help {

class QtHelpOpener : public Opener {
 public:
  // Receives the outcome of each open() that returned true, once its launchers are done: shown
  // when one ended with exit status 0, not shown when every one failed (only for the first of a
  // burst, see above). Called from the event loop (during open() only for a launcher whose end
  // cannot be watched, taken as shown).
  using Outcome = std::function<void(bool shown)>;

  explicit QtHelpOpener(Outcome outcome);
  ~QtHelpOpener() override;
  QtHelpOpener(const QtHelpOpener&) = delete;
  QtHelpOpener& operator=(const QtHelpOpener&) = delete;

  // True when a launcher was started (the outcome follows); false when none could be started.
  bool open(const std::string& url) override;

 private:
  struct Launch;
  enum class Started { kWatched, kUnwatched, kNone };
  // Starts the launch's next launcher that can be started and watches for its end.
  Started StartNext(Launch& launch);
  // The watched launcher has ended (or its pidfd woke the event loop): the next one or the outcome.
  void Ended(Launch& launch);
  // Forgets the launch and reports its outcome.
  void Finish(Launch& launch, bool shown);

  Outcome outcome_;
  std::list<std::unique_ptr<Launch>> launches_;  // each with its launcher running
  std::uint64_t opened_ = 0;                     // the opens begun
  std::uint64_t failureReportedUpTo_ = 0;        // the opens covered by the last "not shown"
};

}  // namespace help
