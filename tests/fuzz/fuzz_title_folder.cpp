// libFuzzer target: the host kit's title description reader
// (hostkit/TitleFolder.cpp, hostkit::LoadTitleFolder, as the demo host's
// --title reads FOLDER\title.ini) on arbitrary bytes as title.ini, under
// AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer. The real
// reader is built against a native stand-in of the fake runtime
// (shim/OrvexC/hostkit/FakeRuntime.h) and of its two file calls
// (shim/windows.h); an exception it lets out shows as a crash. Beyond what the
// sanitizers see, each answer must be:
//   - an empty text, or "FOLDER\title.ini:LINE: problem" with a LINE of the file;
//   - when empty, a title with a path and a location, and a parameter count
//     that is its parameters' number;
//   - the same when the same bytes are read again into a fresh title.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "OrvexC/hostkit/FakeRuntime.h"
#include "OrvexC/hostkit/TitleFolder.h"

namespace {

void Check(bool holds, const char* fault, const std::string& detail = "") {
  if (holds) return;
  std::fprintf(stderr, "title folder fault: %s%s%s\n", fault, detail.empty() ? "" : ": ", detail.c_str());
  std::abort();
}

// The title folder, and its title.ini as the reader names it: the folder, a
// backslash, title.ini. Natively that is a file beside the folder whose name
// holds the backslash.
struct Place {
  std::string base, folder, file;
};

const Place& Folder() {
  static const Place place = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string root = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : tmp && *tmp ? tmp : "/tmp";
    std::string pattern = root + "/orvexc-fuzz-title-XXXXXX";
    Check(mkdtemp(&pattern[0]) != nullptr, "no temporary folder", pattern);
    Place made{pattern, pattern + "/t", pattern + "/t\\title.ini"};
    Check(mkdir(made.folder.c_str(), 0700) == 0, "no title folder", made.folder);
    std::atexit([] {
      const Place& p = Folder();
      std::remove(p.file.c_str());
      rmdir(p.folder.c_str());
      rmdir(p.base.c_str());
    });
    return made;
  }();
  return place;
}

std::string Summary(const fake::Runtime& title) {
  std::string out = title.titleNode.nodeName + '|' + std::to_string(title.app.parameterCount);
  for (const auto& entry : title.app.threads) out += "|t:" + entry.first + entry.second->frameNode.nodeName;
  for (const auto& entry : title.context.objects) out += "|o:" + entry.first + std::to_string(entry.second->state);
  for (const auto& entry : title.resources.resources) out += "|r:" + entry.first + entry.second->fileName;
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Place& place = Folder();
  {
    std::ofstream out(place.file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    Check(static_cast<bool>(out), "title.ini not written");
  }
  // The lines of the file at most: each ends with LF, CR LF or CR (a lead
  // byte before a CR takes it into its character).
  std::size_t lines = 0;
  for (std::size_t k = 0; k < size; ++k)
    lines += data[k] == '\n' || (data[k] == '\r' && (k + 1 == size || data[k + 1] != '\n'));
  if (size && data[size - 1] != '\n' && data[size - 1] != '\r') ++lines;

  fake::Runtime title;
  const std::string answer = hostkit::LoadTitleFolder(title, place.folder);
  if (!answer.empty()) {
    const std::string head = place.folder + "\\title.ini:";
    Check(answer.compare(0, head.size(), head) == 0, "an answer that names no line of title.ini", answer);
    char* end = nullptr;
    const unsigned long line = std::strtoul(answer.c_str() + head.size(), &end, 10);
    Check(end != answer.c_str() + head.size() && std::strncmp(end, ": ", 2) == 0 && end[2],
          "an answer without FILE:LINE: problem", answer);
    Check(line >= 1 && line <= lines, "a line that the file does not have", answer);
  } else {
    Check(!title.app.path.empty() && !title.app.location.empty(), "a title read without a path or location");
    Check(title.app.parameterCount == static_cast<int>(title.app.parameters.size()),
          "a parameter count that is not the parameters' number");
  }

  fake::Runtime again;
  Check(hostkit::LoadTitleFolder(again, place.folder) == answer, "a second reading answers otherwise");
  Check(Summary(again) == Summary(title), "a second reading describes another title");
  return 0;
}
