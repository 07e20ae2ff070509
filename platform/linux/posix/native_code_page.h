// The code pages that Sequence.dat and the texts use, without Windows: 1252 (Western European),
// 932 (Japanese) and 65001 (UTF-8, the system's own code page on Linux), to and from UTF-8.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace pavix {

constexpr unsigned kWesternCodePage = 1252;
constexpr unsigned kJapaneseCodePage = 932;
constexpr unsigned kUtf8CodePage = 65001;

class NativeCodePage {
  public:
    virtual ~NativeCodePage() = default;
    // False when `bytes` is no text of the code page (a byte sequence it does not define).
    virtual bool ToUtf8(std::string_view bytes, std::string& utf8) = 0;
    // False when `utf8` holds a character the code page cannot hold; `bytes` then has a stand-in
    // character in its place, good enough to show the text in a message. `utf8` must be valid.
    virtual bool FromUtf8(std::string_view utf8, std::string& bytes) = 0;
};

// UTF-8 and UTF-16 into each other; false at a sequence that encodes no character (an invalid
// byte, an unpaired surrogate), leaving the output incomplete.
bool DecodeUtf8(std::string_view utf8, std::u16string& utf16);
bool EncodeUtf8(std::u16string_view utf16, std::string& utf8);

// The code page of that number; nullptr for any other.
std::unique_ptr<NativeCodePage> MakeNativeCodePage(unsigned number);

}  // namespace pavix
