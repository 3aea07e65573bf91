// Failure objects raised inside the plug-in and their mapping to result codes.
// Every host-callable method catches them (see Boundary.h), so nothing thrown
// ever reaches the host.
#pragma once

#include <exception>
#include <string>

#include "platform/Win32.h"

// Common base of the plug-in's failure classes; carries a message.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message = {}) : FMessage(std::move(message)) {}
  const char* what() const noexcept override { return FMessage.c_str(); }

 private:
  std::string FMessage;
};

// A failure that carries the HRESULT to hand back to the host.
class EOleSysError : public Exception {
 public:
  explicit EOleSysError(HRESULT code) : ErrorCode(code) {}
  HRESULT ErrorCode;
};

// Silent cancellation.
class EAbort : public Exception {};
class EOutOfMemory : public Exception {};
// A Windows error code (GetLastError style).
class EOSError : public Exception {
 public:
  explicit EOSError(DWORD code) : ErrorCode(code) {}
  DWORD ErrorCode;
};
class EArgumentException : public Exception {};
class EInvalidPointer : public Exception {};

[[noreturn]] void RaiseResultError(HRESULT hr);
// Raises failing codes (top bit set); passes S_OK, S_FALSE and other successes through.
HRESULT CheckResult(HRESULT hr);
// Null or an unknown failure gives E_UNEXPECTED. std::bad_alloc counts as EOutOfMemory.
HRESULT ExceptionToResult(const std::exception* e);
// ExceptionToResult of the exception being handled; call only inside a catch block.
HRESULT CurrentExceptionToResult();
