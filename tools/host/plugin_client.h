// Loads mac_Sonavid.dll the way a host does and drives its callbacks.
#pragma once

#include <windows.h>

#include <string>

#include "core/host_abi.h"
#include "engine/execute_request.h"

namespace sonavid::host {

class PluginClient {
 public:
  PluginClient() = default;
  PluginClient(const PluginClient&) = delete;
  PluginClient& operator=(const PluginClient&) = delete;
  ~PluginClient();

  // Loads the DLL from `dllPath`, calls macPlugin and checks its answer. On failure returns
  // false with a reason in `error`.
  bool load(const std::wstring& dllPath, std::string& error);
  // macInitialize with the owner window, the INI file's full path and the section.
  void initialize(HWND owner, const std::wstring& iniPath, const std::wstring& section);
  void finalize();

  // macExecute with a portable request (null: the reset request). The request's texts must
  // be NUL-terminated where they end (views of whole std::u16string objects are).
  const char16_t* execute(const MacroRequest* request) const;

  const PluginDescriptor& descriptor() const { return descriptor_; }
  const std::u16string& name() const { return name_; }
  const std::u16string& versionText() const { return version_; }

 private:
  HMODULE module_ = nullptr;
  PluginDescriptor descriptor_{};
  std::u16string name_;
  std::u16string version_;
  bool initialized_ = false;
};

}  // namespace sonavid::host
