// Replays every file of a corpus folder through LLVMFuzzerTestOneInput, plus a
// fixed set of pseudo-random mutations of each, so the fuzz targets run as an
// ordinary deterministic test under any compiler (and under the sanitizers).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void runOne(const std::vector<uint8_t>& bytes) {
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
}

void runMutations(std::vector<uint8_t> bytes, std::mt19937& random) {
  constexpr int kMutationsPerFile = 200;
  for (int i = 0; i < kMutationsPerFile; ++i) {
    std::vector<uint8_t> mutated = bytes;
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits; ++e) {
      switch (random() % 3) {
        case 0:
          if (!mutated.empty()) mutated[random() % mutated.size()] = static_cast<uint8_t>(random());
          break;
        case 1:
          if (!mutated.empty()) mutated.erase(mutated.begin() + static_cast<std::ptrdiff_t>(random() % mutated.size()));
          break;
        default:
          mutated.insert(mutated.begin() + static_cast<std::ptrdiff_t>(random() % (mutated.size() + 1)),
                         static_cast<uint8_t>(random()));
          break;
      }
    }
    runOne(mutated);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
    return 2;
  }
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  if (files.empty()) {
    std::fprintf(stderr, "no corpus files in %s\n", argv[1]);
    return 1;
  }
  std::sort(files.begin(), files.end());
  std::mt19937 random(20261206u);
  runOne({});
  for (const auto& path : files) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    runOne(bytes);
    runMutations(bytes, random);
  }
  std::printf("replayed %zu corpus files with mutations\n", files.size());
  return 0;
}
