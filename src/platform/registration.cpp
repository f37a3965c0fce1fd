#include "platform/registration.h"

#include <vector>

#include "platform/text.h"

namespace orvane {
namespace {

struct Word {
  std::size_t start;  // where it starts in the line, quote included
  std::size_t end;    // just past it
  std::string text;   // without quotes
};

std::vector<Word> Words(std::string_view line) {
  std::vector<Word> words;
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ' || line[i] == '\t') {
      ++i;
      continue;
    }
    Word word{i, i, {}};
    if (line[i] == '"') {
      std::size_t close = line.find('"', i + 1);
      if (close == std::string_view::npos) close = line.size();
      word.text = std::string(line.substr(i + 1, close - i - 1));
      i = close < line.size() ? close + 1 : close;
    } else {
      std::size_t end = line.find_first_of(" \t", i);
      if (end == std::string_view::npos) end = line.size();
      word.text = std::string(line.substr(i, end - i));
      i = end;
    }
    word.end = i;
    words.push_back(std::move(word));
  }
  return words;
}

bool IsRegsvr32(std::string_view program) {
  std::size_t slash = program.find_last_of("\\/");
  if (slash != std::string_view::npos) program.remove_prefix(slash + 1);
  return EqualsNoCase(program, "regsvr32") || EqualsNoCase(program, "regsvr32.exe");
}

std::string Joined(std::string folder, std::string_view rest) {
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder + std::string(rest);
}

// The library as a full path, or empty when it cannot be made one.
std::string FullLibraryPath(const std::string& library, const SystemFolders& folders) {
  if (library.starts_with(kCommonFilesToken)) {
    std::string_view rest = std::string_view(library).substr(kCommonFilesToken.size());
    while (rest.starts_with('\\')) rest.remove_prefix(1);
    return folders.commonFiles.empty() ? std::string() : Joined(folders.commonFiles, rest);
  }
  if (library.find_first_of("\\/:") == std::string::npos) {
    return folders.system.empty() ? std::string() : Joined(folders.system, library);
  }
  return library;
}

// The word a regsvr32 line names its library by: the last that is no switch.
const Word* LibraryWord(const std::vector<Word>& words) {
  if (words.empty() || !IsRegsvr32(words.front().text)) return nullptr;
  const Word* library = nullptr;
  for (std::size_t i = 1; i < words.size(); ++i) {
    if (!words[i].text.starts_with('/') && !words[i].text.starts_with('-')) library = &words[i];
  }
  return library;
}

std::string_view FileName(std::string_view path) {
  std::size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::optional<std::string> Resolve32BitRegistration(
    std::string_view line, const SystemFolders& folders,
    const std::function<bool(const std::string&)>& fileExists) {
  std::vector<Word> words = Words(line);
  const Word* library = LibraryWord(words);
  if (library == nullptr || folders.system32Bit.empty() || folders.system.empty() ||
      library->text.find_first_of("\\/:") != std::string::npos || library->text.starts_with(kCommonFilesToken)) {
    return std::nullopt;
  }
  const std::string program = Joined(folders.system32Bit, "regsvr32.exe");
  const std::string path = Joined(folders.system32Bit, library->text);
  if (!fileExists(Joined(folders.system, library->text)) || !fileExists(path) || !fileExists(program)) {
    return std::nullopt;
  }
  const Word& first = words.front();
  return '"' + program + '"' + std::string(line.substr(first.end, library->start - first.end)) + '"' + path + '"' +
         std::string(line.substr(library->end));
}

std::string RegisteredLibrary(std::string_view line) {
  std::vector<Word> words = Words(line);
  const Word* library = LibraryWord(words);
  return library ? std::string(FileName(library->text)) : std::string();
}

bool NamesLibrary(std::string_view path, std::string_view library) {
  while (!path.empty() && (path.front() == '"' || path.front() == ' ')) path.remove_prefix(1);
  while (!path.empty() && (path.back() == '"' || path.back() == ' ')) path.remove_suffix(1);
  return !library.empty() && EqualsNoCase(FileName(path), library);
}

std::optional<std::string> ResolveRegistration(
    std::string_view line, const SystemFolders& folders,
    const std::function<bool(const std::string&)>& fileExists) {
  std::vector<Word> words = Words(line);
  const Word* library = LibraryWord(words);
  if (library == nullptr) return std::string(line);
  std::string path = FullLibraryPath(library->text, folders);
  if (path.empty() || !fileExists(path)) return std::nullopt;
  return std::string(line.substr(0, library->start)) + '"' + path + '"' +
         std::string(line.substr(library->end));
}

}  // namespace orvane
