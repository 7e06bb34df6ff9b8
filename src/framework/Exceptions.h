#pragma once
// The framework's exception classes. Every failure of the program is one of
// these; the application's top-level handler shows Message() to the user.

#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// A picture that a reader cannot decode.
class EInvalidGraphic : public Exception {
  using Exception::Exception;
};
// A bitmap operation on a row or size the bitmap does not have.
class EInvalidGraphicOperation : public Exception {
  using Exception::Exception;
};

class EStreamError : public Exception {
  using Exception::Exception;
};
class EReadError : public EStreamError {
  using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
  using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
  using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {
  using EStreamError::EStreamError;
};

class EStringListError : public Exception {
  using Exception::Exception;
};
class ERegistryException : public Exception {
  using Exception::Exception;
};
// An operating-system call that failed; the message is the system's text.
class EOSError : public Exception {
  using Exception::Exception;
};
