// sonavid-host.exe [--ini FILE] [--section NAME] COMMAND ...
// Loads mac_Sonavid.dll from its own folder exactly as a host does, initialises it with a
// window of its own as the owner, runs one subcommand and finalises the plug-in.
#include <windows.h>

#include <cstring>
#include <string>

#include "commands.h"
#include "common/text.h"
#include "console_out.h"
#include "file_checks.h"

#ifndef SONAVID_VERSION
#define SONAVID_VERSION "unknown"
#endif
#define SONAVID_WIDEN(text) u"" text
#define SONAVID_VERSION_U16 SONAVID_WIDEN(SONAVID_VERSION)

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

struct CommandEntry {
  std::wstring_view name;
  int (*run)(HostContext&, const Arguments&);
  std::string_view usage;  // after "usage: sonavid-host.exe [--ini FILE] [--section NAME] "
  std::string_view help;
};

constexpr CommandEntry kCommands[] = {
    {L"names", runNames, "names\n",
     "The plug-in's name and version text, each macro's name and description, and which media\n"
     "reader and substitution the plug-in uses.\n"},
    {L"expand", runExpand, "expand [--timing] [--letter0 C] [--letter1 C] MACROTEXT... -- FILE...\n",
     "Expands each macro text (\"/a\", \"/b<MP3,TIME>\" ...) for each file, as in one run of the\n"
     "host, and prints one line per file: its name and the expansions, tab-separated (tabs,\n"
     "line breaks and control characters written as \\t, \\n, \\r, \\xNN). A file that cannot be\n"
     "read keeps its line; its reason goes to stderr and the exit status is 1. --timing adds, on\n"
     "stderr, how long the plug-in took for each macro text.\n"},
    {L"preview", runPreview, "preview [--letter0 C] [--letter1 C] TEMPLATE FILE...\n",
     "Shows the name each file would get from a file-name template: text with the plug-in's\n"
     "macros in it, e.g. \"/b<,IART> - /b<,INAM> (/b<,TIME>)\". Each file stays in its folder\n"
     "and keeps its extension unless the template ends in one (\".mp3\", \"./a<1>\"). Prints\n"
     "\"old name \xE2\x86\x92 new name\" per file; flags (lines starting with \"!\") names two files\n"
     "would share, names an existing file not being renamed has, and names Windows does not\n"
     "allow (\\ / : * ? \" < > |, control characters, a trailing dot or space, device names).\n"
     "Renames nothing. Exit status 1 when a name is flagged or a file cannot be read.\n"},
    {L"param", runParam, "param 0|1 [--letter C] [--caption TEXT]\n",
     "Shows the parameter dialog of macro 0 or 1 and prints the macro text it returns.\n"},
    {L"setup", runSetup, "setup\n", "Shows the setup dialog.\n"},
};

constexpr std::string_view kUsageHead = "usage: sonavid-host.exe [--ini FILE] [--section NAME] ";

const CommandEntry* findCommand(std::wstring_view name) {
  for (const CommandEntry& entry : kCommands) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

std::string narrow(std::wstring_view text) { return utf16ToUtf8(std::u16string(text.begin(), text.end())); }

std::string toolHelp() {
  std::string text = std::string(kUsageHead) + "COMMAND ...\n";
  text += "       sonavid-host.exe --help | --version\n"
          "Loads mac_Sonavid.dll from its own folder as a host does and drives it.\n"
          "  --ini FILE      the host settings file (default sonavid-host.ini here)\n"
          "  --section NAME  its section for the plug-in (default mac_Sonavid)\n"
          "Commands (\"COMMAND --help\" for each):\n";
  for (const CommandEntry& entry : kCommands) text += "  " + std::string(entry.usage);
  text += "Exit status: 0 done; 1 a file could not be read, a name was flagged or the plug-in\n"
          "did not load; 2 wrong usage.\n";
  return text;
}

int toolUsageError(const std::string& message) {
  writeErr("sonavid-host: " + message + "\nTry 'sonavid-host.exe --help' for more information.\n");
  return 2;
}

// "--help" or "-h" among a command's options (before any "--").
bool asksForHelp(const Arguments& args) {
  for (const std::wstring& arg : args) {
    if (arg == L"--") return false;
    if (arg == L"--help" || arg == L"-h") return true;
  }
  return false;
}

}  // namespace

HostRect hostRectOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return HostRect{static_cast<int16_t>(rect.left), static_cast<int16_t>(rect.top),
                  static_cast<int16_t>(rect.right - rect.left),
                  static_cast<int16_t>(rect.bottom - rect.top)};
}

int usageError(std::wstring_view command, std::string_view message) {
  const CommandEntry* entry = findCommand(command);
  writeErr("sonavid-host " + narrow(command) + ": " + std::string(message) + "\n" + std::string(kUsageHead) +
           (entry != nullptr ? std::string(entry->usage) : "\n") + "Try 'sonavid-host.exe " +
           narrow(command) + " --help' for more information.\n");
  return 2;
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
  if (i >= argc) return toolUsageError("no command given");
  const std::wstring command = argv[i++];
  Arguments args(argv + i, argv + argc);
  if (command == L"--help" || command == L"-h" || command == L"help") {
    writeOut(utf8ToUtf16(toolHelp()));
    return 0;
  }
  if (command == L"--version") {
    writeOut(u"sonavid-host " SONAVID_VERSION_U16 u"\n");
    return 0;
  }
  const CommandEntry* entry = findCommand(command);
  if (entry == nullptr) return toolUsageError("unknown command: " + narrow(command));
  if (asksForHelp(args)) {
    writeOut(utf8ToUtf16(std::string(kUsageHead) + std::string(entry->usage) + std::string(entry->help)));
    return 0;
  }
  using Command = int (*)(HostContext&, const Arguments&);
  const Command chosen = entry->run;

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
