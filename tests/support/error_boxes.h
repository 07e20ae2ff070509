// The error boxes that the data files' readers and writers show, as the stand-in records them.
#pragma once

#include <string>

#include "editors/error_boxes.h"
#include "fake/fake_platform.h"
#include "platform/constants.h"

namespace pavix::testing {

inline fake::MessageBox ErrorBox(const std::string& text) {
    return fake::MessageBox{text, "Pavix:Error", kMbOk | kMbIconError};
}
inline const fake::MessageBox kInvalidFormat = ErrorBox("Data file format is Invalid");
inline const fake::MessageBox kVersionMismatch = ErrorBox("Configuration Data Version mismatch");
inline const fake::MessageBox kReadFailed = ErrorBox("Failed to read file");
inline const fake::MessageBox kWriteFailed = ErrorBox("Failed to write file");
inline const fake::MessageBox kOpenForWriteFailed = ErrorBox("Failed to open file for writing");

// An editor's report of a data file it could not read completely: the error, then where OK keeps
// the original.
inline fake::MessageBox WithBackupNote(const fake::MessageBox& box, const std::string& backup) {
    return ErrorBox(box.text + "\nSaving with OK keeps the original file as: " + backup);
}
// The backup could not be made, so the file was not replaced.
inline fake::MessageBox BackupFailed(const std::string& backup) {
    return ErrorBox("Failed to write file\n" + backup);
}

namespace detail {
struct BoxesFirst {
    explicit BoxesFirst(Platform& platform) : boxes(platform) {}
    ErrorBoxes boxes;
};
}  // namespace detail

// A lower layer built directly by a test, whose reports become the program's error boxes as
// they do under the application and the editors.
template <typename Layer>
class WithErrorBoxes : private detail::BoxesFirst, public Layer {
  public:
    explicit WithErrorBoxes(Platform& platform) : BoxesFirst(platform), Layer(platform, boxes) {}
    ErrorBoxes& Boxes() { return boxes; }
};

}  // namespace pavix::testing
