// The platform's functions never throw: a failure inside one (out of memory,
// a file system error) becomes its documented fallback answer.
#pragma once

namespace platform {

template <typename T>
T Safely(T fallback, auto&& body) {
  try {
    return body();
  } catch (...) {
    return fallback;
  }
}

}  // namespace platform
