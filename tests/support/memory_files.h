#pragma once
// A FileStore in memory: folders can be made unwritable, the clock is set by hand.
#include <map>
#include <set>
#include <string>

#include "platform/file_store.h"

namespace orvane::testing {

class MemoryFiles : public FileStore {
 public:
  std::map<std::string, std::string> files;  // full path -> bytes
  std::set<std::string> readOnlyFolders;
  std::string machine = R"(C:\ProgramData)", localAppData = R"(C:\Users\u\AppData\Local)";
  bool elevated = true;
  FolderCheck machineCheck;  // what ProtectFolder answers
  std::string stamp = "2026-12-06_14-03-27";

  std::string MachineDataFolder() override { return machine; }
  bool Elevated() override { return elevated; }
  FolderCheck ProtectFolder(const std::string&, const std::vector<std::string>&) override { return machineCheck; }
  std::string LocalAppDataFolder() override { return localAppData; }
  bool CreateFolder(const std::string& path) override { return !readOnlyFolders.count(path); }
  // Each file made through CreateNew writes only its own entry, and only while it is there.
  struct File : OwnFile {
    MemoryFiles& store;
    std::string path;
    File(MemoryFiles& s, std::string p) : store(s), path(std::move(p)) {}
    const std::string& Path() const override { return path; }
    bool Write(std::string_view bytes) override {
      if (path.empty()) return false;
      store.files[path] = std::string(bytes);
      return true;
    }
    bool Append(std::string_view bytes) override {
      if (path.empty()) return false;
      store.files[path] += bytes;
      return true;
    }
    void Discard() override {
      store.files.erase(path);
      path.clear();
    }
    bool MoveOver(const std::string& target) override {
      if (path.empty()) return false;
      store.files[target] = store.files[path];
      Discard();
      return true;
    }
  };
  std::unique_ptr<OwnFile> CreateNew(const std::string& path, CreateResult& result) override {
    result = CreateResult::Failed;
    if (readOnlyFolders.count(path.substr(0, path.rfind('\\')))) return nullptr;
    result = CreateResult::Taken;
    if (files.count(path)) return nullptr;
    result = CreateResult::Created;
    files[path];
    return std::make_unique<File>(*this, path);
  }
  std::optional<std::string> ReadFile(const std::string& path) override {
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second;
  }
  void RemoveOld(const std::string& path) override { files.erase(path); }
  void RemoveOldFolder(const std::string& path) override {
    std::erase_if(files, [&](const auto& file) { return file.first.starts_with(path + "\\"); });
  }
  std::vector<std::string> ListFiles(const std::string& folder, std::string_view suffix) override {
    std::vector<std::string> names;
    for (const auto& [path, bytes] : files) {
      if (path.starts_with(folder + "\\") && path.ends_with(suffix) &&
          path.find('\\', folder.size() + 1) == std::string::npos) {
        names.push_back(path.substr(folder.size() + 1));
      }
    }
    return names;
  }
  std::string LocalTimeStamp() override { return stamp; }
  std::string UniversalTime() override { return stamp; }
};

}  // namespace orvane::testing
