// One platform call as the recording stand-in logs it: the operation's name and its arguments,
// each already turned into text (integers in decimal, texts quoted, a null text as NULL), so that
// whole transcripts compare with == and print readably when a test fails.
#pragma once

#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

namespace pavix::fake {

inline std::string FormatArg(const std::string& text) {
    return "\"" + text + "\"";
}
inline std::string FormatArg(const char* text) {
    return text == nullptr ? std::string("NULL") : FormatArg(std::string(text));
}
template <typename T, typename = std::enable_if_t<std::is_integral_v<T> || std::is_enum_v<T>>>
std::string FormatArg(T value) {
    if constexpr (std::is_enum_v<T>) {
        return FormatArg(static_cast<std::underlying_type_t<T>>(value));
    } else if constexpr (std::is_signed_v<T>) {
        return std::to_string(static_cast<long long>(value));
    } else {
        return std::to_string(static_cast<unsigned long long>(value));
    }
}

struct Call {
    std::string name;
    std::vector<std::string> args;

    Call() = default;
    template <typename... Args>
    explicit Call(std::string callName, const Args&... callArgs)
        : name(std::move(callName)), args{FormatArg(callArgs)...} {}

    bool operator==(const Call& other) const { return name == other.name && args == other.args; }
    bool operator!=(const Call& other) const { return !(*this == other); }
};

using Calls = std::vector<Call>;

inline std::ostream& operator<<(std::ostream& out, const Call& call) {
    out << call.name << "(";
    for (size_t i = 0; i < call.args.size(); ++i) {
        out << (i ? ", " : "") << call.args[i];
    }
    return out << ")";
}

// GoogleTest prints values through PrintTo when one is found by argument-dependent lookup.
inline void PrintTo(const Call& call, std::ostream* out) {
    *out << call;
}

}  // namespace pavix::fake
