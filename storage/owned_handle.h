// A kernel handle (a file, a process token) that closes itself: no early return can leave one
// open. kInvalidHandleValue holds nothing.
#pragma once

#include "platform/platform.h"

namespace pavix {

class OwnedHandle {
  public:
    explicit OwnedHandle(FileApi& files, KernelHandle handle = kInvalidHandleValue)
        : files_(files), handle_(handle) {}
    ~OwnedHandle() { Close(); }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;

    KernelHandle Get() const { return handle_; }
    bool IsOpen() const { return handle_ != kInvalidHandleValue; }
    // Takes over `handle`, closing the one held before.
    void Reset(KernelHandle handle) {
        Close();
        handle_ = handle;
    }
    // CloseHandle's answer; false when nothing was open.
    bool Close() {
        if (!IsOpen()) {
            return false;
        }
        const KernelHandle handle = handle_;
        handle_ = kInvalidHandleValue;
        return files_.CloseHandle(handle);
    }

  private:
    FileApi& files_;
    KernelHandle handle_;
};

}  // namespace pavix
