// Test support: a folder that nobody can write, root included. The folder's mode bits do not
// stop the superuser (as which the tests run in CI); a read-only mount does. The folder is
// bind-mounted read-only onto itself in a private mount namespace (for an ordinary user, in a
// user namespace of its own), so that nothing outside sees the mount and the files themselves
// are untouched. A test that needs such a folder fails, naming what the machine lacks, where
// none can be made (KESTRIN_REQUIRE_READ_ONLY_FOLDER, ReadOnlyFolder::Unavailable).
//   ReadOnlyFolder   for the rest of the calling thread's life (its namespace), until the
//                    object goes;
//   InReadOnlyFolder runs a body in a forked child, so that the test process keeps its own
//                    namespace, and checks afterwards what the body left in the folder;
//   InBoundFolder    runs a body in a forked child in which a folder is mounted a second
//                    time under another name (how an installed folder may be reached).
#pragma once

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>

namespace testsupport {

namespace detail {

inline bool WriteTo(const char* file, const std::string& text) {
  std::ofstream out(file);
  out << text;
  return static_cast<bool>(out.flush());
}

// New namespaces of the kinds `flags` (CLONE_NEWNS, CLONE_NEWPID, ...) for this thread: as
// root directly, otherwise inside a user namespace of its own in which this user is root.
// "" on success, else what failed, naming what the machine lacks for `purpose` when it allows
// neither.
inline std::string OwnNamespaces(int flags, const std::string& purpose) {
  if (::unshare(flags) == 0) return {};
  const int asRoot = errno;
  const uid_t uid = ::geteuid();
  const gid_t gid = ::getegid();
  if (::unshare(CLONE_NEWUSER | flags) != 0) {
    const int inUserNamespace = errno;
    if (inUserNamespace == EINVAL)
      return std::string("a process with threads cannot enter a user namespace (unshare: ") +
             std::strerror(inUserNamespace) + ")";
    return "this machine cannot make " + purpose + " for this user (uid " + std::to_string(uid) +
           "): it may not make the namespace (unshare: " + std::strerror(asRoot) +
           ", not being root) nor create a user namespace (unshare: " + std::strerror(inUserNamespace) +
           "; see the sysctls user.max_user_namespaces, kernel.unprivileged_userns_clone and "
           "kernel.apparmor_restrict_unprivileged_userns)";
  }
  if (!WriteTo("/proc/self/setgroups", "deny") || !WriteTo("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
      !WriteTo("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
    return "the user namespace's id maps could not be written";
  return {};
}

// A private mount namespace for this thread (see OwnNamespaces), made for `purpose`; "" on
// success, else what failed.
inline std::string PrivateMounts(const std::string& purpose = "a read-only folder") {
  if (std::string why = OwnNamespaces(CLONE_NEWNS, purpose); !why.empty()) return why;
  // Private, so that the mounts below never reach the namespace of the parent.
  if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
    return std::string("mount --make-rprivate /: ") + std::strerror(errno);
  return {};
}

// Binds `folder` read-only onto itself; "" on success, else what failed. `bound` tells
// whether the bind itself was made (to be undone).
inline std::string BindReadOnly(const std::string& folder, bool& bound) {
  bound = false;
  if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0)
    return "mount " + folder + ": " + std::strerror(errno);
  bound = true;
  if (::mount(nullptr, folder.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0)
    return "mount -o remount,ro " + folder + ": " + std::strerror(errno);
  return {};
}

}  // namespace detail

// `path` read-only for the calling thread while the object lives. Unavailable() says why it
// could not be made (no right to make mount namespaces), empty when the folder is read-only.
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(std::string path) : path_(std::move(path)) {
    why_ = detail::PrivateMounts();
    if (why_.empty()) why_ = detail::BindReadOnly(path_, bound_);
  }
  ~ReadOnlyFolder() {
    if (bound_) ::umount2(path_.c_str(), MNT_DETACH);
  }
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

  const std::string& Unavailable() const { return why_; }

 private:
  std::string path_;
  std::string why_;
  bool bound_ = false;
};

namespace detail {

// What `body` returns, run in a forked child; a child that did not end normally gives a text
// saying so, beginning with "read-only folder:".
inline std::string InChild(const std::function<std::string()>& body) {
  int fds[2];
  if (::pipe(fds) != 0) return std::string("read-only folder: pipe: ") + std::strerror(errno);
  const pid_t child = ::fork();
  if (child < 0) return std::string("read-only folder: fork: ") + std::strerror(errno);
  if (child == 0) {
    ::close(fds[0]);
    const std::string result = body();
    for (std::size_t done = 0; done < result.size();) {
      const ssize_t n = ::write(fds[1], result.data() + done, result.size() - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string result;
  char buf[4096];
  for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    result.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fds[0]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return "read-only folder: the child ended with status " + std::to_string(status) + " after: " + result;
  return result;
}

}  // namespace detail

// What `body` returns, run in a forked child in which `folder` is read-only. A child that
// could not make the folder read-only, or that did not end normally, returns a text saying so
// (beginning with "read-only folder:"), which no test expects.
inline std::string InReadOnlyFolder(const std::string& folder, const std::function<std::string()>& body) {
  return detail::InChild([&] {
    std::string result = detail::PrivateMounts();
    bool bound = false;
    if (result.empty()) result = detail::BindReadOnly(folder, bound);
    return result.empty() ? body() : "read-only folder: " + result;
  });
}

// Why no read-only folder can be made here, "" when one can: tried in a forked child, as
// InReadOnlyFolder makes it.
inline std::string ReadOnlyFolderUnavailable() {
  return detail::InChild([] { return detail::PrivateMounts(); });
}

// What `body` returns, run in a forked child in which `folder` is mounted a second time at
// `at` (an existing folder), as an administrator may mount an installed folder: the same
// files under another name that no link leads to. A child that could not make the mount
// returns a text saying so (beginning with "bind mount:"), which no test expects.
inline std::string InBoundFolder(const std::string& folder, const std::string& at,
                                 const std::function<std::string()>& body) {
  return detail::InChild([&] {
    std::string result = detail::PrivateMounts("a second mount of a folder");
    if (result.empty() && ::mount(folder.c_str(), at.c_str(), nullptr, MS_BIND, nullptr) != 0)
      result = "mount --bind " + folder + " " + at + ": " + std::strerror(errno);
    return result.empty() ? body() : "bind mount: " + result;
  });
}

// Why no second mount of a folder can be made here, "" when one can.
inline std::string BoundFolderUnavailable() {
  return detail::InChild([] { return detail::PrivateMounts("a second mount of a folder"); });
}

}  // namespace testsupport

// Every test that needs a read-only folder starts with this. Where none can be made (an
// ordinary user on a machine that allows no user namespaces) the test fails with what the
// machine lacks: it never passes or skips without having run.
#define KESTRIN_REQUIRE_READ_ONLY_FOLDER()                                                                          \
  if (const std::string kestrinReadOnlyWhy = testsupport::ReadOnlyFolderUnavailable(); !kestrinReadOnlyWhy.empty()) \
  FAIL() << kestrinReadOnlyWhy

// The same for a test that mounts a folder a second time (InBoundFolder).
#define KESTRIN_REQUIRE_BOUND_FOLDER()                                                                     \
  if (const std::string kestrinBoundWhy = testsupport::BoundFolderUnavailable(); !kestrinBoundWhy.empty()) \
  FAIL() << kestrinBoundWhy
