#pragma once

#include <sys/types.h>

// Runs the code in its scope with the file permissions of an ordinary user, so that a file
// without read or write permission refuses this process even when it runs as root (root passes
// every permission check). Outside root it changes nothing: permissions bind already.
class OtherUser
{
public:
    OtherUser();
    ~OtherUser();
    OtherUser(const OtherUser &) = delete;
    OtherUser &operator=(const OtherUser &) = delete;

    // False when root could not become the other user; the scope then still runs as root.
    bool ok() const { return m_ok; }

private:
    bool m_switched = false;
    bool m_ok = true;
};
