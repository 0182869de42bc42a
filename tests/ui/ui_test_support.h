// Support for dialog tests under Wine and Xvfb: the real mac_Sonavid.dll loaded by a host with
// a window of its own, a driver thread that finds a dialog and works it through window
// messages, and screenshots.
//
// This file's companion defines main(): under Wine it first makes sure the prefix has the
// Japanese font replacements and a virtual desktop for this program (so that Wine draws the
// window frames seen in screenshots), starting the tests anew in a child process when it had
// to add them.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/host_abi.h"
#include "win/plugin_fixture.h"

namespace sonavid::uitest {

using test::programFolder;
using test::TempFolder;

void writeUtf16File(const std::wstring& path, std::u16string_view text);

// Works one dialog from the driver thread. It must not use gtest assertions (the test binary
// is built without thread support in gtest); it records what it sees for the test to check.
using Driver = std::function<void(HWND dialog)>;

// The plug-in as a host holds it: loaded with LoadLibraryW from the program's folder,
// initialised with a visible host window, the host settings file and section in `folder`.
class PluginHost {
 public:
  explicit PluginHost(const std::wstring& folder, std::wstring section = L"mac_Sonavid");
  ~PluginHost();  // macFinalize, unload, host window destroyed

  bool loaded() const { return descriptor_.macParamDialog != nullptr; }
  HWND window() const { return window_; }
  const std::wstring& iniPath() const { return iniPath_; }

  // macParamDialog over the host window, while `driver` works the dialog titled `caption` on
  // another thread. Returns the text the plug-in returned, or nothing for a null pointer.
  // A dialog the driver leaves open is cancelled so that the call always returns.
  std::optional<std::u16string> paramDialog(uint32_t macroIndex, char16_t letter,
                                            const std::u16string& caption, const Driver& driver);

  // A key of the host settings file's section, or nothing when it is missing.
  std::optional<std::wstring> hostKey(const std::wstring& key) const;

  // Ends the plug-in (macFinalize) and unloads it, as a host does when it closes.
  void unload();

 private:
  std::wstring section_;
  std::wstring iniPath_;
  HWND window_ = nullptr;
  HMODULE module_ = nullptr;
  PluginDescriptor descriptor_{};
  std::u16string nameBuffer_ = std::u16string(256, u'\0');
  std::u16string versionBuffer_ = std::u16string(256, u'\0');
};

// Bounded polling for things another thread does; false when it never happened.
bool waitUntil(const std::function<bool()>& condition);

std::wstring textOf(HWND window);
std::wstring className(HWND window);
// Child windows of a dialog in creation (tab) order, optionally only of one class.
std::vector<HWND> childWindows(HWND dialog, std::wstring_view windowClass = {});
// The child with exactly this class and text, or null.
HWND childWithText(HWND dialog, std::wstring_view windowClass, std::wstring_view text);
// The window that has the keyboard focus in the dialog's thread.
HWND focusOf(HWND dialog);

// A click on a button, radio button included (BM_CLICK).
void click(HWND button);
// Selects an item of a combo box and sends the change notification the user's choice sends.
void chooseComboItem(HWND dialog, HWND combo, int index);
// A key press posted to the window with the focus, as the keyboard delivers it.
void pressKey(HWND dialog, UINT virtualKey);
// A key press posted to one window (an open menu, for instance).
void postKey(HWND target, UINT virtualKey);
// Opens the dialog's context menu and returns the menu window (null if none appeared).
HWND openContextMenu(HWND dialog, HWND target);
// The menu of an open popup menu window.
HMENU menuOf(HWND menuWindow);
// A menu in one line: items separated by "|", a separator as "-", a checked item marked "*",
// a submenu in brackets after its caption: "A|B|-|C[D*|E]".
std::wstring menuSummary(HMENU menu);

// What the screen shows in an area now, as rows of 0xRRGGBB pixels (empty when nothing could
// be captured). Nothing is repainted first.
std::vector<uint32_t> screenPixels(const RECT& area);

// Saves what the screen shows of `window` (frame included) as a PNG file under the
// screenshot folder. Returns false when nothing could be captured.
bool saveScreenshot(HWND window, const std::string& fileName);
// The same for an area of the screen (a dialog with an open drop-down list, say).
bool saveScreenshotOfArea(const RECT& area, const std::string& fileName);

}  // namespace sonavid::uitest
