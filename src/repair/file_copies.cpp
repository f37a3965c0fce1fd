#include "repair/file_copies.h"

namespace orvane {
namespace {

std::string CopyFolder(const std::string& backupPath) {
  const std::size_t dot = backupPath.rfind('.');
  return (dot == std::string::npos ? backupPath : backupPath.substr(0, dot)) + ".files";
}

}  // namespace

std::vector<KeptFile> KeptFiles(FileStore& files, const std::string& backupPath) {
  std::vector<KeptFile> kept;
  const std::string folder = CopyFolder(backupPath);
  const std::string list = files.ReadFile(folder + "\\paths.txt").value_or("");
  std::size_t start = 0;
  while (start < list.size()) {
    std::size_t end = list.find("\r\n", start);
    if (end == std::string::npos) end = list.size();
    const std::string line = list.substr(start, end - start);
    start = end + 2;
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos || tab == 0) continue;
    kept.push_back({line.substr(tab + 1), folder + "\\" + line.substr(0, tab)});
  }
  return kept;
}

bool KeepFileCopy(FileStore& files, const std::string& backupPath, const std::string& path) {
  if (backupPath.empty()) return false;
  std::vector<KeptFile> kept = KeptFiles(files, backupPath);
  for (const KeptFile& file : kept) {
    if (file.path == path) return true;
  }
  const std::optional<std::string> bytes = files.ReadFile(path);
  const std::string folder = CopyFolder(backupPath);
  if (!bytes || !files.CreateFolder(folder)) return false;
  const std::string name = std::to_string(kept.size() + 1);
  if (!files.WriteFile(folder + "\\" + name, *bytes)) return false;
  std::string list;
  for (std::size_t i = 0; i < kept.size(); ++i) list += std::to_string(i + 1) + "\t" + kept[i].path + "\r\n";
  return files.WriteFile(folder + "\\paths.txt", list + name + "\t" + path + "\r\n");
}

}  // namespace orvane
