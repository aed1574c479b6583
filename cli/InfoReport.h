#pragma once
// The --info report of one VBF container: what its header says, whether each block's
// trailer and the file checksum match the data, and what image it would give.
#include <cstdint>
#include <iosfwd>
#include <vector>

#include "VbfImage.h"

// Prints the report of `input`, a file that the image builder has just accepted, giving
// `blocks` and an image of `imageSize` bytes. True when every trailer is there and matches
// and a file_checksum, if the header has one, matches.
bool PrintInfo(std::ostream& out, const unsigned char* input, uint32_t inputLength,
               const BlockList& blocks, uint32_t imageSize);
