#include "storage/text_file.h"

#include <algorithm>

#include "platform/constants.h"
#include "storage/binary_io.h"
#include "storage/file_replacement.h"
#include "storage/owned_handle.h"

namespace pavix {

WholeFileResult ReadWholeFile(FileSystem system, const std::string& path, std::uint64_t limit,
                              std::string& bytes) {
    bytes.clear();
    OwnedHandle file(system.files, system.files.CreateFileA(path.c_str(), kGenericRead, 0,
                                                            kOpenExisting, kFileAttributeNormal));
    if (!file.IsOpen()) {
        return WholeFileResult::kCannotOpen;
    }
    const std::uint64_t size = SizeOfFile(system, file.Get());
    WholeFileResult result = WholeFileResult::kOk;
    if (size != kUnknownFileSize && size > limit) {
        result = WholeFileResult::kTooLarge;
    }
    // The size only guides: a file that delivers more than it claimed is still held to the limit.
    while (result == WholeFileResult::kOk) {
        const std::size_t old = bytes.size();
        bytes.resize(old + kFileChunkSize);
        std::uint32_t got = 0;
        if (!system.files.ReadFile(file.Get(), &bytes[old],
                                   static_cast<std::uint32_t>(kFileChunkSize), &got)) {
            result = WholeFileResult::kCannotRead;
            got = 0;
        }
        bytes.resize(old + std::min<std::size_t>(got, kFileChunkSize));
        if (bytes.size() > limit) {
            result = WholeFileResult::kTooLarge;
        }
        if (got == 0) {
            break;
        }
    }
    if (result != WholeFileResult::kOk) {
        bytes.clear();
    }
    return result;
}

bool WriteWholeFile(FileSystem system, const std::string& path, std::string_view bytes) {
    FileReplacement replacement(system, path, SaveFileName::kFresh);
    if (!replacement.Begin()) {
        return false;
    }
    replacement.Writer().Write(bytes.data(), bytes.size());
    return replacement.Commit();
}

}  // namespace pavix
