// sonavid-host.exe [--ini FILE] [--section NAME] SUBCOMMAND ...
// Loads mac_Sonavid.dll from its own folder exactly as a host does, initialises it with a
// window of its own as the owner, runs one subcommand and finalises the plug-in.
#include <windows.h>

#include <cstring>
#include <string>

#include "commands.h"
#include "console_out.h"

namespace sonavid::host {
namespace {

constexpr wchar_t kWindowClass[] = L"SonavidHostWindow";

std::wstring folderOfThisProgram() {
  wchar_t path[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  std::wstring full(path, n);
  const size_t slash = full.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : full.substr(0, slash + 1);
}

std::wstring fullPathOf(const std::wstring& path) {
  wchar_t buffer[MAX_PATH * 4];
  const DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(std::size(buffer)), buffer, nullptr);
  return n > 0 && n < std::size(buffer) ? std::wstring(buffer, n) : path;
}

HWND createHostWindow(bool visible) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);
  HWND window = CreateWindowExW(0, kWindowClass, L"sonavid-host", WS_OVERLAPPEDWINDOW, 40, 40,
                                900, 640, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (window != nullptr && visible) {
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
  }
  return window;
}

int usage() {
  writeErr(
      "usage: sonavid-host.exe [--ini FILE] [--section NAME] SUBCOMMAND ...\n"
      "  names                                      plug-in and macro names\n"
      "  expand [--timing] [--letter0 C] [--letter1 C] MACROTEXT... -- FILE...\n"
      "  param 0|1 [--letter C] [--caption TEXT]    parameter dialog\n"
      "  setup                                      setup dialog\n");
  return 2;
}

}  // namespace

HostRect hostRectOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return HostRect{static_cast<int16_t>(rect.left), static_cast<int16_t>(rect.top),
                  static_cast<int16_t>(rect.right - rect.left),
                  static_cast<int16_t>(rect.bottom - rect.top)};
}

int run(int argc, wchar_t** argv) {
  std::wstring iniPath = L"sonavid-host.ini";
  std::wstring section = L"mac_Sonavid";
  int i = 1;
  for (; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--ini" && i + 1 < argc) {
      iniPath = argv[++i];
    } else if (arg == L"--section" && i + 1 < argc) {
      section = argv[++i];
    } else {
      break;
    }
  }
  if (i >= argc) return usage();
  const std::wstring command = argv[i++];
  Arguments args(argv + i, argv + argc);

  using Command = int (*)(HostContext&, const Arguments&);
  Command chosen = command == L"names"   ? runNames
                   : command == L"expand" ? runExpand
                   : command == L"param"  ? runParam
                   : command == L"setup"  ? runSetup
                                          : nullptr;
  if (chosen == nullptr) return usage();

  PluginClient plugin;
  std::string error;
  if (!plugin.load(folderOfThisProgram() + L"mac_Sonavid.dll", error)) {
    writeErr("sonavid-host: " + error + "\n");
    return 1;
  }
  const bool showsDialogs = chosen == runParam || chosen == runSetup;
  HWND window = createHostWindow(showsDialogs);
  HostContext context{plugin, window, fullPathOf(iniPath), section};
  plugin.initialize(window, context.iniPath, context.section);
  const int status = chosen(context, args);
  plugin.finalize();
  if (window != nullptr) DestroyWindow(window);
  return status;
}

}  // namespace sonavid::host

int wmain(int argc, wchar_t** argv) { return sonavid::host::run(argc, argv); }
