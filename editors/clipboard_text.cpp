#include "editors/clipboard_text.h"

#include <cstring>

#include "platform/constants.h"

namespace pavix {
namespace {

// The text in movable memory with its terminating zero; 0 when none can be had.
MemoryHandle CopyToMemory(Platform& platform, const std::string& text) {
    const MemoryHandle memory = platform.GlobalAlloc(kGmemMoveable, text.size() + 1);
    if (memory == 0) {
        return 0;
    }
    void* bytes = platform.GlobalLock(memory);
    if (bytes == nullptr) {
        platform.GlobalFree(memory);
        return 0;
    }
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    platform.GlobalUnlock(memory);
    return memory;
}

}  // namespace

bool PutTextOnClipboard(Platform& platform, WindowHandle owner, const std::string& text) {
    if (!platform.OpenClipboard(owner)) {
        return false;
    }
    bool done = false;
    if (platform.EmptyClipboard()) {
        const MemoryHandle memory = CopyToMemory(platform, text);
        // The clipboard owns the memory only once it has taken it.
        done = memory != 0 && platform.SetClipboardData(kCfText, memory) != 0;
        if (memory != 0 && !done) {
            platform.GlobalFree(memory);
        }
    }
    platform.CloseClipboard();
    return done;
}

}  // namespace pavix
