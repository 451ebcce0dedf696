#pragma once
// The gateway's login: logs a user in to this server session.
#include <string>

class VlLoginServiceManager {
public:
    // Checks the password against the user's stored hash and makes the session
    // work as the user's member of `group` with `role`. An empty group means
    // the user's default group; an empty role the user's default role in that
    // group (the member marked default, else the first active one). The user
    // id matches regardless of letter case when nothing matches exactly (the
    // session's user keeps its stored id); group and role names match exactly.
    // Throws
    // IFail with the stored error on failure (an unknown user and a wrong
    // password give the same error); the session is then unchanged.
    static void doLogin(const std::string& user, const std::string& password, const std::string& group,
                        const std::string& role);

    // What the password of an unknown user, or of one without a hash, is
    // checked against: a hash of a random text at the cost of the strongest
    // stored hash (at least the library's minimum).
    static std::string dummyPasswordHash();
};
