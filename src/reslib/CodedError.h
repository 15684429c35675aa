#pragma once
// Numbered errors, as the program's messages show them: the number and its description. The
// numbers are the ones the operator's manuals and earlier versions of the program use.
#include <string>

enum class ErrorCode {
    OutOfMemory = 7,
    Subscript = 9,
    OutOfStack = 28,
    Internal = 51,
    FileNotFound = 53,
    DeviceIo = 57,
    DeviceUnavailable = 68,
    FileAccess = 75,
    PathNotFound = 76,
    InvalidValue = 380,
    BadPicture = 481,
};

struct CodedError {
    int code = 0;
    std::string text; // the description, UTF-8
};

// The error with its description; a number without one is described by the number alone.
CodedError codedError(int code);
inline CodedError codedError(ErrorCode code) { return codedError(static_cast<int>(code)); }
