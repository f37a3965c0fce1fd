#include "repair/reg_file.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

#include "platform/text.h"
#include "repair/users.h"

namespace orvane {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::array<RegRoot, 4> kRoots = {RegRoot::ClassesRoot, RegRoot::CurrentUser,
                                           RegRoot::LocalMachine, RegRoot::Users};
constexpr std::size_t kHexLineLimit = 76;
constexpr std::string_view kTimeLine = "; Orvane time: ";
constexpr std::string_view kUndoesLine = "; Orvane undoes: ";
constexpr std::string_view kEndLine = "; Orvane end";
// A value whose name regedit cannot hold (a line break in it): the name's UTF-8
// bytes in hex, "=", the data on one line. Only Orvane's undo restores it.
constexpr std::string_view kValueLine = "; Orvane value: ";
constexpr std::string_view kValueNote =
    "; Values whose names hold line breaks are in \"; Orvane value:\" lines: only Orvane's undo restores them.\r\n"
    "; A key after \"; Orvane view: 32\" is the 32-bit view's: Orvane's undo writes it through that view.";
// Before a key of the 32-bit view, which the key line names below Wow6432Node.
constexpr std::string_view kViewLine = "; Orvane view: 32";

std::string Utf16Text(std::string_view bytes) {
  std::u16string units;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          static_cast<unsigned char>(bytes[i + 1]) << 8));
  }
  return Utf16ToUtf8(units);
}

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

// Text that a quoted string gives back byte for byte.
bool PlainText(const RegValue& value) {
  if (value.type != RegType::Sz) return false;
  const std::string text = value.AsText();
  if (text.find_first_of("\r\n") != std::string::npos) return false;
  return RegValue::Text(RegType::Sz, text) == value;
}

std::string HexData(const RegValue& value, std::size_t lineStart, bool wrap) {
  char prefix[24];
  if (value.type == RegType::Binary) {
    std::snprintf(prefix, sizeof prefix, "hex:");
  } else {
    std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(value.type));
  }
  std::string out = prefix;
  std::size_t column = lineStart + out.size();
  for (std::size_t i = 0; i < value.data.size(); ++i) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02x", value.data[i]);
    out += byte;
    column += 2;
    if (i + 1 == value.data.size()) break;
    out += ',';
    ++column;
    if (wrap && column > kHexLineLimit) {
      out += "\\\r\n  ";
      column = 2;
    }
  }
  return out;
}

bool RegeditHolds(std::string_view name) { return name.find_first_of("\r\n") == std::string_view::npos; }

std::string ValueLine(const RegFileValue& entry) {
  std::string line = entry.name.empty() ? "@" : Quoted(entry.name);
  const bool ours = !RegeditHolds(entry.name);
  if (ours) {
    line = kValueLine;
    for (unsigned char c : entry.name) {
      char byte[4];
      std::snprintf(byte, sizeof byte, "%02x", c);
      line += byte;
    }
  }
  line += '=';
  if (!entry.value) return line + "-";
  const RegValue& value = *entry.value;
  if (PlainText(value)) return line + Quoted(value.AsText());
  if (value.type == RegType::Dword && value.data.size() == 4) {
    char number[16];
    unsigned n = value.data[0] | value.data[1] << 8 | value.data[2] << 16 | unsigned(value.data[3]) << 24;
    std::snprintf(number, sizeof number, "dword:%08x", n);
    return line + number;
  }
  return line + HexData(value, line.size(), !ours);
}

// --- Reading -------------------------------------------------------------

struct Reader {
  std::vector<std::string> lines;
  std::size_t next = 0;
  std::string error;

  bool Fail(std::size_t line, const std::string& what) {
    error = "line " + std::to_string(line) + ": " + what;
    return false;
  }
};

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// A quoted string at text[pos]; pos ends after the closing quote.
bool ReadQuoted(std::string_view text, std::size_t& pos, std::string& out) {
  if (pos >= text.size() || text[pos] != '"') return false;
  for (++pos; pos < text.size(); ++pos) {
    char c = text[pos];
    if (c == '"') {
      ++pos;
      return true;
    }
    if (c == '\\') {
      if (++pos >= text.size() || (text[pos] != '\\' && text[pos] != '"')) return false;
      c = text[pos];
    }
    out += c;
  }
  return false;
}

bool ReadHexBytes(std::string_view text, std::vector<std::uint8_t>& out) {
  if (text.empty()) return true;
  std::size_t pos = 0;
  for (;;) {
    while (pos < text.size() && text[pos] == ' ') ++pos;
    if (pos + 2 > text.size() || !IsHex(text[pos]) || !IsHex(text[pos + 1])) return false;
    out.push_back(static_cast<std::uint8_t>(std::stoul(std::string(text.substr(pos, 2)), nullptr, 16)));
    pos += 2;
    if (pos == text.size()) return true;
    if (text[pos++] != ',') return false;
    if (pos == text.size()) return false;
  }
}

bool ReadData(std::string_view data, std::optional<RegValue>& out) {
  if (data == "-") return true;
  if (!data.empty() && data[0] == '"') {
    std::size_t pos = 0;
    std::string text;
    if (!ReadQuoted(data, pos, text) || pos != data.size()) return false;
    out = RegValue::Text(RegType::Sz, text);
    return true;
  }
  if (data.starts_with("dword:")) {
    std::string_view digits = data.substr(6);
    if (digits.empty() || digits.size() > 8) return false;
    for (char c : digits) if (!IsHex(c)) return false;
    out = RegValue::Dword(static_cast<std::uint32_t>(std::stoul(std::string(digits), nullptr, 16)));
    return true;
  }
  RegValue value{RegType::Binary, {}};
  std::string_view bytes;
  if (data.starts_with("hex:")) {
    bytes = data.substr(4);
  } else if (data.starts_with("hex(")) {
    std::size_t close = data.find("):");
    std::string_view digits = data.substr(4, close == std::string_view::npos ? 0 : close - 4);
    if (digits.empty() || digits.size() > 8) return false;
    for (char c : digits) if (!IsHex(c)) return false;
    value.type = static_cast<RegType>(std::stoul(std::string(digits), nullptr, 16));
    bytes = data.substr(close + 2);
  } else {
    return false;
  }
  if (!ReadHexBytes(bytes, value.data)) return false;
  out = std::move(value);
  return true;
}

bool ReadKeyLine(std::string_view line, RegFileKey& key) {
  if (line.size() < 3 || line.back() != ']') return false;
  std::string_view name = line.substr(1, line.size() - 2);
  key.remove = name.starts_with("-");
  if (key.remove) name.remove_prefix(1);
  for (RegRoot root : kRoots) {
    std::string_view rootName = RegRootName(root);
    if (name.size() > rootName.size() + 1 && StartsWithNoCase(name, rootName) && name[rootName.size()] == '\\') {
      key.root = root;
      key.path = std::string(name.substr(rootName.size() + 1));
      // Below HKEY_USERS only a person's hive or classes, as the repairs write them.
      if (root == RegRoot::Users) {
        std::string_view hive = std::string_view(key.path).substr(0, key.path.find('\\'));
        if (hive.ends_with("_Classes")) hive.remove_suffix(8);
        if (!IsUserHiveName(hive)) return false;
      }
      return key.path.find("\\\\") == std::string::npos && key.path.back() != '\\';
    }
  }
  return false;
}

bool ReadValueLine(Reader& reader, std::size_t number, std::string line, RegFileValue& value) {
  std::size_t pos = 0;
  if (line.starts_with("@=")) {
    pos = 1;
  } else if (!ReadQuoted(line, pos, value.name) || value.name.empty()) {
    return reader.Fail(number, "a value name is not closed");
  }
  if (pos >= line.size() || line[pos] != '=') return reader.Fail(number, "'=' expected");
  // Hex data may go on over lines that end in a backslash.
  const bool hex = std::string_view(line).substr(pos + 1).starts_with("hex");
  while (hex && line.ends_with("\\")) {
    line.pop_back();
    if (reader.next >= reader.lines.size()) return reader.Fail(number, "the file ends inside a value");
    std::string_view more = reader.lines[reader.next++];
    more.remove_prefix(std::min(more.find_first_not_of(' '), more.size()));
    line += more;
  }
  if (!ReadData(std::string_view(line).substr(pos + 1), value.value)) {
    return reader.Fail(number, "malformed value data");
  }
  return true;
}

bool SplitLines(std::string_view bytes, Reader& reader) {
  if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
      static_cast<unsigned char>(bytes[1]) != 0xFE) {
    return reader.Fail(1, "not a UTF-16 registry file");
  }
  if (bytes.size() % 2 != 0) return reader.Fail(0, "the file is cut off");
  const std::string text = Utf16Text(bytes);
  if (!text.ends_with("\n")) return reader.Fail(0, "the file is cut off");
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    std::string line = text.substr(start, end - start);
    if (line.ends_with("\r")) line.pop_back();
    reader.lines.push_back(std::move(line));
    start = end + 1;
  }
  if (reader.lines.empty() || reader.lines[0] != kHeader) return reader.Fail(1, "wrong header");
  return true;
}

}  // namespace

const char* RegRootName(RegRoot root) {
  switch (root) {
    case RegRoot::ClassesRoot: return "HKEY_CLASSES_ROOT";
    case RegRoot::CurrentUser: return "HKEY_CURRENT_USER";
    case RegRoot::LocalMachine: return "HKEY_LOCAL_MACHINE";
    case RegRoot::Users: return "HKEY_USERS";
  }
  return "";
}

std::string FullKeyName(RegRoot root, std::string_view path) {
  std::string name = RegRootName(root);
  if (!path.empty()) name += "\\" + std::string(path);
  return name;
}

std::string WriteRegFile(const RegFile& file) {
  std::string text(kHeader);
  text += "\r\n\r\n";
  if (!file.time.empty()) text += std::string(kTimeLine) + file.time + "\r\n";
  if (!file.undoes.empty()) text += std::string(kUndoesLine) + file.undoes + "\r\n";
  if (!file.time.empty()) text += std::string(kValueNote) + "\r\n\r\n";
  for (const RegFileKey& key : file.keys) {
    const bool bits32 = key.view == RegView::Bits32;
    if (bits32) text += std::string(kViewLine) + "\r\n";
    text += (key.remove ? "[-" : "[") + FullKeyName(key.root, bits32 ? Wow64Path(key.root, key.path) : key.path) + "]\r\n";
    for (const RegFileValue& value : key.values) text += ValueLine(value) + "\r\n";
    text += "\r\n";
  }
  if (!file.time.empty()) text += std::string(kEndLine) + "\r\n";
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : Utf8ToUtf16(text)) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

std::optional<RegFile> ParseRegFile(std::string_view bytes, std::string& error) {
  Reader reader;
  RegFile file;
  bool ok = SplitLines(bytes, reader);
  reader.next = 1;
  bool bits32 = false;  // the next key is the 32-bit view's
  while (ok && reader.next < reader.lines.size()) {
    const std::size_t number = reader.next + 1;
    const std::string line = reader.lines[reader.next++];
    if (line.starts_with(kTimeLine)) file.time = line.substr(kTimeLine.size());
    if (line.starts_with(kUndoesLine)) file.undoes = line.substr(kUndoesLine.size());
    if (line.starts_with(kValueLine)) {
      const std::size_t equals = line.find('=');
      std::vector<std::uint8_t> name;
      RegFileValue value;
      std::string_view hex = std::string_view(line).substr(kValueLine.size(), equals - kValueLine.size());
      std::string commas;
      for (std::size_t i = 0; i < hex.size(); i += 2) commas += (i ? "," : "") + std::string(hex.substr(i, 2));
      ok = equals != std::string::npos && !file.keys.empty() && !file.keys.back().remove && hex.size() % 2 == 0 &&
           ReadHexBytes(commas, name) && ReadData(std::string_view(line).substr(equals + 1), value.value);
      if (!ok) reader.Fail(number, "malformed value");
      value.name.assign(name.begin(), name.end());
      if (ok) file.keys.back().values.push_back(std::move(value));
      continue;
    }
    if (line == kViewLine) bits32 = true;
    if (line.empty() || line.starts_with(";")) continue;
    if (line.starts_with("[")) {
      RegFileKey key;
      key.line = number;
      ok = ReadKeyLine(line, key) || reader.Fail(number, "a key outside HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE and HKEY_USERS, or malformed");
      if (ok && std::exchange(bits32, false)) {
        std::optional<std::string> path = FromWow64Path(key.root, key.path);
        ok = path || reader.Fail(number, "a 32-bit view key outside Wow6432Node");
        key.path = path.value_or("");
        key.view = RegView::Bits32;
      }
      file.keys.push_back(std::move(key));
      continue;
    }
    if (file.keys.empty() || file.keys.back().remove) {
      ok = reader.Fail(number, "a value outside a key");
      continue;
    }
    RegFileValue value;
    ok = ReadValueLine(reader, number, line, value);
    file.keys.back().values.push_back(std::move(value));
  }
  if (ok && !file.time.empty()) {
    std::size_t last = reader.lines.size();
    while (last > 0 && reader.lines[last - 1].empty()) --last;
    if (last == 0 || reader.lines[last - 1] != kEndLine) ok = reader.Fail(last, "the file is cut off");
  }
  if (!ok) {
    error = reader.error;
    return std::nullopt;
  }
  return file;
}

RegFileHeader ReadRegFileHeader(std::string_view bytes) {
  RegFileHeader header;
  const std::string text = Utf16Text(bytes.substr(0, std::min<std::size_t>(bytes.size(), 4096)));
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = std::min(text.find('\n', start), text.size());
    std::string_view line = std::string_view(text).substr(start, end - start);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.starts_with("[")) break;
    if (line.starts_with(kTimeLine)) header.time = line.substr(kTimeLine.size());
    if (line.starts_with(kUndoesLine)) header.undoes = line.substr(kUndoesLine.size());
    start = end + 1;
  }
  return header;
}

std::vector<StepTarget> RegFileTargets(const RegFile& file) {
  std::vector<StepTarget> targets;
  for (RegFileKey key : file.keys) {
    // Trees are walked in the 64-bit view, by their Wow6432Node names.
    if (key.view == RegView::Bits32 && key.remove) {
      key.path = Wow64Path(key.root, key.path);
      key.view = RegView::Default;
    }
    // A link key, saved as its one REG_LINK value, comes back as a link.
    if (!key.remove && key.values.size() == 1 && key.values[0].value &&
        key.values[0].value->type == RegType::Link && EqualsNoCase(key.values[0].name, kLinkValueName)) {
      const std::string path = key.view == RegView::Bits32 ? Wow64Path(key.root, key.path) : key.path;
      targets.push_back({.kind = StepKind::Link, .root = key.root, .path = path, .value = *key.values[0].value});
      continue;
    }
    StepTarget target{.kind = key.remove ? StepKind::DeleteTree : StepKind::Key, .root = key.root, .view = key.view,
                      .path = key.path};
    targets.push_back(target);
    for (const RegFileValue& value : key.values) {
      StepTarget step{.kind = value.value ? StepKind::SetValue : StepKind::DeleteValue, .root = key.root,
                      .view = key.view, .path = key.path, .name = value.name, .hasKey = true};
      if (value.value) step.value = *value.value;
      targets.push_back(std::move(step));
    }
  }
  return targets;
}

}  // namespace orvane
