#include "FileAccess.h"

#include <cstdio>
#include <memory>

#include "Application.h"
#include "LargeBuffer.h"
#include "Messages.h"

const PathRules kHostPathRules = PathRules::TESSARIN_HOST_PATH_RULES;

namespace {

constexpr size_t kReadChunk = size_t{1} << 18;

void Show(const char* text, const char* caption) { Application->MessageBox(text, caption, 0); }

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using InputFile = std::unique_ptr<std::FILE, FileCloser>;

InputFile OpenForReading(const AnsiString& path) { return InputFile(std::fopen(path.c_str(), "rb")); }

enum class CountResult { Counted, ReadFailed, TooLarge };

// Counts in large chunks and stops at the limit, so the count never wraps.
CountResult CountBytes(std::FILE* file, uint32_t& length) {
    // A big array: a single page fault instead of one per small page.
    const LargeArray chunk = NewLargeArray(kReadChunk);
    uint64_t count = 0;
    for (;;) {
        const size_t got = std::fread(chunk.get(), 1, kReadChunk, file);
        count += got;
        if (count >= kMaxInputLength) {
            return CountResult::TooLarge;
        }
        if (got < kReadChunk) {
            length = static_cast<uint32_t>(count);
            return std::ferror(file) ? CountResult::ReadFailed : CountResult::Counted;
        }
    }
}

}  // namespace

void GetFileLength(const AnsiString& path, uint32_t& length) {
    using namespace Messages;
    uint32_t count = 0;
    CountResult result;
    {
        const InputFile file = OpenForReading(path);
        if (!file) {
            Show(kErrorOpenFile, kCaptionMessage);
            return;
        }
        result = CountBytes(file.get(), count);
    }
    if (result == CountResult::ReadFailed) {
        Show(kErrorReadFile, kCaptionMessage);
    } else if (result == CountResult::TooLarge) {
        Show(kFileTooLarge, kCaptionMessage);
    } else {
        length = count;
        if (count == 0) {
            Show(kEmptyFile, kCaptionMessage);
        }
    }
}

unsigned char LoadFile(const AnsiString& path, unsigned char* buffer, uint32_t length) {
    using namespace Messages;
    size_t items;
    {
        const InputFile file = OpenForReading(path);
        if (!file) {
            Show(kErrorOpenFile, kCaptionMessage);
            return 1;
        }
        // One item of `length` bytes: it arrives whole or not at all.
        items = std::fread(buffer, length, 1, file.get());
    }
    if (items != 1) {
        Show(kErrorReadFile, kCaptionMessage);
        return 2;
    }
    return 0;
}

AnsiString MakeBaseName(const AnsiString& path, PathRules rules) {
    const bool posix = rules == PathRules::Posix;
    const AnsiString folderDelimiters = posix ? "\\:/" : "\\:";
    const AnsiString extensionDelimiters = posix ? "\\.:/" : "\\.:";

    AnsiString name = path;
    name.Delete(1, name.LastDelimiter(folderDelimiters));
    const int length = name.Length();
    const int dot = name.LastDelimiter(extensionDelimiters);
    name.Delete(dot, length - dot + 1);
    return name;
}

unsigned char SaveFile(const AnsiString& baseName, const AnsiString& extension,
                       const unsigned char* buffer, const uint32_t& length,
                       const AnsiString& errorText) {
    const AnsiString name = baseName + "." + extension;
    std::FILE* file = std::fopen(name.c_str(), "wb");
    if (file) {
        const bool written = std::fwrite(buffer, 1, length, file) == length;
        const bool closed = std::fclose(file) == 0;
        if (written && closed) {
            return 0;
        }
        // A cut image must not be left behind looking finished.
        std::remove(name.c_str());
    }
    Show(errorText.c_str(), Messages::kCaptionErrorRu);
    return 1;
}
