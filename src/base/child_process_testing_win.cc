// The child-process runner on Windows: CreateProcessW with pipes on the
// child's standard input and output, no shell in between.
#include "base/child_process_testing.h"

#include <windows.h>

// After windows.h, which they need.
#include <psapi.h>
#include <tlhelp32.h>

#include <csignal>
#include <string>
#include <string_view>
#include <thread>

#include "base/utf16_win.h"

namespace scenario {

struct ChildProcess::State {
  HANDLE process = nullptr;
  HANDLE in = nullptr;   // the child's standard input, our end
  HANDLE out = nullptr;  // the child's standard output, our end
};

namespace {

void Close(HANDLE* h) {
  if (*h != nullptr && *h != INVALID_HANDLE_VALUE) ::CloseHandle(*h);
  *h = nullptr;
}

// One argument as the C runtime's parser reads it back: quoted when it
// holds a blank or a quote, with backslashes doubled before a quote.
std::wstring Quoted(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) {
    return arg;
  }
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

bool SameName(std::wstring_view a, std::wstring_view b) {
  return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The test's environment with env applied, as a block of "NAME=value\0"
// entries closed by another "\0". Names are compared without case.
std::wstring ChildEnvironment(const std::vector<EnvironmentChange>& env) {
  std::wstring block;
  wchar_t* const strings = ::GetEnvironmentStringsW();
  for (const wchar_t* e = strings; e != nullptr && *e != L'\0';
       e += std::wstring_view(e).size() + 1) {
    const std::wstring_view entry(e);
    const std::size_t equals = entry.find(L'=', 1);
    bool changed = false;
    for (const EnvironmentChange& c : env) {
      changed =
          changed || (equals != std::wstring_view::npos &&
                      SameName(entry.substr(0, equals), WideFromUtf8(c.name)));
    }
    if (!changed) block.append(entry).push_back(L'\0');
  }
  if (strings != nullptr) ::FreeEnvironmentStringsW(strings);
  for (const EnvironmentChange& c : env) {
    if (c.value) {
      block.append(WideFromUtf8(c.name + "=" + *c.value)).push_back(L'\0');
    }
  }
  block.push_back(L'\0');
  return block;
}

// An inheritable handle for the child's standard error: the file, or a
// copy of the test's own.
HANDLE ErrorHandle(const std::string& stderr_file) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  if (!stderr_file.empty()) {
    return ::CreateFileW(WideFromUtf8(stderr_file).c_str(), GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  HANDLE copy = nullptr;
  ::DuplicateHandle(::GetCurrentProcess(), ::GetStdHandle(STD_ERROR_HANDLE),
                    ::GetCurrentProcess(), &copy, 0, TRUE,
                    DUPLICATE_SAME_ACCESS);
  return copy;
}

// The test's answer to the Ctrl-C it sends a child on their shared
// console: taken, so that the test goes on.
BOOL WINAPI SwallowCtrlC(DWORD kind) { return kind == CTRL_C_EVENT; }

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const std::string& cwd,
                           const std::string& stderr_file,
                           const std::vector<EnvironmentChange>& env)
    : state_(new State) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE child_in = nullptr;
  HANDLE child_out = nullptr;
  if (::CreatePipe(&child_in, &state_->in, &inherit, 0) == 0) return;
  if (::CreatePipe(&state_->out, &child_out, &inherit, 0) == 0) {
    Close(&child_in);
    Close(&state_->in);
    return;
  }
  // Our ends stay here.
  ::SetHandleInformation(state_->in, HANDLE_FLAG_INHERIT, 0);
  ::SetHandleInformation(state_->out, HANDLE_FLAG_INHERIT, 0);
  HANDLE child_err = ErrorHandle(stderr_file);

  std::wstring command_line;
  for (const std::string& arg : argv) {
    if (!command_line.empty()) command_line += L' ';
    command_line += Quoted(WideFromUtf8(arg));
  }
  std::wstring environment = ChildEnvironment(env);
  const std::wstring folder = WideFromUtf8(cwd);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = child_in;
  startup.hStdOutput = child_out;
  startup.hStdError = child_err;
  PROCESS_INFORMATION made{};
  if (::CreateProcessW(
          nullptr, command_line.data(), nullptr, nullptr, TRUE,
          CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, environment.data(),
          folder.empty() ? nullptr : folder.c_str(), &startup, &made) != 0) {
    state_->process = made.hProcess;
    ::CloseHandle(made.hThread);
  }
  Close(&child_in);
  Close(&child_out);
  Close(&child_err);
}

bool ChildProcess::started() const { return state_->process != nullptr; }

long ChildProcess::pid() const {
  return state_->process != nullptr
             ? static_cast<long>(::GetProcessId(state_->process))
             : 0;
}

ChildProcess::~ChildProcess() {
  if (state_->process != nullptr && !reaped_) {
    ::TerminateProcess(state_->process, 1);
    ::WaitForSingleObject(state_->process, INFINITE);
  }
  Close(&state_->process);
  Close(&state_->in);
  Close(&state_->out);
}

bool ChildProcess::Write(const std::string& bytes) {
  std::string_view rest = bytes;
  while (!rest.empty()) {
    DWORD n = 0;
    if (state_->in == nullptr ||
        ::WriteFile(state_->in, rest.data(), static_cast<DWORD>(rest.size()),
                    &n, nullptr) == 0) {
      return false;
    }
    rest.remove_prefix(n);
  }
  return true;
}

void ChildProcess::CloseInput() { Close(&state_->in); }

bool ChildProcess::ReadUntil(
    const std::function<bool(const std::string&)>& done,
    std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  char buffer[1 << 16];
  for (;;) {
    if (done(output_)) return true;
    if (output_ended_ || state_->out == nullptr) return false;
    // An anonymous pipe cannot be waited on with a time limit: look at what
    // is there, and sleep a little when nothing is.
    DWORD ready = 0;
    if (::PeekNamedPipe(state_->out, nullptr, 0, nullptr, &ready, nullptr) ==
        0) {
      output_ended_ = true;  // the child's end is closed
      continue;
    }
    if (ready == 0) {
      if (std::chrono::steady_clock::now() >= end) return done(output_);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      continue;
    }
    DWORD n = 0;
    if (::ReadFile(state_->out, buffer,
                   std::min<DWORD>(ready, DWORD{sizeof buffer}), &n,
                   nullptr) == 0 ||
        n == 0) {
      output_ended_ = true;
    } else {
      output_.append(buffer, n);
    }
  }
}

void ChildProcess::Signal(int signal) {
  if (state_->process == nullptr || reaped_) return;
  // SIGINT is a Ctrl-C on the child's console (it has one of its own, made
  // without a window): the test joins that console for a moment and takes
  // its own share of the Ctrl-C. Any other signal, or a console that
  // cannot be joined, ends the child.
  if (signal == SIGINT) {
    // A handler rather than the flag that ignores Ctrl-C: children inherit
    // the flag, and a later child would never see its Ctrl-C.
    static const bool swallowing =
        ::SetConsoleCtrlHandler(SwallowCtrlC, TRUE) != 0;
    ::FreeConsole();
    const bool sent = swallowing &&
                      ::AttachConsole(::GetProcessId(state_->process)) != 0 &&
                      ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) != 0;
    ::FreeConsole();
    if (sent) return;
  }
  ::TerminateProcess(state_->process, 128 + static_cast<UINT>(signal));
}

void ChildProcess::Reap(bool block) {
  if (state_->process == nullptr || reaped_) return;
  if (::WaitForSingleObject(state_->process, block ? INFINITE : 0) !=
      WAIT_OBJECT_0) {
    return;
  }
  reaped_ = true;
  PROCESS_MEMORY_COUNTERS memory{};
  if (::GetProcessMemoryInfo(state_->process, &memory, sizeof memory) != 0) {
    max_resident_kib_ = static_cast<long>(memory.PeakWorkingSetSize / 1024);
  }
  DWORD code = 0;
  status_ = ::GetExitCodeProcess(state_->process, &code) != 0
                ? static_cast<int>(code)
                : -1;
}

bool ChildProcess::Running() {
  Reap(false);
  return state_->process != nullptr && !reaped_;
}

long ChildProcess::PeakResidentKibSoFar() const {
  PROCESS_MEMORY_COUNTERS memory{};
  if (state_->process == nullptr || reaped_ ||
      ::GetProcessMemoryInfo(state_->process, &memory, sizeof memory) == 0) {
    return -1;
  }
  return static_cast<long>(memory.PeakWorkingSetSize / 1024);
}

bool MakeFifo(const std::string&) { return false; }

bool RaiseStopRequest(int) {
  // A Ctrl-C goes to every process of the console: unless the test is
  // alone on its console (or has one), it takes a console of its own,
  // shared with no other process.
  DWORD processes[2];
  if (::GetConsoleProcessList(processes, 2) != 1) {
    ::FreeConsole();
    if (::AllocConsole() == 0) return false;
  }
  // Ctrl-C reaches only a process that has not turned it off.
  ::SetConsoleCtrlHandler(nullptr, FALSE);
  return ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) != 0;
}

long EndedProcessId() {
  // A child that ends at once, waited for and released: no process runs
  // under its id (until the system hands it out again, long after).
  std::wstring command_line = L"cmd.exe /c exit 0";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION made{};
  if (::CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE,
                       CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                       &made) == 0) {
    return 0;
  }
  ::WaitForSingleObject(made.hProcess, INFINITE);
  ::CloseHandle(made.hThread);
  ::CloseHandle(made.hProcess);
  return static_cast<long>(made.dwProcessId);
}

long LastingProcessId() {
  const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  long found = 0;
  for (BOOL more = ::Process32FirstW(snapshot, &entry); more && found == 0;
       more = ::Process32NextW(snapshot, &entry)) {
    if (SameName(entry.szExeFile, L"services.exe")) {
      found = static_cast<long>(entry.th32ProcessID);
    }
  }
  ::CloseHandle(snapshot);
  return found;
}

}  // namespace scenario
