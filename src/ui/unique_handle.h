// A move-only owner of one handle (font, menu, brush, module ...). The deleter is a stateless
// function object; an owner releases its handle exactly once, when it is destroyed, reset or
// assigned over. Portable: the Windows aliases live in ui/win_handles_win.h.
#pragma once

#include <utility>

namespace sonavid::ui {

template <typename Handle, typename Deleter, Handle kEmpty = Handle{}>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  ~UniqueHandle() { reset(); }

  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != kEmpty; }

  // Gives up ownership without releasing.
  Handle release() { return std::exchange(handle_, kEmpty); }

  // Releases the handle held (if any) and takes `handle`.
  void reset(Handle handle = kEmpty) {
    const Handle old = std::exchange(handle_, handle);
    if (old != kEmpty) Deleter{}(old);
  }

 private:
  Handle handle_ = kEmpty;
};

}  // namespace sonavid::ui
