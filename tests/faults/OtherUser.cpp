#include "OtherUser.h"

#include <cstdlib>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;

// Back to root, user first (only root may change the group). Should that fail, the rest of the
// test run would go on as the other user and report faults that aren't there: stop instead.
void becomeRootAgain()
{
    if (::seteuid(0) != 0 || ::setegid(0) != 0)
        std::abort();
}

}  // namespace

OtherUser::OtherUser()
{
    if (::geteuid() != 0)
        return;
    m_switched = ::setegid(kNogroup) == 0 && ::seteuid(kNobody) == 0;
    m_ok = m_switched;
    if (!m_switched)
        becomeRootAgain();
}

OtherUser::~OtherUser()
{
    if (m_switched)
        becomeRootAgain();
}
