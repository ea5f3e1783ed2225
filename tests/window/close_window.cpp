// Finds the running program's window, checks it is shown with its title, and
// closes it as the user does, with the window's close command; succeeds when
// the program then ends by itself with exit code 0.
//   velsona_close_window [SECONDS]      (how long to wait for the window; 30)

#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
  HWND window = nullptr;
  for (int waited = 0; window == nullptr && waited < seconds * 10; ++waited) {
    window = FindWindowW(L"VelsonaForm", nullptr);
    if (window == nullptr || !IsWindowVisible(window)) {
      window = nullptr;
      Sleep(100);
    }
  }
  if (window == nullptr) {
    std::printf("FAIL: no Velsona window within %d seconds\n", seconds);
    return 1;
  }
  wchar_t title[128] = {};
  GetWindowTextW(window, title, 128);
  if (std::wstring(title).rfind(L"Velsona - ", 0) != 0) {
    std::printf("FAIL: the window's title is not the program's\n");
    return 1;
  }
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  if (process == nullptr || WaitForSingleObject(process, 10000) != WAIT_OBJECT_0) {
    std::printf("FAIL: the program did not end when its window was closed\n");
    return 1;
  }
  DWORD code = 1;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  std::printf("%s: the window opened and the program ended with code %lu\n", code == 0 ? "ok" : "FAIL",
              static_cast<unsigned long>(code));
  return code == 0 ? 0 : 1;
}
