// The media-info parameter dialog of the real plug-in, worked through window messages.
#include <gtest/gtest.h>

#include "ui/dialog_placement.h"
#include "ui/ui_test_support.h"

namespace sonavid::uitest {
namespace {

const std::u16string kCaption = u"音声/動画情報 (test)";

struct Param1View {
  std::wstring type;   // text of ComboBox1's selection, "(none)" without one
  std::wstring field;  // text of ComboBox2's selection, "(none)" without one
  int fieldCount = 0;
  std::wstring panel;
};

HWND typeCombo(HWND dialog) { return childWindows(dialog, L"ComboBox").at(0); }
HWND fieldCombo(HWND dialog) { return childWindows(dialog, L"ComboBox").at(1); }

std::wstring itemText(HWND combo, LRESULT index) {
  if (index == CB_ERR) return L"(none)";
  std::wstring text(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, index, 0)) + 1, L'\0');
  SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  return text.c_str();
}

std::wstring selectedText(HWND combo) {
  return itemText(combo, SendMessageW(combo, CB_GETCURSEL, 0, 0));
}

HWND macroPanel(HWND dialog) {
  for (HWND child : childWindows(dialog, L"Static")) {
    if (textOf(child).rfind(L"/", 0) == 0) return child;
  }
  return nullptr;
}

Param1View look(HWND dialog) {
  return {selectedText(typeCombo(dialog)), selectedText(fieldCombo(dialog)),
          static_cast<int>(SendMessageW(fieldCombo(dialog), CB_GETCOUNT, 0, 0)),
          textOf(macroPanel(dialog))};
}

void chooseField(HWND dialog, const wchar_t* entry) {
  const LRESULT index = SendMessageW(fieldCombo(dialog), CB_FINDSTRINGEXACT,
                                     static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(entry));
  chooseComboItem(dialog, fieldCombo(dialog), static_cast<int>(index));
}

class MediaInfoDialogTest : public ::testing::Test {
 protected:
  void start() { host_ = std::make_unique<PluginHost>(folder_.path()); }
  std::optional<std::u16string> open(const Driver& driver) {
    return host_->paramDialog(1, u'b', kCaption, driver);
  }
  Param1View peek() {
    Param1View seen;
    open([&](HWND dialog) {
      seen = look(dialog);
      pressKey(dialog, VK_ESCAPE);
    });
    return seen;
  }
  void writeHostIni(std::u16string_view text) {
    writeUtf16File(folder_.path() + L"host.ini", text);
  }

  TempFolder folder_;
  std::unique_ptr<PluginHost> host_;
};

TEST_F(MediaInfoDialogTest, FirstOpeningShowsAutomaticAndTime) {
  start();
  ASSERT_TRUE(host_->loaded());
  Param1View seen;
  std::wstring title, groupCaption, focusText, typeLabel, fieldLabel;
  RECT client{}, outer{}, dropped{};
  int rowHeight = 0;
  bool screenshot = false;
  const auto result = open([&](HWND dialog) {
    seen = look(dialog);
    title = textOf(dialog);
    groupCaption = textOf(childWindows(dialog, L"Button").at(2));
    focusText = textOf(focusOf(dialog));
    typeLabel = textOf(childWindows(dialog, L"Static").at(0));
    fieldLabel = textOf(childWindows(dialog, L"Static").at(1));
    GetClientRect(dialog, &client);
    GetWindowRect(dialog, &outer);
    SendMessageW(fieldCombo(dialog), CB_GETDROPPEDCONTROLRECT, 0,
                 reinterpret_cast<LPARAM>(&dropped));
    rowHeight = static_cast<int>(SendMessageW(fieldCombo(dialog), CB_GETITEMHEIGHT, 0, 0));
    screenshot = saveScreenshot(dialog, "param1.png");
    // The open field list, for a person to look at.
    COMBOBOXINFO combo{};
    combo.cbSize = sizeof combo;
    GetComboBoxInfo(fieldCombo(dialog), &combo);
    SendMessageW(fieldCombo(dialog), CB_SHOWDROPDOWN, TRUE, 0);
    if (waitUntil([&] { return IsWindowVisible(combo.hwndList) != FALSE; })) {
      RECT area{}, list{};
      GetWindowRect(dialog, &area);
      GetWindowRect(combo.hwndList, &list);
      UnionRect(&area, &area, &list);
      SendMessageW(combo.hwndList, WM_NULL, 0, 0);
      saveScreenshotOfArea(area, "param1_field_list_open.png");
      // Its end, where the fields every type gives follow the type's own.
      SendMessageW(combo.hwndList, LB_SETTOPINDEX, seen.fieldCount - 1, 0);
      SendMessageW(combo.hwndList, WM_NULL, 0, 0);
      saveScreenshotOfArea(area, "param1_field_list_end.png");
    }
    SendMessageW(fieldCombo(dialog), CB_SHOWDROPDOWN, FALSE, 0);
    pressKey(dialog, VK_RETURN);
  });
  EXPECT_EQ(result, u"/b<,TIME>");
  EXPECT_EQ(seen.type, L"自動");
  EXPECT_EQ(seen.field, L"TIME     再生時間");
  EXPECT_EQ(seen.fieldCount, 81);
  EXPECT_EQ(seen.panel, L"/b<,TIME>");
  EXPECT_EQ(title, L"音声/動画情報 (test)");
  EXPECT_EQ(groupCaption, L"/b<ファイル種別,取得情報>");
  EXPECT_EQ(typeLabel, L"ファイル種別");
  EXPECT_EQ(fieldLabel, L"取得情報");
  EXPECT_EQ(focusText, L"OK");
  EXPECT_EQ(client.right, 352);
  EXPECT_EQ(client.bottom, 189);
  EXPECT_GE(dropped.bottom - dropped.top, 20 * rowHeight);
  EXPECT_TRUE(screenshot);

  RECT host{};
  GetWindowRect(host_->window(), &host);
  const DialogOrigin origin =
      centredOn(HostRect{int16_t(host.left), int16_t(host.top), int16_t(host.right - host.left),
                         int16_t(host.bottom - host.top)},
                outer.right - outer.left, outer.bottom - outer.top);
  EXPECT_EQ(outer.left, origin.left);
  EXPECT_EQ(outer.top, origin.top);
}

TEST_F(MediaInfoDialogTest, ChosenTypeAndFieldAreReturnedAndRememberedAcrossARestart) {
  start();
  Param1View afterType;
  std::wstring panel;
  const auto result = open([&](HWND dialog) {
    chooseField(dialog, L"IART     アーティスト");
    chooseComboItem(dialog, typeCombo(dialog), 1);
    afterType = look(dialog);
    chooseField(dialog, L"INAM_v1  タイトル(ID3v1)");
    panel = textOf(macroPanel(dialog));
    click(childWithText(dialog, L"Button", L"OK"));
  });
  EXPECT_EQ(afterType.type, L"MP3");
  EXPECT_EQ(afterType.field, L"TIME     再生時間");
  EXPECT_EQ(afterType.fieldCount, 60);
  EXPECT_EQ(panel, L"/b<MP3,INAM_v1>");
  EXPECT_EQ(result, u"/b<MP3,INAM_v1>");

  const Param1View again = peek();
  EXPECT_EQ(again.type, L"MP3");
  EXPECT_EQ(again.field, L"INAM_v1  タイトル(ID3v1)");

  host_->unload();  // macFinalize writes the last choice to the host settings file
  EXPECT_EQ(host_->hostKey(L"Def11"), L"1");
  EXPECT_EQ(host_->hostKey(L"Def12"), L"2");
  start();
  const Param1View restarted = peek();
  EXPECT_EQ(restarted.type, L"MP3");
  EXPECT_EQ(restarted.panel, L"/b<MP3,INAM_v1>");
}

TEST_F(MediaInfoDialogTest, UserItemsOfTheDataFileAreOfferedBehindTheirFields) {
  writeUtf16File(folder_.path() + L"mac_Sonavid.dat",
                 u"[Version]\r\nNo=52\r\n[MP3]\r\nCount=2\r\nI1=TIME_a\r\nD1=分だけ\r\n"
                 u"R1=s/:.*//\r\nI2=AFMT_k\r\nD2=kbps\r\nR2=s/,.*//\r\n");
  start();
  std::wstring second, fifth, panel;
  int count = 0;
  const auto result = open([&](HWND dialog) {
    chooseComboItem(dialog, typeCombo(dialog), 1);
    count = static_cast<int>(SendMessageW(fieldCombo(dialog), CB_GETCOUNT, 0, 0));
    second = itemText(fieldCombo(dialog), 1);
    fifth = itemText(fieldCombo(dialog), 3);
    chooseComboItem(dialog, fieldCombo(dialog), 1);
    panel = textOf(macroPanel(dialog));
    pressKey(dialog, VK_RETURN);
  });
  EXPECT_EQ(count, 62);
  EXPECT_EQ(second, L"TIME_a   分だけ");
  EXPECT_EQ(fifth, L"AFMT_k   kbps");
  EXPECT_EQ(panel, L"/b<MP3,TIME_a>");
  EXPECT_EQ(result, u"/b<MP3,TIME_a>");
}

TEST_F(MediaInfoDialogTest, CancelLeavesThePreviousChoice) {
  start();
  ASSERT_EQ(open([](HWND dialog) {
              chooseComboItem(dialog, typeCombo(dialog), 5);
              chooseField(dialog, L"TRACK    トラック");
              pressKey(dialog, VK_RETURN);
            }),
            u"/b<WMA,TRACK>");
  const auto cancelled = open([](HWND dialog) {
    chooseComboItem(dialog, typeCombo(dialog), 3);
    pressKey(dialog, VK_ESCAPE);
  });
  EXPECT_FALSE(cancelled.has_value());
  const Param1View next = peek();
  EXPECT_EQ(next.type, L"WMA");
  EXPECT_EQ(next.field, L"TRACK    トラック");
  EXPECT_EQ(next.panel, L"/b<WMA,TRACK>");
}

TEST_F(MediaInfoDialogTest, HandEditedPositionsSelectNothing) {
  writeHostIni(u"[mac_Sonavid]\r\nDef11=4\r\nDef12=50\r\n");
  start();
  const Param1View pastTheEnd = peek();
  EXPECT_EQ(pastTheEnd.type, L"VQF");
  EXPECT_EQ(pastTheEnd.field, L"(none)");
  EXPECT_EQ(pastTheEnd.panel, L"/b<VQF,>");

  host_.reset();
  writeHostIni(u"[mac_Sonavid]\r\nDef11=17\r\nDef12=0\r\n");
  start();
  const Param1View noType = peek();
  EXPECT_EQ(noType.type, L"(none)");
  EXPECT_EQ(noType.fieldCount, 30);
  EXPECT_EQ(noType.panel, L"/b<,TIME>");
}

}  // namespace
}  // namespace sonavid::uitest
