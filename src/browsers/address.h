#pragma once
// Addresses on a browser's command line: what counts as one, and the command
// line split into its arguments and joined again without them.
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// True when the token (quotes already removed) names a web address: a scheme
// ("https://x", "javascript:..."), a host-like name ("www.example.com",
// "例子.中国", "1.2.3.4:8080/p"), or a switch whose value is one ("--homepage=x.com").
// Paths, file names and plain switches are not addresses.
bool LooksLikeAddress(std::string_view token);

// One argument as it stands in the command line.
struct CommandArgument {
  std::string raw;        // exactly as written, quotes and all
  std::string value;      // as the program receives it (quoting rules applied)
  std::string separator;  // the white space written before it
};

// Splits by the rules programs' start-up code applies: white space outside
// quotes separates, backslashes escape only before a quote.
std::vector<CommandArgument> SplitCommandLine(std::string_view line);

// The line with every address argument removed and every other argument kept
// byte for byte, with the spacing written before it. `removed` (when given)
// receives the removed arguments as written.
std::string RemoveAddresses(std::string_view line, std::vector<std::string>* removed = nullptr);

}  // namespace orvane
