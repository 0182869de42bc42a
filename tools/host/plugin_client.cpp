#include "plugin_client.h"

namespace sonavid::host {

namespace {
// Generous buffers: the plug-in copies its texts without knowing their size.
constexpr size_t kTextBufferUnits = 1024;
}  // namespace

PluginClient::~PluginClient() {
  finalize();
  if (module_ != nullptr) FreeLibrary(module_);
}

bool PluginClient::load(const std::wstring& dllPath, std::string& error) {
  module_ = LoadLibraryW(dllPath.c_str());
  if (module_ == nullptr) {
    error = "cannot load mac_Sonavid.dll";
    return false;
  }
  auto entry = reinterpret_cast<MacPluginFn>(
      reinterpret_cast<void*>(GetProcAddress(module_, "macPlugin")));
  if (entry == nullptr) {
    error = "mac_Sonavid.dll exports no macPlugin";
    return false;
  }
  std::u16string nameBuffer(kTextBufferUnits, u'\0');
  std::u16string versionBuffer(kTextBufferUnits, u'\0');
  descriptor_ = PluginDescriptor{};
  descriptor_.nameBuffer = nameBuffer.data();
  descriptor_.versionBuffer = versionBuffer.data();
  const int32_t answer = entry(&descriptor_);
  if (answer != kPluginEntryResult || descriptor_.version != kPluginInterfaceVersion) {
    error = "macPlugin answered " + std::to_string(answer) + " with interface version " +
            std::to_string(descriptor_.version);
    return false;
  }
  name_ = nameBuffer.c_str();
  version_ = versionBuffer.c_str();
  descriptor_.nameBuffer = nullptr;
  descriptor_.versionBuffer = nullptr;
  return true;
}

void PluginClient::initialize(HWND owner, const std::wstring& iniPath, const std::wstring& section) {
  PluginInitRecord record{};
  record.hostWindow = owner;
  record.iniPath = reinterpret_cast<const char16_t*>(iniPath.c_str());
  record.section = reinterpret_cast<const char16_t*>(section.c_str());
  descriptor_.macInitialize(&record);
  initialized_ = true;
}

const char16_t* PluginClient::execute(const MacroRequest* request) const {
  if (request == nullptr) return descriptor_.macExecute(nullptr);
  ExecuteRequest record{};
  record.macroIndex = request->macroIndex;
  record.parameterText = request->parameterText.data();
  record.directory = request->directory.data();
  record.fileName = request->fileName.data();
  record.skipFlag = request->skipFlag;
  record.fileNumber = request->fileNumber;
  record.callNumber = request->callNumber;
  return descriptor_.macExecute(&record);
}

void PluginClient::finalize() {
  if (!initialized_) return;
  initialized_ = false;
  descriptor_.macFinalize();
}

}  // namespace sonavid::host
