#include "browsers/address.h"

#include <algorithm>
#include <array>

#include "platform/text.h"

namespace orvane {
namespace {

bool IsAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSpace(char c) { return c == ' ' || c == '\t'; }

// Schemes a browser opens without "//" after them.
constexpr std::array<std::string_view, 6> kBareSchemes = {"http", "https", "ftp", "javascript",
                                                          "vbscript", "data"};

// Endings of file names that are no top-level domains (".com" is both: a host).
constexpr std::array<std::string_view, 30> kFileEndings = {
    "exe", "dll", "bat", "cmd", "lnk", "url", "ini", "inf", "txt", "log", "json", "xml",
    "js", "vbs", "ps1", "hta", "htm", "html", "dat", "db", "sys", "tmp", "bak", "cfg",
    "png", "jpg", "gif", "ico", "pdf", "zip"};

bool HasScheme(std::string_view token) {
  std::size_t colon = token.find(':');
  // One letter before the colon is a drive.
  if (colon == std::string_view::npos || colon < 2 || !IsAsciiAlpha(token[0])) return false;
  for (char c : token.substr(0, colon)) {
    if (!IsAsciiAlpha(c) && !IsAsciiDigit(c) && c != '+' && c != '-' && c != '.') return false;
  }
  if (token.substr(colon + 1).starts_with("//")) return true;
  const std::string scheme = AsciiLower(token.substr(0, colon));
  return std::ranges::find(kBareSchemes, scheme) != kBareSchemes.end();
}

// The full stops international domain names may be written with, as '.'.
std::string FoldDots(std::string_view host) {
  std::string out;
  for (std::size_t i = 0; i < host.size(); ++i) {
    std::string_view rest = host.substr(i);
    if (rest.starts_with("\xE3\x80\x82") || rest.starts_with("\xEF\xBC\x8E") ||
        rest.starts_with("\xEF\xBD\xA1")) {
      out += '.';
      i += 2;
    } else {
      out += host[i];
    }
  }
  return out;
}

bool IsIpv4(const std::vector<std::string_view>& labels) {
  if (labels.size() != 4) return false;
  return std::ranges::all_of(labels, [](std::string_view label) {
    return label.size() <= 3 && std::ranges::all_of(label, IsAsciiDigit) &&
           std::stoi(std::string(label)) <= 255;
  });
}

bool LooksLikeHost(std::string_view token) {
  std::string_view authority = token.substr(0, token.find_first_of("/?#"));
  if (std::size_t colon = authority.rfind(':'); colon != std::string_view::npos) {
    std::string_view port = authority.substr(colon + 1);
    if (port.empty() || port.size() > 5 || !std::ranges::all_of(port, IsAsciiDigit)) return false;
    authority = authority.substr(0, colon);
  }
  const std::string host = FoldDots(authority);
  std::vector<std::string_view> labels;
  for (std::size_t start = 0;;) {
    std::size_t dot = host.find('.', start);
    labels.push_back(std::string_view(host).substr(start, dot - start));
    if (dot == std::string::npos) break;
    start = dot + 1;
  }
  if (labels.size() < 2) return false;
  for (std::string_view label : labels) {
    if (label.empty() || label.front() == '-' || label.back() == '-') return false;
    for (char c : label) {
      if (!IsAsciiAlpha(c) && !IsAsciiDigit(c) && c != '-' && static_cast<unsigned char>(c) < 0x80) {
        return false;
      }
    }
  }
  if (IsIpv4(labels)) return true;
  const std::string top = AsciiLower(labels.back());
  if (std::ranges::any_of(top, [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
    return true;  // 中国, 公司, ...
  }
  if (top.starts_with("xn--")) return true;
  if (top.size() < 2 || !std::ranges::all_of(top, IsAsciiAlpha)) return false;
  return std::ranges::find(kFileEndings, top) == kFileEndings.end();
}

}  // namespace

bool LooksLikeAddress(std::string_view token) {
  if (token.starts_with('-')) {
    std::size_t equals = token.find('=');
    return equals != std::string_view::npos && LooksLikeAddress(token.substr(equals + 1));
  }
  if (token.empty() || token.starts_with('/')) return false;
  if (HasScheme(token)) return true;
  return token.find_first_of(" \t\"\\") == std::string_view::npos && LooksLikeHost(token);
}

std::vector<CommandArgument> SplitCommandLine(std::string_view line) {
  std::vector<CommandArgument> arguments;
  std::size_t i = 0;
  while (true) {
    const std::size_t start = i;
    while (i < line.size() && IsSpace(line[i])) ++i;
    if (i == line.size()) break;
    CommandArgument argument;
    argument.separator = std::string(line.substr(start, i - start));
    const std::size_t tokenStart = i;
    bool quoted = false;
    std::size_t backslashes = 0;
    for (; i < line.size(); ++i) {
      const char c = line[i];
      if (c == '\\') {
        ++backslashes;
        continue;
      }
      if (c == '"') {
        argument.value.append(backslashes / 2, '\\');
        if (backslashes % 2) {
          argument.value += '"';
        } else if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
          argument.value += '"';  // "" inside quotes: one quote, still quoted
          ++i;
        } else {
          quoted = !quoted;
        }
        backslashes = 0;
        continue;
      }
      argument.value.append(backslashes, '\\');
      backslashes = 0;
      if (!quoted && IsSpace(c)) break;
      argument.value += c;
    }
    argument.value.append(backslashes, '\\');
    argument.raw = std::string(line.substr(tokenStart, i - tokenStart));
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

std::string RemoveAddresses(std::string_view line, std::vector<std::string>* removed) {
  std::string out;
  bool anyRemoved = false;
  for (const CommandArgument& argument : SplitCommandLine(line)) {
    if (LooksLikeAddress(argument.value)) {
      if (removed) removed->push_back(argument.raw);
      anyRemoved = true;
      continue;
    }
    // Spacing in front of the first kept argument stays only if it led the line.
    out += out.empty() && anyRemoved ? "" : argument.separator;
    out += argument.raw;
  }
  if (!anyRemoved) return std::string(line);
  std::size_t end = line.find_last_not_of(" \t");
  if (!out.empty() && end != std::string_view::npos) out += line.substr(end + 1);
  return out;
}

}  // namespace orvane
