// Texts between UTF-8, the encoding of the sequences as text, and the code page in which
// Sequence.dat holds them. The program converts through the platform with the system's ANSI code
// page; the command-line tool brings a code page of its own behind the same interface.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace pavix {

class CodePage {
  public:
    virtual ~CodePage() = default;
    // False when `bytes` is no text of the code page (a byte sequence it does not define).
    virtual bool ToUtf8(std::string_view bytes, std::string& utf8) = 0;
    // False when `utf8` holds a character the code page cannot hold; `bytes` then has a stand-in
    // character in its place, good enough to show the text in a message. `utf8` must be valid.
    virtual bool FromUtf8(std::string_view utf8, std::string& bytes) = 0;
};

// The system's ANSI code page, through MultiByteToWideChar and WideCharToMultiByte.
class SystemCodePage final : public CodePage {
  public:
    // Any object that offers both groups, such as the whole platform.
    template <typename Api>
    explicit SystemCodePage(Api& api) : text_(api), errors_(api) {}
    bool ToUtf8(std::string_view bytes, std::string& utf8) override;
    bool FromUtf8(std::string_view utf8, std::string& bytes) override;

  private:
    TextApi& text_;
    ErrorApi& errors_;
};

// UTF-8 and UTF-16 into each other. Both stop with false at a sequence that encodes no character
// (an invalid byte, an unpaired surrogate), leaving the output incomplete.
bool Utf8ToUtf16(std::string_view utf8, std::u16string& utf16);
bool Utf16ToUtf8(std::u16string_view utf16, std::string& utf8);

}  // namespace pavix
