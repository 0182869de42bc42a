#include "ui/ui_test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <thread>

namespace sonavid::uitest {
namespace {

constexpr wchar_t kHostWindowClass[] = L"SonavidUiTestHost";
constexpr DWORD kPollIntervalMs = 10;
constexpr int kPollLimit = 2000;  // 20 s at most for anything the other thread does

// ---- Wine prefix set-up -------------------------------------------------------------------

bool underWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Sets a text value unless it already holds that text; returns whether it changed anything.
bool ensureRegistryText(const std::wstring& subkey, const std::wstring& name,
                        const std::wstring& value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  std::array<wchar_t, 256> current{};
  DWORD size = sizeof(current) - sizeof(wchar_t);
  DWORD type = 0;
  const bool same =
      RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(current.data()),
                       &size) == ERROR_SUCCESS &&
      type == REG_SZ && value == current.data();
  if (!same) {
    RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  }
  RegCloseKey(key);
  return !same;
}

std::wstring programFileName() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring full(path, n);
  return full.substr(full.find_last_of(L"\\/") + 1);
}

// Japanese faces of the dialogs drawn with the IPA font, and a virtual desktop for this
// program so that Wine draws title bars and frames itself (Xvfb has no window manager).
bool prepareWinePrefix() {
  bool changed = false;
  const std::wstring fonts = L"Software\\Wine\\Fonts\\Replacements";
  changed |= ensureRegistryText(fonts, L"MS UI Gothic", L"IPAGothic");
  changed |= ensureRegistryText(fonts, L"\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF", L"IPAGothic");
  changed |=
      ensureRegistryText(L"Software\\Wine\\AppDefaults\\" + programFileName() + L"\\Explorer",
                         L"Desktop", L"sonavid-ui");
  changed |= ensureRegistryText(L"Software\\Wine\\Explorer\\Desktops", L"sonavid-ui", L"1024x768");
  return changed;
}

int runAgainInChild() {
  SetEnvironmentVariableW(L"SONAVID_UI_CHILD", L"1");
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring commandLine = GetCommandLineW();
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(path, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return 1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(exitCode);
}

// ---- Screenshots as PNG (stored deflate blocks: no compression library needed) -----------

uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void appendBigEndian(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(value >> shift));
}

void appendChunk(std::string& out, const char* type, const std::string& data) {
  appendBigEndian(out, static_cast<uint32_t>(data.size()));
  std::string typed = std::string(type, 4) + data;
  out += typed;
  appendBigEndian(out, crc32(reinterpret_cast<const uint8_t*>(typed.data()), typed.size()));
}

// rgb: height rows of width * 3 bytes.
std::string encodePng(int width, int height, const std::string& rgb) {
  std::string raw;
  const size_t stride = static_cast<size_t>(width) * 3;
  for (int y = 0; y < height; ++y) {
    raw.push_back('\0');  // filter: none
    raw.append(rgb, static_cast<size_t>(y) * stride, stride);
  }
  std::string zlib = "\x78\x01";
  uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
    const size_t n = std::min<size_t>(65535, raw.size() - at);
    const bool last = at + n >= raw.size();
    zlib.push_back(last ? '\x01' : '\x00');
    zlib.push_back(static_cast<char>(n & 0xFF));
    zlib.push_back(static_cast<char>(n >> 8));
    zlib.push_back(static_cast<char>(~n & 0xFF));
    zlib.push_back(static_cast<char>((~n >> 8) & 0xFF));
    zlib.append(raw, at, n);
    if (last) break;
  }
  appendBigEndian(zlib, (b << 16) | a);

  std::string png = "\x89PNG\r\n\x1A\n";
  std::string header;
  appendBigEndian(header, static_cast<uint32_t>(width));
  appendBigEndian(header, static_cast<uint32_t>(height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB
  appendChunk(png, "IHDR", header);
  appendChunk(png, "IDAT", zlib);
  appendChunk(png, "IEND", {});
  return png;
}

std::wstring screenshotFolder() {
  std::string folder = SONAVID_SCREENSHOT_DIR;
  std::wstring wide(folder.begin(), folder.end());
  if (!wide.empty() && wide[0] == L'/') wide = L"Z:" + wide;  // Wine's drive for the Unix root
  for (auto& c : wide) {
    if (c == L'/') c = L'\\';
  }
  return wide + L"\\";
}

}  // namespace

// ---- Files ----------------------------------------------------------------------------------


void writeUtf16File(const std::wstring& path, std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// ---- The plug-in in a host ------------------------------------------------------------------

PluginHost::PluginHost(const std::wstring& folder, std::wstring section)
    : section_(std::move(section)), iniPath_(folder + L"host.ini") {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
  windowClass.lpszClassName = kHostWindowClass;
  RegisterClassExW(&windowClass);  // fails harmlessly when already registered
  window_ = CreateWindowExW(0, kHostWindowClass, L"Sonavid UI test host", WS_OVERLAPPEDWINDOW, 30,
                            20, 700, 500, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);

  module_ = LoadLibraryW((programFolder() + L"mac_Sonavid.dll").c_str());
  if (module_ == nullptr) return;
  auto entry =
      reinterpret_cast<MacPluginFn>(reinterpret_cast<void*>(GetProcAddress(module_, "macPlugin")));
  if (entry == nullptr) return;
  descriptor_.nameBuffer = nameBuffer_.data();
  descriptor_.versionBuffer = versionBuffer_.data();
  entry(&descriptor_);
  const std::u16string ini(iniPath_.begin(), iniPath_.end());
  const std::u16string sectionName(section_.begin(), section_.end());
  PluginInitRecord record{window_, ini.c_str(), sectionName.c_str()};
  descriptor_.macInitialize(&record);
}

PluginHost::~PluginHost() {
  unload();
  DestroyWindow(window_);
}

void PluginHost::unload() {
  if (module_ == nullptr) return;
  if (descriptor_.macFinalize != nullptr) descriptor_.macFinalize();
  FreeLibrary(module_);
  module_ = nullptr;
  descriptor_ = {};
}

std::optional<std::u16string> PluginHost::paramDialog(uint32_t macroIndex, char16_t letter,
                                                      const std::u16string& caption,
                                                      const Driver& driver) {
  if (!loaded()) return std::nullopt;
  ParamDialogRequest request{};
  request.macroIndex = macroIndex;
  request.macroLetter = letter;
  request.caption = caption.c_str();
  RECT hostRect{};
  GetWindowRect(window_, &hostRect);
  const HostRect rect{static_cast<int16_t>(hostRect.left), static_cast<int16_t>(hostRect.top),
                      static_cast<int16_t>(hostRect.right - hostRect.left),
                      static_cast<int16_t>(hostRect.bottom - hostRect.top)};

  std::thread driverThread([&] {
    const std::wstring title(caption.begin(), caption.end());
    HWND dialog = nullptr;
    const bool found = waitUntil([&] {
      dialog = FindWindowW(L"#32770", title.c_str());
      return dialog != nullptr && IsWindowVisible(dialog);
    });
    if (!found) return;
    driver(dialog);
    if (!waitUntil([&] { return !IsWindow(dialog); })) {
      PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
  });
  const char16_t* result = descriptor_.macParamDialog(&request, &rect);
  driverThread.join();
  if (result == nullptr) return std::nullopt;
  return std::u16string(result);
}

std::optional<std::wstring> PluginHost::hostKey(const std::wstring& key) const {
  constexpr wchar_t kMissing[] = L"\x01missing";
  std::array<wchar_t, 512> value{};
  GetPrivateProfileStringW(section_.c_str(), key.c_str(), kMissing, value.data(),
                           static_cast<DWORD>(value.size()), iniPath_.c_str());
  if (std::wstring(value.data()) == kMissing) return std::nullopt;
  return std::wstring(value.data());
}

// ---- Working a dialog -----------------------------------------------------------------------

bool waitUntil(const std::function<bool()>& condition) {
  for (int i = 0; i < kPollLimit; ++i) {
    if (condition()) return true;
    Sleep(kPollIntervalMs);
  }
  return condition();
}

std::wstring textOf(HWND window) {
  std::array<wchar_t, 1024> text{};
  // WM_GETTEXT works across threads for controls, unlike GetWindowText for other threads.
  SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

std::wstring className(HWND window) {
  std::array<wchar_t, 128> name{};
  GetClassNameW(window, name.data(), static_cast<int>(name.size()));
  return name.data();
}

namespace {

struct ChildSearch {
  std::wstring_view windowClass;
  HWND parent;
  std::vector<HWND> found;
};

BOOL CALLBACK collectChild(HWND child, LPARAM lParam) {
  auto* search = reinterpret_cast<ChildSearch*>(lParam);
  if (GetParent(child) == search->parent &&
      (search->windowClass.empty() ||
       _wcsicmp(className(child).c_str(), std::wstring(search->windowClass).c_str()) == 0)) {
    search->found.push_back(child);
  }
  return TRUE;
}

}  // namespace

std::vector<HWND> childWindows(HWND dialog, std::wstring_view windowClass) {
  ChildSearch search{windowClass, dialog, {}};
  EnumChildWindows(dialog, &collectChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND childWithText(HWND dialog, std::wstring_view windowClass, std::wstring_view text) {
  for (HWND child : childWindows(dialog, windowClass)) {
    if (textOf(child) == text) return child;
  }
  return nullptr;
}

HWND focusOf(HWND dialog) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
  return info.hwndFocus;
}

void click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

void chooseComboItem(HWND dialog, HWND combo, int index) {
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

void pressKey(HWND dialog, UINT virtualKey) {
  HWND target = focusOf(dialog);
  postKey(target != nullptr ? target : dialog, virtualKey);
}

void postKey(HWND target, UINT virtualKey) {
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
  PostMessageW(target, WM_KEYDOWN, virtualKey, scan | 1);
  PostMessageW(target, WM_KEYUP, virtualKey, scan | 1 | (LPARAM{3} << 30));
}

HWND openContextMenu(HWND dialog, HWND target) {
  RECT rect{};
  GetWindowRect(target, &rect);
  const int x = (rect.left + rect.right) / 2;
  const int y = (rect.top + rect.bottom) / 2;
  PostMessageW(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(target), MAKELPARAM(x, y));
  HWND menu = nullptr;
  waitUntil([&] {
    menu = FindWindowW(L"#32768", nullptr);
    return menu != nullptr && IsWindowVisible(menu);
  });
  return menu;
}

HMENU menuOf(HWND menuWindow) {
  return reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
}

std::wstring menuSummary(HMENU menu) {
  std::wstring summary;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    if (i > 0) summary += L'|';
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU;
    GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    if (info.fType & MFT_SEPARATOR) {
      summary += L'-';
      continue;
    }
    std::array<wchar_t, 128> text{};
    GetMenuStringW(menu, static_cast<UINT>(i), text.data(), static_cast<int>(text.size()),
                   MF_BYPOSITION);
    summary += text.data();
    if (info.fState & MFS_CHECKED) summary += L'*';
    if (info.hSubMenu != nullptr) summary += L'[' + menuSummary(info.hSubMenu) + L']';
  }
  return summary;
}

bool saveScreenshot(HWND window, const std::string& fileName) {
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME | RDW_ERASE);
  SendMessageW(window, WM_NULL, 0, 0);  // the dialog's thread has painted by now
  RECT rect{};
  GetWindowRect(window, &rect);
  return saveScreenshotOfArea(rect, fileName);
}

std::vector<uint32_t> screenPixels(const RECT& rect) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return {};

  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  const bool copied =
      BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != FALSE;
  GdiFlush();
  std::vector<uint32_t> pixels;
  if (copied && bits != nullptr) {
    const auto* bgrx = static_cast<const uint32_t*>(bits);
    pixels.assign(bgrx, bgrx + static_cast<size_t>(width) * height);
    for (uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

bool saveScreenshotOfArea(const RECT& rect, const std::string& fileName) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const std::vector<uint32_t> pixels = screenPixels(rect);
  if (pixels.empty()) return false;
  std::string rgb;
  rgb.reserve(pixels.size() * 3);
  for (uint32_t pixel : pixels) {
    rgb.push_back(static_cast<char>(pixel >> 16));
    rgb.push_back(static_cast<char>(pixel >> 8));
    rgb.push_back(static_cast<char>(pixel));
  }

  const std::wstring folder = screenshotFolder();
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring path = folder + std::wstring(fileName.begin(), fileName.end());
  const std::string png = encodePng(width, height, rgb);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
  CloseHandle(file);
  return written == png.size();
}

}  // namespace sonavid::uitest

int main(int argc, char** argv) {
  using namespace sonavid::uitest;
  if (underWine() && prepareWinePrefix() &&
      GetEnvironmentVariableW(L"SONAVID_UI_CHILD", nullptr, 0) == 0) {
    // The new settings apply to processes started from now on.
    return runAgainInChild();
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
