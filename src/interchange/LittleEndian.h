#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Little-endian numbers inside binary file formats; the caller checks that the bytes are there.
namespace kw::sheetread {

inline uint16_t Le16(std::string_view bytes, size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                 static_cast<unsigned char>(bytes[at + 1]) << 8);
}

inline uint32_t Le32(std::string_view bytes, size_t at) {
    return static_cast<uint32_t>(Le16(bytes, at)) | static_cast<uint32_t>(Le16(bytes, at + 2)) << 16;
}

} // namespace kw::sheetread
