#include "framework/user_handles.h"

namespace framework {

namespace detail {
std::atomic<long> g_live_user_objects{0};
}

long live_user_objects() { return detail::g_live_user_objects.load(); }

}  // namespace framework
