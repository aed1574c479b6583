#pragma once
// The file operations around the image builder. Each shows its own failure and tells the
// caller through its result; none keeps a file open or anything between calls.
#include <cstdint>

#include "AnsiString.h"

// Inputs of this size or more are refused: the image capacity must fit in 32 bits.
inline constexpr uint32_t kMaxInputLength = uint32_t{1} << 28;

// Counts the bytes of `path` into `length`. On a failure (cannot open, cannot read, too
// large) and for an empty file it shows a message; `length` then stays as the caller set it
// (0), or is 0.
void GetFileLength(const AnsiString& path, uint32_t& length);

// Reads the first `length` bytes of `path` into `buffer`.
// 0: done; 1: the file cannot be opened; 2: fewer than `length` bytes could be read.
unsigned char LoadFile(const AnsiString& path, unsigned char* buffer, uint32_t length);

// How a path is split into folders and file name.
enum class PathRules { Windows, Posix };
// Folders are separated as on the host the program is built for.
extern const PathRules kHostPathRules;

// The path without its folders and its last extension.
AnsiString MakeBaseName(const AnsiString& path, PathRules rules = kHostPathRules);

// Writes `length` bytes of `buffer` to "<baseName>.<extension>". 0: written and closed;
// 1: the file could not be opened, written or closed, `errorText` has been shown and no
// output is left behind.
unsigned char SaveFile(const AnsiString& baseName, const AnsiString& extension,
                       const unsigned char* buffer, const uint32_t& length,
                       const AnsiString& errorText);
