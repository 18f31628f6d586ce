#include "core/AtomicFile.h"

#include <cstdio>
#include <random>
#include <string>
#include <system_error>

namespace kelm {

namespace {

constexpr int kNameAttempts = 16;

// "<name>.<16 hex digits>.tmp" beside `path`.
std::filesystem::path TemporaryName(const std::filesystem::path& path, std::mt19937_64& random) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string suffix = ".";
    std::uint64_t bits = random();
    for (int i = 0; i < 16; ++i, bits >>= 4) {
        suffix += kHex[bits & 0xF];
    }
    suffix += ".tmp";
    std::filesystem::path temporary = path;
    temporary += suffix;
    return temporary;
}

// Creates a temporary file no other writer has ("x": fails if it exists).
std::FILE* CreateTemporary(const std::filesystem::path& path, std::filesystem::path& temporary) {
    std::random_device device;
    std::mt19937_64 random((std::uint64_t{device()} << 32) ^ device());
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary = TemporaryName(path, random);
        if (std::FILE* file = std::fopen(temporary.string().c_str(), "wbx")) {
            return file;
        }
        std::error_code error;
        if (!std::filesystem::exists(temporary, error)) {
            return nullptr;  // not a name clash: the folder refuses the file
        }
    }
    return nullptr;
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::path temporary;
    std::FILE* file = CreateTemporary(path, temporary);
    if (file == nullptr) {
        return false;
    }
    // Flushed to the system only: making it durable on the disk is the
    // platform's business, not the core's.
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    std::error_code error;
    if (written && closed) {
        std::filesystem::rename(temporary, path, error);
        if (!error) {
            return true;
        }
    }
    std::filesystem::remove(temporary, error);
    return false;
}

}  // namespace kelm
