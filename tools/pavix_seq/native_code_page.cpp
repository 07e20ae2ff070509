#include "pavix_seq/native_code_page.h"

#include <iconv.h>

#include <cerrno>
#include <string>

namespace pavix::tool {
namespace {

// 0x80-0x9F of code page 1252 as Windows maps them: the five bytes the code page leaves undefined
// stand for the control characters of the same value, so that every byte is a text and comes back
// unchanged. The other bytes are the code points of the same value.
constexpr char16_t kUpperControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

class WesternCodePage final : public CodePage {
  public:
    bool ToUtf8(std::string_view bytes, std::string& utf8) override {
        std::u16string wide;
        for (char c : bytes) {
            const auto byte = static_cast<unsigned char>(c);
            wide += byte >= 0x80 && byte < 0xA0 ? kUpperControls[byte - 0x80] : byte;
        }
        return Utf16ToUtf8(wide, utf8);
    }
    bool FromUtf8(std::string_view utf8, std::string& bytes) override {
        bytes.clear();
        std::u16string wide;
        if (!Utf8ToUtf16(utf8, wide)) {
            return false;
        }
        bool held = true;
        for (std::size_t i = 0; i < wide.size(); ++i) {
            const int byte = ByteOf(wide[i]);
            if (byte < 0 && wide[i] >= 0xD800 && wide[i] < 0xDC00) {
                ++i;  // a character beyond the first plane: one stand-in for the pair
            }
            held = held && byte >= 0;
            bytes += static_cast<char>(byte >= 0 ? byte : '?');
        }
        return held;
    }

  private:
    static int ByteOf(char16_t unit) {
        if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
            return unit;
        }
        for (int i = 0; i < 32; ++i) {
            if (kUpperControls[i] == unit) {
                return 0x80 + i;
            }
        }
        return -1;
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
class JapaneseCodePage final : public CodePage {
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

std::unique_ptr<CodePage> MakeNativeCodePage(unsigned number) {
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

}  // namespace pavix::tool
