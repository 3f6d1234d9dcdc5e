#include "gamecfg/CodePage.h"

#include <array>
#include <cstdint>

namespace kw {
namespace {

// Unicode code points of the bytes 0x80 to 0xFF.
constexpr std::array<char16_t, 128> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, 0x0410,
    0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D,
    0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A,
    0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444,
    0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};

// Decodes one UTF-8 sequence at pos; returns false on a malformed one.
bool NextCodePoint(std::string_view s, size_t& pos, char32_t& cp) {
    auto b0 = static_cast<uint8_t>(s[pos]);
    int extra = 0;
    if (b0 < 0x80) {
        cp = b0;
    } else if ((b0 & 0xE0) == 0xC0) {
        cp = b0 & 0x1F;
        extra = 1;
    } else if ((b0 & 0xF0) == 0xE0) {
        cp = b0 & 0x0F;
        extra = 2;
    } else if ((b0 & 0xF8) == 0xF0) {
        cp = b0 & 0x07;
        extra = 3;
    } else {
        return false;
    }
    if (pos + extra >= s.size() && extra > 0) {
        return false;
    }
    for (int i = 1; i <= extra; ++i) {
        auto b = static_cast<uint8_t>(s[pos + i]);
        if ((b & 0xC0) != 0x80) {
            return false;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return false;
    }
    pos += extra + 1;
    return true;
}

std::optional<char> EncodeOne(char32_t cp) {
    if (cp < 0x80) {
        return static_cast<char>(cp);
    }
    for (size_t i = 0; i < kHighHalf.size(); ++i) {
        if (kHighHalf[i] == cp) {
            return static_cast<char>(0x80 + i);
        }
    }
    return std::nullopt;
}

} // namespace

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string Cp1251ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    // Game texts are mostly ASCII, which passes unchanged: copied a run at a time.
    for (size_t pos = 0; pos < bytes.size();) {
        size_t run = pos;
        while (run < bytes.size() && static_cast<uint8_t>(bytes[run]) < 0x80) {
            ++run;
        }
        out.append(bytes.substr(pos, run - pos));
        if (run < bytes.size()) {
            AppendUtf8(out, char32_t(kHighHalf[static_cast<uint8_t>(bytes[run]) - 0x80]));
            ++run;
        }
        pos = run;
    }
    return out;
}

std::optional<std::string> Utf8ToCp1251(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) {
        char32_t cp = 0;
        if (!NextCodePoint(utf8, pos, cp)) {
            return std::nullopt;
        }
        auto byte = EncodeOne(cp);
        if (!byte) {
            return std::nullopt;
        }
        out += *byte;
    }
    return out;
}

std::string FirstUnencodable(std::string_view utf8) {
    for (size_t pos = 0; pos < utf8.size();) {
        size_t start = pos;
        char32_t cp = 0;
        if (!NextCodePoint(utf8, pos, cp)) {
            return std::string(utf8.substr(start, 1));
        }
        if (!EncodeOne(cp)) {
            return std::string(utf8.substr(start, pos - start));
        }
    }
    return {};
}

bool IsValidUtf8(std::string_view bytes) {
    for (size_t pos = 0; pos < bytes.size();) {
        char32_t cp = 0;
        if (!NextCodePoint(bytes, pos, cp)) {
            return false;
        }
    }
    return true;
}

} // namespace kw
