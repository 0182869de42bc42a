#include "shared/expansion_run.h"

#include "common/text.h"

namespace sonavid {

std::vector<std::vector<std::u16string>> expandRun(const std::vector<RunMacro>& macros,
                                                   const std::vector<RunFile>& files,
                                                   const ExecuteFunction& execute) {
  std::vector<std::vector<std::u16string>> rows;
  rows.reserve(files.size());
  execute(nullptr);
  int32_t fileNumber = 0;
  for (const RunFile& file : files) {
    std::vector<std::u16string>& row = rows.emplace_back();
    int32_t callNumber = kFirstCallOnFile;
    for (const RunMacro& macro : macros) {
      MacroRequest request;
      request.macroIndex = macro.macroIndex;
      request.parameterText = macro.parameterText;
      request.directory = file.directory;
      request.fileName = file.fileName;
      request.fileNumber = fileNumber;
      request.callNumber = callNumber++;
      row.emplace_back(hostText(execute(&request)));
    }
    ++fileNumber;
  }
  return rows;
}

RunFile splitLocalPath(std::u16string_view path) {
  const std::u16string_view directory = directoryPart(path);
  RunFile file;
  file.directory = directory.empty() ? std::u16string(u"./") : std::u16string(directory);
  file.fileName = path.substr(directory.size());
  return file;
}

}  // namespace sonavid
