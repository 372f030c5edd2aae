// Feeds every file of the given corpus folders to the fuzz target once: CI replays the corpora with the
// ordinary compiler, and the long fuzzing runs with libFuzzer (tools/fuzz.sh).
#include <dirent.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        DIR* dir = opendir(argv[i]);
        if (dir == nullptr) {
            std::fprintf(stderr, "no corpus folder %s\n", argv[i]);
            return 1;
        }
        while (const dirent* entry = readdir(dir)) {
            if (entry->d_name[0] == '.') continue;
            const std::string path = std::string(argv[i]) + "/" + entry->d_name;
            std::FILE* file = std::fopen(path.c_str(), "rb");
            if (file == nullptr) continue;
            std::vector<std::uint8_t> bytes;
            int c;
            while ((c = std::fgetc(file)) != EOF) bytes.push_back(static_cast<std::uint8_t>(c));
            std::fclose(file);
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++inputs;
        }
        closedir(dir);
    }
    std::printf("%d inputs replayed\n", inputs);
    return inputs > 0 ? 0 : 1;
}
