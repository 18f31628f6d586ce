// A short text in a fixed buffer: numbers and labels are produced while drawing
// and processing, where nothing may be allocated.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace kelm {

template <std::size_t Capacity>
class FixedText {
public:
    FixedText() = default;

    // Appends as much as fits; the text stays zero-terminated.
    void Append(std::string_view text) {
        const std::size_t n = std::min(text.size(), Capacity - 1 - length_);
        std::copy_n(text.data(), n, data_.data() + length_);
        length_ += n;
        data_[length_] = '\0';
    }
    void Append(char c) {
        if (length_ + 1 < Capacity) {
            data_[length_++] = c;
            data_[length_] = '\0';
        }
    }
    // Keeps the first `length` characters.
    void Truncate(std::size_t length) {
        if (length < length_) {
            length_ = length;
            data_[length_] = '\0';
        }
    }
    void Clear() {
        length_ = 0;
        data_[0] = '\0';
    }
    char& operator[](std::size_t i) { return data_[i]; }
    char operator[](std::size_t i) const { return data_[i]; }

    std::size_t size() const { return length_; }
    static constexpr std::size_t capacity() { return Capacity - 1; }  // characters it holds
    bool empty() const { return length_ == 0; }
    const char* c_str() const { return data_.data(); }
    std::string_view view() const { return {data_.data(), length_}; }
    std::string str() const { return std::string(view()); }
    operator std::string_view() const { return view(); }

    friend bool operator==(const FixedText& a, std::string_view b) { return a.view() == b; }

private:
    std::array<char, Capacity> data_{};
    std::size_t length_ = 0;
};

}  // namespace kelm
