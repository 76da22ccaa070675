#include "runner/tests/host_process.h"

#include <fstream>
#include <sstream>

namespace orvane {

namespace {

constexpr const wchar_t* kSettingNames[] = {L"ORVANE_STANDIN_DPI", L"ORVANE_STANDIN_FAIL_VIEW",
                                            L"ORVANE_STANDIN_CONSUME",
                                            L"ORVANE_STANDIN_CALL_EXPORTS"};

std::wstring TestFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L"\\/"));
}

std::wstring TempFile(const wchar_t* prefix) {
  wchar_t folder[MAX_PATH];
  wchar_t path[MAX_PATH];
  ::GetTempPathW(MAX_PATH, folder);
  ::GetTempFileNameW(folder, prefix, 0, path);
  return path;
}

std::string ReadFile(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

HostProcess::HostProcess(const std::wstring& command_tail, const Settings& settings) {
  record_path_ = TempFile(L"rec");
  stderr_path_ = TempFile(L"err");
  // The child inherits this process's environment: set exactly the requested stand-in settings.
  for (const wchar_t* name : kSettingNames) {
    ::SetEnvironmentVariableW(name, nullptr);
  }
  // Calling the URL functions is only wanted where a test asks for it.
  ::SetEnvironmentVariableW(L"ORVANE_STANDIN_CALL_EXPORTS", L"0");
  for (const auto& setting : settings) {
    ::SetEnvironmentVariableW(setting.first.c_str(), setting.second.c_str());
  }
  ::SetEnvironmentVariableW(L"ORVANE_STANDIN_RECORD", record_path_.c_str());

  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE error = ::CreateFileW(stderr_path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nullptr;
  startup.hStdOutput = error;
  startup.hStdError = error;
  const std::wstring folder = TestFolder();
  std::wstring command =
      L"\"" + folder + L"\\orvane.exe\"" + (command_tail.empty() ? L"" : L" " + command_tail);
  PROCESS_INFORMATION info{};
  if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(),
                       &startup, &info)) {
    process_ = info.hProcess;
    process_id_ = info.dwProcessId;
    ::CloseHandle(info.hThread);
  }
  ::CloseHandle(error);
}

HostProcess::~HostProcess() {
  if (process_ != nullptr) {
    if (::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
      ::TerminateProcess(process_, 99);
      ::WaitForSingleObject(process_, 5000);
    }
    ::CloseHandle(process_);
  }
  ::DeleteFileW(record_path_.c_str());
  ::DeleteFileW(stderr_path_.c_str());
}

bool HostProcess::WaitForRecord(const std::string& prefix, DWORD timeout_ms) {
  const ULONGLONG deadline = ::GetTickCount64() + timeout_ms;
  while (true) {
    if (IndexOf(Record(), prefix) >= 0) {
      return true;
    }
    if (::GetTickCount64() > deadline) {
      return false;
    }
    ::Sleep(20);
  }
}

std::vector<std::string> HostProcess::Record() const {
  std::vector<std::string> lines;
  std::istringstream text(ReadFile(record_path_));
  std::string line;
  while (std::getline(text, line)) {
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> HostProcess::RecordValues(const std::string& prefix) const {
  std::vector<std::string> values;
  for (const std::string& line : Record()) {
    if (line.compare(0, prefix.size() + 1, prefix + " ") == 0) {
      values.push_back(line.substr(prefix.size() + 1));
    } else if (line == prefix) {
      values.push_back(std::string());
    }
  }
  return values;
}

HWND HostProcess::FindHostWindow() const {
  struct Search {
    DWORD process_id;
    HWND found;
  } search{process_id_, nullptr};
  ::EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* search = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        wchar_t class_name[64] = {};
        ::GetClassNameW(window, class_name, 64);
        if (owner == search->process_id &&
            std::wstring(class_name) == L"FLUTTER_RUNNER_WIN32_WINDOW") {
          search->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

DWORD HostProcess::WaitForExit(DWORD timeout_ms) {
  if (process_ == nullptr || ::WaitForSingleObject(process_, timeout_ms) != WAIT_OBJECT_0) {
    return STILL_ACTIVE;
  }
  DWORD code = STILL_ACTIVE;
  ::GetExitCodeProcess(process_, &code);
  return code;
}

std::string HostProcess::StandardError() const { return ReadFile(stderr_path_); }

int IndexOf(const std::vector<std::string>& record, const std::string& prefix) {
  for (size_t i = 0; i < record.size(); ++i) {
    if (record[i].compare(0, prefix.size(), prefix) == 0) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

}  // namespace orvane
