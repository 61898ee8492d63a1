#pragma once
// Options that only set something for later options or for the download (-i, -o, -m, -n,
// -u; -t, -x, -f): with nothing after them that reads it, the command line does less than
// it seems. The walk tells this what it met; what was left unread is named on stderr.

#include <string>

namespace plenum {

class UnusedSettings {
 public:
  // Every option as the walk performs it, in command-line order.
  void saw(int letter, const char* argument);
  // After the walk: names on stderr what nothing read. A configuration file reads them all.
  void report(bool configurationFileFollows) const;

 private:
  std::string downloadOnly_;  // -t, -x, -f: read by the download alone
  std::string pending_;       // -i, -o, -m, -n, -u since the last option that acts
};

}  // namespace plenum
