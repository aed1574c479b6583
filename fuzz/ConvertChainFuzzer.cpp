// The whole conversion on a file: the bytes are written to a file in a temporary folder,
// measured, loaded, built and saved there. Set TMPDIR to a memory-backed folder (such as
// /dev/shm) for speed.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "ConvertCommand.h"
#include "FuzzSupport.h"

namespace fs = std::filesystem;

namespace {

struct Workspace {
    Workspace() {
        std::string pattern = (fs::temp_directory_path() / "tessarin-fuzz-XXXXXX").string();
        Require(mkdtemp(pattern.data()) != nullptr, "cannot make the temporary folder");
        folder = pattern;
        input = folder / "input.vbf";
        output = folder / "input.bin";
    }
    ~Workspace() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    fs::path folder;
    fs::path input;
    fs::path output;
};

Workspace& Here() {
    static Workspace workspace;
    return workspace;
}

void WriteInput(const fs::path& path, const uint8_t* data, size_t size) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    Require(file.good(), "cannot write the input file");
}

// Whether the file at `path` holds exactly `size` bytes equal to `bytes`.
bool FileHolds(const fs::path& path, const unsigned char* bytes, uint32_t size) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    unsigned char chunk[1 << 16];
    size_t offset = 0;
    bool same = true;
    while (same) {
        const size_t got = std::fread(chunk, 1, sizeof chunk, file);
        same = got <= size - offset && std::memcmp(chunk, bytes + offset, got) == 0;
        offset += got;
        if (got < sizeof chunk) break;
    }
    std::fclose(file);
    return same && offset == size;
}

// Nothing but the input and, after a success, the output may be left in the folder.
bool OnlyExpectedFilesIn(const Workspace& here, bool converted) {
    size_t entries = 0;
    for (const auto& entry : fs::directory_iterator(here.folder)) {
        const fs::path& path = entry.path();
        if (path != here.input && !(converted && path == here.output)) return false;
        ++entries;
    }
    return entries == (converted ? 2u : 1u);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Workspace& here = Here();
    fs::remove(here.output);
    WriteInput(here.input, data, size);

    ResetMessages();
    uint32_t imageSize = 0;
    const bool converted = ConvertFile(here.input.string(), here.folder.string() + "/", imageSize);

    Require(MessagesShown() == (converted ? 0 : 1), "a failure shows one message, a success none");
    Require(OnlyExpectedFilesIn(here, converted), "the output exists although the conversion failed, "
                                                  "or is missing after a success, or a stray file is left");
    if (converted) {
        Require(FileHolds(here.output, ImageBuffer.get(), imageSize),
                "the output does not hold the imageSize bytes of the image");
    }
    return 0;
}
