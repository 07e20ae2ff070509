// The error boxes that the data files' readers and writers show, as the stand-in records them.
#pragma once

#include <string>

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

}  // namespace pavix::testing
