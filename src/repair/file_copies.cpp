#include "repair/file_copies.h"

#include <algorithm>

namespace orvane {
namespace {

std::string CopyFolder(const std::string& backupPath) {
  const std::size_t dot = backupPath.rfind('.');
  return (dot == std::string::npos ? backupPath : backupPath.substr(0, dot)) + ".files";
}

bool WriteNew(FileStore& files, const std::string& path, const std::string& bytes) {
  CreateResult result = CreateResult::Failed;
  std::unique_ptr<OwnFile> file = files.CreateNew(path, result);
  return file && file->Write(bytes);
}

}  // namespace

std::vector<KeptFile> KeptFiles(FileStore& files, const std::string& backupPath) {
  const std::string folder = CopyFolder(backupPath);
  std::vector<std::pair<int, KeptFile>> kept;
  for (const std::string& name : files.ListFiles(folder, ".path")) {
    const std::string number = name.substr(0, name.size() - 5);
    if (number.empty() || !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      continue;
    }
    const std::optional<std::string> path = files.ReadFile(folder + "\\" + name);
    if (path && !path->empty()) kept.push_back({std::stoi(number), {*path, folder + "\\" + number}});
  }
  std::sort(kept.begin(), kept.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<KeptFile> out;
  for (auto& [number, file] : kept) out.push_back(std::move(file));
  return out;
}

bool KeepFileCopy(FileStore& files, const std::string& backupPath, const std::string& path) {
  if (backupPath.empty()) return false;
  const std::vector<KeptFile> kept = KeptFiles(files, backupPath);
  for (const KeptFile& file : kept) {
    if (file.path == path) return true;
  }
  const std::optional<std::string> bytes = files.ReadFile(path);
  const std::string folder = CopyFolder(backupPath);
  if (!bytes || !files.CreateFolder(folder)) return false;
  const std::string copy = folder + "\\" + std::to_string(kept.size() + 1);
  // The path last: a copy without it is never restored.
  return WriteNew(files, copy, *bytes) && WriteNew(files, copy + ".path", path);
}

bool PutFileBack(FileStore& files, const std::string& path, const std::string& bytes) {
  return ReplaceFile(files, path, bytes);
}

}  // namespace orvane
