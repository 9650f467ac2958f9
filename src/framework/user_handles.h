// Owning wrappers for USER objects the component makes itself: icons and
// cursors. GetGuiResources cannot count them under every platform, so the
// wrappers count the objects they hold for leak checks.
#pragma once

#include <windows.h>

#include <atomic>
#include <utility>

namespace framework {

// Icons and cursors that the component made and has not destroyed yet.
long live_user_objects();

namespace detail {
extern std::atomic<long> g_live_user_objects;
}

template <class Handle, BOOL(WINAPI* Destroy)(Handle)>
class UserObject {
 public:
  UserObject() = default;
  // Takes ownership of a handle the component made (nullptr allowed).
  explicit UserObject(Handle handle) : handle_(handle) {
    if (handle_) ++detail::g_live_user_objects;
  }
  UserObject(UserObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UserObject& operator=(UserObject&& other) noexcept {
    UserObject(std::move(other)).swap(*this);
    return *this;
  }
  UserObject(const UserObject&) = delete;
  UserObject& operator=(const UserObject&) = delete;
  ~UserObject() {
    if (handle_) {
      Destroy(handle_);
      --detail::g_live_user_objects;
    }
  }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void swap(UserObject& other) noexcept { std::swap(handle_, other.handle_); }

 private:
  Handle handle_ = nullptr;
};

using Icon = UserObject<HICON, DestroyIcon>;
using Cursor = UserObject<HCURSOR, DestroyCursor>;

}  // namespace framework
