#pragma once

#include <string>
#include <vector>

// Whether a queue's user lists let a user print. A queue names either the users it allows or the
// users it refuses; "@name" stands for the members of a group, and "all"/"none" (any case) for
// an open list. An empty list restricts nobody.
namespace UserAccess {

struct User
{
    std::string name;
    std::vector<std::string> groups;
};

bool mayPrint(const User &user, const std::vector<std::string> &allowed, const std::vector<std::string> &denied);

// The user this process prints as, with the names of the groups it belongs to.
User currentUser(const std::string &name);

}  // namespace UserAccess
