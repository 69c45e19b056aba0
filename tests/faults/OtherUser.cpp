#include "OtherUser.h"

#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;

}  // namespace

OtherUser::OtherUser()
{
    if (::geteuid() != 0)
        return;
    m_switched = ::setegid(kNogroup) == 0 && ::seteuid(kNobody) == 0;
    m_ok = m_switched;
    if (!m_switched)
        ::setegid(0);
}

OtherUser::~OtherUser()
{
    if (m_switched) {
        ::seteuid(0);
        ::setegid(0);
    }
}
