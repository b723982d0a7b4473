// Errors carry the program's own message text; handlers let them propagate to the
// nearest boundary (window procedure, timer, creation handler), which reports them.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace velmaro {

class Error : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A file that is not a picture we can read (the preview's "invalid graphic").
class InvalidGraphic : public Error {
  public:
    using Error::Error;
};

// A file that could not be opened, created, read or written.
class FileError : public Error {
  public:
    using Error::Error;
};

// An index outside a list ("List index out of bounds (%d)").
class ListIndexError : public Error {
  public:
    explicit ListIndexError(int index);
};

// Fills the first "%s" (or "%d") of a message pattern with an argument.
std::string format_message(std::string_view pattern, std::string_view arg);
std::string format_message(std::string_view pattern, long long arg);

} // namespace velmaro
