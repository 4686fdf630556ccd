#pragma once
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

// Tests that play another local user: the user "nobody", become in a forked child.
namespace ov::test {

// The uid of "nobody" (65534 where the system has no such user).
inline uid_t NobodyUid() {
  const passwd* p = ::getpwnam("nobody");
  return p ? p->pw_uid : 65534;
}

// Makes this (forked) process the user `uid`, its group the same number, with no supplementary
// groups; false when it could not (only root can).
inline bool BecomeUser(uid_t uid) {
  return ::setgroups(0, nullptr) == 0 && ::setgid(uid) == 0 && ::setuid(uid) == 0;
}

}  // namespace ov::test
