#include "store/UserStore.h"

namespace kelm {

Store* UserStore::Get() {
    if (!tried_) {
        tried_ = true;
        problem_ = store_.Open(path_);
    }
    return store_.IsOpen() ? &store_ : nullptr;
}

bool UserStore::TakeReport() {
    if (problem_.Ok() || reported_) {
        return false;
    }
    reported_ = true;
    return true;
}

}  // namespace kelm
