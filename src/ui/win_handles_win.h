// Owners of the GDI and USER handles the dialogs create.
#pragma once

#include <windows.h>
// After windows.h: image lists.
#include <commctrl.h>

#include "ui/unique_handle.h"

namespace sonavid::ui {

struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct MenuDeleter {
  void operator()(HMENU menu) const { DestroyMenu(menu); }
};
struct ImageListDeleter {
  void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
};
struct WindowDeleter {
  void operator()(HWND window) const { DestroyWindow(window); }
};

using UniqueFont = UniqueHandle<HFONT, GdiObjectDeleter>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiObjectDeleter>;
using UniqueMenu = UniqueHandle<HMENU, MenuDeleter>;
using UniqueImageList = UniqueHandle<HIMAGELIST, ImageListDeleter>;
using UniqueWindow = UniqueHandle<HWND, WindowDeleter>;

}  // namespace sonavid::ui
