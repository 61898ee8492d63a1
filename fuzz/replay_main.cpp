// Runs a fuzz target over the files of its corpus, without libFuzzer: with any compiler,
// so every corpus is replayed as an ordinary test. An input that crashes the target
// crashes this program; the last "replaying" line on standard error names it.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

std::vector<std::filesystem::path> inputsOf(const std::filesystem::path& path) {
  std::vector<std::filesystem::path> inputs;
  if (std::filesystem::is_directory(path)) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
      if (entry.is_regular_file()) inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
  } else {
    inputs.push_back(path);
  }
  return inputs;
}

}  // namespace

int main(int argc, char** argv) {
  if (LLVMFuzzerInitialize != nullptr) LLVMFuzzerInitialize(&argc, &argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s corpus-folder-or-file...\n", argv[0]);
    return 2;
  }
  std::size_t replayed = 0;
  for (int i = 1; i < argc; ++i) {
    if (!std::filesystem::exists(argv[i])) {
      std::fprintf(stderr, "%s: no such corpus\n", argv[i]);
      return 2;
    }
    for (const auto& input : inputsOf(argv[i])) {
      std::ifstream stream(input, std::ios::binary);
      const std::vector<char> text((std::istreambuf_iterator<char>(stream)),
                                   std::istreambuf_iterator<char>());
      const std::vector<std::uint8_t> bytes(text.begin(), text.end());
      std::fprintf(stderr, "replaying %s\n", input.c_str());
      LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
      ++replayed;
    }
  }
  std::fprintf(stderr, "%zu inputs replayed without a fault\n", replayed);
  return replayed == 0 ? 1 : 0;
}
