#include "bench/child_process.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "bench/monotonic.h"

extern char** environ;

namespace bench {

ChildRun RunChild(const std::string& program, const std::vector<std::string>& arguments) {
  ChildRun run;
  int out[2];
  if (pipe(out) != 0) return run;

  std::vector<std::string> words{program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDERR_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  posix_spawn_file_actions_addclose(&actions, out[1]);

  pid_t pid = 0;
  run.started_ns = MonotonicNs();
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (spawned != 0) {
    close(out[0]);
    return run;
  }

  char buffer[4096];
  for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) != 0;) {
    if (n > 0) run.output.append(buffer, static_cast<std::size_t>(n));
    if (n < 0 && errno != EINTR) break;
  }
  close(out[0]);

  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  run.exited_ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  run.peak_rss_kib = usage.ru_maxrss;
  return run;
}

std::string OwnFolder() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

}  // namespace bench
