#include "browsers/policies_json.h"

#include <algorithm>
#include <cstdint>

#include "platform/text.h"

namespace orvane {
namespace {

struct Member {
  std::string key;
  std::size_t keyStart = 0, valueStart = 0, valueEnd = 0;
};

struct JsonObject {
  std::size_t open = 0;  // the position of its '{'
  std::vector<Member> members;
};

// A strict JSON reader that remembers where the members of chosen objects lie.
class Scanner {
 public:
  explicit Scanner(std::string_view text) : t_(text) {}

  // The whole text is one JSON value; records the top object's members.
  bool Document(JsonObject* top) {
    if (t_.starts_with("\xEF\xBB\xBF")) p_ = 3;
    Space();
    if (p_ < t_.size() && t_[p_] == '{') {
      if (!Object(top)) return false;
    } else if (!Value()) {
      return false;
    }
    Space();
    return p_ == t_.size();
  }

  // The object at `at` (already known valid), with its members.
  static JsonObject ObjectAt(std::string_view text, std::size_t at) {
    Scanner scanner(text);
    scanner.p_ = at;
    JsonObject object;
    scanner.Object(&object);
    return object;
  }

 private:
  static constexpr int kMaxDepth = 256;

  void Space() {
    while (p_ < t_.size() && (t_[p_] == ' ' || t_[p_] == '\t' || t_[p_] == '\n' || t_[p_] == '\r')) ++p_;
  }
  bool Eat(char c) {
    if (p_ < t_.size() && t_[p_] == c) {
      ++p_;
      return true;
    }
    return false;
  }

  bool Value() {
    if (p_ >= t_.size()) return false;
    switch (t_[p_]) {
      case '{': return Object(nullptr);
      case '[': return Array();
      case '"': return String(nullptr);
      case 't': return Word("true");
      case 'f': return Word("false");
      case 'n': return Word("null");
      default: return Number();
    }
  }

  bool Word(std::string_view word) {
    if (!t_.substr(p_).starts_with(word)) return false;
    p_ += word.size();
    return true;
  }

  bool Number() {
    const std::size_t start = p_;
    Eat('-');
    auto digits = [&] {
      const std::size_t from = p_;
      while (p_ < t_.size() && t_[p_] >= '0' && t_[p_] <= '9') ++p_;
      return p_ - from;
    };
    const std::size_t whole = p_;
    if (digits() == 0 || (t_[whole] == '0' && p_ - whole > 1)) return false;
    if (Eat('.') && digits() == 0) return false;
    if (p_ < t_.size() && (t_[p_] == 'e' || t_[p_] == 'E')) {
      ++p_;
      if (!Eat('+')) Eat('-');
      if (digits() == 0) return false;
    }
    return p_ > start;
  }

  bool String(std::string* out) {
    if (!Eat('"')) return false;
    while (p_ < t_.size()) {
      const char c = t_[p_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        if (out) *out += c;
        continue;
      }
      if (p_ >= t_.size()) return false;
      const char e = t_[p_++];
      if (e == 'u') {
        std::uint32_t unit = 0;
        if (!Hex4(unit)) return false;
        // A name may be spelled with escapes ("Home\u0070age"): decode them as the browser does.
        if (unit >= 0xD800 && unit <= 0xDBFF && t_.substr(p_).starts_with("\\u")) {
          const std::size_t back = p_;
          p_ += 2;
          std::uint32_t low = 0;
          if (Hex4(low) && low >= 0xDC00 && low <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
          } else {
            p_ = back;
          }
        }
        if (out) AppendUtf8(*out, unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit);
      } else if (std::string_view("\"\\/bfnrt").find(e) != std::string_view::npos) {
        if (out) *out += std::string_view("\"\\/\b\f\n\r\t")[std::string_view("\"\\/bfnrt").find(e)];
      } else {
        return false;
      }
    }
    return false;
  }

  bool Hex4(std::uint32_t& unit) {
    if (p_ + 4 > t_.size()) return false;
    for (int i = 0; i < 4; ++i) {
      const char h = t_[p_++];
      int digit;
      if (h >= '0' && h <= '9') {
        digit = h - '0';
      } else if (h >= 'a' && h <= 'f') {
        digit = h - 'a' + 10;
      } else if (h >= 'A' && h <= 'F') {
        digit = h - 'A' + 10;
      } else {
        return false;
      }
      unit = unit << 4 | static_cast<std::uint32_t>(digit);
    }
    return true;
  }

  static void AppendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | c >> 18);
      out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }

  bool Array() {
    if (++depth_ > kMaxDepth) return false;
    ++p_;
    Space();
    if (!Eat(']')) {
      do {
        Space();
        if (!Value()) return false;
        Space();
      } while (Eat(','));
      if (!Eat(']')) return false;
    }
    --depth_;
    return true;
  }

  bool Object(JsonObject* record) {
    if (++depth_ > kMaxDepth) return false;
    if (record) record->open = p_;
    ++p_;
    Space();
    if (!Eat('}')) {
      do {
        Space();
        Member member;
        member.keyStart = p_;
        if (!String(&member.key)) return false;
        Space();
        if (!Eat(':')) return false;
        Space();
        member.valueStart = p_;
        if (!Value()) return false;
        member.valueEnd = p_;
        if (record) record->members.push_back(std::move(member));
        Space();
      } while (Eat(','));
      if (!Eat('}')) return false;
    }
    --depth_;
    return true;
  }

  std::string_view t_;
  std::size_t p_ = 0;
  int depth_ = 0;
};

const PolicyName* JsonPolicy(std::string_view name) {
  for (const PolicyName& entry : FirefoxPolicyNames()) {
    if (EqualsNoCase(name, entry.name)) return &entry;
  }
  return nullptr;
}

// Every "policies" object of a valid document; nullopt when the text is not JSON.
std::optional<std::vector<JsonObject>> PolicyObjects(std::string_view text) {
  JsonObject top;
  if (!Scanner(text).Document(&top)) return std::nullopt;
  std::vector<JsonObject> objects;
  for (const Member& member : top.members) {
    if (member.key == "policies" && text[member.valueStart] == '{') {
      objects.push_back(Scanner::ObjectAt(text, member.valueStart));
    }
  }
  return objects;
}

std::string Compact(std::string_view json) {
  std::string out;
  bool inString = false;
  for (std::size_t i = 0; i < json.size(); ++i) {
    const char c = json[i];
    if (inString) {
      out += c;
      if (c == '\\' && i + 1 < json.size()) {
        out += json[++i];
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
      out += c;
    } else if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
      out += c;
    }
  }
  return out;
}

std::string FolderOf(std::string exe) {
  std::erase(exe, '"');
  const std::size_t slash = exe.rfind('\\');
  return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

std::vector<std::string> Subkeys(RegistryService& registry, RegRoot root, const std::string& path) {
  std::vector<std::string> names;
  RegKey key(registry);
  RegKeyInfo info;
  if (key.Open(root, path, kKeyRead) != regerr::kSuccess ||
      registry.QueryInfoKey(key.Get(), info) != regerr::kSuccess) {
    return names;
  }
  std::string name;
  for (std::uint32_t i = 0; i < info.subkeys; ++i) {
    if (registry.EnumKey(key.Get(), i, info.maxSubkeyLen + 1, name) == regerr::kSuccess) {
      names.push_back(name.substr(0, name.find('\0')));
    }
  }
  return names;
}

}  // namespace

PoliciesJsonRead ReadPoliciesJson(std::string_view text) {
  PoliciesJsonRead read;
  auto objects = PolicyObjects(text);
  if (!objects) return read;
  read.readable = true;
  for (const JsonObject& object : *objects) {
    for (const Member& member : object.members) {
      if (const PolicyName* entry = JsonPolicy(member.key)) {
        read.hits.push_back({entry->effect, member.key,
                             Compact(text.substr(member.valueStart, member.valueEnd - member.valueStart))});
      }
    }
  }
  return read;
}

std::optional<std::string> RemoveJsonHijacks(std::string_view original, const std::vector<std::string>& only) {
  const auto chosen = [&](const Member& m) {
    return JsonPolicy(m.key) && (only.empty() || std::ranges::find(only, m.key) != only.end());
  };
  std::string text(original);
  // One entry at a time, reading the positions afresh after each cut.
  for (;;) {
    auto objects = PolicyObjects(text);
    if (!objects) return std::nullopt;
    const JsonObject* holder = nullptr;
    std::size_t index = 0;
    for (const JsonObject& object : *objects) {
      auto it = std::ranges::find_if(object.members, chosen);
      if (it != object.members.end()) {
        holder = &object;
        index = static_cast<std::size_t>(it - object.members.begin());
        break;
      }
    }
    if (!holder) return text;
    const auto& m = holder->members;
    if (m.size() == 1) {
      text.erase(holder->open + 1, m[0].valueEnd - holder->open - 1);
    } else if (index + 1 < m.size()) {
      text.erase(m[index].keyStart, m[index + 1].keyStart - m[index].keyStart);
    } else {
      text.erase(m[index - 1].valueEnd, m[index].valueEnd - m[index - 1].valueEnd);
    }
  }
}

std::vector<std::string> FirefoxInstallFolders(RegistryService& registry) {
  const std::string appPaths = R"(SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\firefox.exe)";
  std::vector<std::string> candidates;
  const std::pair<RegRoot, std::string> bases[] = {
      {RegRoot::LocalMachine, "SOFTWARE"},
      {RegRoot::LocalMachine, R"(SOFTWARE\Wow6432Node)"},
      {RegRoot::CurrentUser, "SOFTWARE"},
  };
  for (const auto& [root, software] : bases) {
    const std::string apps = software + appPaths.substr(8);
    candidates.push_back(FolderOf(ReadText(registry, root, apps, "")));
    candidates.push_back(ReadText(registry, root, apps, "Path"));
    for (const char* product : {"Mozilla Firefox", "Mozilla Firefox ESR"}) {
      const std::string maker = software + R"(\Mozilla\)" + product;
      for (const std::string& version : Subkeys(registry, root, maker)) {
        const std::string main = maker + "\\" + version + R"(\Main)";
        candidates.push_back(ReadText(registry, root, main, "Install Directory"));
        candidates.push_back(FolderOf(ReadText(registry, root, main, "PathToExe")));
      }
    }
  }
  std::vector<std::string> folders;
  for (std::string folder : candidates) {
    std::erase(folder, '"');
    while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    if (folder.empty()) continue;
    if (std::ranges::none_of(folders, [&](const std::string& f) { return EqualsNoCase(f, folder); })) {
      folders.push_back(folder);
    }
  }
  return folders;
}

std::string PoliciesJsonPath(std::string_view installFolder) {
  std::string path(installFolder);
  if (!path.ends_with('\\')) path += '\\';
  return path + R"(distribution\policies.json)";
}

bool WritePoliciesJson(FileStore& files, const std::string& path, std::string_view text) {
  return ReplaceFile(files, path, text);
}

}  // namespace orvane
