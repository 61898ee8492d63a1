#include "plenum/driver/chart_option.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "plenum/consolemap/chart_writers.h"
#include "plenum/consolemap/cross_reference.h"
#include "plenum/driver/compile_without_midi.h"
#include "plenum/driver/replace_file.h"
#include "plenum/language/compiler_context.h"
#include "plenum/model/configuration.h"
#include "plenum/runtime/exits.h"

namespace plenum {

namespace {

constexpr int StatusFailed = 1;
constexpr int StatusBadWords = 3;

struct DocumentRequest {
  std::string format;      // after --chart=
  std::string outputPath;  // empty: standard output
  std::string fileName;
};

bool startsWith(const char* word, const char* prefix) {
  return std::strncmp(word, prefix, std::strlen(prefix)) == 0;
}

// The words after the option: --output FILE (or --output=FILE), then the file. Words
// after the file are named on stderr and ignored, as for the letter options.
bool readRequest(int argc, char** argv, const char* option, DocumentRequest& request) {
  int i = 2;
  for (; i < argc; ++i) {
    const char* word = argv[i];
    if (std::strcmp(word, "--") == 0) {
      ++i;
      break;
    }
    if (std::strcmp(word, "--output") == 0 || std::strcmp(word, "--output=") == 0) {
      if (word[8] == '=' || i + 1 >= argc || argv[i + 1][0] == '\0') {
        std::fprintf(stderr, "%s: option --output requires a file name\n", argv[0]);
        return false;
      }
      request.outputPath = argv[++i];
    } else if (startsWith(word, "--output=")) {
      request.outputPath = word + std::strlen("--output=");
    } else if (word[0] == '-' && word[1] != '\0') {
      std::fprintf(stderr, "%s: %s does not take %s\n", argv[0], option, word);
      return false;
    } else {
      break;
    }
  }
  if (i >= argc || argv[i][0] == '\0') {
    std::fprintf(stderr, "%s: %s needs a configuration file\n", argv[0], option);
    return false;
  }
  request.fileName = argv[i];
  if (i + 1 < argc) {
    std::string ignored;
    for (int k = i + 1; k < argc; ++k) ignored += std::string(" ") + argv[k];
    std::fprintf(stderr, "ignored after the configuration file:%s\n", ignored.c_str());
  }
  return true;
}

int deliver(const DocumentRequest& request, const std::string& document) {
  if (request.outputPath.empty()) {
    std::fwrite(document.data(), 1, document.size(), stdout);
    return 0;
  }
  std::string error;
  if (!replaceFile(request.outputPath, document, error)) {
    std::printf("Cannot write %s: %s\n", request.outputPath.c_str(), error.c_str());
    return StatusFailed;
  }
  std::printf("Wrote %s\n", request.outputPath.c_str());
  return 0;
}

}  // namespace

int runChartOption(int argc, char** argv) {
  DocumentRequest request;
  const char* word = argv[1];
  if (startsWith(word, "--chart=")) request.format = word + std::strlen("--chart=");
  else request.format = "text";
  if (request.format != "text" && request.format != "csv" && request.format != "html") {
    std::fprintf(stderr, "%s: --chart takes text, csv or html, not \"%s\"\n", argv[0],
                 request.format.c_str());
    return StatusBadWords;
  }
  if (!readRequest(argc, argv, "--chart", request)) return StatusBadWords;
  Configuration configuration;
  compileWithoutMidi(configuration, request.fileName);
  const ConsoleMap map = buildConsoleMap(configuration);
  const std::string document = request.format == "csv"    ? chartCsv(map)
                               : request.format == "html" ? chartHtml(map)
                                                          : chartText(map);
  return deliver(request, document);
}

int runCrossReferenceOption(int argc, char** argv) {
  DocumentRequest request;
  if (!readRequest(argc, argv, "--xref", request)) return StatusBadWords;
  Configuration configuration;
  compileWithoutMidi(configuration, request.fileName);
  const CrossReference reference =
      buildCrossReference(buildConsoleMap(configuration), context().identifiers);
  return deliver(request, "Cross-reference of " + request.fileName + "\n\n" +
                              crossReferenceText(reference));
}

}  // namespace plenum
