#pragma once
// Whole files kept with a run's backup, so that undo puts them back byte for
// byte: in the folder "<backup>.files" beside the .reg file, copy n is the
// file "n" and "n.path" holds the path it came from.
#include <string>
#include <vector>

#include "platform/file_store.h"

namespace orvane {

// Copies the file once per backup (a path kept already is kept as it was
// first). False when it could not be read or the copy not written.
bool KeepFileCopy(FileStore& files, const std::string& backupPath, const std::string& path);

struct KeptFile {
  std::string path;  // where it came from
  std::string copy;  // the copy beside the backup
};
// The files kept with the backup, in the order kept.
std::vector<KeptFile> KeptFiles(FileStore& files, const std::string& backupPath);

// Puts the bytes in place of the file at `path` (made anew beside it and moved over).
bool PutFileBack(FileStore& files, const std::string& path, const std::string& bytes);

}  // namespace orvane
