// The stand-in's keyboard state, its dialogs without a modal loop and its clipboard.
#include <cstring>

#include "fake/fake_platform.h"
#include "platform/constants.h"

namespace pavix::fake {

std::int16_t FakePlatform::GetKeyState(std::int32_t virtualKey) {
    if (auto scripted = Record(Call("GetKeyState", virtualKey))) {
        return static_cast<std::int16_t>(*scripted);
    }
    return keysDown.count(virtualKey) != 0 ? static_cast<std::int16_t>(0x8000 - 0x10000) : 0;
}

std::int32_t FakePlatform::MapWindowPoints(WindowHandle from, WindowHandle to, Point* points,
                                           std::uint32_t count) {
    if (auto scripted = Record(Call("MapWindowPoints", from, to, count))) {
        return static_cast<std::int32_t>(*scripted);
    }
    return points != nullptr && count > 0 ? 1 : 0;
}

WindowHandle FakePlatform::CreateDialogParamA(ModuleHandle instance, std::uint32_t templateId,
                                              WindowHandle owner, DialogHandler* dialog,
                                              std::intptr_t initParam) {
    if (auto scripted =
            Record(Call("CreateDialogParamA", instance, templateId, owner, initParam))) {
        return static_cast<WindowHandle>(*scripted);
    }
    return useFakeDialogs_ ? dialogs.Create(templateId, dialog, activeWindow) : 0;
}

bool FakePlatform::IsDialogMessageA(WindowHandle dialog, Message* message) {
    if (auto scripted = Record(
            Call("IsDialogMessageA", dialog, message->window, message->message, message->wParam))) {
        return *scripted != 0;
    }
    return false;
}

bool FakePlatform::OpenClipboard(WindowHandle owner) {
    if (auto scripted = Record(Call("OpenClipboard", owner))) {
        return *scripted != 0;
    }
    if (clipboardOpen) {
        return false;
    }
    clipboardOpen = true;
    return true;
}

bool FakePlatform::EmptyClipboard() {
    if (auto scripted = Record(Call("EmptyClipboard"))) {
        return *scripted != 0;
    }
    if (!clipboardOpen) {
        return false;
    }
    clipboardText.clear();
    return true;
}

MemoryHandle FakePlatform::SetClipboardData(std::uint32_t format, MemoryHandle data) {
    if (auto scripted = Record(Call("SetClipboardData", format, data))) {
        return static_cast<MemoryHandle>(*scripted);
    }
    auto block = memoryBlocks.find(data);
    if (!clipboardOpen || format != kCfText || block == memoryBlocks.end()) {
        return 0;
    }
    clipboardText = std::string(block->second.c_str());
    // The clipboard owns the memory from now on.
    memoryBlocks.erase(block);
    return data;
}

bool FakePlatform::CloseClipboard() {
    if (auto scripted = Record(Call("CloseClipboard"))) {
        return *scripted != 0;
    }
    const bool wasOpen = clipboardOpen;
    clipboardOpen = false;
    return wasOpen;
}

MemoryHandle FakePlatform::GlobalAlloc(std::uint32_t flags, std::size_t bytes) {
    if (auto scripted = Record(Call("GlobalAlloc", flags, bytes))) {
        return static_cast<MemoryHandle>(*scripted);
    }
    const MemoryHandle handle = nextMemory_;
    nextMemory_ += 0x10;
    memoryBlocks[handle] = std::string(bytes, '\xCD');
    return handle;
}

void* FakePlatform::GlobalLock(MemoryHandle memory) {
    if (auto scripted = Record(Call("GlobalLock", memory))) {
        return reinterpret_cast<void*>(static_cast<std::uintptr_t>(*scripted));
    }
    auto block = memoryBlocks.find(memory);
    return block == memoryBlocks.end() ? nullptr : &block->second[0];
}

bool FakePlatform::GlobalUnlock(MemoryHandle memory) {
    if (auto scripted = Record(Call("GlobalUnlock", memory))) {
        return *scripted != 0;
    }
    return false;
}

MemoryHandle FakePlatform::GlobalFree(MemoryHandle memory) {
    if (auto scripted = Record(Call("GlobalFree", memory))) {
        return static_cast<MemoryHandle>(*scripted);
    }
    return memoryBlocks.erase(memory) != 0 ? 0 : memory;
}

}  // namespace pavix::fake
