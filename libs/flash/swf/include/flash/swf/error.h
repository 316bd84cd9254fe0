#pragma once

#include <stdexcept>

namespace flash::swf {

// Data that is not a movie, or a structure that runs past its data.
class ParseError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace flash::swf
