#include "cli/config_check.h"

#include <optional>
#include <string_view>

#include "platform/text.h"
#include "resources/catalogue.h"

namespace orvane::cli {

bool LooksLikeIni(const std::string& bytes) {
  std::string text = bytes;
  if (text.starts_with("\xFF\xFE")) {
    if (text.size() % 2 != 0) return false;
    std::u16string wide;
    for (std::size_t i = 2; i < text.size(); i += 2) {
      wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(text[i]) |
                                           static_cast<unsigned char>(text[i + 1]) << 8));
    }
    if (wide.find(u'\0') != std::u16string::npos) return false;
    text = Utf16ToUtf8(wide);
  } else if (text.find('\0') != std::string::npos) {
    return false;
  } else if (text.starts_with("\xEF\xBB\xBF")) {
    text.erase(0, 3);
  }
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + start, end - start);
    start = end + 1;
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) continue;
    line.remove_prefix(first);
    const bool ok = line[0] == ';' || line[0] == '#' || (line[0] == '[' && line.find(']') != std::string_view::npos) ||
                    line.find('=') != std::string_view::npos;
    if (!ok) return false;
  }
  return true;
}

std::string ConfigProblem(FileStore& files, const std::string& path) {
  std::optional<std::string> head = files.ReadFileHead(path, kConfigLimit);
  if (!head) return LoadString(3801);
  if (head->size() > kConfigLimit) return LoadString(3802);
  if (!LooksLikeIni(*head)) return LoadString(3803);
  return "";
}

}  // namespace orvane::cli
