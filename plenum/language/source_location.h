#pragma once

#include <memory>
#include <string>

namespace plenum {

// Where a token or a configuration element stands. All locations of a run share one
// file-name text.
struct SourceLocation {
  std::shared_ptr<const std::string> file;
  int line = 0;

  const std::string& fileName() const;
};

}  // namespace plenum
