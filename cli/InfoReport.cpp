#include "InfoReport.h"

#include <boost/crc.hpp>

#include <algorithm>
#include <iomanip>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>

#include "HeaderFields.h"

namespace {

constexpr const char* kReportedFields[] = {
    "vbf_version", "sw_part_number", "sw_part_type", "data_format_identifier", "ecu_address",
    "file_checksum",
};
constexpr uint64_t kTrailerSize = 2;

// Block trailers: polynomial 0x1021, initial value 0xFFFF, no reflection, no final XOR.
using Crc16CcittFalse = boost::crc_optimal<16, 0x1021, 0xFFFF, 0, false, false>;

template <class Crc>
auto Checksum(const unsigned char* data, size_t length) {
    Crc crc;
    crc.process_bytes(data, length);
    return crc.checksum();
}

std::string Hex(uint64_t value, int digits) {
    std::ostringstream text;
    text << "0x" << std::uppercase << std::hex << std::setfill('0') << std::setw(digits) << value;
    return text.str();
}

void PrintHeaderFields(std::ostream& out, std::string_view header) {
    for (const char* name : kReportedFields) {
        if (const auto value = FindHeaderField(header, name)) {
            out << "  " << name << " = " << *value << '\n';
        }
    }
    const auto format = FindHeaderField(header, "data_format_identifier");
    if (format && ReadHeaderNumber(*format) != 0u) {
        out << "  warning: data_format_identifier " << *format
            << " means compressed or encrypted data; the image would hold it as stored\n";
    }
}

struct TrailerCheck {
    std::string stored;
    std::string verdict;
    bool ok;
};

// The builder accepts a last block whose trailer the file cuts short; such a block cannot
// be checked. It is shown plainly, but only a checksum that is there and differs fails.
TrailerCheck CheckTrailer(const unsigned char* trailer, uint64_t bytesLeft, uint16_t computed) {
    if (bytesLeft == 0) {
        return {"-", "MISSING: the file ends before the trailer", true};
    }
    if (bytesLeft < kTrailerSize) {
        return {"-", "CUT: the file ends inside the trailer", true};
    }
    const uint16_t stored = static_cast<uint16_t>(trailer[0] << 8 | trailer[1]);
    const bool ok = stored == computed;
    return {Hex(stored, 4), ok ? "ok" : "MISMATCH", ok};
}

bool PrintBlocks(std::ostream& out, const unsigned char* input, uint32_t inputLength,
                 const BlockList& blocks) {
    out << "  block  file offset  address     image offset      length  trailer  computed\n";
    bool allOk = true;
    for (size_t i = 0; i < blocks.size(); ++i) {
        const BlockInfo& block = blocks[i];
        const uint64_t dataOffset = static_cast<uint64_t>(block.data - input);
        const uint64_t trailerOffset = dataOffset + block.length;
        const uint16_t computed = Checksum<Crc16CcittFalse>(block.data, block.length);
        const TrailerCheck trailer =
            CheckTrailer(input + trailerOffset, inputLength - trailerOffset, computed);
        allOk = allOk && trailer.ok;
        out << "  " << std::setw(5) << i + 1 << "  " << Hex(dataOffset - 8, 8) << "   "
            << Hex(block.address, 8) << "  " << Hex(block.address & kImageAddressMask, 8) << "  "
            << std::setw(10) << block.length << "  " << std::left << std::setw(7) << trailer.stored
            << "  " << std::setw(8) << Hex(computed, 4) << std::right << "  " << trailer.verdict
            << '\n';
    }
    return allOk;
}

bool PrintFileChecksum(std::ostream& out, std::string_view header, const unsigned char* body,
                       size_t bodyLength) {
    const uint32_t computed = Checksum<boost::crc_32_type>(body, bodyLength);
    out << "  file checksum: CRC-32 " << Hex(computed, 8) << ", file_checksum ";
    const auto stored = FindHeaderField(header, "file_checksum");
    if (!stored) {
        out << "absent\n";
        return true;
    }
    const bool ok = ReadHeaderNumber(*stored) == computed;
    out << *stored << ": " << (ok ? "ok" : "MISMATCH") << '\n';
    return ok;
}

// The stored addresses that blocks fill, before the image drops their top byte.
void PrintImage(std::ostream& out, uint32_t imageSize, const BlockList& blocks) {
    out << "  image: " << imageSize << " bytes, ";
    uint64_t low = UINT64_MAX;
    uint64_t high = 0;
    for (const BlockInfo& block : blocks) {
        if (block.length > 0) {
            low = std::min<uint64_t>(low, block.address);
            high = std::max<uint64_t>(high, uint64_t{block.address} + block.length - 1);
        }
    }
    if (low == UINT64_MAX) {
        out << "no block holds data\n";
    } else {
        out << "addresses " << Hex(low, 8) << "-" << Hex(high, 8) << '\n';
    }
}

}  // namespace

bool PrintInfo(std::ostream& out, const unsigned char* input, uint32_t inputLength,
               const BlockList& blocks, uint32_t imageSize) {
    const uint32_t headerEnd = FindHeaderEnd(input, inputLength);
    const std::string_view header(reinterpret_cast<const char*>(input), headerEnd);
    PrintHeaderFields(out, header);
    const bool blocksOk = PrintBlocks(out, input, inputLength, blocks);
    const bool fileOk = PrintFileChecksum(out, header, input + headerEnd, inputLength - headerEnd);
    PrintImage(out, imageSize, blocks);
    return blocksOk && fileOk;
}
