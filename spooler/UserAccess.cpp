#include "spooler/UserAccess.h"

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

namespace UserAccess {
namespace {

bool equalsIgnoringCase(const std::string &a, const std::string &b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

bool isOpenEntry(const std::string &entry)
{
    return equalsIgnoringCase(entry, "all") || equalsIgnoringCase(entry, "none");
}

bool matches(const User &user, const std::string &entry)
{
    if (entry.starts_with('@')) {
        const std::string group = entry.substr(1);
        return std::find(user.groups.begin(), user.groups.end(), group) != user.groups.end();
    }
    return equalsIgnoringCase(entry, user.name);
}

bool listsSomeone(const std::vector<std::string> &entries)
{
    return std::any_of(entries.begin(), entries.end(), [](const std::string &e) { return !isOpenEntry(e); });
}

bool listed(const User &user, const std::vector<std::string> &entries)
{
    return std::any_of(entries.begin(), entries.end(), [&](const std::string &e) { return matches(user, e); });
}

}  // namespace

bool mayPrint(const User &user, const std::vector<std::string> &allowed, const std::vector<std::string> &denied)
{
    if (listsSomeone(allowed))
        return listed(user, allowed);
    if (listsSomeone(denied))
        return !listed(user, denied);
    return true;
}

User currentUser(const std::string &name)
{
    User user{name, {}};
    const passwd *account = getpwnam(name.c_str());
    if (account == nullptr)
        return user;
    int count = 64;
    std::vector<gid_t> ids(static_cast<std::size_t>(count));
    if (getgrouplist(name.c_str(), account->pw_gid, ids.data(), &count) < 0) {
        ids.resize(static_cast<std::size_t>(count));
        if (getgrouplist(name.c_str(), account->pw_gid, ids.data(), &count) < 0)
            return user;
    }
    ids.resize(static_cast<std::size_t>(count));
    for (const gid_t id : ids) {
        if (const group *entry = getgrgid(id))
            user.groups.emplace_back(entry->gr_name);
    }
    return user;
}

}  // namespace UserAccess
