// Loads the real mac_Sonavid.dll from the test program's folder, as a host does.
#pragma once

#include <windows.h>

#include <string>

#include "core/host_abi.h"

namespace sonavid::test {

std::wstring programFolder();
// A new empty folder under the temporary folder, removed by the destructor.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  const std::wstring& path() const { return path_; }  // ends in '\'
 private:
  std::wstring path_;
};

std::string readBytes(const std::wstring& path);
void writeBytes(const std::wstring& path, const std::string& bytes);
std::string utf16le(std::u16string_view text, bool withMark = true);

class LoadedPlugin {
 public:
  LoadedPlugin();
  ~LoadedPlugin();
  HMODULE module() const { return module_; }
  MacPluginFn entry() const { return entry_; }
  // The descriptor from one macPlugin call (with the texts copied out).
  const PluginDescriptor& descriptor() const { return descriptor_; }
  std::u16string name, version;

 private:
  HMODULE module_ = nullptr;
  MacPluginFn entry_ = nullptr;
  PluginDescriptor descriptor_{};
};

// Opens the plug-in's setup dialog, shows `page` (a media type index), adds a row, saves the
// page and cancels, as a user clicking through it would.
void addRowAndSaveInSetup(const LoadedPlugin& plugin, int page);

}  // namespace sonavid::test
