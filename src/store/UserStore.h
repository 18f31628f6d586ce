// The user's database as the program holds it for a whole run: opened at the
// first use, not at start-up, so that a user who never computes a result
// never meets it; a failure to open is kept, said once, and the rest of the
// program goes on without it.
#pragma once

#include <filesystem>

#include "store/Store.h"

namespace kelm {

class UserStore {
public:
    explicit UserStore(std::filesystem::path path) : path_(std::move(path)) {}

    // The open database, or null when it could not be opened (Problem() says why).
    Store* Get();
    const StoreStatus& Problem() const { return problem_; }
    const std::filesystem::path& Path() const { return path_; }

    // True the first time it is asked after the database failed to open, so
    // that the user is told of it once a run.
    bool TakeReport();

private:
    std::filesystem::path path_;
    Store store_;
    bool tried_ = false;
    bool reported_ = false;
    StoreStatus problem_;
};

}  // namespace kelm
