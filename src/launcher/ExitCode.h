// The process exit code, in the Windows Installer's conventions that deployment tools read.
// Every mode records what it achieved; the most serious outcome wins: a failure (the first one
// recorded), then 1642, then 1641, then 3010, then 0.
#pragma once

#include "platform/Platform.h"

class ExitCode {
  public:
    void Record(win::DWORD code);
    win::DWORD value() const { return value_; }

  private:
    win::DWORD value_ = win::ERROR_SUCCESS;
};

struct InstallReport;
// The exit code of a default run: 1603 when it failed before examining any product, 1642 when
// no target product is present or one is at a version the patch does not support, and every
// installation request's result.
win::DWORD InstallExitCode(const InstallReport& report);
