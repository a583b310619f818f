#include "payload/TemporaryPackage.h"

#include "payload/ExtractPatch.h"

TemporaryPackage::TemporaryPackage() {
    written_ = ExtractPatch(path_, guard_);
}

TemporaryPackage::~TemporaryPackage() {
    if (path_.empty())
        return;
    // Deleting must not disturb an error the mode is about to report.
    LastErrorKeeper keep;
    guard_.reset();
    win::DeleteFileW(path_.c_str());
}
