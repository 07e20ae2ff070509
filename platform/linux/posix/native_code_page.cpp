#include "platform/linux/posix/native_code_page.h"

#include <iconv.h>

#include <cerrno>
#include <string>

namespace pavix {
namespace {

// 0x80-0x9F of code page 1252 as Windows maps them: the five bytes the code page leaves undefined
// stand for the control characters of the same value, so that every byte is a text and comes back
// unchanged. The other bytes are the code points of the same value.
constexpr char16_t kUpperControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(char32_t point, std::string& utf8) {
    if (point < 0x80) {
        utf8 += static_cast<char>(point);
    } else if (point < 0x800) {
        utf8 += static_cast<char>(0xC0 | (point >> 6));
        utf8 += static_cast<char>(0x80 | (point & 0x3F));
    } else {  // the code page holds nothing beyond the first plane
        utf8 += static_cast<char>(0xE0 | (point >> 12));
        utf8 += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (point & 0x3F));
    }
}

// The code point at `at` of valid UTF-8, moving `at` past it; false at a sequence that encodes
// no character.
bool NextPoint(std::string_view utf8, std::size_t& at, char32_t& point) {
    const auto lead = static_cast<unsigned char>(utf8[at++]);
    const int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0 || lead > 0xF4 || at + static_cast<std::size_t>(extra) > utf8.size()) {
        return false;
    }
    point = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        const auto next = static_cast<unsigned char>(utf8[at++]);
        if ((next & 0xC0) != 0x80) {
            return false;
        }
        point = (point << 6) | (next & 0x3F);
    }
    constexpr char32_t kShortest[] = {0, 0x80, 0x800, 0x10000};
    return point >= kShortest[extra] && point <= 0x10FFFF && (point < 0xD800 || point > 0xDFFF);
}

class WesternCodePage final : public NativeCodePage {
  public:
    bool ToUtf8(std::string_view bytes, std::string& utf8) override {
        utf8.clear();
        for (char c : bytes) {
            const auto byte = static_cast<unsigned char>(c);
            AppendUtf8(byte >= 0x80 && byte < 0xA0 ? kUpperControls[byte - 0x80] : byte, utf8);
        }
        return true;
    }
    bool FromUtf8(std::string_view utf8, std::string& bytes) override {
        bytes.clear();
        bool held = true;
        for (std::size_t at = 0; at < utf8.size();) {
            char32_t point = 0;
            if (!NextPoint(utf8, at, point)) {
                return false;
            }
            const int byte = ByteOf(point);
            held = held && byte >= 0;
            bytes += static_cast<char>(byte >= 0 ? byte : '?');
        }
        return held;
    }

  private:
    static int ByteOf(char32_t point) {
        if (point < 0x80 || (point >= 0xA0 && point <= 0xFF)) {
            return static_cast<int>(point);
        }
        for (int i = 0; i < 32; ++i) {
            if (kUpperControls[i] == point) {
                return 0x80 + i;
            }
        }
        return -1;
    }
};

// UTF-8 holds every character; only its own invalid sequences are refused.
class Utf8CodePage final : public NativeCodePage {
  public:
    bool ToUtf8(std::string_view bytes, std::string& utf8) override {
        utf8.clear();
        for (std::size_t at = 0; at < bytes.size();) {
            char32_t point = 0;
            if (!NextPoint(bytes, at, point)) {
                return false;
            }
        }
        utf8.assign(bytes);
        return true;
    }
    bool FromUtf8(std::string_view utf8, std::string& bytes) override {
        bytes.assign(utf8);
        return true;
    }
};

// One iconv conversion, closed with the object.
class Iconv {
  public:
    Iconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~Iconv() {
        if (Usable()) {
            iconv_close(handle_);
        }
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool Usable() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of `in`. At a sequence it cannot convert it writes `standIn` (when given),
    // skips one byte, or one UTF-8 character, and carries on; the result says whether none came.
    bool Convert(std::string_view in, std::string& out, const char* standIn, bool utf8In) {
        out.clear();
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        char* source = const_cast<char*>(in.data());
        std::size_t left = in.size();
        bool whole = true;
        char buffer[256];
        while (left > 0) {
            char* target = buffer;
            std::size_t room = sizeof buffer;
            const std::size_t result = iconv(handle_, &source, &left, &target, &room);
            out.append(buffer, static_cast<std::size_t>(target - buffer));
            if (result != static_cast<std::size_t>(-1) || errno == E2BIG) {
                continue;
            }
            whole = false;
            if (standIn == nullptr) {
                return false;
            }
            out += standIn;
            std::size_t skip = 1;
            while (utf8In && skip < left &&
                   (static_cast<unsigned char>(source[skip]) & 0xC0) == 0x80) {
                ++skip;
            }
            source += skip;
            left -= skip;
        }
        return whole;
    }

  private:
    iconv_t handle_;
};

// Code page 932 through the C library. A text counts as held only when it converts back to
// itself: the library maps some characters the code page lacks to look-alikes (the yen sign to a
// backslash), which would change a text on its way into Sequence.dat.
class JapaneseCodePage final : public NativeCodePage {
  public:
    bool Usable() const { return toUtf8_.Usable() && fromUtf8_.Usable(); }
    bool ToUtf8(std::string_view bytes, std::string& utf8) override {
        return toUtf8_.Convert(bytes, utf8, nullptr, false);
    }
    bool FromUtf8(std::string_view utf8, std::string& bytes) override {
        const bool whole = fromUtf8_.Convert(utf8, bytes, "?", true);
        std::string back;
        return whole && toUtf8_.Convert(bytes, back, nullptr, false) && back == utf8;
    }

  private:
    Iconv toUtf8_{"UTF-8", "CP932"};
    Iconv fromUtf8_{"CP932", "UTF-8"};
};

}  // namespace

bool DecodeUtf8(std::string_view utf8, std::u16string& utf16) {
    utf16.clear();
    for (std::size_t at = 0; at < utf8.size();) {
        char32_t point = 0;
        if (!NextPoint(utf8, at, point)) {
            return false;
        }
        if (point >= 0x10000) {
            point -= 0x10000;
            utf16 += static_cast<char16_t>(0xD800 + (point >> 10));
            utf16 += static_cast<char16_t>(0xDC00 + (point & 0x3FF));
        } else {
            utf16 += static_cast<char16_t>(point);
        }
    }
    return true;
}

bool EncodeUtf8(std::u16string_view utf16, std::string& utf8) {
    utf8.clear();
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t point = utf16[i];
        if (point >= 0xDC00 && point < 0xE000) {
            return false;
        }
        if (point >= 0xD800 && point < 0xDC00) {
            if (i + 1 == utf16.size() || utf16[i + 1] < 0xDC00 || utf16[i + 1] >= 0xE000) {
                return false;
            }
            point = 0x10000 + ((point - 0xD800) << 10) + (utf16[++i] - 0xDC00);
            utf8 += static_cast<char>(0xF0 | (point >> 18));
            utf8 += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
            utf8 += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (point & 0x3F));
            continue;
        }
        AppendUtf8(point, utf8);
    }
    return true;
}

std::unique_ptr<NativeCodePage> MakeNativeCodePage(unsigned number) {
    if (number == kUtf8CodePage) {
        return std::make_unique<Utf8CodePage>();
    }
    if (number == kWesternCodePage) {
        return std::make_unique<WesternCodePage>();
    }
    if (number == kJapaneseCodePage) {
        auto japanese = std::make_unique<JapaneseCodePage>();
        if (japanese->Usable()) {
            return japanese;
        }
    }
    return nullptr;
}

}  // namespace pavix
