// Makes the whole test process act as an unprivileged user for a while, so
// that a window running inside the test meets the permissions that root
// would pass. The switch is of the effective ids only and is undone when
// the guard goes; the C library applies it to every thread.
#pragma once

#include <algorithm>
#include <vector>

#include <grp.h>
#include <unistd.h>

namespace zorbik::testing {

class AsOtherUser {
public:
    // The unprivileged user and group that root switches to.
    static constexpr uid_t kNobody = 65534;

    AsOtherUser()
    {
        if (::geteuid() != 0) {
            ok_ = true; // permissions hold for this user already
            return;
        }
        gid_ = ::getegid();
        groups_.resize(static_cast<std::size_t>(std::max(0, ::getgroups(0, nullptr))));
        if (::getgroups(static_cast<int>(groups_.size()), groups_.data()) < 0)
            groups_.clear();
        switched_ = true;
        ok_ = ::setgroups(0, nullptr) == 0 && ::setegid(kNobody) == 0 && ::seteuid(kNobody) == 0;
    }
    ~AsOtherUser() { Restore(); }
    AsOtherUser(const AsOtherUser&) = delete;
    AsOtherUser& operator=(const AsOtherUser&) = delete;

    // Whether the process now meets permissions like an ordinary user.
    bool Ok() const { return ok_; }

    void Restore()
    {
        if (!switched_)
            return;
        switched_ = false;
        [[maybe_unused]] const bool back = ::seteuid(0) == 0 && ::setegid(gid_) == 0 &&
                                           ::setgroups(groups_.size(), groups_.data()) == 0;
    }

private:
    bool ok_ = false;
    bool switched_ = false;
    gid_t gid_ = 0;
    std::vector<gid_t> groups_;
};

} // namespace zorbik::testing
