// Notices when another program changes Config.dat or Sequence.dat: the platform's change
// notification on the executable's folder, and what the files held when they were last read, so
// that the program's own writes, changes to other files of the folder and rewrites with the same
// contents read as no change. Nothing runs while nothing changes.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace pavix {

class DataFileWatch {
  public:
    enum class Change {
        kNone,
        kWriting,  // a file is still open in its writer (it cannot be opened as the loaders do)
        kChanged,
    };

    explicit DataFileWatch(Platform& platform);
    ~DataFileWatch() { Stop(); }
    DataFileWatch(const DataFileWatch&) = delete;
    DataFileWatch& operator=(const DataFileWatch&) = delete;

    // Starts watching the folder. Where the platform refuses, nothing is watched and the files
    // are read at each enable only, as without this.
    void Start();
    void Stop();
    // The notification, kInvalidHandleValue while nothing is watched.
    KernelHandle Handle() const { return handle_; }
    // After the notification was found signalled: gathers the changes from now on. False, and
    // the watch ends, when the platform cannot (the notification would stay signalled).
    bool Rearm();

    // Takes the files as they are now as the ones the program reads: called before every pass
    // that reads them, so that a change during the pass still differs afterwards.
    void Remember();
    Change Compare() const;

  private:
    // A file's contents as far as telling them apart goes.
    struct Contents {
        enum class Kind { kAbsent, kBusy, kRead } kind = Kind::kAbsent;
        std::uint64_t size = 0;
        std::uint64_t digest = 0;
        bool operator==(const Contents& other) const {
            return kind == other.kind && size == other.size && digest == other.digest;
        }
    };
    static constexpr int kFileCount = 2;

    Contents Read(int file) const;

    Platform& files_;
    char paths_[kFileCount][kMaxPath] = {};
    Contents remembered_[kFileCount];
    KernelHandle handle_ = kInvalidHandleValue;
};

}  // namespace pavix
