#include "tests/support/program_runner.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace {

std::string quoted(const std::string& text) {
  std::string out = "'";
  for (const char c : text) {
    if (c == '\'') {
      out += "'\\''";
    } else {
      out += c;
    }
  }
  return out + "'";
}

}  // namespace

std::string makeScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "sproing_test_XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  return pattern;
}

void removeFolder(const std::string& folder) {
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

std::vector<std::string> folderEntries(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string withoutCarriageReturns(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

namespace {

// A minute is far more than any run needs, even under Wine or a memory checker.
constexpr auto kTimeLimit = std::chrono::seconds(60);

std::string toolUnderTest(const ProgramRunOptions& options) {
  // Set in the environment, these run another build (e.g. under Wine) with the same tests.
  const char* tool = std::getenv(options.sweep   ? "SPROING_SWEEP_UNDER_TEST"
                                 : options.apply ? "SPROING_APPLY_UNDER_TEST"
                                                 : "SPROING_DUMP_UNDER_TEST");
  if (tool != nullptr && *tool != '\0') return tool;
  return options.sweep ? SPROING_SWEEP_EXE : options.apply ? SPROING_APPLY_EXE : SPROING_DUMP_EXE;
}

std::string toolRunner() {
  const char* runner = std::getenv("SPROING_TOOL_RUNNER");
  return runner != nullptr ? runner : SPROING_DUMP_RUNNER;
}

[[noreturn]] void failInChild(const char* what) {
  const std::string line = std::string("cannot start the tool: ") + what + "\n";
  (void)!write(2, line.data(), line.size());
  _exit(126);
}

}  // namespace

bool toolsAreWindowsBuilds() {
  const std::string tool = toolUnderTest(ProgramRunOptions{});
  return tool.size() >= 4 && tool.compare(tool.size() - 4, 4, ".exe") == 0;
}

ProgramProcess startProgram(const std::vector<std::string>& arguments, const std::string& folder,
                      const ProgramRunOptions& options) {
  ProgramProcess process;
  process.captured = makeScratchFolder();
  std::ostringstream command;
  command << "exec " << toolRunner() << " " << quoted(toolUnderTest(options));
  for (const std::string& argument : arguments) command << ' ' << quoted(argument);
  process.command = command.str();
  // Everything the child needs is made before the fork: it only opens, redirects and execs.
  const std::string output =
      options.standardOutput.empty() ? process.captured + "/out" : options.standardOutput;
  const std::string errors = process.captured + "/err";
  int pipeEnds[2] = {-1, -1};
  if (options.closedPipe) {
    if (pipe(pipeEnds) != 0) return process;
    // The reader goes before the fork: closed only after it, a busy machine could let the
    // tool write into the still-open pipe first, and its write would succeed.
    close(pipeEnds[0]);
  }
  process.pid = fork();
  if (process.pid == 0) {
    setpgid(0, 0);  // a group of its own, so a runaway run is killed with all it started
    const int in = open("/dev/null", O_RDONLY);
    const int out = options.closedPipe ? pipeEnds[1]
                                       : open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in == -1 || out == -1 || err == -1) failInChild("cannot open its standard streams");
    if (dup2(in, 0) == -1 || dup2(out, 1) == -1 || dup2(err, 2) == -1) failInChild("dup2");
    if (chdir(folder.c_str()) != 0) failInChild("cannot enter its folder");
    if (options.fileSizeLimit > 0) {
      signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{static_cast<rlim_t>(options.fileSizeLimit),
                         static_cast<rlim_t>(options.fileSizeLimit)};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) failInChild("setrlimit");
    }
    execl("/bin/sh", "sh", "-c", process.command.c_str(), static_cast<char*>(nullptr));
    failInChild("exec");
  }
  if (process.pid > 0) setpgid(process.pid, process.pid);
  if (options.closedPipe) close(pipeEnds[1]);
  return process;
}

ProgramRun waitForProgram(ProgramProcess& process) {
  ProgramRun run;
  if (process.pid <= 0) {
    ADD_FAILURE() << "cannot start: " << process.command;
    removeFolder(process.captured);
    return run;
  }
  const auto deadline = std::chrono::steady_clock::now() + kTimeLimit;
  auto pause = std::chrono::microseconds(100);
  int raw = 0;
  bool timedOut = false;
  for (;;) {
    const pid_t ended = waitpid(process.pid, &raw, WNOHANG);
    if (ended == process.pid) break;
    if (ended == -1 && errno != EINTR) {
      raw = -1;
      break;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      kill(-process.pid, SIGKILL);
      waitpid(process.pid, &raw, 0);
      timedOut = true;
      break;
    }
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::microseconds(20000));
  }
  if (timedOut) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    ADD_FAILURE() << (test != nullptr ? std::string(test->test_suite_name()) + "." + test->name()
                                      : std::string("a test"))
                  << ": the tool ran past its time limit of " << kTimeLimit.count()
                  << " s and was killed: " << process.command;
  }
  if (raw != -1 && WIFEXITED(raw)) run.status = WEXITSTATUS(raw);
  if (raw != -1 && WIFSIGNALED(raw)) run.status = 128 + WTERMSIG(raw);
  if (timedOut) run.status = -1;
  run.output = readFile(process.captured + "/out");
  run.errors = readFile(process.captured + "/err");
  removeFolder(process.captured);
  process.pid = -1;
  return run;
}

ProgramRun runProgram(const std::vector<std::string>& arguments, const std::string& folder,
                const ProgramRunOptions& options) {
  ProgramProcess process = startProgram(arguments, folder, options);
  return waitForProgram(process);
}
