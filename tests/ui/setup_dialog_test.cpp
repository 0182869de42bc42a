// The setup dialog of the real plug-in, worked through window messages and the mouse from a
// driver thread while macSetup runs its modal loop on the test's main thread.
#include <windows.h>
//
#include <commctrl.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "engine/execute_request.h"
#include "setup/setup_dialog_win.h"
#include "ui/ui_test_support.h"

namespace sonavid::uitest {
namespace {

using setup::kIdButtonSample;
using setup::kIdButtonTest;
using setup::kIdComboBoxListView;
using setup::kIdComboBoxSample;
using setup::kIdEditListView;
using setup::kIdEditTest;
using setup::kIdFirstList;
using setup::kIdMenuAdd;
using setup::kIdMenuSave;
using setup::kIdPageControl;

constexpr int kPageMp3 = 0;
constexpr int kPageWav = 1;
constexpr int kPageAvi = 2;

std::wstring mediaFixture(const std::string& name) {
  std::string unixPath = std::string(SONAVID_TEST_DATA) + "/media/" + name;
  std::wstring path = L"Z:" + std::wstring(unixPath.begin(), unixPath.end());
  for (auto& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

// The plug-in's own callbacks, taken from the module the host loaded.
struct PluginCallbacks {
  PluginCallbacks() {
    module = GetModuleHandleW((programFolder() + L"mac_Sonavid.dll").c_str());
    if (module == nullptr) return;
    auto entry =
        reinterpret_cast<MacPluginFn>(reinterpret_cast<void*>(GetProcAddress(module, "macPlugin")));
    formSetup = reinterpret_cast<void**>(GetProcAddress(module, "_FormSetup"));
    if (entry == nullptr) return;
    descriptor.nameBuffer = name.data();
    descriptor.versionBuffer = version.data();
    entry(&descriptor);
  }
  HMODULE module = nullptr;
  PluginDescriptor descriptor{};
  void** formSetup = nullptr;
  std::u16string name = std::u16string(256, u'\0');
  std::u16string version = std::u16string(256, u'\0');
};

// macSetup over the host window while `driver` works the dialog. Returns the dialog window
// that _FormSetup held while it was shown (null if it never appeared).
HWND runSetup(PluginHost& host, PluginCallbacks& plugin, const Driver& driver) {
  RECT hostRect{};
  GetWindowRect(host.window(), &hostRect);
  const HostRect rect{static_cast<int16_t>(hostRect.left), static_cast<int16_t>(hostRect.top),
                      static_cast<int16_t>(hostRect.right - hostRect.left),
                      static_cast<int16_t>(hostRect.bottom - hostRect.top)};
  HWND shown = nullptr;
  std::thread driverThread([&] {
    HWND dialog = nullptr;
    if (!waitUntil([&] {
          dialog = static_cast<HWND>(*plugin.formSetup);
          return dialog != nullptr && IsWindowVisible(dialog);
        })) {
      return;
    }
    shown = dialog;
    // Keys and clicks go to the window in front: on a busy machine the dialog may not be yet.
    SetForegroundWindow(dialog);
    waitUntil([&] { return GetForegroundWindow() == dialog; });
    driver(dialog);
    if (!waitUntil([&] { return !IsWindow(dialog); })) {
      PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
  });
  plugin.descriptor.macSetup(&rect);
  driverThread.join();
  return shown;
}

// ---- Working the dialog from the driver thread ------------------------------------------------

HWND listOf(HWND dialog, int page) { return GetDlgItem(dialog, kIdFirstList + page); }

int rowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

std::wstring cellText(HWND list, int row, int column) {
  std::array<wchar_t, 512> text{};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text.data();
  item.cchTextMax = static_cast<int>(text.size());
  SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return text.data();
}

std::wstring rowTexts(HWND list, int row) {
  return cellText(list, row, 0) + L"|" + cellText(list, row, 1) + L"|" + cellText(list, row, 2) +
         L"|" + cellText(list, row, 3);
}

void clearSelection(HWND list) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

int selectedRow(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
}

POINT cellCentre(HWND list, int row, int column) {
  RECT cell{};
  cell.top = column;
  cell.left = LVIR_LABEL;
  SendMessageW(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
  POINT centre{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
  ClientToScreen(list, &centre);
  return centre;
}

void mouseButton(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

void moveMouse(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = MOUSEEVENTF_MOVE;  // a relative move of 0 makes the system report a move
  SendInput(1, &input, sizeof input);
}

void clickAt(HWND dialog, POINT screen, int clicks) {
  moveMouse(screen);
  for (int i = 0; i < clicks; ++i) {
    mouseButton(MOUSEEVENTF_LEFTDOWN);
    mouseButton(MOUSEEVENTF_LEFTUP);
  }
  SendMessageW(dialog, WM_NULL, 0, 0);
}

// Drags with the left button held, in small steps so the list notices the drag.
// Waits until the system reports the pointer at `screen`, then lets the dialog's thread handle
// the moves queued so far.
void waitUntilPointerAt(HWND dialog, POINT screen) {
  waitUntil([&] {
    POINT at{};
    return GetCursorPos(&at) && at.x == screen.x && at.y == screen.y;
  });
  Sleep(100);
  SendMessageW(dialog, WM_NULL, 0, 0);
}

void dragRow(HWND dialog, HWND list, int from, int to) {
  const POINT start = cellCentre(list, from, 1);
  const POINT end = cellCentre(list, to, 1);
  // A plain click first, so the dialog is active and the row selected before the press.
  clickAt(dialog, start, 1);
  waitUntil([&] { return selectedRow(list) == from; });
  Sleep(600);  // past the double-click time: the press below is a new click
  moveMouse(start);
  waitUntilPointerAt(dialog, start);
  mouseButton(MOUSEEVENTF_LEFTDOWN);
  SendMessageW(dialog, WM_NULL, 0, 0);
  waitUntil([&] { return selectedRow(list) == from; });
  constexpr int kSteps = 8;
  for (int i = 1; i <= kSteps; ++i) {
    moveMouse(POINT{start.x + (end.x - start.x) * i / kSteps,
                    start.y + (end.y - start.y) * i / kSteps + (i == 1 ? 6 : 0)});
    Sleep(15);  // lets the list see each position; no result depends on it
    SendMessageW(dialog, WM_NULL, 0, 0);
  }
  moveMouse(end);
  // Release only once the dialog has seen the pointer at the drop point: on a loaded machine
  // the release could otherwise carry an earlier position.
  waitUntilPointerAt(dialog, end);
  mouseButton(MOUSEEVENTF_LEFTUP);
  SendMessageW(dialog, WM_NULL, 0, 0);
}

// A click on the title bar: the dialog is active before the clicks that matter (the first
// click on a freshly shown dialog may only activate it).
void clickTitleBar(HWND dialog) {
  RECT frame{};
  GetWindowRect(dialog, &frame);
  clickAt(dialog, POINT{frame.left + 80, frame.top + 8}, 1);
  Sleep(600);  // past the double-click time
}

void typeText(HWND target, std::wstring_view text) {
  for (wchar_t c : text) PostMessageW(target, WM_CHAR, c, 1);
}

// Opens the editor over a cell by double-clicking it; returns the editor when it showed.
HWND openEditor(HWND dialog, HWND list, int row, int column) {
  clickAt(dialog, cellCentre(list, row, column), 1);
  waitUntil([&] { return selectedRow(list) == row; });
  Sleep(600);  // past the double-click time, so the next two clicks pair up
  clickAt(dialog, cellCentre(list, row, column), 2);
  HWND editor = GetDlgItem(dialog, column == 0 ? kIdComboBoxListView : kIdEditListView);
  return waitUntil([&] { return IsWindowVisible(editor) && focusOf(dialog) != list; }) ? editor
                                                                                       : nullptr;
}

// Replaces the text of the open edit box by typing and ends with `key` (Enter or Escape).
bool editCell(HWND dialog, HWND list, int row, int column, std::wstring_view text, UINT key) {
  HWND editor = openEditor(dialog, list, row, column);
  if (editor == nullptr) return false;
  SendMessageW(editor, EM_SETSEL, 0, -1);
  PostMessageW(editor, WM_CHAR, VK_BACK, 1);
  typeText(editor, text);
  postKey(editor, key);
  return waitUntil([&] { return !IsWindowVisible(editor); });
}

void switchPage(HWND dialog, int page) {
  SendMessageW(GetDlgItem(dialog, kIdPageControl), TCM_SETCURFOCUS, page, 0);
}

void command(HWND dialog, int id) { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

bool menuEnabled(HWND dialog, int id) {
  return (GetMenuState(GetMenu(dialog), id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
}

std::vector<std::wstring> comboTexts(HWND combo) {
  std::vector<std::wstring> texts;
  const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::array<wchar_t, 512> text{};
    if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) < static_cast<LRESULT>(text.size())) {
      SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    }
    texts.push_back(text.data());
  }
  return texts;
}

struct OwnedSearch {
  HWND owner;
  const wchar_t* windowClass;
  HWND found;
};

BOOL CALLBACK findOwnedWindow(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<OwnedSearch*>(lParam);
  if (window != search->owner && GetWindow(window, GW_OWNER) == search->owner &&
      IsWindowVisible(window) && className(window) == search->windowClass) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// A visible window of the class owned by `owner` (by default a dialog: the file dialog, a
// message box), or null.
HWND ownedWindow(HWND owner, const wchar_t* windowClass = L"#32770") {
  OwnedSearch search{owner, windowClass, nullptr};
  EnumThreadWindows(GetWindowThreadProcessId(owner, nullptr), &findOwnedWindow,
                    reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Chooses a file in the sample file dialog that "サンプル" opens.
bool chooseSampleFile(HWND dialog, const std::wstring& path, std::wstring* initialName) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(kIdButtonSample, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, kIdButtonSample)));
  HWND fileDialog = nullptr;
  if (!waitUntil([&] {
        fileDialog = ownedWindow(dialog);
        return fileDialog != nullptr;
      })) {
    return false;
  }
  HWND name = GetDlgItem(fileDialog, cmb13);
  if (name == nullptr) name = GetDlgItem(fileDialog, edt1);
  if (initialName != nullptr) *initialName = textOf(name);
  SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageW(fileDialog, WM_COMMAND, IDOK, 0);
  return waitUntil([&] { return !IsWindow(fileDialog); });
}

// ---- The test ---------------------------------------------------------------------------------

class SetupDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dataPath_ = folder_.path() + L"mac_Sonavid.dat";
    writeUtf16File(dataPath_,
                   u"[Version]\r\nNo=52\r\n"
                   u"[MP3]\r\nCount=2\r\nI1=TIME_min\r\nD1=分だけ\r\nR1=s/'.*//\r\n"
                   u"I2=AFMT_k\r\nD2=ビットレート\r\nR2=s/.* (\\d+Kb)\\/s.*/$1/\r\n");
    writeUtf16File(folder_.path() + L"host.ini", u"[mac_Sonavid]\r\nClmMP3-2=130\r\n");
    host_ = std::make_unique<PluginHost>(folder_.path());
  }

  std::wstring dataKey(const std::wstring& section, const std::wstring& key) {
    std::array<wchar_t, 512> value{};
    GetPrivateProfileStringW(section.c_str(), key.c_str(), L"<none>", value.data(),
                             static_cast<DWORD>(value.size()), dataPath_.c_str());
    return value.data();
  }

  // The media-info macro for one file, as a host's run asks for it.
  std::u16string expand(PluginCallbacks& plugin, const std::wstring& path,
                        const std::u16string& parameters) {
    const size_t slash = path.find_last_of(L'\\');
    const std::u16string folder(path.begin(), path.begin() + slash);
    const std::u16string name(path.begin() + slash + 1, path.end());
    plugin.descriptor.macExecute(nullptr);
    ExecuteRequest request{};
    request.macroIndex = 1;
    request.parameterText = parameters.c_str();
    request.directory = folder.c_str();
    request.fileName = name.c_str();
    request.fileNumber = 0;
    request.callNumber = 1;
    return plugin.descriptor.macExecute(&request);
  }

  TempFolder folder_;
  std::wstring dataPath_;
  std::unique_ptr<PluginHost> host_;
};

// What the driver saw; checked on the main thread afterwards.
struct EditRun {
  std::wstring title;
  std::vector<int> tabOrder;
  std::wstring menu;
  bool saveInitiallyEnabled = true;
  bool okInitiallyEnabled = true;
  std::vector<std::wstring> tabs;
  std::wstring headers;
  int mp3Column2Width = 0;
  std::wstring addedRow;
  bool okAfterAdd = false;
  bool saveAfterAdd = false;
  bool suffixEdited = false;
  std::wstring afterSuffix;
  bool enterKeptDialog = false;
  std::wstring afterEscape;
  std::wstring finalMp3Row;
  int mp3CodeChoices = 0;
  int aviCodeChoices = 0;
  bool saveOnCleanAvi = true;
  bool okOnCleanAvi = false;
  std::wstring initialSampleName;
  bool sampleChosen = false;
  std::vector<std::wstring> samples;
  bool droppedDown = false;
  std::wstring testResult;
  std::wstring testWithoutSelection = L"<unset>";
  bool saveAfterMenuSave = true;
  bool okAfterMenuSave = false;
  std::vector<std::wstring> samplesBackOnAvi;
};

TEST_F(SetupDialogTest, EditsRowsTriesASampleSavesAndClosesWithOk) {
  ASSERT_TRUE(host_->loaded());
  PluginCallbacks plugin;
  ASSERT_NE(plugin.formSetup, nullptr);
  EXPECT_EQ(*plugin.formSetup, nullptr);
  const std::wstring avi = mediaFixture("avi-xvid-mp3.avi");
  EditRun seen;

  HWND shown = runSetup(*host_, plugin, [&](HWND dialog) {
    seen.title = textOf(dialog);
    // Tab order from the page control round to it again (OK is skipped while disabled).
    HWND next = GetDlgItem(dialog, kIdPageControl);
    do {
      seen.tabOrder.push_back(GetDlgCtrlID(next));
      next = GetNextDlgTabItem(dialog, next, FALSE);
    } while (next != nullptr && seen.tabOrder.size() < 10 &&
             next != GetDlgItem(dialog, kIdPageControl));
    seen.menu = menuSummary(GetMenu(dialog));
    seen.saveInitiallyEnabled = menuEnabled(dialog, kIdMenuSave);
    seen.okInitiallyEnabled = IsWindowEnabled(GetDlgItem(dialog, IDOK));
    HWND tabs = GetDlgItem(dialog, kIdPageControl);
    for (int i = 0; i < TabCtrl_GetItemCount(tabs); ++i) {
      std::array<wchar_t, 32> text{};
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = text.data();
      item.cchTextMax = static_cast<int>(text.size());
      SendMessageW(tabs, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
      seen.tabs.push_back(text.data());
    }
    HWND mp3 = listOf(dialog, kPageMp3);
    HWND header = reinterpret_cast<HWND>(SendMessageW(mp3, LVM_GETHEADER, 0, 0));
    for (int i = 0; i < 4; ++i) {
      std::array<wchar_t, 32> text{};
      HDITEMW item{};
      item.mask = HDI_TEXT;
      item.pszText = text.data();
      item.cchTextMax = static_cast<int>(text.size());
      SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
      seen.headers += std::wstring(text.data()) + L"," +
                      std::to_wstring(SendMessageW(mp3, LVM_GETCOLUMNWIDTH, i, 0)) + L";";
    }
    saveScreenshot(dialog, "setup-mp3.png");

    // A new row, then its parts typed in place.
    command(dialog, kIdMenuAdd);
    seen.addedRow = rowTexts(mp3, 2);
    seen.okAfterAdd = IsWindowEnabled(GetDlgItem(dialog, IDOK));
    seen.saveAfterAdd = menuEnabled(dialog, kIdMenuSave);
    seen.suffixEdited = editCell(dialog, mp3, 2, 1, L"secs", VK_RETURN);  // 3 characters fit
    seen.afterSuffix = cellText(mp3, 2, 1);
    seen.enterKeptDialog = IsWindowVisible(dialog) != FALSE;
    editCell(dialog, mp3, 2, 2, L"秒数", VK_RETURN);
    editCell(dialog, mp3, 2, 3, L"s/never//", VK_ESCAPE);
    seen.afterEscape = cellText(mp3, 2, 3);
    editCell(dialog, mp3, 2, 3, L"s/.*\\((\\d+)sec\\)/$1/", VK_RETURN);
    if (HWND codes = openEditor(dialog, mp3, 2, 0)) {
      seen.mp3CodeChoices = static_cast<int>(SendMessageW(codes, CB_GETCOUNT, 0, 0));
      saveScreenshot(dialog, "setup-code-editor.png");
      postKey(codes, VK_DOWN);  // TIME -> AFMT
      postKey(codes, VK_RETURN);
      waitUntil([&] { return !IsWindowVisible(codes); });
    }
    seen.finalMp3Row = rowTexts(mp3, 2);

    // The AVI page: "VFMT" offered, the MP3 changes still waiting for OK.
    switchPage(dialog, kPageAvi);
    HWND aviList = listOf(dialog, kPageAvi);
    seen.saveOnCleanAvi = menuEnabled(dialog, kIdMenuSave);
    seen.okOnCleanAvi = IsWindowEnabled(GetDlgItem(dialog, IDOK));
    command(dialog, kIdMenuAdd);
    editCell(dialog, aviList, 0, 1, L"sec", VK_RETURN);
    editCell(dialog, aviList, 0, 2, L"秒", VK_RETURN);
    editCell(dialog, aviList, 0, 3, L"s/.*\\((\\d+)sec\\)/$1/", VK_RETURN);
    if (HWND codes = openEditor(dialog, aviList, 0, 0)) {
      seen.aviCodeChoices = static_cast<int>(SendMessageW(codes, CB_GETCOUNT, 0, 0));
      postKey(codes, VK_ESCAPE);
      waitUntil([&] { return !IsWindowVisible(codes); });
    }

    // A sample file: its three texts offered in the box, then a test of the row on the first.
    HWND samples = GetDlgItem(dialog, kIdComboBoxSample);
    seen.sampleChosen = chooseSampleFile(dialog, avi, &seen.initialSampleName);
    waitUntil([&] { return SendMessageW(samples, CB_GETCOUNT, 0, 0) >= 3; });
    seen.samples = comboTexts(samples);
    seen.droppedDown = SendMessageW(samples, CB_GETDROPPEDSTATE, 0, 0) != 0;
    SendMessageW(samples, CB_SHOWDROPDOWN, FALSE, 0);
    clearSelection(aviList);
    chooseComboItem(dialog, samples, 0);  // selects the first row when none is
    click(GetDlgItem(dialog, kIdButtonTest));
    seen.testResult = textOf(GetDlgItem(dialog, kIdEditTest));
    saveScreenshot(dialog, "setup-avi.png");

    // "保存" writes the shown page only; OK stays on for the MP3 page.
    command(dialog, kIdMenuSave);
    seen.saveAfterMenuSave = menuEnabled(dialog, kIdMenuSave);
    seen.okAfterMenuSave = IsWindowEnabled(GetDlgItem(dialog, IDOK));

    switchPage(dialog, kPageWav);
    clearSelection(aviList);
    switchPage(dialog, kPageAvi);
    seen.samplesBackOnAvi = comboTexts(samples);
    clearSelection(aviList);
    click(GetDlgItem(dialog, kIdButtonTest));
    seen.testWithoutSelection = textOf(GetDlgItem(dialog, kIdEditTest));

    click(GetDlgItem(dialog, IDOK));
  });

  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(*plugin.formSetup, nullptr);
  EXPECT_EQ(seen.title, L"音声/動画ファイル情報取得マクロ設定");
  EXPECT_EQ(seen.tabOrder,
            (std::vector<int>{kIdPageControl, kIdFirstList, IDCANCEL, kIdComboBoxSample}));
  EXPECT_EQ(seen.menu, L"保存|追加|削除");
  EXPECT_FALSE(seen.saveInitiallyEnabled);
  EXPECT_FALSE(seen.okInitiallyEnabled);
  EXPECT_EQ(seen.tabs, (std::vector<std::wstring>{L"MP3", L"WAV", L"AVI", L"VQF", L"WMA", L"OGG",
                                                  L"APE", L"MP4", L"FLAC", L"AIFF", L"WV", L"DSF",
                                                  L"MKV", L"TS", L"MPG", L"AAC"}));
  EXPECT_EQ(seen.headers, L"種別,50;拡張,50;説明,130;正規表現,200;");

  EXPECT_EQ(seen.addedRow, L"TIME|||s///");
  EXPECT_TRUE(seen.okAfterAdd);
  EXPECT_TRUE(seen.saveAfterAdd);
  EXPECT_TRUE(seen.suffixEdited);
  EXPECT_EQ(seen.afterSuffix, L"sec");
  EXPECT_TRUE(seen.enterKeptDialog);
  EXPECT_EQ(seen.afterEscape, L"s///");
  EXPECT_EQ(seen.finalMp3Row, L"AFMT|sec|秒数|s/.*\\((\\d+)sec\\)/$1/");
  EXPECT_EQ(seen.mp3CodeChoices, 2);
  EXPECT_EQ(seen.aviCodeChoices, 3);
  EXPECT_FALSE(seen.saveOnCleanAvi);
  EXPECT_TRUE(seen.okOnCleanAvi);

  EXPECT_EQ(seen.initialSampleName, L"*.avi");
  EXPECT_TRUE(seen.sampleChosen);
  EXPECT_EQ(seen.samples,
            (std::vector<std::wstring>{L"00'00'03 (3sec)", L"MPEG1-Layer3, 22050Hz, Stereo, 32Kbps",
                                       L"XviD MPEG4, 160x120, 10.000fps, 31Frames"}));
  EXPECT_TRUE(seen.droppedDown);
  EXPECT_EQ(seen.testResult, L"3");
  EXPECT_EQ(seen.testWithoutSelection, L"");
  EXPECT_FALSE(seen.saveAfterMenuSave);
  EXPECT_TRUE(seen.okAfterMenuSave);
  EXPECT_EQ(seen.samplesBackOnAvi, seen.samples);

  // The data file: AVI from "保存", MP3 from OK; the WAV section never written.
  EXPECT_EQ(dataKey(L"AVI", L"Count"), L"1");
  EXPECT_EQ(dataKey(L"AVI", L"I1"), L"TIME_sec");
  EXPECT_EQ(dataKey(L"MP3", L"Count"), L"3");
  EXPECT_EQ(dataKey(L"MP3", L"I1"), L"TIME_min");
  EXPECT_EQ(dataKey(L"MP3", L"I3"), L"AFMT_sec");
  EXPECT_EQ(dataKey(L"MP3", L"D3"), L"秒数");
  EXPECT_EQ(dataKey(L"WAV", L"Count"), L"<none>");
  EXPECT_EQ(dataKey(L"Version", L"No"), L"52");

  // The saved item applies to the next expansion at once.
  EXPECT_EQ(expand(plugin, avi, u"AVI,TIME_sec"), u"3");
  EXPECT_EQ(expand(plugin, avi, u"AVI,TIME"), u"00'00'03 (3sec)");

  // Sizes and the sample folder written at close.
  EXPECT_EQ(host_->hostKey(L"Width"), L"460");
  EXPECT_EQ(host_->hostKey(L"Height"), L"360");
  EXPECT_EQ(host_->hostKey(L"ClmMP3-2"), L"130");
  EXPECT_EQ(host_->hostKey(L"ClmMP4-3"), L"200");
  const std::wstring aviFolder = avi.substr(0, avi.find_last_of(L'\\'));
  EXPECT_EQ(host_->hostKey(L"SampleDir"), aviFolder);
}

// What the driver saw in the second run.
struct CancelRun {
  std::vector<std::wstring> afterDrag;
  bool saveAfterDrag = false;
  std::vector<std::wstring> afterDropOnItself;
  bool editorOpened = false;
  bool saveOnSavedMp3 = true;
  bool okWithWavPending = false;
  std::wstring wavDescription;
  bool saveBackOnWav = false;
  bool closedByEscape = false;
};

std::vector<std::wstring> suffixColumn(HWND list) {
  std::vector<std::wstring> suffixes;
  for (int row = 0; row < rowCount(list); ++row) suffixes.push_back(cellText(list, row, 1));
  return suffixes;
}

POINT tabCentre(HWND dialog, int page) {
  HWND tabs = GetDlgItem(dialog, kIdPageControl);
  RECT rect{};
  SendMessageW(tabs, TCM_GETITEMRECT, page, reinterpret_cast<LPARAM>(&rect));
  POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  ClientToScreen(tabs, &centre);
  return centre;
}

TEST_F(SetupDialogTest, DragsRowsKeepsMenuSavedPageOnCancelAndWritesSizes) {
  writeUtf16File(dataPath_,
                 u"[Version]\r\nNo=52\r\n[MP3]\r\nCount=4\r\n"
                 u"I1=TIME_a\r\nD1=a\r\nR1=s/^/A/\r\nI2=TIME_b\r\nD2=b\r\nR2=s/ .*//\r\n"
                 u"I3=TIME_c\r\nD3=c\r\nR3=s/^/C/\r\nI4=TIME_d\r\nD4=d\r\nR4=s/^/D/\r\n");
  host_.reset();  // finalised and unloaded first, so the new host reads the new data file
  host_ = std::make_unique<PluginHost>(folder_.path());
  ASSERT_TRUE(host_->loaded());
  PluginCallbacks plugin;
  CancelRun seen;

  HWND shown = runSetup(*host_, plugin, [&](HWND dialog) {
    HWND mp3 = listOf(dialog, kPageMp3);
    // The list is read once the drop has been handled: on a loaded machine the release may
    // still be on its way when the drag's last call returns.
    const std::vector<std::wstring> dropped = {L"b", L"c", L"a", L"d"};
    dragRow(dialog, mp3, 0, 2);
    waitUntil([&] { return suffixColumn(mp3) == dropped; });
    seen.afterDrag = suffixColumn(mp3);
    seen.saveAfterDrag = menuEnabled(dialog, kIdMenuSave);
    command(dialog, kIdMenuSave);
    dragRow(dialog, mp3, 1, 1);
    waitUntil([&] { return suffixColumn(mp3) == seen.afterDrag; });
    seen.afterDropOnItself = suffixColumn(mp3);

    // An edit left open on the WAV page counts for WAV when the MP3 tab is clicked.
    switchPage(dialog, kPageWav);
    HWND wav = listOf(dialog, kPageWav);
    command(dialog, kIdMenuAdd);
    command(dialog, kIdMenuSave);  // WAV saved with its incomplete row: nothing written
    if (HWND editor = openEditor(dialog, wav, 0, 2)) {
      seen.editorOpened = true;
      typeText(editor, L"wav");
      waitUntil([&] { return textOf(editor) == L"wav"; });
      Sleep(600);  // past the double-click time of the clicks that opened the editor
      clickAt(dialog, tabCentre(dialog, kPageMp3), 1);
      waitUntil([&] { return !IsWindowVisible(editor) && IsWindowVisible(mp3); });
    }
    seen.saveOnSavedMp3 = menuEnabled(dialog, kIdMenuSave);
    seen.okWithWavPending = IsWindowEnabled(GetDlgItem(dialog, IDOK));
    switchPage(dialog, kPageWav);
    seen.wavDescription = cellText(wav, 0, 2);
    seen.saveBackOnWav = menuEnabled(dialog, kIdMenuSave);

    // New sizes, then Escape with the list focused: CANCEL.
    SetWindowPos(dialog, nullptr, 0, 0, 520, 410, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageW(mp3, LVM_SETCOLUMNWIDTH, 3, 180);
    SetFocus(nullptr);
    clickAt(dialog, cellCentre(wav, 0, 1), 1);
    pressKey(dialog, VK_ESCAPE);
    seen.closedByEscape = waitUntil([&] { return !IsWindow(dialog); });
  });

  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(seen.afterDrag, (std::vector<std::wstring>{L"b", L"c", L"a", L"d"}));
  EXPECT_TRUE(seen.saveAfterDrag);
  EXPECT_EQ(seen.afterDropOnItself, seen.afterDrag);
  EXPECT_TRUE(seen.editorOpened);
  EXPECT_FALSE(seen.saveOnSavedMp3);
  EXPECT_TRUE(seen.okWithWavPending);
  EXPECT_EQ(seen.wavDescription, L"wav");
  EXPECT_TRUE(seen.saveBackOnWav);
  EXPECT_TRUE(seen.closedByEscape);

  // The menu save stays; the WAV change made after it is dropped.
  EXPECT_EQ(dataKey(L"MP3", L"Count"), L"4");
  EXPECT_EQ(dataKey(L"MP3", L"I1"), L"TIME_b");
  EXPECT_EQ(dataKey(L"MP3", L"I3"), L"TIME_a");
  EXPECT_EQ(dataKey(L"WAV", L"Count"), L"0");
  EXPECT_EQ(expand(plugin, mediaFixture("mp3-cbr-info.mp3"), u"MP3,TIME_b"), u"0'05");

  EXPECT_EQ(host_->hostKey(L"Width"), L"520");
  EXPECT_EQ(host_->hostKey(L"Height"), L"410");
  EXPECT_EQ(host_->hostKey(L"ClmMP3-3"), L"180");
  EXPECT_EQ(host_->hostKey(L"ClmWAV-0"), L"50");
  EXPECT_EQ(host_->hostKey(L"SampleDir"), L"");
}

// The color of a cell's background, a few pixels in from its left edge.
uint32_t cellBackground(HWND list, int row, int column) {
  RECT cell{};
  cell.top = column;
  cell.left = LVIR_BOUNDS;
  SendMessageW(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
  POINT at{cell.left + 3, (cell.top + cell.bottom) / 2};
  ClientToScreen(list, &at);
  const std::vector<uint32_t> pixel = screenPixels(RECT{at.x, at.y, at.x + 1, at.y + 1});
  return pixel.empty() ? 0 : pixel[0];
}

// The static text of a message box.
std::wstring messageText(HWND box) {
  std::wstring text;
  for (HWND child : childWindows(box, L"Static")) text += textOf(child);
  return text;
}

// The suffix box counts characters, a surrogate pair as one and never split; a suffix of
// blanks leaves its row incomplete, marked in the list and not saved. The test button shows
// why a substitution cannot run.
TEST_F(SetupDialogTest, SuffixBoxCountsCharactersAndMarksABlankSuffix) {
  writeUtf16File(dataPath_,
                 u"[Version]\r\nNo=52\r\n[MP3]\r\nCount=4\r\n"
                 u"I1=TIME_a\r\nD1=a\r\nR1=s/(/x/\r\nI2=TIME_b\r\nD2=b\r\nR2=s/b/B/\r\n"
                 u"I3=TIME_c\r\nD3=c\r\nR3=s/c/C/\r\nI4=TIME_d\r\nD4=d\r\nR4=s/d/D/\r\n");
  host_.reset();
  host_ = std::make_unique<PluginHost>(folder_.path());
  ASSERT_TRUE(host_->loaded());
  PluginCallbacks plugin;
  // Typed one UTF-16 unit at a time, as the keyboard and the input method deliver them.
  const std::vector<std::pair<std::wstring, std::wstring>> cases = {
      {L"ab\U0001F3B5", L"ab\U0001F3B5"},
      {L"abc\U0001F3B5", L"abc"},
      {L"ab\U00020BB7d", L"ab\U00020BB7"},
      {L" \u3000 ", L""},
  };
  std::vector<std::wstring> shown;
  uint32_t blankCell = 0, filledCell = 0;
  std::wstring testResult, tipText;
  runSetup(*host_, plugin, [&](HWND dialog) {
    HWND mp3 = listOf(dialog, kPageMp3);
    clickTitleBar(dialog);
    for (size_t row = 0; row < cases.size(); ++row) {
      editCell(dialog, mp3, static_cast<int>(row), 1, cases[row].first, VK_RETURN);
      shown.push_back(cellText(mp3, static_cast<int>(row), 1));
    }
    clearSelection(mp3);
    UpdateWindow(mp3);
    SendMessageW(dialog, WM_NULL, 0, 0);
    // A loaded machine may paint the list after the last edit ends: wait for the mark.
    waitUntil([&] { return (blankCell = cellBackground(mp3, 3, 1)) == 0xFFDCDCu; });
    filledCell = cellBackground(mp3, 2, 1);
    saveScreenshot(dialog, "setup-suffixes.png");

    HWND sample = GetDlgItem(dialog, kIdComboBoxSample);
    SendMessageW(sample, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"0'05 (5sec)"));
    clickAt(dialog, cellCentre(mp3, 0, 2), 1);
    waitUntil([&] { return selectedRow(mp3) == 0; });
    click(GetDlgItem(dialog, kIdButtonTest));
    HWND result = GetDlgItem(dialog, kIdEditTest);
    testResult = textOf(result);
    // The box is narrow: the whole text shows as a tip when the pointer rests on it.
    RECT box{};
    GetWindowRect(result, &box);
    moveMouse(POINT{box.left + 20, (box.top + box.bottom) / 2});
    HWND tip = nullptr;
    waitUntil([&] { return (tip = ownedWindow(dialog, L"tooltips_class32")) != nullptr; });
    if (tip != nullptr) tipText = textOf(tip);
    RECT frame{};
    GetWindowRect(dialog, &frame);
    frame.bottom += 40;  // the tip may reach below the dialog
    saveScreenshotOfArea(frame, "setup-regex-error.png");
    click(GetDlgItem(dialog, IDOK));
  });
  std::vector<std::wstring> expected;
  for (const auto& c : cases) expected.push_back(c.second);
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(blankCell, 0xFFDCDCu);
  EXPECT_EQ(filledCell, 0xFFFFFFu);
  EXPECT_EQ(testResult, L"正規表現エラー: end pattern with unmatched parenthesis");
  EXPECT_EQ(tipText, testResult);
  EXPECT_EQ(dataKey(L"MP3", L"Count"), L"3");
  EXPECT_EQ(dataKey(L"MP3", L"I1"), L"TIME_ab\U0001F3B5");
  EXPECT_EQ(dataKey(L"MP3", L"I3"), L"TIME_ab\U00020BB7");
  EXPECT_EQ(dataKey(L"MP3", L"I4"), L"<none>");
}

// A save that the data file does not take (here a read-only file) leaves the changes unsaved
// and says so; OK then keeps the dialog open.
TEST_F(SetupDialogTest, AFailedSaveKeepsTheChangesAndSaysSo) {
  ASSERT_TRUE(host_->loaded());
  ASSERT_TRUE(SetFileAttributesW(dataPath_.c_str(), FILE_ATTRIBUTE_READONLY));
  PluginCallbacks plugin;
  std::vector<std::wstring> messages;
  bool saveStillEnabled = false, okStillEnabled = false, openAfterOk = false;
  runSetup(*host_, plugin, [&](HWND dialog) {
    HWND mp3 = listOf(dialog, kPageMp3);
    clickTitleBar(dialog);
    editCell(dialog, mp3, 0, 2, L"変更", VK_RETURN);
    const auto answerMessageBox = [&](const char* screenshot) {
      HWND box = nullptr;
      if (!waitUntil([&] { return (box = ownedWindow(dialog)) != nullptr; })) return;
      messages.push_back(textOf(box) + L"|" + messageText(box));
      saveScreenshot(box, screenshot);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      waitUntil([&] { return !IsWindow(box); });
    };
    PostMessageW(dialog, WM_COMMAND, kIdMenuSave, 0);
    answerMessageBox("setup-save-failed.png");
    saveStillEnabled = menuEnabled(dialog, kIdMenuSave);
    okStillEnabled = IsWindowEnabled(GetDlgItem(dialog, IDOK));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    answerMessageBox("setup-save-failed-ok.png");
    openAfterOk = IsWindowVisible(dialog) != FALSE;
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  SetFileAttributesW(dataPath_.c_str(), FILE_ATTRIBUTE_NORMAL);
  const std::wstring message =
      L"音声/動画ファイル情報取得マクロ設定|設定を保存できませんでした。\r\n" + dataPath_ +
      L"\r\n\r\n変更はまだ保存されていません。ファイルが読み取り専用に"
      L"なっていないか、他のプログラムで開かれていないか確認してください。";
  EXPECT_EQ(messages, (std::vector<std::wstring>{message, message}));
  EXPECT_TRUE(saveStillEnabled);
  EXPECT_TRUE(okStillEnabled);
  EXPECT_TRUE(openAfterOk);
  EXPECT_EQ(dataKey(L"MP3", L"D1"), L"分だけ");
}

// Resizing by the frame: afterwards every control that moved shows what it draws when asked
// to paint afresh (no blank or half-drawn buttons, no stale header dividers).
TEST_F(SetupDialogTest, ResizingByTheFrameLeavesEveryControlDrawn) {
  ASSERT_TRUE(host_->loaded());
  PluginCallbacks plugin;
  bool resized = false;
  std::wstring stale;
  runSetup(*host_, plugin, [&](HWND dialog) {
    // In plain sight and in front, wherever earlier dialogs left the desktop: the drag below
    // works on what the screen shows.
    SetWindowPos(dialog, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(dialog);
    waitUntil([&] { return GetForegroundWindow() == dialog; });
    saveScreenshot(dialog, "setup-before-resize.png");
    RECT frame{};
    GetWindowRect(dialog, &frame);
    // A drag of the corner by the mouse.
    const auto dragCorner = [&] {
      clickTitleBar(dialog);
      const POINT corner{frame.right - 2, frame.bottom - 2};
      moveMouse(corner);
      waitUntilPointerAt(dialog, corner);
      mouseButton(MOUSEEVENTF_LEFTDOWN);
      constexpr int kSteps = 8;
      const POINT end{corner.x + 120, corner.y + 80};
      for (int i = 1; i <= kSteps; ++i) {
        moveMouse(POINT{corner.x + 120 * i / kSteps, corner.y + 80 * i / kSteps});
        Sleep(30);
      }
      waitUntilPointerAt(dialog, end);
      mouseButton(MOUSEEVENTF_LEFTUP);
      return waitUntil([&] {
        RECT now{};
        GetWindowRect(dialog, &now);
        return now.right - now.left > frame.right - frame.left + 60;
      });
    };
    resized = dragCorner();
    if (!resized) {
      // The first run in a new Wine prefix may not take the drag at all: the frame is then
      // resized in the same steps by the window manager's own message, which lays the
      // controls out by the same path.
      for (int i = 1; i <= 8; ++i) {
        SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left + 120 * i / 8,
                     frame.bottom - frame.top + 80 * i / 8, SWP_NOMOVE | SWP_NOZORDER);
        Sleep(30);
      }
      resized = waitUntil([&] {
        RECT now{};
        GetWindowRect(dialog, &now);
        return now.right - now.left > frame.right - frame.left + 60;
      });
    }
    Sleep(500);  // the dialog's thread paints what it will paint
    SendMessageW(dialog, WM_NULL, 0, 0);

    HWND mp3 = listOf(dialog, kPageMp3);
    const std::vector<std::pair<const wchar_t*, HWND>> controls = {
        {L"OK", GetDlgItem(dialog, IDOK)},
        {L"CANCEL", GetDlgItem(dialog, IDCANCEL)},
        {L"サンプル", GetDlgItem(dialog, kIdButtonSample)},
        {L"確認", GetDlgItem(dialog, kIdButtonTest)},
        {L"header", reinterpret_cast<HWND>(SendMessageW(mp3, LVM_GETHEADER, 0, 0))}};
    std::vector<std::vector<uint32_t>> shown;
    for (const auto& [name, control] : controls) {
      RECT rect{};
      GetWindowRect(control, &rect);
      shown.push_back(screenPixels(rect));
    }
    GetWindowRect(dialog, &frame);
    saveScreenshotOfArea(frame, "setup-after-resize.png");
    saveScreenshot(dialog, "setup-after-resize-repainted.png");  // repaints everything first
    for (size_t i = 0; i < controls.size(); ++i) {
      RECT rect{};
      GetWindowRect(controls[i].second, &rect);
      if (screenPixels(rect) != shown[i]) stale += std::wstring(controls[i].first) + L" ";
    }
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_TRUE(resized);
  EXPECT_EQ(stale, L"");
}

TEST_F(SetupDialogTest, SnapsThePointerToCancelWhenTheMouseSettingAsksForIt) {
  ASSERT_TRUE(host_->loaded());
  PluginCallbacks plugin;
  BOOL snapWas = FALSE;
  SystemParametersInfoW(SPI_GETSNAPTODEFBUTTON, 0, &snapWas, 0);
  SystemParametersInfoW(SPI_SETSNAPTODEFBUTTON, TRUE, nullptr, 0);
  bool pointerOnCancel = false;
  runSetup(*host_, plugin, [&](HWND dialog) {
    RECT cancel{};
    GetWindowRect(GetDlgItem(dialog, IDCANCEL), &cancel);
    pointerOnCancel = waitUntil([&] {
      POINT pointer{};
      GetCursorPos(&pointer);
      return PtInRect(&cancel, pointer) != FALSE;
    });
    pressKey(dialog, VK_ESCAPE);
  });
  SystemParametersInfoW(SPI_SETSNAPTODEFBUTTON, snapWas, nullptr, 0);
  EXPECT_TRUE(pointerOnCancel);
}

}  // namespace
}  // namespace sonavid::uitest
