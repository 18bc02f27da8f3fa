// The one error type of the engine. Its text is what the user is shown, so it
// is always a complete, readable sentence (or the exact text a caller expects).
#pragma once

#include <stdexcept>
#include <string>

namespace corvellin {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& text) : std::runtime_error(text) {}
};

// A JPEG the decoder refused. code is the decoder's own message number, text
// its own message.
class JpegError : public Error {
public:
    JpegError(int code, const std::string& text) : Error(text), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace corvellin
